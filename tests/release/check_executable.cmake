# Checks a built exe as it will be handed out: it imports only DLLs that ship with Windows, it fits the size budget
# and its code and resources fit theirs, it asks for Windows 7 SP1 or later, its load configuration keeps its
# imports in System32, and it carries its manifest.
#   cmake -DEXE=quelvo.exe -DOBJDUMP=x86_64-w64-mingw32-objdump -DMAX_BYTES=614400 [-DMAX_TEXT=N] [-DMAX_RSRC=N]
#         [-DCONSOLE=1] -P check_executable.cmake
set(SYSTEM_DLLS ADVAPI32.dll COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll SHELL32.dll USER32.dll)

# The reason comes first, on a line of its own: CMake wraps a long message, and the tests match the reason.
function(refuse REASON)
  message(FATAL_ERROR "${REASON}\n${EXE}")
endfunction()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE HEADERS RESULT_VARIABLE FAILED)
if(FAILED)
  message(FATAL_ERROR "objdump could not read ${EXE}")
endif()
# Debug information lives in sections of its own, which only the section headers list (-p never does).
execute_process(COMMAND ${OBJDUMP} -h ${EXE} OUTPUT_VARIABLE SECTIONS RESULT_VARIABLE FAILED)
if(FAILED OR NOT SECTIONS MATCHES "\\.text")
  message(FATAL_ERROR "objdump could not list the sections of ${EXE}")
endif()
if(SECTIONS MATCHES "\\.debug_|\\.stab")
  refuse("not stripped")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" IMPORTS "${HEADERS}")
list(LENGTH IMPORTS COUNT)
if(COUNT EQUAL 0)
  message(FATAL_ERROR "no import table found in ${EXE}")
endif()
foreach(ENTRY ${IMPORTS})
  string(REPLACE "DLL Name: " "" DLL "${ENTRY}")
  string(STRIP "${DLL}" DLL)
  list(FIND SYSTEM_DLLS "${DLL}" FOUND)
  if(FOUND EQUAL -1)
    message(FATAL_ERROR "${EXE} imports ${DLL}, which does not ship with Windows")
  endif()
  message(STATUS "imports ${DLL}")
endforeach()

file(SIZE ${EXE} BYTES)
message(STATUS "size: ${BYTES} bytes (budget ${MAX_BYTES})")
if(BYTES GREATER MAX_BYTES)
  message(FATAL_ERROR "${EXE} is ${BYTES} bytes, over the budget of ${MAX_BYTES}")
endif()

# Code and resources each against a budget of their own, so that one cannot grow into what the other saved.
foreach(PART TEXT RSRC)
  if(NOT DEFINED MAX_${PART})
    continue()
  endif()
  string(TOLOWER ${PART} SECTION)
  if(NOT SECTIONS MATCHES "\n +[0-9]+ \\.${SECTION} +([0-9a-f]+) ")
    message(FATAL_ERROR "${EXE} has no .${SECTION} section")
  endif()
  math(EXPR PART_BYTES "0x${CMAKE_MATCH_1}")
  message(STATUS ".${SECTION}: ${PART_BYTES} bytes (budget ${MAX_${PART}})")
  if(PART_BYTES GREATER MAX_${PART})
    refuse(".${SECTION} is over its budget: ${PART_BYTES} bytes, budget ${MAX_${PART}}")
  endif()
endforeach()

# Windows 7 SP1 and later only (Vista refuses an OS and subsystem version of 6.1), Terminal-Server aware.
foreach(FIELD MajorOSystemVersion=6 MinorOSystemVersion=1 MajorSubsystemVersion=6 MinorSubsystemVersion=1)
  string(REPLACE "=" ";" FIELD ${FIELD})
  list(GET FIELD 0 NAME)
  list(GET FIELD 1 VALUE)
  if(NOT HEADERS MATCHES "\n${NAME}[ \t]+${VALUE}\n")
    refuse("${NAME} is not ${VALUE}")
  endif()
endforeach()
if(NOT HEADERS MATCHES "DllCharacteristics[^\n]*\n([ \t]+[A-Z_]+\n)*[ \t]+TERMINAL_SERVICE_AWARE\n")
  message(FATAL_ERROR "${EXE} is not Terminal-Server aware")
