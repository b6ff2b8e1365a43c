# The show's scenes: five scene files and the textures they name, built at
# build time by tools/scenes (its libraries are made with swtool's) into the
# data tree before it is packed.
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
