# The Windows program: platform layer, windows, tray, resources.
add_library(quelvo_platform_win STATIC
  platform/registry_win.cpp
  platform/text_win.cpp
  platform/system_text_win.cpp
  platform/backup_store_win.cpp
  platform/file_security_win.cpp
  platform/shell_notifier_win.cpp
  platform/installation_probe_win.cpp
  platform/notification_area_win.cpp
  platform/dpi_win.cpp

  platform/elevation_win.cpp
  platform/account_win.cpp
  platform/switch_lock_win.cpp
  platform/switch_lock_pump_win.cpp
  platform/dll_search_win.cpp
  platform/message_filter_win.cpp
  platform/single_instance_win.cpp
  platform/user_defaults_win.cpp
  platform/system_facts_win.cpp
  platform/registry_watch_win.cpp
  platform/shell_execute_win.cpp)
target_link_libraries(quelvo_platform_win PUBLIC quelvo_core advapi32 shell32)
target_compile_definitions(quelvo_platform_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
quelvo_layer(quelvo_platform_win platform)

# The notification icon and the window modes: over the platform layer, knowing nothing of the windows.
add_library(quelvo_tray STATIC tray/icon_data.cpp tray/notification_icon.cpp tray/window_modes.cpp tray/on_top.cpp)
target_link_libraries(quelvo_tray PUBLIC quelvo_platform_win user32)
quelvo_layer(quelvo_tray tray)

# Everything but the entry point, so that tests can drive the real windows in-process.
add_library(quelvo_app STATIC
  ui/design.cpp
  ui/dpi_window.cpp
  ui/focus_memory.cpp
  ui/main_controls.cpp
  ui/artwork.cpp
  ui/settings_menu.cpp
  ui/main_window.cpp
  ui/switch_flow.cpp
  ui/choice_dialog.cpp
  ui/hiding_report.cpp
  ui/about_window.cpp
  ui/switch_report.cpp
  ui/main_loop.cpp
  ui/elevated_switch.cpp
  ui/accessible_name.cpp
  ui/viewer_tips.cpp
  ui/picture_report.cpp
  ui/texts.cpp)
target_link_libraries(quelvo_app PUBLIC quelvo_tray quelvo_platform_win user32 gdi32 comctl32 uuid)
quelvo_layer(quelvo_app ui)

add_executable(quelvo WIN32 ui/startup.cpp ui/quelvo.rc)
target_link_libraries(quelvo PRIVATE quelvo_app)
target_link_options(quelvo PRIVATE -municode -s -Wl,--gc-sections)
set(GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(GLOB ARTWORK ${PROJECT_SOURCE_DIR}/assets/*.bmp ${PROJECT_SOURCE_DIR}/assets/*.ico)
set_source_files_properties(ui/quelvo.rc PROPERTIES OBJECT_DEPENDS
  "${GENERATED_DIR}/quelvo.manifest;${PROJECT_SOURCE_DIR}/ui/resource.h;${GENERATED_DIR}/version.h;${ARTWORK}")

include(${PROJECT_SOURCE_DIR}/bench/bench.cmake)

# The command line: the same core and platform layer, as a console program.
# The JSON library (header only) from Debian's nlohmann-json3-dev, located by its own package configuration. Its
# folder lies in /usr/include among the Linux headers, which must never stand in for the toolchain's: it is searched
# after every folder of the toolchain (-idirafter), so the C, C++ and Windows headers always come from the toolchain.
# The test windows_build_takes_no_linux_header checks that nothing else comes from there.
find_package(nlohmann_json 3.11 CONFIG REQUIRED)
get_target_property(JSON_INCLUDE_DIRS nlohmann_json::nlohmann_json INTERFACE_INCLUDE_DIRECTORIES)
list(GET JSON_INCLUDE_DIRS 0 JSON_INCLUDE_DIR)
add_library(quelvo_json INTERFACE)
target_compile_options(quelvo_json INTERFACE "SHELL:-idirafter ${JSON_INCLUDE_DIR}")
# Everything but the entry point, so that tests can run a verb in-process and see which libraries it loads.
add_library(quelvo_cli_verbs STATIC cli/console_win.cpp cli/commands.cpp cli/report.cpp cli/output_file.cpp
  cli/verb_help.cpp cli/verb_list.cpp cli/verb_status.cpp cli/verb_use.cpp cli/verb_check.cpp cli/verb_export.cpp
  cli/verb_diagnose.cpp cli/verb_backup.cpp cli/verb_restore.cpp)
target_link_libraries(quelvo_cli_verbs PUBLIC quelvo_cli_arguments quelvo_platform_win quelvo_json)
add_executable(quelvo-cli cli/main.cpp)
target_link_libraries(quelvo-cli PRIVATE quelvo_cli_verbs)
target_link_options(quelvo-cli PRIVATE -municode -s -Wl,--gc-sections)

include(${PROJECT_SOURCE_DIR}/cmake/release.cmake)
include(${PROJECT_SOURCE_DIR}/cmake/package.cmake)
