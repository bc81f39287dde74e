# nasm_bin(<output> <source> [DEFINES d1 d2 ...] [DEPENDS files...])
# Assembles <source> with "nasm -f bin" into the raw bytes of a resource.
function(nasm_bin output source)
  cmake_parse_arguments(NB "" "" "DEFINES;DEPENDS" ${ARGN})
  set(defs)
  foreach(d IN LISTS NB_DEFINES)
    list(APPEND defs -D${d})
  endforeach()
  get_filename_component(srcdir ${source} DIRECTORY)
  # macro files beside the source, and the shared ones of tools/
  file(GLOB includes ${srcdir}/*.inc ${CMAKE_SOURCE_DIR}/tools/*.inc)
  add_custom_command(OUTPUT ${output}
    COMMAND ${NASM} -f bin -I${srcdir}/ -I${CMAKE_SOURCE_DIR}/tools/ ${defs} -o ${output} ${source}
    DEPENDS ${source} ${includes} ${NB_DEPENDS}
    COMMENT "Assembling ${output}"
    VERBATIM)
endfunction()
