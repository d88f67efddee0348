# studio_window: the studio's Qt windows (main window, tool bar, splash,
# about box, options dialog) and the start-up path that opens them. It sits
# on top of the application object, so app/ includes it once the
# application library exists.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
find_package(X11 REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/EditorViews.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/StudioView.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/MachineEditorViews.cmake)
add_library(studio_window STATIC
    ${CMAKE_SOURCE_DIR}/app/DisplayCheck.cpp
    ${CMAKE_SOURCE_DIR}/app/StudioCommands.cpp
    ${CMAKE_SOURCE_DIR}/app/StudioProgram.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AboutBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DriverOptionsPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainToolBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OptionsDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PeakMeterView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectInfoView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SplashWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StudioStyle.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VolumeSliderView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VSTPaths.cpp
)
target_include_directories(studio_window PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(studio_window PUBLIC application editor_views editors_gui machine_editor_views studio_view gui samples_gui Qt6::Widgets
    PRIVATE X11::X11)

# The manual sits in docs/ beside bin/, where Help > "Contents..." looks.
configure_file(${CMAKE_SOURCE_DIR}/docs/index.html ${CMAKE_BINARY_DIR}/docs/index.html COPYONLY)
