# Tests of the Windows code, run under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
add_executable(win_tests
  ${CMAKE_CURRENT_LIST_DIR}/win/registry_win_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/main_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/menu_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/tray_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/shutdown_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/about_test.cpp
  ${PROJECT_SOURCE_DIR}/ui/quelvo.rc)
target_link_libraries(win_tests PRIVATE quelvo_app quelvo_fakes gtest_main)
target_link_options(win_tests PRIVATE -mwindows -mconsole)
add_test(NAME win_tests COMMAND win_tests)
