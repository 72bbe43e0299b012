# The Debian package: cpack in the build tree packs the programs as they were last built
# (build them first). The shared libraries' packages come from dpkg-shlibdeps (dpkg-dev, file).
set(TICKWELL_MAINTAINER "the Tickwell developers <tickwell@users.noreply.github.com>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tickwell)
set(CPACK_PACKAGE_VENDOR "the Tickwell developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL https://github.com/tickwell/tickwell)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop stock-quote retriever for portfolios")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME tickwell)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TICKWELL_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The long description; CPack puts the summary line above it and indents it for the control file.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tickwell keeps portfolios as text files of ticker symbols and shows their
delayed quotes (price, change, volume, advancing and declining issues) and
real-time quotes (trade, bid, ask) in sortable grids, with a details page
and a one-year chart in the web browser. Every load also writes its rows to a
data file beside the portfolio.

The package includes tickwell-quoted, a simulated quote server on the local
machine, to try Tickwell without a quote service.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's fixed layout is measured in Liberation fonts; details pages open through
# xdg-open; https sources are checked against ca-certificates' authorities; the GTK platform
# theme gives the window the desktop's look on GTK desktops.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, ca-certificates")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-gtk-platformtheme")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
