# Installation: every program and libtermlink.so side by side in one program
# folder (the program finds its settings file, download files and link library
# there), with a desktop entry and an icon. `cpack -G DEB` packs the same into
# /opt/orlent.
set(ORLENT_PROGRAMS)
foreach(target orlent orlent-cli orlent-termsim termlink)
  if(TARGET ${target})
    list(APPEND ORLENT_PROGRAMS ${target})
  endif()
endforeach()
install(TARGETS ${ORLENT_PROGRAMS}
  RUNTIME DESTINATION . COMPONENT program
  LIBRARY DESTINATION . COMPONENT program
  NAMELINK_SKIP)
install(FILES data/PLU-Down-Default.txt DESTINATION . COMPONENT program)
install(FILES data/desktop/orlent.desktop DESTINATION share/applications COMPONENT desktop)
install(FILES data/desktop/orlent.svg DESTINATION share/icons/hicolor/scalable/apps
        COMPONENT desktop)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orlent)
set(CPACK_PACKAGE_VENDOR "Orlent")
set(CPACK_PACKAGE_CONTACT "Orlent developers <dev@orlent.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Item data to and from retail weighing terminals")
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/orlent)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
include(CPack)
