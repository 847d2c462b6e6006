# Writes checksums in the form that "sha256sum -c" reads: FILE.sha256 for one FILE, or one OUTPUT listing FILES
# (a list of files in OUTPUT's folder).
if(FILE)
  set(FILES ${FILE})
  set(OUTPUT ${FILE}.sha256)
endif()
set(TEXT "")
foreach(PATH IN LISTS FILES)
  file(SHA256 ${PATH} DIGEST)
  get_filename_component(NAME ${PATH} NAME)
  string(APPEND TEXT "${DIGEST}  ${NAME}\n")
endforeach()
file(WRITE ${OUTPUT} "${TEXT}")
