# cpp-httplib for the reference server and the Linux test and picture tools.
# Debian's libcpp-httplib-dev ships the library compiled (declarations in
# <httplib.h>, code in libcpp-httplib.so) with a pkg-config file whose flags
# fix the class layout (OpenSSL, zlib, Brotli support), so those flags are used
# as they are, through the imported target PkgConfig::CPP_HTTPLIB (with
# Threads::Threads, which its server needs).
include_guard(GLOBAL)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(CPP_HTTPLIB REQUIRED IMPORTED_TARGET GLOBAL cpp-httplib)
if(NOT TARGET orvanta_httplib)
  add_library(orvanta_httplib INTERFACE)
  target_link_libraries(orvanta_httplib INTERFACE PkgConfig::CPP_HTTPLIB Threads::Threads)
endif()
