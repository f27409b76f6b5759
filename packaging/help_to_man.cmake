# Writes mwbatch's manual page from its own help: the overview, then every
# command it lists with that command's --help, kept as the program lays them
# out. Run as: cmake -DMWBATCH=... -DVERSION=... -DOUTPUT=... -P help_to_man.cmake
foreach(var MWBATCH VERSION OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "help_to_man.cmake needs -D${var}=...")
  endif()
endforeach()

# Help text as roff lines that are printed as they are.
function(help_as_roff text outVar)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  # A line starting with a dot or a quote would be read as a request.
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${outVar} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

function(run_help outVar)
  execute_process(COMMAND ${MWBATCH} ${ARGN} --help
    OUTPUT_VARIABLE text RESULT_VARIABLE status ENCODING UTF-8)
  if(NOT status EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "\"mwbatch ${ARGN} --help\" failed (${status})")
  endif()
  set(${outVar} "${text}" PARENT_SCOPE)
endfunction()

run_help(overview)
# The overview lists one command a line: two spaces, its name, its summary.
string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*  *[^\n]*" commandLines "${overview}")
if(NOT commandLines)
  message(FATAL_ERROR "mwbatch --help lists no commands")
endif()

help_as_roff("${overview}" overviewRoff)
set(page ".TH MWBATCH 1 \"\" \"Morphwright ${VERSION}\" \"User Commands\"
.SH NAME
mwbatch \\- Morphwright's figures without a window: export, pictures, random figures, library checks
.SH SYNOPSIS
.B mwbatch
.I COMMAND
.RI [ OPTIONS ] \" ...\"
.br
.B mwbatch
.I COMMAND
.B \\-\\-help
.SH DESCRIPTION
${overviewRoff}.SH COMMANDS
")
foreach(line IN LISTS commandLines)
  string(REGEX MATCH "^\n  ([a-z][a-z0-9-]*)" unused "${line}")
  set(command "${CMAKE_MATCH_1}")
  run_help(help ${command})
  help_as_roff("${help}" helpRoff)
  string(APPEND page ".SS ${command}\n${helpRoff}")
endforeach()
string(APPEND page ".SH SEE ALSO\n.BR morphwright (1)\n")
file(WRITE ${OUTPUT} "${page}")
