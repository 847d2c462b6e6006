# Builds the installer package from packaging/quelvo.wxs with wixl; name, maker and version come from the header.
#   cmake -DWIXL=wixl -DWXS=quelvo.wxs -DHEADER=version.h -DEXE=quelvo.exe -DCLI=quelvo-cli.exe -DREADME=README.md
#         -DOUTPUT=quelvo-2.0.0.msi [-DVERSION=2.0.1] -P build_msi.cmake
# VERSION replaces the header's version: the install tests build newer and older packages with it.
include(${CMAKE_CURRENT_LIST_DIR}/version_header.cmake)
quelvo_read_version_header(${HEADER} HEADER)
if(NOT VERSION)
  set(VERSION ${HEADER_VERSION})
endif()
if(NOT VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "version ${VERSION} is not major.minor.patch")
endif()
# Wixl ignores IncludeMaximum, so "up to this version included" is written as "below the next patch".
math(EXPR NEXT_PATCH "${CMAKE_MATCH_3} + 1")
set(ARGS -D Version=${VERSION} -D UpgradeBelow=${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${NEXT_PATCH}
    -D ProductName=${HEADER_NAME} -D Manufacturer=${HEADER_MANUFACTURER} -D QuelvoExe=quelvo.exe
    -D QuelvoCliExe=quelvo-cli.exe -D Readme=README.md)

# Wixl takes file sources relative to its working folder only: the payload is staged beside the package.
set(STAGE ${OUTPUT}.files)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(COPY_FILE ${EXE} ${STAGE}/quelvo.exe)
file(COPY_FILE ${CLI} ${STAGE}/quelvo-cli.exe)
file(COPY_FILE ${README} ${STAGE}/README.md)
execute_process(COMMAND ${WIXL} -a x64 ${ARGS} -o ${OUTPUT} ${WXS} WORKING_DIRECTORY ${STAGE}
                RESULT_VARIABLE FAILED ERROR_VARIABLE ERRORS)
file(REMOVE_RECURSE ${STAGE})
# Wixl reports attributes it does not know as warnings and still builds: a package without them would be wrong.
if(FAILED OR ERRORS MATCHES "WARNING|unimplemented|unhandled")
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "wixl failed on ${WXS}:\n${ERRORS}")
endif()
