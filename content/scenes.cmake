# The show's scenes: five scene files and the textures they name, built at
# build time by tools/scenes into the data tree before it is packed. The
# writer of the scene format is a library of its own so that tests can check
# its chunks byte for byte.
add_library(sw_scenewriter STATIC ${CMAKE_SOURCE_DIR}/tools/scenes/scene_writer.cpp)
target_include_directories(sw_scenewriter PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB scenegen_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/scenes/*.cpp)
list(REMOVE_ITEM scenegen_sources
  ${CMAKE_SOURCE_DIR}/tools/scenes/scene_writer.cpp
  ${CMAKE_SOURCE_DIR}/tools/scenes/main.cpp)
add_library(sw_scenegen STATIC ${scenegen_sources})
target_link_libraries(sw_scenegen PUBLIC sw_scenewriter sw_toolcommon)

add_executable(scenegen ${CMAKE_SOURCE_DIR}/tools/scenes/main.cpp)
target_link_libraries(scenegen PRIVATE sw_scenegen)

set(SHOW_SCENES
  ${SHOW_DIR}/data/gang.scn
  ${SHOW_DIR}/data/welderscene4.scn
  ${SHOW_DIR}/data/tree.scn
  ${SHOW_DIR}/data/cranium.scn
  ${SHOW_DIR}/data/gallery.scn)
add_custom_command(OUTPUT ${SHOW_SCENES}
  COMMAND scenegen ${SHOW_DIR}/data
  DEPENDS scenegen
  COMMENT "Building the show's scenes")
add_custom_target(show_scenes ALL DEPENDS ${SHOW_SCENES})
add_dependencies(show_scenes show_data)
add_dependencies(show_archive show_scenes)
