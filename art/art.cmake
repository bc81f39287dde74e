# The installer's bitmaps, drawn at build time by make_art.sh into
# <build>/res/art.  Resource scripts include art.rc with that folder on the
# include path; targets that need the files depend on obsidia_art.
if(NOT TARGET obsidia_art)
  set(OBSIDIA_ART_DIR ${CMAKE_BINARY_DIR}/res/art CACHE INTERNAL "")
  set(OBSIDIA_ART_RC ${CMAKE_CURRENT_LIST_DIR}/art.rc CACHE INTERNAL "")
  set(art_files)
  foreach(name BlueTex OBSwirl Alert Question bullet OKButton CancelButton CheckBox)
    list(APPEND art_files ${OBSIDIA_ART_DIR}/${name}.bmp)
  endforeach()
  add_custom_command(OUTPUT ${art_files}
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/make_art.sh ${OBSIDIA_ART_DIR}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_art.sh
    COMMENT "Drawing the installer's bitmaps"
    VERBATIM)
  add_custom_target(obsidia_art DEPENDS ${art_files})
endif()
