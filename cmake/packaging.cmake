# `make package`: a Debian package of everything `cmake --install` puts in place, made
# with CPack for /usr. Included from the top-level CMakeLists.txt after its install rules.

# Debian wants the manual page and the documents compressed, without a time stamp (-n) so
# that the same sources give the same package.
function(desktidy_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9 -n -c ${source} > ${output}
        DEPENDS ${source}
        COMMENT "Compressing ${source}")
endfunction()

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
desktidy_gzip(${PROJECT_SOURCE_DIR}/resources/desktidy.1 ${CMAKE_BINARY_DIR}/desktidy.1.gz)
desktidy_gzip(${packaging_dir}/changelog ${CMAKE_BINARY_DIR}/changelog.gz)
desktidy_gzip(${PROJECT_SOURCE_DIR}/README.md ${CMAKE_BINARY_DIR}/README.md.gz)
add_custom_target(desktidy_compressed_docs ALL
    DEPENDS ${CMAKE_BINARY_DIR}/desktidy.1.gz ${CMAKE_BINARY_DIR}/changelog.gz
            ${CMAKE_BINARY_DIR}/README.md.gz)

install(FILES ${CMAKE_BINARY_DIR}/desktidy.1.gz DESTINATION share/man/man1)
# The licence is the copyright file's: Debian points to its own copy of the GPL's text
# rather than shipping LICENSE again.
install(FILES ${packaging_dir}/copyright ${CMAKE_BINARY_DIR}/changelog.gz
              ${CMAKE_BINARY_DIR}/README.md.gz
        DESTINATION share/doc/desktidy)

# The package's version is the project's: a release must add its changelog entry first.
file(STRINGS ${packaging_dir}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^desktidy \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog does not start with version ${PROJECT_VERSION}")
endif()

set(DESKTIDY_PACKAGE_MAINTAINER "Desktidy maintainers <maintainers@desktidy.invalid>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME desktidy)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DESKTIDY_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"keep folders tidy by filing loose items by their type
Desktidy files every loose item at the top level of a folder, by default the
desktop's folder, into a category folder inside it (audio, compressed, data,
images, layouts, videos, web, words), chosen by the item's type. Filing can be
undone at any time, and items older than a chosen day can be archived first.

A list of folders can be filed in one go, also unattended from the crontab.
Desktidy also packs and unpacks lists of files, renames a folder's items by
rules, empties chosen items of the Trash and removes an application together
with its related files. A move never replaces an item.")
# The libraries come from dpkg-shlibdeps. Beyond them: the crontab tool for the schedule,
# pkexec for moving items the user may not move alone, and Qt's platform plugins, without
# which the window cannot open (libqt6gui6 only recommends them). Qt's SVG plugin
# (libqt6svg6) is not needed: the icon comes as PNGs in every hicolor size too.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "cron | cron-daemon, pkexec, qt6-qpa-plugins")
# Removing the package says which users' crontabs still start the program.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${packaging_dir}/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
