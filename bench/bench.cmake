# Benchmarks: programs that print figures (scripts/bench.sh runs them), not tests. Built beside quelvo.exe, where
# quelvo_bench.exe looks for them.
add_executable(minimal_window WIN32 bench/minimal_window.cpp)
target_link_options(minimal_window PRIVATE -municode -s)
# The fair floor: Quelvo's manifest, Common Controls 6, a button, an edit box and the same 29 writes per click.
add_executable(fair_floor_window WIN32 bench/minimal_window.cpp bench/fair_floor.rc)
target_compile_definitions(fair_floor_window PRIVATE FAIR_FLOOR)
target_link_libraries(fair_floor_window PRIVATE quelvo_platform_win user32 comctl32)
target_link_options(fair_floor_window PRIVATE -municode -s -Wl,--gc-sections)
add_executable(shell_notice bench/shell_notice.cpp)
target_link_libraries(shell_notice PRIVATE shell32)
target_link_options(shell_notice PRIVATE -municode -s)
add_executable(quelvo_bench bench/quelvo_bench.cpp)
target_link_libraries(quelvo_bench PRIVATE quelvo_platform_win ole32 oleaut32 uuid psapi)
target_include_directories(quelvo_bench PRIVATE ${QUELVO_LAYERS}/ui) # the window's control IDs
target_link_options(quelvo_bench PRIVATE -municode)
# Quelvo's window and the fair floor's, started in one process phase by phase; with the program's own resources and
# manifest.
add_executable(quelvo_startup_phases bench/startup_phases.cpp ui/quelvo.rc)
target_link_libraries(quelvo_startup_phases PRIVATE quelvo_app comctl32)
target_link_options(quelvo_startup_phases PRIVATE -municode)
# A click step by step, Quelvo's window and the fair floor's in one process.
add_executable(quelvo_click_phases bench/click_phases.cpp ui/quelvo.rc)
target_link_libraries(quelvo_click_phases PRIVATE quelvo_app comctl32)
target_link_options(quelvo_click_phases PRIVATE -municode)
