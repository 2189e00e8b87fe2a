if(WIN32)
  # Skin pictures (WIC through COM) and the skinned button. msimg32 is bound
  # at run time, never linked.
  add_library(vantrel_skin STATIC ${CMAKE_CURRENT_LIST_DIR}/image.cpp ${CMAKE_CURRENT_LIST_DIR}/win_button.cpp)
  target_link_libraries(vantrel_skin PUBLIC vantrel_sysdll ole32 uuid gdi32 user32)
endif()
