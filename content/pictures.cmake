# The show's pictures and sprites, painted from formulas by tools/pictures.
stillwater_data_generator(pictures pictures "Painting the show's pictures"
  LIBS sw_toolcommon
  OUTPUTS
    ${SHOW_DIR}/data/textures/particle1.png
    ${SHOW_DIR}/data/textures/dot3.png
    ${SHOW_DIR}/data/textures/dot.png
    ${SHOW_DIR}/data/textures/particle_spark.png
    ${SHOW_DIR}/data/images/ripples.png
    ${SHOW_DIR}/data/images/dusk.png
    ${SHOW_DIR}/data/images/reeds.png
    ${SHOW_DIR}/data/images/title.png
    ${SHOW_DIR}/data/images/moon.tga)
