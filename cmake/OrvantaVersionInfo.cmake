# orvanta_version_info(TARGET ZH EN): gives a Windows program a VERSIONINFO
# resource made from the project's version, with its description in Chinese
# and in English (cmake/version_info.rc.in), so that the file's properties
# and the task manager name it.
function(orvanta_version_info target description_zh description_en)
  set(ORVANTA_VI_NAME ${target})
  set(ORVANTA_VI_FILE ${target}.exe)
  set(ORVANTA_VI_DESCRIPTION_ZH "${description_zh}")
  set(ORVANTA_VI_DESCRIPTION_EN "${description_en}")
  set(patch ${PROJECT_VERSION_PATCH})
  if(patch STREQUAL "")
    set(patch 0)
  endif()
  set(ORVANTA_VI_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${patch},0")
  set(rc ${CMAKE_BINARY_DIR}/version_info/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version_info.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
