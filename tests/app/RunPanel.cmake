# Runs the panel with --screenshot and fails unless it exits 0 and wrote a
# picture of a sensible size.
file(REMOVE ${PICTURE})
execute_process(COMMAND ${PANEL} --local-address 127.0.0.1 --screenshot ${PICTURE} --page 10
                        --delay 300
                RESULT_VARIABLE result TIMEOUT 50)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "orvpanel ended with ${result}")
endif()
if(NOT EXISTS ${PICTURE})
  message(FATAL_ERROR "orvpanel wrote no picture")
endif()
file(SIZE ${PICTURE} size)
if(size LESS 10000)
  message(FATAL_ERROR "the picture is only ${size} bytes")
endif()
