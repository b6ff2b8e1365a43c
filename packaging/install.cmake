# What `cmake --install build --prefix P` lays out under P, and the Debian
# package holds under /usr: the programs under their installed names, the
# show, the manual, a desktop entry, icons made from a frame of the show,
# AppStream metadata, man pages and the package's copyright and changelog.
# The player finds the show in share/stillwater beside its bin folder
# (shell/show_files.cpp), so these two places go together.
set(STILLWATER_APP_ID io.github.stillwater.stillwater)
set(STILLWATER_RELEASE_DATE 2026-12-07)
set(packaging_source ${CMAKE_SOURCE_DIR}/packaging)
set(packaging_build ${CMAKE_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
find_program(GZIP_PROGRAM gzip REQUIRED)

# A program under its installed name. install(PROGRAMS) copies the build's
# file; an install that strips (--strip, or the package) strips it as
# Debian's tools do: the symbols, and the compiler's notes nobody reads.
# Every symbol is bound at start-up, so that the whole table of them can be
# made read-only (the hardening Debian asks for).
function(stillwater_install_program target name)
  target_link_options(${target} PRIVATE LINKER:-z,relro,-z,now)
  install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION bin RENAME ${name})
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${name}\" COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endfunction()
stillwater_install_program(player stillwater)
stillwater_install_program(player_nomsaa stillwater-nomsaa)
stillwater_install_program(swtool swtool)

install(FILES ${SHOW_DIR}/hoard.dpk ${SHOW_DIR}/soundtrack.ogg DESTINATION share/stillwater)

# The manual: its first page and the chapters it links to.
install(FILES ${CMAKE_SOURCE_DIR}/docs/manual.md ${CMAKE_SOURCE_DIR}/docs/workflow.md
  ${CMAKE_SOURCE_DIR}/docs/script.md ${CMAKE_SOURCE_DIR}/docs/effects.md ${CMAKE_SOURCE_DIR}/docs/scenes.md
  ${packaging_source}/copyright DESTINATION share/doc/stillwater)

install(FILES ${packaging_source}/${STILLWATER_APP_ID}.desktop DESTINATION share/applications)
configure_file(${packaging_source}/${STILLWATER_APP_ID}.metainfo.xml.in
  ${packaging_build}/${STILLWATER_APP_ID}.metainfo.xml @ONLY)
install(FILES ${packaging_build}/${STILLWATER_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# Man pages and the changelog carry the version and are compressed as Debian
# wants them (gzip -9n: no name or time stamp, so the same bytes every build).
set(compressed)
foreach(page IN ITEMS stillwater.6 swtool.1 changelog)
  configure_file(${packaging_source}/${page} ${packaging_build}/text/${page} @ONLY)
  add_custom_command(OUTPUT ${packaging_build}/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${packaging_build}/text/${page} ${packaging_build}/${page}
    COMMAND ${GZIP_PROGRAM} -9nf ${packaging_build}/${page}
    DEPENDS ${packaging_build}/text/${page}
    COMMENT "Compressing ${page}")
  list(APPEND compressed ${packaging_build}/${page}.gz)
endforeach()
# The player without multisampling shares the player's page.
file(CREATE_LINK stillwater.6.gz ${packaging_build}/stillwater-nomsaa.6.gz SYMBOLIC)
add_custom_target(compressed_docs ALL DEPENDS ${compressed})
install(FILES ${packaging_build}/stillwater.6.gz ${packaging_build}/stillwater-nomsaa.6.gz
  DESTINATION share/man/man6)
install(FILES ${packaging_build}/swtool.1.gz DESTINATION share/man/man1)
install(FILES ${packaging_build}/changelog.gz DESTINATION share/doc/stillwater)

# The icons: the frame at 15 s (the sunset over the lake), its centre square
# shrunk to the hicolor theme's usual sizes. The frame is rendered from the
# show's loose data tree; it changes when the script or a generator does.
file(GLOB icon_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/icons/*.cpp)
add_executable(make_icons ${icon_sources})
target_link_libraries(make_icons PRIVATE stillwater sw_toolcommon)
set(icon_frame ${packaging_build}/icon-frame/0015000.png)
set(icon_sizes 16 22 24 32 48 64 128 256)
set(icon_files)
foreach(size IN LISTS icon_sizes)
  list(APPEND icon_files ${packaging_build}/icons/${size}x${size}/apps/${STILLWATER_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${icon_frame}
  COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
    $<TARGET_FILE:swtool> render --data ${SHOW_DIR} --at 15000 --fps 10 --quiet --out ${packaging_build}/icon-frame
    > ${packaging_build}/icon-frame.log
  DEPENDS swtool pictures pattern_pictures ${CMAKE_SOURCE_DIR}/content/data/script.scr
  COMMENT "Rendering the frame the icons are made of")
add_custom_command(OUTPUT ${icon_files}
  COMMAND make_icons ${icon_frame} ${STILLWATER_APP_ID} ${packaging_build}/icons ${icon_sizes}
  DEPENDS make_icons ${icon_frame}
  COMMENT "Making the icons")
add_custom_target(icons ALL DEPENDS ${icon_files})
add_dependencies(icons show_archive)
install(DIRECTORY ${packaging_build}/icons/ DESTINATION share/icons/hicolor)
