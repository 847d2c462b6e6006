# The downloads of a release, from the files as they are shipped (signed, when they are): the zip with both programs,
# a checksum of each, the README and the docs folder beside it, the package beside the zip, and one checksum file
# for the zip and the package.
#   cmake -DEXE=quelvo.exe -DCLI=quelvo-cli.exe -DREADME=README.md -DDOCS=docs -DMSI=quelvo-2.0.0.msi -DVERSION=2.0.0
#         -DOUTPUT=dist -P make_dist.cmake
set(NAME quelvo-${VERSION})
set(FOLDER ${OUTPUT}/${NAME})
file(REMOVE_RECURSE ${FOLDER} ${FOLDER}.zip)
file(MAKE_DIRECTORY ${FOLDER})
file(COPY_FILE ${EXE} ${FOLDER}/quelvo.exe)
file(COPY_FILE ${CLI} ${FOLDER}/quelvo-cli.exe)
file(COPY_FILE ${README} ${FOLDER}/README.md)
file(COPY ${DOCS}/ DESTINATION ${FOLDER}/docs)
foreach(PROGRAM quelvo.exe quelvo-cli.exe)
  execute_process(COMMAND ${CMAKE_COMMAND} -DFILE=${FOLDER}/${PROGRAM} -P ${CMAKE_CURRENT_LIST_DIR}/write_checksum.cmake
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# -X: no Unix owners in the zip. The files named in sorted order, not in the order the file system lists them.
file(GLOB_RECURSE ENTRIES LIST_DIRECTORIES false RELATIVE ${OUTPUT} ${FOLDER}/*)
list(SORT ENTRIES)
execute_process(COMMAND zip -q -X ${NAME}.zip ${ENTRIES} WORKING_DIRECTORY ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)
file(COPY_FILE ${MSI} ${OUTPUT}/${NAME}.msi)
execute_process(COMMAND ${CMAKE_COMMAND} "-DFILES=${FOLDER}.zip;${OUTPUT}/${NAME}.msi"
                        -DOUTPUT=${OUTPUT}/${NAME}.sha256 -P ${CMAKE_CURRENT_LIST_DIR}/write_checksum.cmake
                COMMAND_ERROR_IS_FATAL ANY)
