# vantorel_add_subdirectories(): adds every direct subfolder that has a CMakeLists.txt,
# so each area keeps its own list of programs and nobody edits a shared list.
function(vantorel_add_subdirectories)
  cmake_parse_arguments(S "" "" "EXCLUDE" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt
       AND NOT child IN_LIST S_EXCLUDE)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
