# editors_gui: the editors' Qt-free models that paint with the GUI toolkit's
# pictures and colour table: the peak meter's painting, the master volume
# slider's mapping and the default machine GUI's layout. Included once, from
# gui/CMakeLists.txt.
add_library(editors_gui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/DefaultGUI.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PeakMeterPainter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VolumeSlider.cpp
)
target_include_directories(editors_gui PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(editors_gui PUBLIC editors gui_core framework)
