# Tests of the Windows code, run under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
add_executable(win_tests
  ${CMAKE_CURRENT_LIST_DIR}/win/registry_win_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/main_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/menu_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/tray_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/shutdown_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/about_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/switch_report_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/startup_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/dpi_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/elevation_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/after_switch_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/accessibility_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/platform_win_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/switch_lock_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/backup_store_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win/resources_test.cpp
  ${PROJECT_SOURCE_DIR}/ui/quelvo.rc)
target_link_libraries(win_tests PRIVATE quelvo_app quelvo_fakes gtest_main oleacc ole32 oleaut32)
target_link_options(win_tests PRIVATE -mwindows -mconsole)
add_test(NAME win_tests COMMAND win_tests)
# Planted beside win_tests.exe for the DLL search test.
add_library(quelvo_planted SHARED ${CMAKE_CURRENT_LIST_DIR}/win/planted_dll.cpp)
set_target_properties(quelvo_planted PROPERTIES PREFIX "" OUTPUT_NAME quelvo_planted)
target_link_options(quelvo_planted PRIVATE -static -static-libgcc)
add_dependencies(win_tests quelvo_planted)
# Beside win_tests.exe, where the window looks for it when it asks for administrator rights.
add_custom_command(TARGET win_tests POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:quelvo-cli> $<TARGET_FILE_DIR:win_tests>)
add_dependencies(win_tests quelvo-cli)

# End to end: a driver that starts the real quelvo.exe and acts on it from another process.
add_executable(e2e_tests
  ${CMAKE_CURRENT_LIST_DIR}/e2e/driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2e/reg_tool.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_fixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2e/switch_e2e_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2e/tray_e2e_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2e/reliability_e2e_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2e/release_e2e_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2e/backup_e2e_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2e/ready_e2e_test.cpp)
target_link_libraries(e2e_tests PRIVATE quelvo_platform_win gtest_main user32 gdi32 shell32 psapi version oleacc ole32
                      oleaut32 uuid)
target_include_directories(e2e_tests PRIVATE ${QUELVO_LAYERS}/ui) # the window's control IDs
target_compile_definitions(e2e_tests PRIVATE QUELVO_PROJECT_VERSION="${PROJECT_VERSION}")
add_dependencies(e2e_tests quelvo quelvo-cli)
add_test(NAME e2e_tests COMMAND e2e_tests --gtest_filter=-KeyboardEndToEnd.*)
set_tests_properties(e2e_tests PROPERTIES RUN_SERIAL TRUE)
# Real keys and drags, pressed by xdotool on the display.
add_test(NAME e2e_keyboard
  COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/e2e/with_xdotool.sh $<TARGET_FILE:e2e_tests> "KeyboardEndToEnd.*")
set_tests_properties(e2e_keyboard PROPERTIES RUN_SERIAL TRUE DEPENDS e2e_tests)

# Keeps the Wine desktop open between test programs (scripts/env.sh starts it once the build is done).
add_executable(quelvo_desktop_keeper WIN32 ${CMAKE_CURRENT_LIST_DIR}/e2e/desktop_keeper.cpp)
target_link_options(quelvo_desktop_keeper PRIVATE -municode)

# Pictures of what a person sees, taken by scripts/test.sh after the tests (scripts/screenshots.sh at any DPI).
add_executable(quelvo_screenshots ${CMAKE_CURRENT_LIST_DIR}/e2e/screenshots.cpp ${CMAKE_CURRENT_LIST_DIR}/e2e/driver.cpp)
target_link_libraries(quelvo_screenshots PRIVATE quelvo_platform_win user32 gdi32 shell32 psapi)
target_include_directories(quelvo_screenshots PRIVATE ${QUELVO_LAYERS}/ui)
target_link_options(quelvo_screenshots PRIVATE -municode)
add_dependencies(quelvo_screenshots quelvo)

# The executable as it is handed out: imports, size, strip, manifest. Budgets: 700 KB in all, code 320 KB and
# resources 240 KB (at 277 KB and 192 KB: room for a change, not for a doubling).
set(QUELVO_EXE_BUDGETS -DMAX_BYTES=716800 -DMAX_TEXT=327680 -DMAX_RSRC=245760)
add_test(NAME release_executable
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:quelvo> -DOBJDUMP=x86_64-w64-mingw32-objdump ${QUELVO_EXE_BUDGETS}
          -P ${CMAKE_CURRENT_LIST_DIR}/release/check_executable.cmake)
