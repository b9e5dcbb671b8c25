# The Debian package: cpack -G DEB in a build folder (scripts/package.sh does the whole
# release build). Libraries come from the binaries (dpkg-shlibdeps); the rest is what the
# binaries cannot tell: the Qt platform plugins, and the fonts the windows are laid out for.
set(CPACK_PACKAGE_NAME kenvora)
set(CPACK_PACKAGE_VENDOR "Kenvora")
set(CPACK_PACKAGE_CONTACT "Kenvora <kenvora@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collect facts and drill them until they are remembered")
set(CPACK_PACKAGE_DESCRIPTION
    "Kenvora keeps question sets of records, each with three items, a comment\n"
    "and a source as formatted text, and drills them in order of their correct\n"
    "rate or weighted at random. Records can be searched across sets, each\n"
    "set's correct-rate statistics shown, and the database is backed up on exit\n"
    "or by a schedule. The user interface is in Japanese.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kenvora.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic, fonts-ipafont-mincho")
# Qt's own buttons and dialogs in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

include(CPack)
