# Third-party code comes from Debian's packages; nothing of it is committed.
#   GoogleTest: built for both targets from /usr/src/googletest.
#   TinyXML-2:  the native build links libtinyxml2-dev; Debian has no MinGW build,
#               so the Windows build compiles the source package that
#               scripts/bootstrap unpacks into VARNEL_DEPS_DIR.
#   CLI11:      header-only (libcli11-dev); the Windows build uses the same headers.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL SYSTEM)

if(WIN32)
  file(GLOB _tinyxml_dirs "${VARNEL_DEPS_DIR}/tinyxml2-*")
  list(SORT _tinyxml_dirs)
  list(POP_BACK _tinyxml_dirs VARNEL_TINYXML2_DIR)
  if(NOT VARNEL_TINYXML2_DIR OR NOT EXISTS "${VARNEL_TINYXML2_DIR}/tinyxml2.cpp")
    message(FATAL_ERROR "TinyXML-2 source not found under ${VARNEL_DEPS_DIR}; run scripts/bootstrap")
  endif()
  add_library(tinyxml2 STATIC "${VARNEL_TINYXML2_DIR}/tinyxml2.cpp")
  target_include_directories(tinyxml2 SYSTEM PUBLIC "${VARNEL_TINYXML2_DIR}")
  target_compile_options(tinyxml2 PRIVATE -w)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(TINYXML2 REQUIRED IMPORTED_TARGET tinyxml2)
  add_library(tinyxml2 INTERFACE)
  target_link_libraries(tinyxml2 INTERFACE PkgConfig::TINYXML2)
endif()

# The headers are copied into the build tree: adding /usr/include itself to a
# MinGW build would pull in glibc's headers.
if(NOT EXISTS /usr/include/CLI/CLI.hpp)
  message(FATAL_ERROR "CLI11 headers not found; run scripts/bootstrap")
endif()
file(COPY /usr/include/CLI DESTINATION ${CMAKE_BINARY_DIR}/_deps/cli11)
add_library(cli11 INTERFACE)
target_include_directories(cli11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/_deps/cli11)
