# The Windows Installer package, built with wixl beside quelvo.exe. Name, maker and version come from the version
# header that cmake/release.cmake generates from project().

find_program(WIXL wixl REQUIRED)
find_program(MSIINFO msiinfo REQUIRED)
set(MSI_NAME quelvo-${PROJECT_VERSION}.msi)
set(DIST_ROOT ${CMAKE_BINARY_DIR}/dist)
set(MSI_FILE ${CMAKE_BINARY_DIR}/${MSI_NAME})
set(MSI_PAYLOAD $<TARGET_FILE:quelvo> $<TARGET_FILE:quelvo-cli> ${PROJECT_SOURCE_DIR}/README.md)
add_custom_command(OUTPUT ${MSI_FILE}
  COMMAND ${CMAKE_COMMAND} -DWIXL=${WIXL} -DWXS=${PROJECT_SOURCE_DIR}/packaging/quelvo.wxs -DHEADER=${VERSION_HEADER}
          -DEXE=$<TARGET_FILE:quelvo> -DCLI=$<TARGET_FILE:quelvo-cli> -DREADME=${PROJECT_SOURCE_DIR}/README.md
          -DOUTPUT=${MSI_FILE}
          -P ${PROJECT_SOURCE_DIR}/cmake/build_msi.cmake
  COMMAND ${CMAKE_COMMAND} -DMSIINFO=${MSIINFO} -DMSI=${MSI_FILE} -DHEADER=${VERSION_HEADER}
          -P ${PROJECT_SOURCE_DIR}/cmake/check_msi.cmake
  DEPENDS ${MSI_PAYLOAD} ${PROJECT_SOURCE_DIR}/packaging/quelvo.wxs ${VERSION_HEADER}
          ${PROJECT_SOURCE_DIR}/cmake/build_msi.cmake ${PROJECT_SOURCE_DIR}/cmake/check_msi.cmake
  COMMENT "Building ${MSI_NAME}")
add_custom_target(msi ALL DEPENDS ${MSI_FILE})

# dist: the package beside the zip, and one checksum file for both downloads (quelvo.exe.sha256 stays in the zip).
add_dependencies(dist msi)
add_custom_command(TARGET dist POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${MSI_FILE} ${DIST_ROOT}
  COMMAND ${CMAKE_COMMAND} -DFILES=${DIST_ROOT}/quelvo-${PROJECT_VERSION}.zip$<SEMICOLON>${DIST_ROOT}/${MSI_NAME}
          -DOUTPUT=${DIST_ROOT}/quelvo-${PROJECT_VERSION}.sha256
          -P ${PROJECT_SOURCE_DIR}/cmake/write_checksum.cmake
  VERBATIM)
