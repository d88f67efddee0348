# The skin pictures skingen draws, as the modules' PNG resources.
#
# Include this file, then give a module its pictures:
#     corvane_add_resources(<target> ${CORVANE_HOST_SKIN_RESOURCES} <other triples>)
#     add_dependencies(<target> skins)
# The ids and their pictures are listed in SkinManifest.cpp.

set(CORVANE_SKIN_DIR ${CMAKE_BINARY_DIR}/skins)
set(CORVANE_HOST_SKIN_IDS 130 138 141 142 143 147 148 153)
set(CORVANE_STOCKPACK_SKIN_IDS
    102 103 104 106 107 108 109 110 120 130 131 132 133 134 135
    137 138 139 140 141 142 143 144 145 146 147)

set(CORVANE_HOST_SKIN_RESOURCES "")
set(CORVANE_STOCKPACK_SKIN_RESOURCES "")
set(CORVANE_SKIN_FILES "")
set(CORVANE_SKIN_ARGUMENTS "")
foreach(module host stockpack)
    string(TOUPPER ${module} upper)
    foreach(id ${CORVANE_${upper}_SKIN_IDS})
        set(file ${CORVANE_SKIN_DIR}/${module}_${id}.png)
        list(APPEND CORVANE_${upper}_SKIN_RESOURCES PNG ${id} ${file})
        list(APPEND CORVANE_SKIN_FILES ${file})
        list(APPEND CORVANE_SKIN_ARGUMENTS ${module} ${id} ${file})
    endforeach()
endforeach()
