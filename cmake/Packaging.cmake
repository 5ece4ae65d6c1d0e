# What a Debian package of KAZ holds beyond the programs: manual pages,
# shell completion, AppStream metadata and the documents Debian asks for;
# and the CPack settings that build it (scripts/package.sh).

# KAZ has no homepage and no mail address of its own: none is given, none
# invented. A Debian package must name its maintainer with an address: that
# is whoever builds and passes it on, named as the Debian tools take it
# (DEBFULLNAME and DEBEMAIL) or by -DKAZ_MAINTAINER="Name <address>".
# Without either the address is one under ".invalid", the name that stands
# for no address at all (RFC 2606).
set(KAZ_APPSTREAM_ID "example.quillbay.kaz")
if(NOT KAZ_MAINTAINER)
  if(DEFINED ENV{DEBEMAIL} AND NOT "$ENV{DEBEMAIL}" STREQUAL "")
    set(maintainer_name "$ENV{DEBFULLNAME}")
    if(maintainer_name STREQUAL "")
      set(maintainer_name "KAZ packager")
    endif()
    set(maintainer "${maintainer_name} <$ENV{DEBEMAIL}>")
  else()
    set(maintainer "KAZ packager <packager@kaz.invalid>")
  endif()
  set(KAZ_MAINTAINER "${maintainer}" CACHE STRING "The package's maintainer: Name <address>")
endif()
# The date of this version, for the manual pages, the changelog and the
# AppStream release entry.
set(KAZ_RELEASE_DATE "2026-12-06")

set(package_dir ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${package_dir})

# Manual pages are hand-written roff; only the version and date are filled in.
# Debian ships them compressed with gzip -9n (no name or time stamp inside).
set(compressed)
foreach(page kaz.1 kaz-cli.1)
  configure_file(${PROJECT_SOURCE_DIR}/data/man/${page}.in ${package_dir}/${page} @ONLY)
  list(APPEND compressed ${page})
endforeach()

execute_process(COMMAND date -R -u -d "${KAZ_RELEASE_DATE} 12:00:00"
                OUTPUT_VARIABLE KAZ_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${package_dir}/changelog @ONLY)
list(APPEND compressed changelog)

set(compressed_outputs)
foreach(file IN LISTS compressed)
  add_custom_command(OUTPUT ${package_dir}/${file}.gz
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${package_dir}/${file} ${package_dir}/${file}.gz
    DEPENDS ${package_dir}/${file}
    VERBATIM)
  list(APPEND compressed_outputs ${package_dir}/${file}.gz)
endforeach()
add_custom_target(kaz_package_files ALL DEPENDS ${compressed_outputs})

configure_file(${PROJECT_SOURCE_DIR}/data/kaz.metainfo.xml.in ${package_dir}/${KAZ_APPSTREAM_ID}.metainfo.xml @ONLY)

install(FILES ${package_dir}/kaz-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(KAZ_BUILD_GUI)
  install(FILES ${package_dir}/kaz.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${package_dir}/${KAZ_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/data/completion/kaz-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${package_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kaz)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kaz)
set(CPACK_PACKAGE_VENDOR "KAZ developers")
set(CPACK_PACKAGE_CONTACT "${KAZ_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MP3 collection organizer: rename, clean up, tag and sort files")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/data/debian/description)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories 0755 whatever the umask of the machine that builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KAZ_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The media player is driven over D-Bus; any MPRIS player will do.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "vlc | audacious")
include(CPack)
