# The Windows program: platform layer, windows, tray, resources.
add_library(quelvo_platform_win STATIC
  platform/registry_win.cpp
  platform/text_win.cpp
  platform/notification_area_win.cpp)
target_link_libraries(quelvo_platform_win PUBLIC quelvo_core advapi32 shell32)
target_compile_definitions(quelvo_platform_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# Everything but the entry point, so that tests can drive the real windows in-process.
add_library(quelvo_app STATIC
  ui/design.cpp
  ui/settings_menu.cpp
  ui/main_window.cpp
  ui/about_window.cpp
  ui/switch_report.cpp
  tray/icon_data.cpp
  tray/tray_mode.cpp
  tray/on_top.cpp
  tray/shutdown.cpp)
target_link_libraries(quelvo_app PUBLIC quelvo_platform_win user32 gdi32 comctl32)

add_executable(quelvo WIN32 ui/startup.cpp ui/quelvo.rc)
target_link_libraries(quelvo PRIVATE quelvo_app)
target_link_options(quelvo PRIVATE -municode -s -Wl,--gc-sections)
set_source_files_properties(ui/quelvo.rc PROPERTIES OBJECT_DEPENDS
  "${PROJECT_SOURCE_DIR}/ui/quelvo.manifest;${PROJECT_SOURCE_DIR}/ui/resource.h;${PROJECT_SOURCE_DIR}/ui/version.h")
