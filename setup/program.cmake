# The installer program: the dialog utilities and the alert, the main window
# with the dialog chain (which runs the engine), and setup.exe itself.
add_library(setup_dialogs STATIC dlgutil.cpp alert.cpp switches.cpp)
target_include_directories(setup_dialogs PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(setup_dialogs PUBLIC setup_fittext obsidia_controls user32)

add_library(setup_app STATIC mainwnd.cpp chain.cpp)
target_link_libraries(setup_app PUBLIC setup_engine setup_dialogs gdi32)

# The icon and the logo are drawn at build time, like the bitmaps (art/).
set(SETUP_RES_DIR ${CMAKE_BINARY_DIR}/res/setup CACHE INTERNAL "")
set(SETUP_RC ${CMAKE_CURRENT_SOURCE_DIR}/resources/setup.rc CACHE INTERNAL "")
nasm_bin(${SETUP_RES_DIR}/Setup.ico ${CMAKE_CURRENT_SOURCE_DIR}/resources/setup_icon.asm)
nasm_bin(${SETUP_RES_DIR}/ZephLogo.wmf ${CMAKE_CURRENT_SOURCE_DIR}/resources/zephlogo.asm)
add_custom_target(setup_resources DEPENDS ${SETUP_RES_DIR}/Setup.ico ${SETUP_RES_DIR}/ZephLogo.wmf)
add_dependencies(setup_resources obsidia_art)

# setup_resources_into(<target>): compiles the installer's resource script
# into a program (setup.exe, or a test that runs the dialogs in-process).
function(setup_resources_into target)
  target_sources(${target} PRIVATE ${SETUP_RC})
  set_property(SOURCE ${SETUP_RC} TARGET_DIRECTORY ${target} APPEND PROPERTY INCLUDE_DIRECTORIES
    ${OBSIDIA_ART_DIR} ${CMAKE_SOURCE_DIR}/art ${SETUP_RES_DIR} ${CMAKE_SOURCE_DIR}/setup/resources)
  set_property(SOURCE ${SETUP_RC} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS
    ${SETUP_RES_DIR}/Setup.ico ${SETUP_RES_DIR}/ZephLogo.wmf ${OBSIDIA_ART_DIR}/BlueTex.bmp
    ${CMAKE_SOURCE_DIR}/setup/resources/strings.rc ${CMAKE_SOURCE_DIR}/setup/resources/setup_ids.h
    ${CMAKE_SOURCE_DIR}/art/art_names.h)
  add_dependencies(${target} setup_resources)
endfunction()

add_executable(setup WIN32 winmain.cpp)
target_link_libraries(setup PRIVATE setup_app)
setup_resources_into(setup)
