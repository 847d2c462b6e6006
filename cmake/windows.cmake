# The Windows program: platform layer, windows, tray, resources.
add_library(quelvo_platform_win STATIC
  platform/registry_win.cpp
  platform/text_win.cpp)
target_link_libraries(quelvo_platform_win PUBLIC quelvo_core advapi32)
target_compile_definitions(quelvo_platform_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