endif()
message(STATUS "OS and subsystem version 6.1, Terminal-Server aware")

# The load configuration, read back through its directory entry: the directory's size is the structure's Size
# field, DependentLoadFlags (offset 78) is LOAD_LIBRARY_SEARCH_SYSTEM32 and every other field is zero.
string(REGEX MATCH "\nEntry a ([0-9a-f]+) ([0-9a-f]+) Load Configuration Directory" ENTRY "${HEADERS}")
math(EXPR RVA "0x0${CMAKE_MATCH_1}")
math(EXPR DIRECTORY_SIZE "0x0${CMAKE_MATCH_2}")
if(DIRECTORY_SIZE EQUAL 0)
  message(FATAL_ERROR "${EXE} has no load-configuration directory")
endif()
string(REGEX MATCH "\nImageBase[ \t]+([0-9a-f]+)" BASE "${HEADERS}")
math(EXPR START "0x${CMAKE_MATCH_1} + ${RVA}" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR STOP "${START} + ${DIRECTORY_SIZE}" OUTPUT_FORMAT HEXADECIMAL)
execute_process(COMMAND ${OBJDUMP} -s --start-address=${START} --stop-address=${STOP} ${EXE} OUTPUT_VARIABLE DUMP)
string(REGEX MATCHALL "\n [0-9a-f]+(( [0-9a-f]+)+)  " LINES "${DUMP}")
string(REGEX REPLACE "\n [0-9a-f]+ |[ ;]" "" STRUCTURE "${LINES}")
string(SUBSTRING "${STRUCTURE}" 0 8 SIZE_FIELD)
string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" SIZE_FIELD "${SIZE_FIELD}")
math(EXPR SIZE_FIELD "0x${SIZE_FIELD}")
string(SUBSTRING "${STRUCTURE}" 156 4 FLAGS)
string(SUBSTRING "${STRUCTURE}" 8 148 BEFORE)
string(SUBSTRING "${STRUCTURE}" 160 -1 AFTER)
if(NOT SIZE_FIELD EQUAL DIRECTORY_SIZE OR NOT FLAGS STREQUAL "0008" OR NOT "${BEFORE}${AFTER}" MATCHES "^0*$")
  message(FATAL_ERROR "${EXE}: load configuration of ${DIRECTORY_SIZE} bytes, Size field ${SIZE_FIELD}, "
                      "DependentLoadFlags bytes ${FLAGS}, other fields ${BEFORE}${AFTER}")
endif()
message(STATUS "load configuration: ${DIRECTORY_SIZE} bytes, DependentLoadFlags LOAD_LIBRARY_SEARCH_SYSTEM32")

# The manifest travels as text inside the resources: both run as the invoker and name the Windows they know, 7 to
# 11 (not Vista).
file(READ ${EXE} CONTENT HEX)
set(MANIFEST_TEXTS "requestedExecutionLevel level=\"asInvoker\"" "35138b9a-5d96-4fbd-8e2d-a2440225f93a"
                   "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38" "1f676c76-80e1-4239-95bb-83d0f6d0da78"
                   "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a")
# The window program's DPI awareness: per-monitor v2, falling back to per-monitor (True/PM on 8.1) and to the system
# DPI (7 and 8 read "True"). The command line draws nothing.
if(CONSOLE)
  if(NOT HEADERS MATCHES "Subsystem[ \t]+00000003")
    message(FATAL_ERROR "${EXE} is not a console program")
  endif()
else()
  list(APPEND MANIFEST_TEXTS "Microsoft.Windows.Common-Controls"
       "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">True/PM</dpiAware>"
       "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>")
endif()
foreach(TEXT ${MANIFEST_TEXTS})
  string(HEX "${TEXT}" PATTERN)
  string(FIND "${CONTENT}" "${PATTERN}" AT)
  if(AT EQUAL -1)
    message(FATAL_ERROR "the embedded manifest lacks ${TEXT}")
  endif()
endforeach()
foreach(TEXT "requireAdministrator" "e2011457-1546-43c5-a5fe-008deee3d3f0")
  string(HEX "${TEXT}" PATTERN)
  string(FIND "${CONTENT}" "${PATTERN}" AT)
  if(NOT AT EQUAL -1)
    message(FATAL_ERROR "the embedded manifest must not declare ${TEXT}")
  endif()
endforeach()
