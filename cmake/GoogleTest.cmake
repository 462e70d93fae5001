# GoogleTest from Debian's source package, built with the cross compiler.
set(GTEST_SOURCE_DIR /usr/src/googletest/googletest)
if(NOT EXISTS ${GTEST_SOURCE_DIR}/src/gtest-all.cc)
  message(FATAL_ERROR "GoogleTest sources not found in ${GTEST_SOURCE_DIR} (apt-get install googletest)")
endif()
add_library(gtest STATIC ${GTEST_SOURCE_DIR}/src/gtest-all.cc)
target_include_directories(gtest SYSTEM PUBLIC ${GTEST_SOURCE_DIR}/include PRIVATE ${GTEST_SOURCE_DIR})
target_compile_definitions(gtest PUBLIC GTEST_HAS_PTHREAD=0)
add_library(gtest_main STATIC ${GTEST_SOURCE_DIR}/src/gtest_main.cc)
target_link_libraries(gtest_main PUBLIC gtest)
# GoogleTest and the test programs are built without debug information, which takes a third of
# their build; a failure names its file and line itself. The product's libraries keep theirs
# (the module's debug file), and the test programs drop it when they are linked.
target_compile_options(gtest PRIVATE -g0)
target_compile_options(gtest_main PRIVATE -g0)

# vantorel_add_test(name SOURCES ... LIBS ...): one Windows test program, run by ctest under Wine.
function(vantorel_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest vantorel_options)
  target_compile_options(${name} PRIVATE -g0)
  target_link_options(${name} PRIVATE -Wl,-S)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # Every program shares one Wine desktop and one X display: a window that one program activates
  # takes the keyboard focus from the windows of another. They run one at a time.
  # Under Wine a program that dies (a stack overflow, say) may still exit with 0: a run passes only
  # when GoogleTest printed its summary of passed tests and no failure.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} RESOURCE_LOCK wine_desktop
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?"
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\];Unhandled")
endfunction()
