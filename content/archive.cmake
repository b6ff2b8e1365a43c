# The show's data archive: the tree under build/show/data packed into
# build/show/hoard.dpk with the password the player uses. Members are named
# relative to the packed folder, so the tree is staged under a folder of its
# own whose only entry is data/. It runs after the data tree is laid out
# (target show_data, which every generator of data files must feed) and is
# repacked on every build, so the archive never lags behind the tree.
set(HOARD_STAGE ${CMAKE_BINARY_DIR}/hoard-stage)
add_custom_target(show_archive ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${HOARD_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${SHOW_DIR}/data ${HOARD_STAGE}/data
  COMMAND $<TARGET_FILE:swtool> pack ${HOARD_STAGE} ${SHOW_DIR}/hoard.dpk --password quill
  BYPRODUCTS ${SHOW_DIR}/hoard.dpk
  COMMENT "Packing the show's data into hoard.dpk"
  VERBATIM)
add_dependencies(show_archive swtool show_data)
