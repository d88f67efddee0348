# machine_editor_views: the windows of the built-in machines' editors over
# their Qt-free models in machines/, and the factory the main window
# installs for them. Included from MainWindow.cmake.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_library(machine_editor_views STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ArpeggiatorGUIView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BuiltinEditorFactory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlChangeMapperGUIView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MIDIDeviceGUIView.cpp
)
target_include_directories(machine_editor_views PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(machine_editor_views PUBLIC machines gui Qt6::Widgets)
