# The pictures of the interference layers, the cloud grid and the sprite
# ring: painted from formulas at build time by tools/patterns into the data
# tree, after the tree is laid out and before it is packed.
file(GLOB pattern_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/patterns/*.cpp)
add_executable(pattern_pictures ${pattern_sources})
target_link_libraries(pattern_pictures PRIVATE sw_toolcommon JPEG::JPEG)
target_include_directories(pattern_pictures PRIVATE ${CMAKE_SOURCE_DIR})

set(SHOW_PATTERNS
  ${SHOW_DIR}/data/images/interf3.jpg
  ${SHOW_DIR}/data/images/interf4.png
  ${SHOW_DIR}/data/images/interference1.png
  ${SHOW_DIR}/data/images/interference2.png
  ${SHOW_DIR}/data/textures/clouds.png
  ${SHOW_DIR}/data/textures/particle_black2.png)
add_custom_command(OUTPUT ${SHOW_PATTERNS}
  COMMAND pattern_pictures ${SHOW_DIR}/data
  DEPENDS pattern_pictures
  COMMENT "Painting the interference patterns, clouds and ring sprite")
add_custom_target(show_patterns ALL DEPENDS ${SHOW_PATTERNS})
add_dependencies(show_patterns show_data)
add_dependencies(show_archive show_patterns)
