# GoogleTest from Debian's source package, built with the cross compiler.
set(GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# tinctor_test(<name> SOURCES ... [LIBS ...] [ARGS ...])
# One test program, run by CTest under Wine as one test per test suite.
function(tinctor_test name)
  cmake_parse_arguments(TT "" "" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${TT_SOURCES})
  target_link_libraries(${name} PRIVATE gtest gtest_main ${TT_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name} ${TT_ARGS} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

# plugin_resources_into(<target> [editor])
# Compiles the plug-in's resource script into a test program, so that code
# which reads our own resources (FUNC, OPER, PARM, strings) runs in-process
# with gModule = GetModuleHandle(nullptr).
function(plugin_resources_into target)
  set(variant tinctor)
  if(ARGV1)
    set(variant ${ARGV1})
  endif()
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/plugin/resources/tinctor.rc)
  # Source properties are per folder: without this the caller's copy of the
  # script is not recompiled when the binary resources change.
  set(res ${CMAKE_BINARY_DIR}/res)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/plugin/resources/tinctor.rc PROPERTIES OBJECT_DEPENDS
      "${res}/marker.ico;${res}/func.bin;${res}/oper.bin;${res}/${variant}/pipl.bin;${res}/${variant}/parm.bin;${PLUGIN_RC_INCLUDES}")
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/res/${variant} ${CMAKE_BINARY_DIR}/res)
  add_dependencies(${target} plugin_resources formula_resources)
endfunction()
