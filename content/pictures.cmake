# The show's pictures: painted from formulas at build time by tools/pictures
# into the data tree, after the tree is laid out and before it is packed.
file(GLOB pictures_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/pictures/*.cpp)
add_executable(pictures ${pictures_sources})
target_link_libraries(pictures PRIVATE sw_toolcommon)
target_include_directories(pictures PRIVATE ${CMAKE_SOURCE_DIR})

set(SHOW_PICTURES
  ${SHOW_DIR}/data/textures/particle1.png
  ${SHOW_DIR}/data/images/ripples.png
  ${SHOW_DIR}/data/images/dusk.png
  ${SHOW_DIR}/data/images/reeds.png
  ${SHOW_DIR}/data/images/title.png
  ${SHOW_DIR}/data/images/moon.tga)
add_custom_command(OUTPUT ${SHOW_PICTURES}
  COMMAND pictures ${SHOW_DIR}/data
  DEPENDS pictures
  COMMENT "Painting the show's pictures")
add_custom_target(show_pictures ALL DEPENDS ${SHOW_PICTURES})
add_dependencies(show_pictures show_data)
add_dependencies(show_archive show_pictures)
