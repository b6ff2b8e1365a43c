# The show: the data tree under build/show/data, the players beside it.
file(MAKE_DIRECTORY ${SHOW_DIR})
set_target_properties(player player_nomsaa PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SHOW_DIR})

add_custom_target(show_data ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/content/data ${SHOW_DIR}/data
  COMMENT "Laying out the show's data tree")

# A generator of the show's data: the program built from tools/FOLDER runs
# on the data tree (its one argument) and writes OUTPUTS there, after the
# tree is laid out and before it is packed.
function(stillwater_data_generator program folder comment)
  cmake_parse_arguments(G "" "" "LIBS;OUTPUTS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/${folder}/*.cpp)
  add_executable(${program} ${sources})
  target_link_libraries(${program} PRIVATE ${G_LIBS})
  target_include_directories(${program} PRIVATE ${CMAKE_SOURCE_DIR})
  add_custom_command(OUTPUT ${G_OUTPUTS}
    COMMAND ${program} ${SHOW_DIR}/data
    DEPENDS ${program}
    COMMENT "${comment}")
  add_custom_target(show_${program} ALL DEPENDS ${G_OUTPUTS})
  add_dependencies(show_${program} show_data)
  add_dependencies(show_archive show_${program})
endfunction()

foreach(part IN ITEMS archive music pictures patterns scenes)
  if(EXISTS ${CMAKE_SOURCE_DIR}/content/${part}.cmake)
    include(${CMAKE_SOURCE_DIR}/content/${part}.cmake)
  endif()
endforeach()
