# Reads name, maker and version from the version header that the build generates from project(). Sets, in the
# caller's scope, PREFIX_VERSION (major.minor.patch), PREFIX_NAME and PREFIX_MANUFACTURER; fails if any is missing.
function(quelvo_read_version_header HEADER PREFIX)
  file(READ ${HEADER} TEXT)
  foreach(FIELD VERSION_MAJOR VERSION_MINOR VERSION_PATCH PRODUCT_NAME MANUFACTURER)
    if(NOT TEXT MATCHES "#define QUELVO_${FIELD} +(\"([^\"\n]*)\"|([0-9]+))\n")
      message(FATAL_ERROR "${HEADER} does not define QUELVO_${FIELD}")
    endif()
    set(${FIELD} "${CMAKE_MATCH_2}${CMAKE_MATCH_3}")
  endforeach()
  set(${PREFIX}_VERSION "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_PATCH}" PARENT_SCOPE)
  set(${PREFIX}_NAME "${PRODUCT_NAME}" PARENT_SCOPE)
  set(${PREFIX}_MANUFACTURER "${MANUFACTURER}" PARENT_SCOPE)
endfunction()
