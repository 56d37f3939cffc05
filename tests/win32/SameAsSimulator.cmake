# One scenario on the simulator (qln-sim.exe, the platform's real fonts) and on the real desktop
# (qln-win.exe): both must pass, and the popup qln-win captured from the screen must be the picture
# the simulator drew, pixel for pixel.
#   -DEMULATOR=... ("|" between its words) -DQLN_SIM=... -DQLN_WIN=... -DSCENARIO=... -DOUT=...
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}/sim" "${OUT}/win")
execute_process(COMMAND ${emulator} ${QLN_SIM} ${SCENARIO} --out ${OUT}/sim RESULT_VARIABLE sim_status
                OUTPUT_VARIABLE sim_out ERROR_VARIABLE sim_err)
if(NOT sim_status EQUAL 0)
  message(FATAL_ERROR "qln-sim failed (${sim_status}):\n${sim_out}\n${sim_err}")
endif()
execute_process(COMMAND ${emulator} ${QLN_WIN} ${SCENARIO} --out ${OUT}/win RESULT_VARIABLE win_status
                OUTPUT_VARIABLE win_out ERROR_VARIABLE win_err)
if(NOT win_status EQUAL 0)
  message(FATAL_ERROR "qln-win failed (${win_status}):\n${win_out}\n${win_err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/sim/popup.png ${OUT}/win/popup.png
                RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "the real popup differs from the simulator's (${OUT}/win/popup.png, ${OUT}/sim/popup.png)\n"
                      "qln-sim:\n${sim_out}\nqln-win:\n${win_out}")
endif()
message(STATUS "the real popup is the simulator's, pixel for pixel:\n${win_out}")
