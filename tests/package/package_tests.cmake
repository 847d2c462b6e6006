# The installer package: its tables read on Linux, then installed, upgraded and removed under Wine.
# Where the package cannot be built its tests fail, never vanish from the run.
if(NOT TARGET msi)
  foreach(TEST msi_tables msi_install)
    add_test(NAME ${TEST} COMMAND ${CMAKE_COMMAND} -E echo "the installer package was not built: wixl, msibuild or"
             "msiinfo was not in PATH when the build was configured")
    set_tests_properties(${TEST} PROPERTIES FAIL_REGULAR_EXPRESSION "package was not built")
  endforeach()
  return()
endif()
add_test(NAME msi_tables
  COMMAND ${CMAKE_COMMAND} -DMSIINFO=${MSIINFO} -DMSIBUILD=${MSIBUILD} -DPYTHON3=${SYSTEM_PYTHON3} -DMSI=${MSI_FILE}
          -DHEADER=${VERSION_HEADER}
          -DCHECK=${PROJECT_SOURCE_DIR}/cmake/check_msi.cmake "-DPAYLOAD=${MSI_PAYLOAD}"
          -DWORK=${CMAKE_BINARY_DIR}/package-tests -P ${CMAKE_CURRENT_LIST_DIR}/msi_tables.cmake)
add_test(NAME msi_install
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/install_test.sh ${CMAKE_BINARY_DIR}/package-tests ${MSI_FILE}
          ${PROJECT_VERSION} ${CMAKE_COMMAND} ${WIXL} ${PROJECT_SOURCE_DIR}/packaging/quelvo.wxs ${VERSION_HEADER}
          $<TARGET_FILE:quelvo> $<TARGET_FILE:quelvo-cli> ${PROJECT_SOURCE_DIR}/README.md
          ${PROJECT_SOURCE_DIR}/docs)
set_tests_properties(msi_install PROPERTIES RUN_SERIAL TRUE)