# The part budgets themselves: the same executable with resources allowed one byte.
add_test(NAME release_check_rejects_resources_over_their_budget
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:quelvo> -DOBJDUMP=x86_64-w64-mingw32-objdump -DMAX_BYTES=716800
          -DMAX_TEXT=327680 -DMAX_RSRC=1 -P ${CMAKE_CURRENT_LIST_DIR}/release/check_executable.cmake)
set_tests_properties(release_check_rejects_resources_over_their_budget PROPERTIES
  PASS_REGULAR_EXPRESSION "\\.rsrc is over its budget")
# The pictures it embeds: palette pictures run-length encoded to Microsoft's rules, the same pixels as Pillow reads.
add_test(NAME release_artwork
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/release/check_artwork.py ${PROJECT_SOURCE_DIR}/assets)
# The strip check itself, on an executable that carries debug sections (the tests are not stripped).
add_test(NAME release_check_rejects_an_unstripped_executable
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:win_tests> -DOBJDUMP=x86_64-w64-mingw32-objdump -DMAX_BYTES=0
          -P ${CMAKE_CURRENT_LIST_DIR}/release/check_executable.cmake)
set_tests_properties(release_check_rejects_an_unstripped_executable PROPERTIES PASS_REGULAR_EXPRESSION "not stripped")
# ...and on one linked for older Windows (the benchmark's minimal window keeps the linker's defaults).
add_test(NAME release_check_rejects_an_executable_for_older_windows
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:minimal_window> -DOBJDUMP=x86_64-w64-mingw32-objdump -DMAX_BYTES=614400
          -P ${CMAKE_CURRENT_LIST_DIR}/release/check_executable.cmake)
set_tests_properties(release_check_rejects_an_executable_for_older_windows PROPERTIES
  PASS_REGULAR_EXPRESSION "MajorOSystemVersion is not 6")
# No header of the build machine in the Windows build but the JSON library's (cmake/windows.cmake).
add_test(NAME windows_build_takes_no_linux_header
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -P ${CMAKE_CURRENT_LIST_DIR}/release/check_host_headers.cmake)
# at_dpi.sh itself: the prefix's DPI comes back however the run ends.
add_test(NAME at_dpi_restores_the_prefix COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/e2e/at_dpi_test.sh)
set_tests_properties(at_dpi_restores_the_prefix PROPERTIES RUN_SERIAL TRUE)
# Both windows laid out at the screen's DPI: rectangles from the twips, every text inside its control.
foreach(DPI 120 144 192)
  add_test(NAME win_layout_at_${DPI}_dpi
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/e2e/at_dpi.sh ${DPI} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:win_tests>
            --gtest_filter=DpiTest.*)
  set_tests_properties(win_layout_at_${DPI}_dpi PROPERTIES RUN_SERIAL TRUE)
endforeach()

# The command line against the real registry: quelvo-cli.exe and reg.exe as separate processes.
add_executable(cli_tests
  ${CMAKE_CURRENT_LIST_DIR}/cli/cli_fixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cli/cli_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cli/safety_net_cli_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cli/fleet_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cli/diagnose_test.cpp)
target_link_libraries(cli_tests PRIVATE quelvo_cli_verbs quelvo_fakes gtest_main)
add_dependencies(cli_tests quelvo-cli)
add_test(NAME cli_tests COMMAND cli_tests --gtest_filter=-CliTest.ANearlyFullDrive*)
set_tests_properties(cli_tests PROPERTIES RUN_SERIAL TRUE)
# -o onto a drive that fills up: a small tmpfs as drive Q: (the test says it was skipped where none can be mounted).
add_test(NAME cli_nearly_full_drive
  COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/cli/with_small_drive.sh ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:cli_tests>
          --gtest_filter=CliTest.ANearlyFullDrive*)
set_tests_properties(cli_nearly_full_drive PROPERTIES RUN_SERIAL TRUE DEPENDS cli_tests)
add_test(NAME release_executable_cli
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:quelvo-cli> -DOBJDUMP=x86_64-w64-mingw32-objdump -DMAX_BYTES=512000
          -DMAX_TEXT=409600 -DMAX_RSRC=16384 -DCONSOLE=1 -P ${CMAKE_CURRENT_LIST_DIR}/release/check_executable.cmake)

include(${CMAKE_CURRENT_LIST_DIR}/package/package_tests.cmake)

# The release as published: signed with a throwaway certificate, verified offline, then built again elsewhere and
# compared. Last, since it links both programs again (with the commit's time) and rebuilds the package beside them.
add_test(NAME release_signed_and_reproducible
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/release/release_test.sh ${CMAKE_BINARY_DIR}/release-tests ${CMAKE_BINARY_DIR})
set_tests_properties(release_signed_and_reproducible PROPERTIES RUN_SERIAL TRUE TIMEOUT 3600)
