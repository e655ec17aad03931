# The manual pages and the package's documents, gzipped without a name or a time (gzip -n)
# so that two builds give the same bytes. The renderer's page and the display mode's are made
# from their --help by help2man, the viewer's from README.md: none has a text of its own to go
# stale.
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
set(manDir ${PROJECT_BINARY_DIR}/man)
# help2man writes only into a folder that exists, and the viewer's page may not have made it yet.
file(MAKE_DIRECTORY ${manDir})
set(manPages "")   # section 1: the programs on the PATH
set(sectionSix "") # section 6: the display mode, where xscreensaver's are

# Copies source to output and gzips it there.
function(AddGzippedCopy source output)
  add_custom_command(OUTPUT ${output}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
                     COMMAND ${GZIP} -9nf ${output}
                     DEPENDS ${source} VERBATIM)
endfunction()

add_custom_command(
  OUTPUT ${manDir}/orlentic.1
  COMMAND ${CMAKE_COMMAND} -DREADME=${PROJECT_SOURCE_DIR}/README.md
          -DTEMPLATE=${PROJECT_SOURCE_DIR}/resources/linux/orlentic.1.in
          -DOUTPUT=${manDir}/orlentic.1 -DVERSION=${PROJECT_VERSION}
          -DEPOCH=${ORLENTIC_SOURCE_DATE_EPOCH} -P ${PROJECT_SOURCE_DIR}/cmake/readme_man_page.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/resources/linux/orlentic.1.in
          ${PROJECT_SOURCE_DIR}/cmake/readme_man_page.cmake
  VERBATIM)
AddGzippedCopy(${manDir}/orlentic.1 ${manDir}/gz/orlentic.1)
list(APPEND manPages ${manDir}/gz/orlentic.1.gz)

if(TARGET orlentic-render)
  # help2man makes the exit statuses a subsection of the options; they are a section.
  add_custom_command(
    OUTPUT ${manDir}/orlentic-render.1
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ORLENTIC_SOURCE_DATE_EPOCH}
            ${HELP2MAN} --no-info --output=${manDir}/orlentic-render.1
            "--name=draw the watch offscreen into a PNG or an animated WebP"
            $<TARGET_FILE:orlentic-render>
    COMMAND sed -i "s/^\\.SS \"Exit status:\"$/.SH \"EXIT STATUS\"/" ${manDir}/orlentic-render.1
    DEPENDS orlentic-render VERBATIM)
  AddGzippedCopy(${manDir}/orlentic-render.1 ${manDir}/gz/orlentic-render.1)
  list(APPEND manPages ${manDir}/gz/orlentic-render.1.gz)
endif()

# The display mode's page, in section 6 beside xscreensaver's own, which its settings program
# opens from "Documentation...". From its --help; it has no --version to ask.
if(TARGET orlentic-saver)
  add_custom_command(
    OUTPUT ${manDir}/orlentic-saver.6
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ORLENTIC_SOURCE_DATE_EPOCH}
            ${HELP2MAN} --no-info --section=6 --version-string=${PROJECT_VERSION}
            --output=${manDir}/orlentic-saver.6
            "--name=the watch as a display mode of xscreensaver"
            $<TARGET_FILE:orlentic-saver>
    COMMAND sed -i "s/^\\.SS \"Exit status:\"$/.SH \"EXIT STATUS\"/" ${manDir}/orlentic-saver.6
    DEPENDS orlentic-saver VERBATIM)
  AddGzippedCopy(${manDir}/orlentic-saver.6 ${manDir}/gz/orlentic-saver.6)
  install(FILES ${manDir}/gz/orlentic-saver.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  list(APPEND sectionSix ${manDir}/gz/orlentic-saver.6.gz)
endif()

# The Debian changelog of a native package is the upstream one.
AddGzippedCopy(${PROJECT_SOURCE_DIR}/resources/linux/changelog ${PROJECT_BINARY_DIR}/doc/changelog)

add_custom_target(orlentic_documents ALL DEPENDS ${manPages} ${sectionSix}
                                                  ${PROJECT_BINARY_DIR}/doc/changelog.gz)
install(FILES ${manPages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/copyright ${PROJECT_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orlentic)
