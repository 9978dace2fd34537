# Manual pages in section 1 for the programs, written by help2man from each
# program's --help when the program is built, and the changelog, both
# compressed as Debian ships them (gzip -9n: no name or time stamp).
find_program(ORVANTA_HELP2MAN help2man)
find_program(ORVANTA_GZIP gzip REQUIRED)
set(man_dir ${CMAKE_CURRENT_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${man_dir})

set(name_orvanta-client "window of the Orvanta harmonic-analysis client")
set(name_orvanta-query "query a recorder's memory card and post the request, without a window")
set(name_orvanta-card "write sample recorder cards, show what a card holds, find its voltage events, analyse its power quality and report it, save it as an image and export COMTRADE files")
set(name_orvanta-server "reference analysis server for the Orvanta client")
# Further sections: what the window is for (its --help is one line), and the
# files the window and orvanta-query read.
set(include_orvanta-client ${CMAKE_CURRENT_SOURCE_DIR}/man/orvanta-client.h2m ${CMAKE_CURRENT_SOURCE_DIR}/man/files.h2m)
set(include_orvanta-query ${CMAKE_CURRENT_SOURCE_DIR}/man/files.h2m)
set(include_orvanta-card ${CMAKE_CURRENT_SOURCE_DIR}/man/files.h2m)
set(commands_orvanta-card create info overview events analyse report save comtrade)

# The pages are dated by the changelog's latest entry, as Debian's builds date
# what they make (SOURCE_DATE_EPOCH), not by the day of the build.
execute_process(COMMAND dpkg-parsechangelog -l ${CMAKE_CURRENT_SOURCE_DIR}/changelog -S Timestamp
                OUTPUT_VARIABLE release_time OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  string(TIMESTAMP release_time "%s" UTC)
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS changelog)

set(outputs "")
if(ORVANTA_HELP2MAN)
  foreach(program IN LISTS ORVANTA_PROGRAMS)
    if(NOT TARGET ${program})
      continue()
    endif()
    set(others ${ORVANTA_PROGRAMS})
    list(REMOVE_ITEM others ${program})
    set(page ${man_dir}/${program}.1.gz)
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> "-DNAME=${name_${program}}"
              -DVERSION=${PROJECT_VERSION} "-DSEE_ALSO=${others}" "-DCOMMANDS=${commands_${program}}"
              "-DINCLUDES=${include_${program}}" -DOUTPUT=${page}
              -DHELP2MAN=${ORVANTA_HELP2MAN} -DGZIP=${ORVANTA_GZIP} -DRELEASE_TIME=${release_time}
              -P ${CMAKE_CURRENT_SOURCE_DIR}/man/help2man.cmake
      DEPENDS ${program} man/help2man.cmake ${include_${program}}
      COMMENT "Manual page ${program}(1)"
      VERBATIM)
    list(APPEND outputs ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
else()
  message(WARNING "help2man not found (scripts/deps installs it): no manual pages")
endif()

# A version without a Debian revision makes a native package, whose Debian
# changelog is changelog.gz.
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
add_custom_command(
  OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/changelog ${changelog}
  COMMAND ${ORVANTA_GZIP} -9nf ${changelog}
  DEPENDS changelog
  VERBATIM)
list(APPEND outputs ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${docdir})

add_custom_target(package_files ALL DEPENDS ${outputs})
add_dependencies(package_files programs)
