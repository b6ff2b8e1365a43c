# The show: the data tree under build/show/data, the players beside it.
file(MAKE_DIRECTORY ${SHOW_DIR})
set_target_properties(player player_nomsaa PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SHOW_DIR})

add_custom_target(show_data ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/content/data ${SHOW_DIR}/data
  COMMENT "Laying out the show's data tree")

foreach(part IN ITEMS archive music pictures patterns)
  if(EXISTS ${CMAKE_SOURCE_DIR}/content/${part}.cmake)
    include(${CMAKE_SOURCE_DIR}/content/${part}.cmake)
  endif()
endforeach()
