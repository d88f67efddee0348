# editor_views: the pattern editor's, the sequence editor's and the
# recorder panel's pages, Qt views over the models in sequencing/ and
# machines/. Included from MainWindow.cmake, whose window installs them.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_library(editor_views STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ChoiceLists.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditorPages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NoteView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PatternEditorPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PatternEditorView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PianoRollHeaders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecorderPanelView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SequenceEditorPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SequenceView.cpp
)
target_include_directories(editor_views PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(editor_views PUBLIC application machines sequencing Qt6::Widgets)
