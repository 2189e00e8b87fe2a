# Platform-free decisions of the main window: space figures, install paths, the agreement address.
add_library(vantrel_ui_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/space_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web_address.cpp)

if(WIN32)
  # The main window: layout, painting, commands and the worker's messages.
  add_library(vantrel_ui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window_paint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window_status.cpp
    ${CMAKE_CURRENT_LIST_DIR}/common_controls.cpp)
  target_link_libraries(vantrel_ui PUBLIC vantrel_ui_core vantrel_app vantrel_skin vantrel_engine vantrel_net
    vantrel_system vantrel_task vantrel_sysdll shell32 ole32 gdi32 user32)
endif()
