# Installation: every program and libtermlink.so side by side in one program
# folder (the program finds its settings file, download files and link library
# there), with a desktop entry and an icon. The `package` preset lays the same
# out for a .deb: the programs in /opt/orlent, the desktop entry in /usr/share.
# Only root may write /opt/orlent, so there each user works in a per-user
# folder (model/program_folder.h).
set(ORLENT_PROGRAM_DIR "." CACHE STRING "Program folder, relative to the install prefix")
set(ORLENT_SHARE_DIR "share" CACHE STRING "Desktop entry and icon folder, relative to the prefix")
set(ORLENT_PROGRAMS)
foreach(target orlent orlent-cli orlent-termsim termlink)
  if(TARGET ${target})
    list(APPEND ORLENT_PROGRAMS ${target})
  endif()
endforeach()
install(TARGETS ${ORLENT_PROGRAMS}
  RUNTIME DESTINATION ${ORLENT_PROGRAM_DIR} COMPONENT program
  LIBRARY DESTINATION ${ORLENT_PROGRAM_DIR} COMPONENT program
  NAMELINK_SKIP)
# The sample download files; an installed program copies them into each user's folder.
install(FILES data/PLU-Down-Default.txt data/PLU-Down.txt data/Barcode-Down.txt
              data/Ingredient-Down.txt data/ScrollMsg-Down.txt data/Speedkey-Down.txt
        DESTINATION ${ORLENT_PROGRAM_DIR} COMPONENT program)
install(FILES data/desktop/orlent.desktop DESTINATION ${ORLENT_SHARE_DIR}/applications
        COMPONENT desktop)
install(FILES data/desktop/orlent.svg DESTINATION ${ORLENT_SHARE_DIR}/icons/hicolor/scalable/apps
        COMPONENT desktop)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orlent)
set(CPACK_PACKAGE_VENDOR "Orlent")
set(CPACK_PACKAGE_CONTACT "Orlent developers <dev@orlent.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Item data to and from retail weighing terminals")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
include(CPack)
