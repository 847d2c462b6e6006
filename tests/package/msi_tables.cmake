# Reads the built package's tables with msiinfo: a 64-bit package carrying this build of each payload file, and a
# version check that refuses a package whose name, maker or version differs from the header.
#   cmake -DMSIINFO=msiinfo -DMSIBUILD=msibuild -DMSI=quelvo-2.0.0.msi -DHEADER=version.h -DCHECK=check_msi.cmake
#         -DPAYLOAD=quelvo.exe;quelvo-cli.exe;README.md;docs/... -DWORK=folder -P msi_tables.cmake
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
  if(NOT FILES MATCHES "[\t|]${NAME}\t${SIZE}\t")
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

# The rows that wixl cannot write, as cmake/build_msi.cmake puts them. Each table is read once.
foreach(TABLE Property Component Registry MsiFileHash Directory CustomAction InstallExecuteSequence InstallUISequence)
  execute_process(COMMAND ${MSIINFO} export ${MSI} ${TABLE} OUTPUT_VARIABLE ${TABLE} RESULT_VARIABLE FAILED)
  if(FAILED)
    message(FATAL_ERROR "msiinfo cannot read the ${TABLE} table of ${MSI}")
  endif()
endforeach()
function(expect TEXT PATTERN WHAT)
  if(NOT "${TEXT}" MATCHES "${PATTERN}")
    message(FATAL_ERROR "${WHAT}:\n${TEXT}")
  endif()
  message(STATUS "${WHAT}")
endfunction()

# Both exes with the version that their VERSIONINFO carries (read from the exe's VS_FIXEDFILEINFO, whose signature
# is FEEF04BD) and French (1036), and no hash; a hash for each file without a version (the README, the manuals).
foreach(PATH IN LISTS PAYLOAD)
  get_filename_component(NAME ${PATH} NAME)
  string(REGEX MATCH "\n([^\t]+)\t[^\t]+\t([^\t|]+\\|)?${NAME}\t" ROW "${FILES}")
  set(KEY "\n${CMAKE_MATCH_1}\t")
  if(NAME MATCHES "\\.exe$" AND MsiFileHash MATCHES "${KEY}" OR
     NOT NAME MATCHES "\\.exe$" AND NOT MsiFileHash MATCHES "${KEY}")
    message(FATAL_ERROR "${NAME}: a hash for a file with a version, or none for one without:\n${MsiFileHash}")
  endif()
  if(NOT NAME MATCHES "\\.exe$")
    continue()
  endif()
  file(READ ${PATH} BYTES HEX)
  string(FIND "${BYTES}" "bd04effe" AT)
  math(EXPR AT "${AT} + 16")
  string(SUBSTRING "${BYTES}" ${AT} 16 FIXED)
  string(REGEX REPLACE "(..)(..)(..)(..)(..)(..)(..)(..)" "0x\\4\\3;0x\\2\\1;0x\\8\\7;0x\\6\\5" FIXED "${FIXED}")
  set(DOTTED "")
  foreach(PART ${FIXED})
    math(EXPR PART "${PART}")
    list(APPEND DOTTED ${PART})
  endforeach()
  list(JOIN DOTTED "." DOTTED)
  expect("${FILES}" "[\t|]${NAME}\t[0-9]+\t${DOTTED}\t1036\t"
         "${NAME}: version ${DOTTED} and language 1036 in the File table")
endforeach()
message(STATUS "MsiFileHash: a row for each file without a version, none for the exes")

# The shortcut's component is keyed by a value under HKEY_CURRENT_USER (Registry root 1).
set(SHORTCUT_ROW "\nStartMenuShortcut\t[^\t]*\tProgramMenuFolder\t[0-9]+\t\t([^\n]+)\n")
expect("${Component}" "${SHORTCUT_ROW}" "the shortcut has a component of its own")
string(REGEX MATCH "${SHORTCUT_ROW}" ROW "${Component}")
expect("${Registry}" "\n${CMAKE_MATCH_1}\t1\t" "its key path is a value under HKEY_CURRENT_USER")

# The summary's language is the product's; the raw string pool is in code page 1252 and holds é as 0xE9.
string(REGEX MATCH "\nProductLanguage\t([0-9]+)" ROW "${Property}")
expect("${SUMMARY}" "\nTemplate: x64;${CMAKE_MATCH_1}\n" "summary language ${CMAKE_MATCH_1}, the ProductLanguage")
execute_process(COMMAND ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/string_pool.py ${MSI} "récente"
                OUTPUT_VARIABLE POOL RESULT_VARIABLE FAILED)
expect("${POOL}" "^code page 1252\nrécente: code page\n$" "the string pool: code page 1252, its texts in it")

# ProgramData\Quelvo is the program's to make, never the package's: Windows Installer would follow a link a user
# made there first.
if(Directory MATCHES "CommonAppDataFolder" OR Component MATCHES "\nDataFolder\t")
  message(FATAL_ERROR "the package makes a folder under ProgramData:\n${Directory}")
endif()
message(STATUS "no folder under ProgramData")

# A file or folder name that is no short (8.3) name carries one (ICE03); a root folder's "SourceDir" is no name.
expect("${FILES}" "\tQUELVCLI\\.EXE\\|quelvo-cli\\.exe\t" "quelvo-cli.exe with its short name")
set(C "[A-Za-z0-9_~$-]")
set(SHORT "${C}${C}?${C}?${C}?${C}?${C}?${C}?${C}?(\\.${C}${C}?${C}?)?")
foreach(TABLE FILES Directory)
  string(REGEX MATCHALL "\n[^\t\n]+\t[^\t\n]+\t[^\t\r\n]+" ROWS "${${TABLE}}")
  foreach(ROW IN LISTS ROWS)
    string(REGEX REPLACE ".*\t" "" NAME "${ROW}")
    if(NOT NAME MATCHES "^(\\.|${SHORT}|${SHORT}\\|.+)$")
      message(FATAL_ERROR "${NAME}: a long name without a short one beside it:\n${${TABLE}}")
    endif()
  endforeach()
endforeach()
message(STATUS "every long file or folder name with a short one")

# Any RUNATLOGON but 0 and 1 stops the install: an error action (19) before the log-on choice (51), in both
# sequences. The value is compared as text behind a letter, never as a number ("01", a full-width digit).
expect("${CustomAction}" "\nRefusedRunAtLogon\t19\t\tRUNATLOGON vaut « \\[RUNATLOGON\\] »"
       "the refusal is an error action")
expect("${CustomAction}" "\nRunAtLogonText\t(51|2099)\tRUNATLOGONTEXT\tv\\[RUNATLOGON\\]\t"
       "RUNATLOGON copied behind a letter (type 51)")
foreach(SEQUENCE InstallExecuteSequence InstallUISequence)
  expect("${${SEQUENCE}}" "\nRunAtLogonText\t\t48\n" "${SEQUENCE}: the text made at 48")
  expect("${${SEQUENCE}}"
         "\nRefusedRunAtLogon\tRUNATLOGON AND RUNATLOGONTEXT <> \"v0\" AND RUNATLOGONTEXT <> \"v1\"\t49\n"
         "${SEQUENCE}: the refusal at 49, unless RUNATLOGON is absent, 0 or 1")
endforeach()
