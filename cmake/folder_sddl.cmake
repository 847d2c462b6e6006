# The descriptor of ProgramData\Quelvo, read from the program's own constant so that the package makes the folder
# exactly as the program would.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../core/file_trust.h FOLDER_SDDL_LINE REGEX "kMachineFolderSddl = L\"")
string(REGEX REPLACE ".*L\"([^\"]+)\".*" "\\1" FOLDER_SDDL "${FOLDER_SDDL_LINE}")
string(REPLACE "\\;" ";" FOLDER_SDDL "${FOLDER_SDDL}") # file(STRINGS) escapes the semicolons of a list item
if(NOT FOLDER_SDDL MATCHES "^O:BA")
  message(FATAL_ERROR "no folder descriptor found in core/file_trust.h")
endif()
