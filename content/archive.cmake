# The show's data archive: build/show/data packed into build/show/hoard.dpk
# with the password the player uses. It runs after the data tree is laid out
# (target show_data, which every generator of data files must feed) and is
# repacked on every build, so the archive never lags behind the tree.
add_custom_target(show_archive ALL
  COMMAND $<TARGET_FILE:swtool> pack ${SHOW_DIR}/data ${SHOW_DIR}/hoard.dpk --password quill
  BYPRODUCTS ${SHOW_DIR}/hoard.dpk
  COMMENT "Packing the show's data into hoard.dpk"
  VERBATIM)
add_dependencies(show_archive swtool show_data)
