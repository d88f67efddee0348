# studio_gestures: the studio view's Qt-free model (layout, hit testing,
# drag state, menus and their commands over the engine's studio).
# studio_view: the Qt widgets that paint it and translate the mouse, the
# default machine GUI widget, the cable volume slider, the rename dialog and
# the custom editor windows. Included from MainWindow.cmake.
add_library(studio_gestures STATIC
    ${CMAKE_CURRENT_LIST_DIR}/StudioGestures.cpp
)
target_include_directories(studio_gestures PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(studio_gestures PUBLIC host editors_gui framework)

add_library(studio_view STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CableVolumeSlider.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DefaultGUIView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditorWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramToolBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RenameDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StudioCanvas.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StudioView.cpp
)
target_include_directories(studio_view PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(studio_view PUBLIC studio_gestures Qt6::Widgets)
