# The show's music: an original track synthesised and encoded at build time.
file(GLOB soundtrack_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/soundtrack/*.cpp)
add_executable(soundtrack ${soundtrack_sources})
target_link_libraries(soundtrack PRIVATE sw_platform)
target_include_directories(soundtrack PRIVATE ${CMAKE_SOURCE_DIR})

add_custom_command(OUTPUT ${SHOW_DIR}/soundtrack.ogg
  COMMAND soundtrack write ${SHOW_DIR}/soundtrack.ogg
  DEPENDS soundtrack
  COMMENT "Synthesising the soundtrack")
add_custom_target(show_music ALL DEPENDS ${SHOW_DIR}/soundtrack.ogg)
