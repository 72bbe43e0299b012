#!/usr/bin/env bash
# Builds the Debian package from this build tree once, in a scratch folder, and checks what a
# user gets: the control fields, the Qt 6 libraries among the dependencies, exactly the files
# an install puts in place, a desktop entry whose program and icon are in the package, and
# tickwell-quoted starting from the unpacked package without a display.
# Usage: check_debian_package.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build=$1 id=$2 version=$3
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
    command -v $tool >/dev/null || { echo "$tool missing: run scripts/install-deps.sh"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    exit 1
fi
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "cpack made no single .deb:"; ls "$work"; exit 1; }
deb=${debs[0]}
echo "built $(basename "$deb")"

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tickwell ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version-1" ] || fail "Version: $(field Version), not $version-1"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
for name in Maintainer Section Homepage Description; do
    [ -n "$(field $name)" ] || fail "no $name field"
done
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer is not \"name <address>\": $(field Maintainer)"
depends=$(field Depends)
echo "Depends: $depends"
# The package names alone, one a line.
depends_names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libc6 libstdc++6 fonts-liberation; do
    grep -qxF "$package" <<<"$depends_names" || fail "Depends does not name $package"
done

# Exactly the files an install puts in place, as root's, the programs executable.
expected="./usr/bin/tickwell
./usr/bin/tickwell-quoted
./usr/share/applications/$id.desktop
./usr/share/doc/tickwell/copyright
./usr/share/icons/hicolor/48x48/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/tickwell-quoted.1.gz
./usr/share/man/man1/tickwell.1.gz
./usr/share/metainfo/$id.metainfo.xml"
contents=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ { print $6 }' <<<"$contents" | LC_ALL=C sort)
if [ "$files" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    fail "the package's files differ from the expected ones (< expected, > in the package):"
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$files") || true
fi
awk '$1 !~ /^d/ && $2 != "root/root" { print "FAIL: not root/root: " $6 }' <<<"$contents" | grep . && failed=1
for program in tickwell tickwell-quoted; do
    grep -qE "^-rwxr-xr-x .* \./usr/bin/$program$" <<<"$contents" || fail "/usr/bin/$program is not rwxr-xr-x"
done

# What the desktop entry starts and shows is in the package.
root=$work/root
dpkg -x "$deb" "$root"
entry=$root/usr/share/applications/$id.desktop
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$root/usr/bin/$exec_program" ] || fail "Exec=$exec_program is not in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in scalable/apps/$icon.svg 48x48/apps/$icon.png; do
    [ -f "$root/usr/share/icons/hicolor/$size" ] || fail "Icon=$icon: no hicolor/$size"
done
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo does not launch $id.desktop"
for program in tickwell tickwell-quoted; do
    file "$root/usr/bin/$program" | grep -q ', stripped' || fail "/usr/bin/$program is not stripped"
done

# Both programs from the package, with no display at all.
for program in tickwell tickwell-quoted; do
    if out=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$root/usr/bin/$program" --version 2>&1); then
        echo "unpacked $program --version: $out"
        [ "$out" = "$program $version" ] || fail "$program --version printed \"$out\""
    else
        fail "unpacked $program --version failed: $out"
    fi
done

[ $failed -eq 0 ] && echo "the package holds what an install puts in place"
exit $failed
