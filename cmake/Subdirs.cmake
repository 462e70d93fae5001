# vantorel_add_subdirectories(): adds every direct subfolder that has a CMakeLists.txt,
# so each area keeps its own list of programs and nobody edits a shared list.
function(vantorel_add_subdirectories)
  cmake_parse_arguments(S "" "" "EXCLUDE" ${ARGN})
  file(GLOB lists CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  list(SORT lists)
  foreach(list_file ${lists})
    get_filename_component(child ${list_file} DIRECTORY)
    if(NOT child IN_LIST S_EXCLUDE)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
