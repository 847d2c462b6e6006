# The Windows Installer package, built with wixl beside quelvo.exe. Name, maker and version come from the version
# header that cmake/release.cmake generates from project().

# Only where its tools are found, so that both programs and their tests build without them; the test command and
# the release refuse to go on without them (scripts/env.sh, require_package_tools). Looked up in PATH only, as the
# scripts do, so that both agree.
find_program(WIXL wixl NO_CMAKE_SYSTEM_PATH)
find_program(MSIBUILD msibuild NO_CMAKE_SYSTEM_PATH)
find_program(MSIINFO msiinfo NO_CMAKE_SYSTEM_PATH)
if(NOT WIXL OR NOT MSIBUILD OR NOT MSIINFO)
  message(STATUS "No installer package: wixl, msibuild or msiinfo not found in PATH (Debian's wixl and msitools)")
  return()
endif()
set(MSI_NAME quelvo-${PROJECT_VERSION}.msi)
set(DIST_ROOT ${CMAKE_BINARY_DIR}/dist)
set(MSI_FILE ${CMAKE_BINARY_DIR}/${MSI_NAME})
# The manuals go whole, whatever the folder holds: a new file there rebuilds the package.
file(GLOB_RECURSE DOCS_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*)
set(MSI_PAYLOAD $<TARGET_FILE:quelvo> $<TARGET_FILE:quelvo-cli> ${PROJECT_SOURCE_DIR}/README.md ${DOCS_FILES})
add_custom_command(OUTPUT ${MSI_FILE}
  COMMAND ${CMAKE_COMMAND} -DWIXL=${WIXL} -DWXS=${PROJECT_SOURCE_DIR}/packaging/quelvo.wxs -DHEADER=${VERSION_HEADER}
          -DEXE=$<TARGET_FILE:quelvo> -DCLI=$<TARGET_FILE:quelvo-cli> -DREADME=${PROJECT_SOURCE_DIR}/README.md
          -DDOCS=${PROJECT_SOURCE_DIR}/docs -DOUTPUT=${MSI_FILE}
          -P ${PROJECT_SOURCE_DIR}/cmake/build_msi.cmake
  COMMAND ${CMAKE_COMMAND} -DMSIINFO=${MSIINFO} -DMSI=${MSI_FILE} -DHEADER=${VERSION_HEADER}
          -P ${PROJECT_SOURCE_DIR}/cmake/check_msi.cmake
  DEPENDS ${MSI_PAYLOAD} ${PROJECT_SOURCE_DIR}/packaging/quelvo.wxs ${VERSION_HEADER}
          ${PROJECT_SOURCE_DIR}/cmake/build_msi.cmake ${PROJECT_SOURCE_DIR}/cmake/docs_fragment.cmake
          ${PROJECT_SOURCE_DIR}/cmake/check_msi.cmake
  COMMENT "Building ${MSI_NAME}")
add_custom_target(msi ALL DEPENDS ${MSI_FILE})

# dist: the zip, the package beside it and their checksums, unsigned (scripts/release.sh makes a release's, signed).
add_custom_target(dist
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:quelvo> -DCLI=$<TARGET_FILE:quelvo-cli>
          -DREADME=${PROJECT_SOURCE_DIR}/README.md -DDOCS=${PROJECT_SOURCE_DIR}/docs -DMSI=${MSI_FILE}
          -DVERSION=${PROJECT_VERSION} -DOUTPUT=${DIST_ROOT}
          -P ${PROJECT_SOURCE_DIR}/cmake/make_dist.cmake
  DEPENDS quelvo quelvo-cli ${MSI_FILE}
  COMMENT "Packing the downloads into ${DIST_ROOT}")
add_dependencies(dist msi)
