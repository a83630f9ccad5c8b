# Runs tintmoor-cli COMMAND INPUT (under EMULATOR when cross-compiled) and
# compares its standard output with EXPECTED byte for byte; standard error
# stays empty.
if(EMULATOR)
  string(REPLACE " " ";" EMULATOR "${EMULATOR}")
endif()
execute_process(COMMAND ${EMULATOR} "${CLI}" "${COMMAND}" "${INPUT}"
                OUTPUT_FILE "${OUTPUT}" ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tintmoor-cli ${COMMAND} exited with ${rc}: ${err}")
endif()
if(NOT err STREQUAL "")
  message(FATAL_ERROR "tintmoor-cli ${COMMAND}: unexpected standard error: ${err}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${EXPECTED}"
                RESULT_VARIABLE differ)
if(differ)
  file(READ "${OUTPUT}" got HEX)
  file(READ "${EXPECTED}" want HEX)
  message(FATAL_ERROR "output differs from ${EXPECTED}\n got: ${got}\nwant: ${want}")
endif()
