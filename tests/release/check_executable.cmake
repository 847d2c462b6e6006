# Checks the built quelvo.exe as it will be handed out: it imports only DLLs that ship with Windows, it fits the
# size budget, and it carries its manifest and version resource.
#   cmake -DEXE=quelvo.exe -DOBJDUMP=x86_64-w64-mingw32-objdump -DMAX_BYTES=409600 [-DCONSOLE=1] -P check_executable.cmake
set(SYSTEM_DLLS ADVAPI32.dll COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll SHELL32.dll USER32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE HEADERS RESULT_VARIABLE FAILED)
if(FAILED)
  message(FATAL_ERROR "objdump could not read ${EXE}")
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

if(HEADERS MATCHES "\\.debug_|\\.stab")
  message(FATAL_ERROR "${EXE} is not stripped")
endif()

# The command line is a console program and carries no manifest.
if(CONSOLE)
  if(NOT HEADERS MATCHES "Subsystem[ \t]+00000003")
    message(FATAL_ERROR "${EXE} is not a console program")
  endif()
  return()
endif()

# The manifest travels as text inside the resources.
file(READ ${EXE} CONTENT HEX)
foreach(TEXT "requestedExecutionLevel level=\"asInvoker\"" "Microsoft.Windows.Common-Controls"
             "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a")
  string(HEX "${TEXT}" PATTERN)
  string(FIND "${CONTENT}" "${PATTERN}" AT)
  if(AT EQUAL -1)
    message(FATAL_ERROR "the embedded manifest lacks ${TEXT}")
  endif()
endforeach()
foreach(TEXT "dpiAware" "requireAdministrator")
  string(HEX "${TEXT}" PATTERN)
  string(FIND "${CONTENT}" "${PATTERN}" AT)
  if(NOT AT EQUAL -1)
    message(FATAL_ERROR "the embedded manifest must not declare ${TEXT}")
  endif()
endforeach()
