# quellmark_headers(TARGET PREFIX [FOLDER])
#
# Makes the headers in FOLDER (default: the current source folder) includable
# as "PREFIX/Name.h" -- "session/Session.h", "validate/checks/Check.h" -- so
# that every include says which library a header belongs to, and only by the
# targets that link TARGET: the include root is a folder of the build tree
# holding one link, PREFIX, to FOLDER. A library's own sources include their
# headers the same way.
#
# Where links cannot be made (Windows without the privilege to make them) the
# root is the folder PREFIX is relative to: the includes stay the same, but
# the build no longer stops a library from including what it does not link.
function(quellmark_headers target prefix)
    set(folder ${CMAKE_CURRENT_SOURCE_DIR})
    if(ARGC GREATER 2)
        set(folder ${ARGV2})
    endif()
    get_filename_component(folder ${folder} ABSOLUTE)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    set(link ${root}/${prefix})
    get_filename_component(parent ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})

    set(linked FALSE)
    if(IS_SYMLINK ${link})
        file(READ_SYMLINK ${link} current)
        if(current STREQUAL folder)
            set(linked TRUE)
        else()
            file(REMOVE ${link})
        endif()
    endif()
    if(NOT linked)
        file(CREATE_LINK ${folder} ${link} SYMBOLIC RESULT failure)
        if(failure STREQUAL "0")
            set(linked TRUE)
        endif()
    endif()
    if(NOT linked)
        # FOLDER ends in PREFIX: drop as many trailing components as it has.
        string(REGEX MATCHALL "[^/]+" parts ${prefix})
        set(root ${folder})
        foreach(part ${parts})
            get_filename_component(root ${root} DIRECTORY)
        endforeach()
    endif()

    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
