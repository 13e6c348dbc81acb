# Installation, in two layouts of the same programs.
#
# The system layout, a plain `cmake --install` and the .deb (prefix /usr):
# the program folder PREFIX/lib/orlent holds the programs and libtermlink.so
# side by side (the programs find the link library beside themselves), links
# in PREFIX/bin put the programs on the PATH, the sample download files are in
# PREFIX/share/orlent, the documentation in PREFIX/share/doc/orlent, with a
# desktop entry and an icon. Only root may write there, so each user works in a
# per-user folder seeded from those folders (model/program_folder.h, which
# knows this layout).
#
# One program folder, `--component program`: the programs, libtermlink.so and
# the sample files all in the prefix itself, a portable copy or the demo that
# works in its own folder.
set(ORLENT_PROGRAMS)
foreach(target orlent orlent-cli orlent-termsim termlink)
  if(TARGET ${target})
    list(APPEND ORLENT_PROGRAMS ${target})
  endif()
endforeach()
set(ORLENT_SAMPLES data/PLU-Down-Default.txt data/PLU-Down.txt data/Barcode-Down.txt
                   data/Ingredient-Down.txt data/ScrollMsg-Down.txt data/Speedkey-Down.txt)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS ${ORLENT_PROGRAMS}
  RUNTIME DESTINATION . COMPONENT program EXCLUDE_FROM_ALL
  LIBRARY DESTINATION . COMPONENT program EXCLUDE_FROM_ALL NAMELINK_SKIP)
install(FILES ${ORLENT_SAMPLES} README.md DESTINATION . COMPONENT program EXCLUDE_FROM_ALL)

install(TARGETS ${ORLENT_PROGRAMS}
  RUNTIME DESTINATION lib/orlent COMPONENT system
  LIBRARY DESTINATION lib/orlent COMPONENT system NAMELINK_SKIP)
# /proc/self/exe names the program behind the link, so a program started
# through PREFIX/bin still finds its program folder.
set(links ${CMAKE_BINARY_DIR}/install/bin)
file(MAKE_DIRECTORY ${links})
foreach(program IN LISTS ORLENT_PROGRAMS)
  if(NOT program STREQUAL termlink)
    file(CREATE_LINK ../lib/orlent/${program} ${links}/${program} SYMBOLIC)
    install(FILES ${links}/${program} DESTINATION bin COMPONENT system)
  endif()
endforeach()
install(FILES ${ORLENT_SAMPLES} DESTINATION share/orlent COMPONENT system)

# The nightly price update of the system's folder /var/lib/orlent
# (deploy/systemd): the script beside the programs (and in the build's program
# folder, for the tests), the units, the user and the folder. The package
# enables and starts nothing.
configure_file(deploy/systemd/orlent-nightly ${CMAKE_BINARY_DIR}/bin/orlent-nightly COPYONLY)
install(PROGRAMS deploy/systemd/orlent-nightly DESTINATION lib/orlent COMPONENT system)
install(FILES deploy/systemd/orlent-nightly.service deploy/systemd/orlent-nightly.timer
              deploy/systemd/orlent-incoming.path
        DESTINATION lib/systemd/system COMPONENT system)
install(FILES deploy/systemd/sysusers.conf DESTINATION lib/sysusers.d RENAME orlent.conf
        COMPONENT system)
install(FILES deploy/systemd/tmpfiles.conf DESTINATION lib/tmpfiles.d RENAME orlent.conf
        COMPONENT system)
install(FILES deploy/systemd/orlent-failure-mail@.service DESTINATION share/doc/orlent/examples
        COMPONENT doc)
install(FILES data/desktop/orlent.desktop DESTINATION share/applications COMPONENT desktop)
install(FILES data/desktop/orlent.svg DESTINATION share/icons/hicolor/scalable/apps
        COMPONENT desktop)

# The changelog is written in Debian's form by hand for each release; the
# build refuses a version it has no entry for.
file(STRINGS data/debian/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^orlent \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/debian/changelog has no entry for ${PROJECT_VERSION} at the top")
endif()
set(changelog ${CMAKE_BINARY_DIR}/install/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/debian/changelog ${CMAKE_BINARY_DIR}/install/changelog
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/install/changelog
  DEPENDS data/debian/changelog VERBATIM)
add_custom_target(changelog ALL DEPENDS ${changelog})
install(FILES README.md docs/termlink.md data/debian/copyright ${changelog}
        DESTINATION share/doc/orlent COMPONENT doc)
install(FILES data/debian/lintian-overrides DESTINATION share/lintian/overrides RENAME orlent
        COMPONENT doc)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orlent)
set(CPACK_PACKAGE_VENDOR "Orlent")
set(CPACK_PACKAGE_CONTACT "Orlent developers <dev@orlent.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Item data to and from retail weighing terminals")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_SOURCE_DIR}/data/debian/description)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The Depends come from the libraries the programs link, with their versions;
# SQLite's is named as well, Orlent.db being kept through it, and what makes
# the system user of the nightly update.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsqlite3-0, systemd | systemd-standalone-sysusers | systemd-sysusers")
# Its one maintainer script makes the user orlent and /var/lib/orlent.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/data/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The programs are stripped as they go into the package; their debug symbols
# go into orlent-dbgsym, a .ddeb beside it.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
include(CPack)
