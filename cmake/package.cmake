# The Windows Installer package, built with wixl beside quelvo.exe. Name, maker and version come from
# ui/version.h; the build stops when CMake's project version or the manifest says otherwise.
include(${PROJECT_SOURCE_DIR}/cmake/version_header.cmake)
set(VERSION_HEADER ${PROJECT_SOURCE_DIR}/ui/version.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${VERSION_HEADER} ${PROJECT_SOURCE_DIR}/ui/quelvo.manifest)
quelvo_read_version_header(${VERSION_HEADER} HEADER)
if(NOT HEADER_VERSION STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "ui/version.h says ${HEADER_VERSION}, project() says ${PROJECT_VERSION}: make them agree")
endif()
file(READ ${PROJECT_SOURCE_DIR}/ui/quelvo.manifest MANIFEST)
if(NOT MANIFEST MATCHES "<assemblyIdentity[^>]* version=\"${HEADER_VERSION}\\.0\"")
  message(FATAL_ERROR "ui/quelvo.manifest's assemblyIdentity version is not ${HEADER_VERSION}.0")
endif()

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
