# The popup of examples/first-look.qls on the real desktop (qln-win) against the simulator's popup
# of the same scenario (qln-sim with its fixed font metrics): layout-compare holds the two layouts
# against each other. The example is played up to its first snapshot, without its pauses (the real
# desktop would wait them out), and the popup's layout is written beside the snapshot.
#   -DEMULATOR=... ("|" between its words) -DQLN_SIM=... -DQLN_WIN=... (a Windows path)
#   -DCOMPARE=... -DEXAMPLE=... -DOUT=...
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}/sim" "${OUT}/win")

file(STRINGS "${EXAMPLE}" lines ENCODING UTF-8)
set(played "")
foreach(line IN LISTS lines)
  if(line MATCHES "^advance ")
    continue()
  endif()
  string(APPEND played "${line}\n")
  if(line MATCHES "^snapshot first-mail.png")
    break()
  endif()
endforeach()
string(APPEND played "layout first-mail.layout frmNewMail\n")
file(WRITE "${OUT}/win/first-look.qls" "${played}")
string(REPLACE "\nfonts real\n" "\nfonts fixed\n" simulated "${played}")
file(WRITE "${OUT}/sim/first-look.qls" "${simulated}")

execute_process(COMMAND ${emulator} ${QLN_SIM} ${OUT}/sim/first-look.qls --out ${OUT}/sim
                RESULT_VARIABLE status OUTPUT_VARIABLE sim_out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "qln-sim failed (${status}):\n${sim_out}\n${err}")
endif()
execute_process(COMMAND ${emulator} ${QLN_WIN} ${OUT}/win/first-look.qls --out ${OUT}/win
                RESULT_VARIABLE status OUTPUT_VARIABLE win_out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "qln-win failed (${status}):\n${win_out}\n${err}")
endif()
execute_process(COMMAND ${emulator} ${COMPARE} ${OUT}/sim/first-mail.layout ${OUT}/win/first-mail.layout
                RESULT_VARIABLE status OUTPUT_VARIABLE compared ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  file(READ "${OUT}/sim/first-mail.layout" sim_layout)
  file(READ "${OUT}/win/first-mail.layout" win_layout)
  message(FATAL_ERROR "the real popup's layout does not hold against the simulator's:\n${compared}${err}\n"
                      "simulated:\n${sim_layout}\nreal:\n${win_layout}")
endif()
message(STATUS "${compared}")
