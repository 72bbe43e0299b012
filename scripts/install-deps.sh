#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Tickwell need, when missing.
# Extra package names may be given (the test script asks for chromium, for the browser test).
set -euo pipefail

packages=(
    # building, and the formatting check
    cmake g++ make git clang-format qt6-base-dev libbenchmark-dev
    # the price history of tickwell-quoted (the package depends on libsqlite3 through dpkg-shlibdeps)
    libsqlite3-dev
    # running: the window's fonts, its look on GTK desktops, the browser for the details page,
    # and the virtual display used where there is no real one; the authorities that https
    # sources are checked against (Qt's TLS plugin comes with libqt6network6, OpenSSL with it)
    fonts-liberation qt6-gtk-platformtheme xdg-utils xvfb xauth ca-certificates
    # testing: the end-to-end load timing, the desktop file, metainfo and man page checks,
    # and the Debian package (cpack's dependency lookup needs dpkg-shlibdeps and file); the test
    # authority and the TLS server of the https source's test
    curl desktop-file-utils appstream man-db groff-base dpkg-dev file openssl
    # the accessibility tests and the screen-reader case of the benchmark: a private session
    # bus, the accessibility bus and a client that reads the window through it
    dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    # the Orca walk: the screen reader, a window manager, speech without a sound card, and keys
    orca xfwm4 speech-dispatcher-espeak-ng xdotool
    # the price alerts' test: a real notification daemon on the test's own session bus
    dunst
    "$@"
)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root or install sudo to get: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
