# Reads the built package's tables with msiinfo: a 64-bit package carrying this build of each payload file, and a
# version check that refuses a package whose name, maker or version differs from the header.
#   cmake -DMSIINFO=msiinfo -DMSIBUILD=msibuild -DMSI=quelvo-2.0.0.msi -DHEADER=version.h -DCHECK=check_msi.cmake
#         -DPAYLOAD=quelvo.exe;quelvo-cli.exe;README.md -DWORK=folder -P msi_tables.cmake
# Wixl ignores Package/@Platform: without "-a x64" Windows would put everything in the 32-bit folders and views.
execute_process(COMMAND ${MSIINFO} suminfo ${MSI} OUTPUT_VARIABLE SUMMARY)
if(NOT SUMMARY MATCHES "\nTemplate: x64;")
  message(FATAL_ERROR "the package is not a 64-bit package:\n${SUMMARY}")
endif()
message(STATUS "x64 package")

# Each file of the payload is in the package at the size it has in this build.
execute_process(COMMAND ${MSIINFO} export ${MSI} File OUTPUT_VARIABLE FILES RESULT_VARIABLE FAILED)
if(FAILED)
  message(FATAL_ERROR "msiinfo cannot read the File table of ${MSI}")
endif()
foreach(PATH IN LISTS PAYLOAD)
  get_filename_component(NAME ${PATH} NAME)
  file(SIZE ${PATH} SIZE)
  if(NOT FILES MATCHES "\t${NAME}\t${SIZE}\t")
    message(FATAL_ERROR "${NAME} (${SIZE} bytes in this build) is not in the package's File table:\n${FILES}")
  endif()
  message(STATUS "carries ${NAME}, ${SIZE} bytes")
endforeach()

# The build's check passes the package as built and refuses a copy that differs from the header in one field.
execute_process(COMMAND ${CMAKE_COMMAND} -DMSIINFO=${MSIINFO} -DMSI=${MSI} -DHEADER=${HEADER} -P ${CHECK}
                RESULT_VARIABLE FAILED OUTPUT_QUIET ERROR_VARIABLE ERRORS)
if(FAILED)
  message(FATAL_ERROR "the version check refuses the package as built:\n${ERRORS}")
endif()
file(MAKE_DIRECTORY ${WORK})
foreach(PROPERTY ProductName Manufacturer ProductVersion)
  set(ALTERED ${WORK}/altered-${PROPERTY}.msi)
  file(COPY_FILE ${MSI} ${ALTERED})
  execute_process(COMMAND ${MSIBUILD} ${ALTERED} -q "UPDATE Property SET Value = '9.9.9' WHERE Property = '${PROPERTY}'"
                  RESULT_VARIABLE FAILED)
  if(FAILED)
    message(FATAL_ERROR "msibuild could not change ${PROPERTY} in ${ALTERED}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -DMSIINFO=${MSIINFO} -DMSI=${ALTERED} -DHEADER=${HEADER} -P ${CHECK}
                  RESULT_VARIABLE FAILED OUTPUT_QUIET ERROR_QUIET)
  if(NOT FAILED OR EXISTS ${ALTERED})
    message(FATAL_ERROR "the version check let through (or kept) a package whose ${PROPERTY} is 9.9.9")
  endif()
  message(STATUS "the version check refuses and deletes a package whose ${PROPERTY} differs")
endforeach()
