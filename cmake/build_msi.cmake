# Builds the installer package from packaging/quelvo.wxs with wixl; name, maker and version come from the header.
#   cmake -DWIXL=wixl -DWXS=quelvo.wxs -DHEADER=version.h -DEXE=quelvo.exe -DCLI=quelvo-cli.exe -DREADME=README.md
#         -DDOCS=docs -DOUTPUT=quelvo-2.0.0.msi [-DVERSION=2.0.1] -P build_msi.cmake
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
file(COPY ${DOCS}/ DESTINATION ${STAGE}/docs)
include(${CMAKE_CURRENT_LIST_DIR}/docs_fragment.cmake)
quelvo_write_docs_fragment(${STAGE} ${STAGE}/docs.wxs)
execute_process(COMMAND ${WIXL} -a x64 ${ARGS} -o ${OUTPUT} ${WXS} docs.wxs WORKING_DIRECTORY ${STAGE}
                RESULT_VARIABLE FAILED ERROR_VARIABLE ERRORS)
file(REMOVE_RECURSE ${STAGE})
# Wixl reports attributes it does not know as warnings and still builds: a package without them would be wrong.
if(FAILED OR ERRORS MATCHES "WARNING|unimplemented|unhandled")
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "wixl failed on ${WXS}:\n${ERRORS}")
endif()

# What Windows Installer relies on and wixl 0.101 cannot write, set with msibuild (msitools):
# - the database code page (the texts hold é and à) and the summary's language, that of ProductLanguage;
# - both exes' version and language (VERSIONINFO's 040C) in the File table, so that a repair or an update compares
#   versions, and no MsiFileHash row for them (the table is for unversioned files only);
# - a short name beside each long file name that is not one itself (ICE03);
# - the refusal of any RUNATLOGON other than 0 or 1, an error action (type 19) before anything is done.
set(LANGUAGE 1036)
set(REFUSED "RUNATLOGON AND RUNATLOGONTEXT <> \"v0\" AND RUNATLOGONTEXT <> \"v1\"")
set(MESSAGE "RUNATLOGON vaut « [RUNATLOGON] » : seules les valeurs 0 et 1 sont admises. Rien n’a été installé.")
find_program(MSIBUILD msibuild REQUIRED)
set(TABLES ${OUTPUT}.tables)
file(REMOVE_RECURSE ${TABLES})
file(MAKE_DIRECTORY ${TABLES})
file(WRITE ${TABLES}/codepage.idt "\n\n1252\t_ForceCodepage\n")
execute_process(COMMAND ${MSIBUILD} ${OUTPUT} -s "${HEADER_NAME} ${VERSION}" ${HEADER_MANUFACTURER} "x64;${LANGUAGE}"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${MSIBUILD} ${OUTPUT} -i codepage.idt WORKING_DIRECTORY ${TABLES} COMMAND_ERROR_IS_FATAL ANY)
# One row at a time: msibuild's DELETE with OR takes away the row after each match as well.
set(QUERIES "")
foreach(EXE_ROW quelvo.exe quelvo_cli.exe)
  list(APPEND QUERIES
    "UPDATE File SET Version = '${HEADER_VERSION}.0', Language = '${LANGUAGE}' WHERE File = '${EXE_ROW}'"
    "DELETE FROM MsiFileHash WHERE File_ = '${EXE_ROW}'")
endforeach()
foreach(QUERY ${QUERIES}
    "UPDATE File SET FileName = 'QUELVCLI.EXE|quelvo-cli.exe' WHERE File = 'quelvo_cli.exe'"
    "INSERT INTO CustomAction (Action, Type, Target) VALUES ('RefusedRunAtLogon', 19, '${MESSAGE}')"
    "INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('RefusedRunAtLogon', '${REFUSED}', 49)"
    "INSERT INTO InstallUISequence (Action, Condition, Sequence) VALUES ('RefusedRunAtLogon', '${REFUSED}', 49)")
  execute_process(COMMAND ${MSIBUILD} ${OUTPUT} -q "${QUERY}" RESULT_VARIABLE FAILED ERROR_VARIABLE ERRORS)
  if(FAILED)
    file(REMOVE ${OUTPUT})
    message(FATAL_ERROR "msibuild failed on ${OUTPUT}: ${QUERY}\n${ERRORS}")
  endif()
endforeach()
file(REMOVE_RECURSE ${TABLES})
