# Writes tintmoor-cli's man page from its own --help and --version, and each
# command's --help as a section of its own, so the page never says other than
# the program. Needs help2man.
#
#   cmake -DHELP2MAN=help2man -DCLI=tintmoor-cli -DOUTPUT=tintmoor-cli.1 -P manpage.cmake
execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${CLI} --help failed")
endif()
# The command table: lines of two spaces, a command's name, two spaces more.
string(REGEX MATCHALL "\n  [a-z][a-z-]*  " rows "${help}")
set(include "[COMMANDS]\n")
foreach(row IN LISTS rows)
  string(STRIP "${row}" command)
  execute_process(COMMAND "${CLI}" ${command} --help OUTPUT_VARIABLE text RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${CLI} ${command} --help failed")
  endif()
  # As typed: no filling, backslashes and leading dots kept from roff.
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(APPEND include ".SS ${command}\n.nf\n${text}.fi\n")
endforeach()
string(APPEND include "[FILES]\n"
       ".TP\n.I /usr/share/tintmoor-cli/playercolors.xml\n"
       "The default colors, copied into a game's data folder that has no\n"
       ".I playercolors.xml\nyet. Beside the program when it is not installed.\n")
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(WRITE "${dir}/tintmoor-cli.h2m" "${include}")
execute_process(COMMAND "${HELP2MAN}" --no-info --section 1
                        --name "change the player colors of Age of Mythology"
                        --include "${dir}/tintmoor-cli.h2m" --output "${OUTPUT}" "${CLI}"
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "help2man failed on ${CLI}")
endif()
