# Writes one program's manual page from its own --help, at build time, so that
# the page always says what the program says (cmake -P, from manpages.cmake):
#   PROGRAM   the built program
#   NAME      the one-line description for the page's NAME section
#   VERSION   the project's version (help2man does not ask the program for it)
#   SEE_ALSO  the other programs of the package
#   COMMANDS  for a program with commands: their names; each "PROGRAM COMMAND
#             --help" becomes a subsection of COMMANDS
#   INCLUDES  help2man include files with further sections (optional)
#   OUTPUT    the compressed page, NAME.1.gz
#   RELEASE_TIME    the page's date, in seconds since 1970
#   HELP2MAN, GZIP  the tools
cmake_minimum_required(VERSION 3.20)
get_filename_component(program_name "${PROGRAM}" NAME)
get_filename_component(out_dir "${OUTPUT}" DIRECTORY)
set(include_file "${out_dir}/${program_name}.h2m")
set(page "${out_dir}/${program_name}.1")

# The programs answer --help in English whatever the desktop's language, and the
# window's program needs no display for it.
set(environment LC_ALL=C.UTF-8 LANGUAGE=en LANG=en_US.UTF-8 QT_QPA_PLATFORM=offscreen
    SOURCE_DATE_EPOCH=${RELEASE_TIME})

# Text shown as is: roff needs its escape character, leading control
# characters and minus signs escaped.
function(as_verbatim_roff text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

set(sections "")
foreach(include IN LISTS INCLUDES)
  file(READ "${include}" text)
  string(APPEND sections "${text}")
endforeach()
if(COMMANDS)
  string(APPEND sections "[COMMANDS]\n")
  foreach(command IN LISTS COMMANDS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${environment} "${PROGRAM}" ${command} --help
                    OUTPUT_VARIABLE help RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${program_name} ${command} --help failed (${status})")
    endif()
    as_verbatim_roff("${help}" help)
    string(APPEND sections ".SS ${command}\n${help}")
  endforeach()
endif()
string(APPEND sections "[SEE ALSO]\n")
set(references "")
foreach(other IN LISTS SEE_ALSO)
  list(APPEND references ".BR ${other} (1)")
endforeach()
list(JOIN references ",\n" references)
string(APPEND sections "${references}\n")
file(WRITE "${include_file}" "${sections}")

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ${environment}
          "${HELP2MAN}" --no-info --no-discard-stderr --section=1 "--version-string=${VERSION}"
          "--name=${NAME}" "--source=Orvanta ${VERSION}" "--manual=Orvanta harmonic-analysis client"
          "--include=${include_file}" "--output=${page}" "${PROGRAM}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${program_name} (${status})")
endif()
# Compressed as Debian ships manual pages: best compression, no name or time stamp.
execute_process(COMMAND "${GZIP}" -9nf "${page}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${page}")
endif()
