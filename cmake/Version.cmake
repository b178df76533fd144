# Reads the launcher's version from resources/Version.h into TRELGATE_VERSION
# ("1.1.0.120"). Run as a script (cmake -P cmake/Version.cmake), it prints it.
set(_trelgate_version_header "${CMAKE_CURRENT_LIST_DIR}/../resources/Version.h")
file(STRINGS "${_trelgate_version_header}" _trelgate_version_lines
    REGEX "^#define TRELGATE_VERSION_(MAJOR|MINOR|PATCH|BUILD) ")
set(TRELGATE_VERSION "")
foreach(part MAJOR MINOR PATCH BUILD)
    if(NOT _trelgate_version_lines MATCHES "#define TRELGATE_VERSION_${part} +([0-9]+)")
        message(FATAL_ERROR "resources/Version.h defines no TRELGATE_VERSION_${part}")
    endif()
    list(APPEND TRELGATE_VERSION ${CMAKE_MATCH_1})
endforeach()
list(JOIN TRELGATE_VERSION . TRELGATE_VERSION)

if(CMAKE_SCRIPT_MODE_FILE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${TRELGATE_VERSION}")
else()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_trelgate_version_header}")
endif()
