# corvane_add_resources(<target> [<type> <id> <file>]...)
#
# Compiles the given files into <target> as its own resource table, the way
# each module (the host program, every plug-in library) carries its pictures
# and binary tables. Code in the module finds them with
# platform::FindResource(type, id). Calling it with no triple gives the module
# an empty table.
function(corvane_add_resources target)
    set(entries ${ARGN})
    list(LENGTH entries count)
    math(EXPR remainder "${count} % 3")
    if(NOT remainder EQUAL 0)
        message(FATAL_ERROR "corvane_add_resources: arguments come in triples <type> <id> <file>")
    endif()

    set(arguments "")
    set(depends "")
    set(index 0)
    while(index LESS count)
        list(GET entries ${index} type)
        math(EXPR index "${index} + 1")
        list(GET entries ${index} id)
        math(EXPR index "${index} + 1")
        list(GET entries ${index} file)
        math(EXPR index "${index} + 1")
        if(NOT IS_ABSOLUTE "${file}" AND NOT TARGET "${file}")
            set(file "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
        endif()
        list(APPEND arguments "${type}" "${id}" "${file}")
        list(APPEND depends "${file}")
    endwhile()

    set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp")
    add_custom_command(
        OUTPUT "${output}"
        COMMAND resembed "${output}" ${arguments}
        DEPENDS resembed ${depends}
        COMMENT "Embedding resources of ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE "${output}")
endfunction()
