# CLI11, the command-line parser of orvanta-query, orvanta-card and
# orvanta-server: Debian's libcli11-dev, header-only, used by the Linux and the
# mingw-w64 build alike. Neither build may put the host's /usr/include on the
# include path as a whole (the cross build would see the host's C library
# headers, and an explicit -isystem /usr/include upsets the C++ library's
# include order), so both see only CLI/ through a folder of the build tree.
include_guard(GLOBAL)
find_path(ORVANTA_CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT ORVANTA_CLI11_INCLUDE_DIR)
  message(FATAL_ERROR "CLI11 not found: install libcli11-dev (scripts/deps)")
endif()
set(ORVANTA_CLI11_LINK_DIR ${CMAKE_BINARY_DIR}/cli11-include)
file(MAKE_DIRECTORY ${ORVANTA_CLI11_LINK_DIR})
file(CREATE_LINK ${ORVANTA_CLI11_INCLUDE_DIR}/CLI ${ORVANTA_CLI11_LINK_DIR}/CLI SYMBOLIC)
add_library(orvanta_cli11 INTERFACE)
target_include_directories(orvanta_cli11 SYSTEM INTERFACE ${ORVANTA_CLI11_LINK_DIR})
