# Tests of the Windows code, run under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
add_executable(win_tests
  ${CMAKE_CURRENT_LIST_DIR}/win/registry_win_test.cpp)
target_link_libraries(win_tests PRIVATE quelvo_platform_win gtest_main)
add_test(NAME win_tests COMMAND win_tests)
