# qln_type_library(TARGET IDL): compiles IDL with MinGW's widl into a C++ header (<name>.h, in the
# target's binary folder, on its include path) and a type library embedded in the target as its
# resource TYPELIB 1, where LoadTypeLibEx(module) finds it.
#
# widl comes with Debian's mingw-w64-tools; the system IDL files it imports (oaidl.idl, ocidl.idl)
# and stdole2.tlb come with libwine-dev (tools/install-deps.sh --cross installs both).
find_program(QLN_WIDL NAMES ${QLN_MINGW_PREFIX}-widl x86_64-w64-mingw32-widl REQUIRED)
set(QLN_WIDL_INCLUDE /usr/include/wine/wine/windows CACHE PATH "The system IDL files widl imports")
set(QLN_WIDL_LIBRARIES /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "Where widl finds stdole2.tlb")
# The type library's system kind follows the build: SYS_WIN64 for x64, SYS_WIN32 for the x86 DLLs
# 32-bit Office loads (their type library must match their bitness, or the marshaler's and the
# script hosts' layouts of the interfaces differ).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(QLN_WIDL_TARGET --win32)
else()
  set(QLN_WIDL_TARGET --win64)
endif()

function(qln_type_library target idl)
  get_filename_component(name ${idl} NAME_WE)
  get_filename_component(source ${idl} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/typelib)
  set(header ${out}/${name}.h)
  set(tlb ${out}/${name}.tlb)
  set(rc ${out}/${name}.tlb.rc)
  file(MAKE_DIRECTORY ${out})
  add_custom_command(
    OUTPUT ${header} ${tlb}
    COMMAND ${QLN_WIDL} ${QLN_WIDL_TARGET} -I${QLN_WIDL_INCLUDE} -L${QLN_WIDL_LIBRARIES} -t -h -H ${header} -T ${tlb} ${source}
    DEPENDS ${source}
    COMMENT "widl ${name}.idl"
    VERBATIM)
  file(WRITE ${rc} "1 TYPELIB \"${tlb}\"\n")
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${tlb})
  target_sources(${target} PRIVATE ${rc} ${header})
  target_include_directories(${target} PRIVATE ${out})
endfunction()
