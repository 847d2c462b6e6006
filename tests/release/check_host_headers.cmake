# Fails if an object of the Windows build took a header from the build machine's /usr/include other than the JSON
# library's (which the build adds after the toolchain's folders): the compiler's dependency files name every header.
#   cmake -DBUILD=build/windows -P check_host_headers.cmake
cmake_minimum_required(VERSION 3.20) # no following of links: a Wine prefix in the build tree links to /
file(GLOB_RECURSE DEPFILES ${BUILD}/*.obj.d)
if(NOT DEPFILES)
  message(FATAL_ERROR "no dependency file in ${BUILD}: nothing was checked")
endif()
foreach(DEPFILE ${DEPFILES})
  file(READ ${DEPFILE} TEXT)
  string(REPLACE "/usr/include/nlohmann/" "" TEXT "${TEXT}")
  if(TEXT MATCHES "/usr/include/[^ \\\n]*")
    message(FATAL_ERROR "${DEPFILE} takes the build machine's ${CMAKE_MATCH_0}")
  endif()
endforeach()
list(LENGTH DEPFILES COUNT)
message(STATUS "${COUNT} objects, no header of the build machine but the JSON library")
