# Install rules and the Debian package. Installed, the panel finds its
# shipped files in share/orvpanel beside its bin folder (the marker file there
# tells it that it is installed) and keeps each user's settings and projects
# in the user's own folders; see persist/AppFolders.h.
include(GNUInstallDirs)

set(orv_data_dir ${CMAKE_INSTALL_DATADIR}/orvpanel)
set(orv_desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
set(orv_desktop_id org.orvpanel.OrvPanel)

install(TARGETS orvpanel orvctl q20sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

file(WRITE ${CMAKE_BINARY_DIR}/packaging/installed-layout
     "This copy of orvpanel is installed: settings live in the user's own folders.\n")
install(FILES ${CMAKE_BINARY_DIR}/packaging/installed-layout ${orv_desktop_dir}/Info.ini
        DESTINATION ${orv_data_dir})
install(FILES ${PROJECT_SOURCE_DIR}/resources/Language/English.ini
              ${PROJECT_SOURCE_DIR}/resources/Language/Chinese.ini
        DESTINATION ${orv_data_dir}/Language)

# The label font is the system's Liberation Sans, linked rather than copied.
if(ORV_LABEL_FONT)
  file(RELATIVE_PATH orv_font_link ${CMAKE_INSTALL_FULL_DATADIR}/orvpanel ${ORV_LABEL_FONT})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
  file(CREATE_LINK ${orv_font_link} ${CMAKE_BINARY_DIR}/packaging/arial.ttf SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/arial.ttf DESTINATION ${orv_data_dir})
endif()

install(FILES ${orv_desktop_dir}/${orv_desktop_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${orv_desktop_dir}/${orv_desktop_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Icons for the desktop's theme, drawn by the artwork generator.
set(orv_icon_dir ${CMAKE_BINARY_DIR}/packaging/icons)
add_custom_command(
  OUTPUT ${orv_icon_dir}/256x256/apps/orvpanel.png
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:orv-artgen> --icons
          ${orv_icon_dir}
  DEPENDS orv-artgen
  COMMENT "Drawing the application icons"
  VERBATIM)

# Manual pages and the changelog, compressed as Debian wants them.
set(orv_gzipped)
foreach(page orvpanel orvctl q20sim)
  list(APPEND orv_gzipped ${orv_desktop_dir}/${page}.1=man/${page}.1.gz)
endforeach()
list(APPEND orv_gzipped ${orv_desktop_dir}/changelog=doc/changelog.gz)
set(orv_gzip_outputs)
foreach(pair ${orv_gzipped})
  string(REPLACE "=" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 target)
  set(out ${CMAKE_BINARY_DIR}/packaging/${target})
  get_filename_component(out_dir ${out} DIRECTORY)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${source} ${out}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND orv_gzip_outputs ${out})
endforeach()
add_custom_target(orv_packaging_files ALL
                  DEPENDS ${orv_icon_dir}/256x256/apps/orvpanel.png ${orv_gzip_outputs})

install(DIRECTORY ${orv_icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${CMAKE_BINARY_DIR}/packaging/man/orvpanel.1.gz
              ${CMAKE_BINARY_DIR}/packaging/man/orvctl.1.gz
              ${CMAKE_BINARY_DIR}/packaging/man/q20sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/doc/changelog.gz ${orv_desktop_dir}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvpanel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvpanel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Orv panel developers <maintainers@orvpanel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control panel for LED-wall video processors")
# The synopsis is the summary above; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Drives one LED-wall video processor at a time over the network or a serial
port: reads its whole state back, switches inputs onto layers, places layer
windows on a drawing of the outputs with a live H.264 preview inside them,
takes between program and preview, recalls presets and edits every settings
page. Includes orvctl for cue scripts and q20sim, a virtual processor.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not libraries, so the library scan cannot find them: the label font the
# data folder links to, and the font the Chinese texts need.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
