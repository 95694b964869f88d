# Checks the export and import tables of Velto.Box.dll with objdump, on the build machine:
# every function velto_box.h declares is exported under its plain name, no decorated
# (name@N) name is exported, and the DLL needs no DLL beyond the system's own.
# Usage: cmake -DOBJDUMP=... -DDLL=... -DHEADER=... -P check_dll_tables.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "objdump could not read ${DLL}")
endif()

# The name pointer table lists one export a line, its name last, up to a blank line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\][^\n]*" rows "${table}")
set(exported)
foreach(row IN LISTS rows)
  string(REGEX REPLACE ".*[ \t]([^ \t]+)$" "\\1" name "${row}")
  list(APPEND exported "${name}")
endforeach()
if(NOT exported)
  message(FATAL_ERROR "no exports found in ${DLL}:\n${dump}")
endif()

set(failures)
foreach(name IN LISTS exported)
  if(name MATCHES "@")
    list(APPEND failures "decorated export: ${name}")
  endif()
endforeach()

file(READ ${HEADER} header)
string(REGEX MATCHALL "VELTO_API [^;(]* STDCALL [A-Za-z_0-9]+\\(" declarations "${header}")
if(NOT declarations)
  message(FATAL_ERROR "no exports declared in ${HEADER}")
endif()
foreach(declaration IN LISTS declarations)
  string(REGEX REPLACE ".* STDCALL ([A-Za-z_0-9]+)\\($" "\\1" name "${declaration}")
  if(NOT name IN_LIST exported)
    list(APPEND failures "not exported plainly: ${name}")
  endif()
endforeach()

set(system_dlls advapi32.dll bcrypt.dll crypt32.dll kernel32.dll msvcrt.dll ntdll.dll ole32.dll
    oleaut32.dll rpcrt4.dll secur32.dll shell32.dll shlwapi.dll user32.dll winhttp.dll ws2_32.dll)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "DLL Name: ([^ ]+).*" "\\1" dll "${import}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls)
    list(APPEND failures "imports a DLL that is not the system's: ${dll}")
  endif()
endforeach()

list(LENGTH exported export_count)
list(LENGTH declarations declared_count)
if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Velto.Box.dll tables are wrong:\n  ${text}")
endif()
message(STATUS "${export_count} plain exports (${declared_count} declared), imports: ${imports}")
