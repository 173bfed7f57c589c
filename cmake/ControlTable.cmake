# Writes OUT: one row {L"IDC_NAME", IDC_NAME, IDD_DIALOG} for each control of each dialog in RC,
# the resource script. The driver of the end-to-end tests takes control names through it, so
# the numbers stay in res/resource.h alone, and a number two dialogs share names one control.
#   cmake -DRC=<Sonello.rc> -DOUT=<controls.inc> -P ControlTable.cmake
file(STRINGS "${RC}" lines)
get_filename_component(rc_name "${RC}" NAME)
set(rows "// Made from ${rc_name} by cmake/ControlTable.cmake.\n")
set(dialog "")
foreach(line IN LISTS lines)
    if(line MATCHES "^(IDD_[A-Z0-9_]+)[ \t]+DIALOG")
        set(dialog "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^END")
        set(dialog "")
    elseif(dialog AND line MATCHES "[ \t,](IDC_[A-Z0-9_]+)[ \t]*," AND NOT CMAKE_MATCH_1 STREQUAL "IDC_STATIC")
        string(APPEND rows "{L\"${CMAKE_MATCH_1}\", ${CMAKE_MATCH_1}, ${dialog}},\n")
    endif()
endforeach()
file(WRITE "${OUT}" "${rows}")
