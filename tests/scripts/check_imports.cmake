# Fails when Sonello.exe has the loader bring in a library beyond the few its first window
# needs. The others load at their first call (cmake/delayload); a function called from one of
# them but missing from its .def makes the loader load it before the program's first line again.
#   cmake -DOBJDUMP=<objdump> -DEXE=<Sonello.exe> -P check_imports.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports)
    message(FATAL_ERROR "no imports found in ${EXE}")
endif()
# advapi32 comes with kernel32 in any case.
set(core advapi32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll)
set(extra)
foreach(import ${imports})
    string(REPLACE "DLL Name: " "" dll "${import}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST core)
        list(APPEND extra ${dll})
    endif()
endforeach()
if(extra)
    message(FATAL_ERROR "loaded before the first line: ${extra}; name the functions called in cmake/delayload/")
endif()
