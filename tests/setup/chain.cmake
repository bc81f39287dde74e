# The installer's chain tests: setup.exe from the installation disk, played
# through by a driver program in a throwaway Wine prefix per scenario
# (chain_run.sh), and the dialogs and utilities in-process.
set(CHAIN_DIR ${CMAKE_CURRENT_LIST_DIR})

add_executable(chain_driver ${CHAIN_DIR}/chain_test.cpp ${CHAIN_DIR}/chain_user.cpp)
target_link_libraries(chain_driver PRIVATE gtest_main setup_paths test_support)
target_include_directories(chain_driver PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(chain_driver disk lumora)

foreach(scenario install exit badpath cancel missing)
  add_test(NAME chain_${scenario}
    COMMAND sh ${CHAIN_DIR}/chain_run.sh ${scenario} ${CMAKE_BINARY_DIR} $<TARGET_FILE:chain_driver>
            ${CMAKE_BINARY_DIR}/disk $<TARGET_FILE:lumora>)
  set_tests_properties(chain_${scenario} PROPERTIES TIMEOUT 400)
endforeach()

tinctor_test(chain_dialogs
  SOURCES ${CHAIN_DIR}/chain_dialogs_test.cpp ${CHAIN_DIR}/chain_dialogs_test.rc
  LIBS setup_app test_support)
add_dependencies(chain_dialogs setup_resources)
set_property(SOURCE ${CHAIN_DIR}/chain_dialogs_test.rc APPEND PROPERTY INCLUDE_DIRECTORIES
  ${OBSIDIA_ART_DIR} ${CMAKE_SOURCE_DIR}/art ${SETUP_RES_DIR} ${CMAKE_SOURCE_DIR}/setup/resources)
set_property(SOURCE ${CHAIN_DIR}/chain_dialogs_test.rc APPEND PROPERTY OBJECT_DEPENDS
  ${SETUP_RES_DIR}/Setup.ico ${SETUP_RES_DIR}/ZephLogo.wmf ${OBSIDIA_ART_DIR}/BlueTex.bmp)
set_tests_properties(chain_dialogs PROPERTIES TIMEOUT 180)
