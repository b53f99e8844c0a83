# varnel_add_test(NAME SOURCES ... LIBS ...)
# Native: every GoogleTest case is its own CTest test.
# Windows: one CTest test per binary, run under Wine, because starting a Wine
# process costs seconds; all of them share one Wine prefix inside the build tree.
include(GoogleTest)

set(VARNEL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(VARNEL_WINE_ENV
    "WINEPREFIX=${VARNEL_WINEPREFIX}"
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml=")

function(varnel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  if(WIN32)
    add_test(NAME ${name}
             COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/wine-test.sh ${VARNEL_WINE} $<TARGET_FILE:${name}>
                     --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "${VARNEL_WINE_ENV}"
      FIXTURES_REQUIRED wineprefix
      TIMEOUT 900)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# varnel_add_fuzzer(NAME LIBRARY): a libFuzzer target fuzz/NAME.cpp over
# LIBRARY, whose own code gets the coverage instrumentation. Only with
# VARNEL_FUZZ (clang).
function(varnel_add_fuzzer name library)
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link)
  add_executable(${name} ${CMAKE_SOURCE_DIR}/fuzz/${name}.cpp)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${library})
endfunction()
