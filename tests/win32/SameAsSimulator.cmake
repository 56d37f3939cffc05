# The popup of qln-win on the real desktop against the simulator's picture of the same popup, both
# with the platform's real fonts: the pictures must be identical.
#   -DEMULATOR=... ("|" between its words) -DQLN_SIM=... -DQLN_WIN=... -DSCENARIO=... -DOUT=...
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
execute_process(COMMAND ${emulator} ${QLN_SIM} ${SCENARIO} --out ${OUT} RESULT_VARIABLE sim_status
                OUTPUT_VARIABLE sim_out ERROR_VARIABLE sim_err)
if(NOT sim_status EQUAL 0)
  message(FATAL_ERROR "qln-sim failed (${sim_status}):\n${sim_out}\n${sim_err}")
endif()
execute_process(COMMAND ${emulator} ${QLN_WIN} ${OUT} RESULT_VARIABLE win_status OUTPUT_VARIABLE win_out
                ERROR_VARIABLE win_err)
if(NOT win_status EQUAL 0)
  message(FATAL_ERROR "qln-win failed (${win_status}):\n${win_out}\n${win_err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/sim-popup.png ${OUT}/popup.png
                RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "the real popup differs from the simulator's (${OUT}/popup.png, ${OUT}/sim-popup.png)\n"
                      "qln-sim:\n${sim_out}\nqln-win:\n${win_out}")
endif()
message(STATUS "the real popup is the simulator's, pixel for pixel:\n${win_out}")
