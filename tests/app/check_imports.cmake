# Fails unless every DLL that a PE file imports is a Windows system DLL, so
# that Varnel.exe runs on a bare Windows without MinGW's runtime DLLs.
# Usage: cmake -DOBJDUMP=... -DEXE=... -P check_imports.cmake
set(allowed
  kernel32 user32 gdi32 comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 advapi32
  uxtheme version msvcrt ucrtbase imm32 winmm msimg32 query)

execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed (${rc})")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "no imports found in ${EXE}: the objdump output was not understood")
endif()

set(refused "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" name)
  string(REGEX REPLACE "\\.dll$" "" name "${name}")
  message(STATUS "imports ${dll}")
  # The universal C runtime's forwarders are part of Windows 10 and later.
  if(name MATCHES "^api-ms-win-crt-")
    continue()
  endif()
  list(FIND allowed "${name}" index)
  if(index EQUAL -1)
    list(APPEND refused "${dll}")
  endif()
endforeach()

if(refused)
  message(FATAL_ERROR "${EXE} imports DLLs that Windows does not provide: ${refused}")
endif()
