# The pictures of the interference layers, the cloud grid and the sprite
# ring, painted from formulas by tools/patterns.
stillwater_data_generator(pattern_pictures patterns
  "Painting the interference patterns, clouds and ring sprite"
  LIBS sw_toolcommon
  OUTPUTS
    ${SHOW_DIR}/data/images/interf3.jpg
    ${SHOW_DIR}/data/images/interf4.png
    ${SHOW_DIR}/data/images/interference1.png
    ${SHOW_DIR}/data/images/interference2.png
    ${SHOW_DIR}/data/textures/clouds.png
    ${SHOW_DIR}/data/textures/particle_black2.png)
