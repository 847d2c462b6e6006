# What both programs say about themselves and how they are linked: the version header and manifests generated from
# project(), the command line's resources, the Windows they run on, and the load configuration set after linking.
set(GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/ui/version.h.in ${GENERATED_DIR}/version.h @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/ui/quelvo.manifest.in ${GENERATED_DIR}/quelvo.manifest @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/cli/quelvo-cli.manifest.in ${GENERATED_DIR}/quelvo-cli.manifest @ONLY)
set(VERSION_HEADER ${GENERATED_DIR}/version.h)
# windres looks for the files that a script names in its include folders too.
target_include_directories(quelvo_app PUBLIC ${GENERATED_DIR})
target_include_directories(quelvo-cli PRIVATE ${GENERATED_DIR})
target_include_directories(fair_floor_window PRIVATE ${GENERATED_DIR})
target_sources(quelvo-cli PRIVATE ${PROJECT_SOURCE_DIR}/cli/quelvo-cli.rc)
set_source_files_properties(${PROJECT_SOURCE_DIR}/cli/quelvo-cli.rc PROPERTIES OBJECT_DEPENDS
  "${GENERATED_DIR}/quelvo-cli.manifest;${VERSION_HEADER}")

# Windows 7 SP1 and later: OS and subsystem version 6.1 (Vista refuses to start them), Terminal-Server aware (no
# per-user redirection of the Windows folder). The map file gives set_load_config.py the structure's address.
# Debian's own Python, which has the packages the scripts use (another python3 may come first in PATH).
find_program(SYSTEM_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
foreach(PROGRAM quelvo quelvo-cli)
  target_sources(${PROGRAM} PRIVATE ${PROJECT_SOURCE_DIR}/platform/load_config_win.cpp)
  target_link_options(${PROGRAM} PRIVATE -Wl,--tsaware -Wl,--major-os-version,6 -Wl,--minor-os-version,1
    -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1 -Wl,--undefined,_load_config_used
    -Wl,-Map,$<TARGET_FILE:${PROGRAM}>.map)
  add_custom_command(TARGET ${PROGRAM} POST_BUILD
    COMMAND ${SYSTEM_PYTHON3} ${PROJECT_SOURCE_DIR}/cmake/set_load_config.py $<TARGET_FILE:${PROGRAM}>
            $<TARGET_FILE:${PROGRAM}>.map
    VERBATIM)
endforeach()
