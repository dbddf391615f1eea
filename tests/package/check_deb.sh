#!/usr/bin/env bash
# Builds the Debian package with CPack from the build tree, checks its control fields and
# contents, and runs lintian on it. Usage: check_deb.sh BUILD_DIR OUTPUT_DIR APP_ID
set -euo pipefail
build_dir=$1
out=$2
app_id=$3
rm -rf "$out"
mkdir -p "$out"
(cd "$build_dir" && cpack --config CPackConfig.cmake -B "$out")

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

shopt -s nullglob
debs=("$out"/ampero_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: expected one ampero_*.deb in $out"; exit 1; }
deb=${debs[0]}
dpkg-deb --info "$deb"

[ "$(dpkg-deb -f "$deb" Package)" = ampero ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 1.00 ] || fail "version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"

# The libraries come from dpkg-shlibdeps, the fonts and the sound driver from the
# hand-written list.
depends=$(dpkg-deb -f "$deb" Depends | sed -e 's/ *([^)]*)//g' -e 's/, */\n/g')
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libcanberra0 \
    fonts-liberation2 fonts-comic-neue libcanberra-pulse; do
    grep -qxF "$package" <<<"$depends" || fail "Depends lacks $package"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in ./usr/bin/ampero ./usr/share/ampero/alert.wav ./usr/share/ampero/about-logo.jpg \
    "./usr/share/applications/$app_id.desktop" \
    "./usr/share/metainfo/$app_id.metainfo.xml" \
    "./usr/share/icons/hicolor/16x16/apps/$app_id.png" \
    "./usr/share/icons/hicolor/32x32/apps/$app_id.png" \
    "./usr/share/icons/hicolor/48x48/apps/$app_id.png" \
    "./usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
    ./usr/share/man/man1/ampero.1.gz ./usr/share/doc/ampero/copyright \
    ./usr/share/doc/ampero/changelog.gz; do
    grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
if grep -v '^\./usr/' <<<"$contents" | grep -qv '^\./$'; then
    fail "files outside /usr"
fi

# Debian's own checks of a package; any error or warning fails, and so does any hint, with
# the informational tags, that the program lacks the hardening Debian's packages get.
lintian_report=$(lintian -I --fail-on error,warning "$deb") || fail "lintian"
echo "$lintian_report"
! grep hardening- <<<"$lintian_report" || fail "not hardened"

# Shipped stripped: the debugging information stays in the build tree.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$scratch" ./usr/bin/ampero ./usr/share/doc/ampero/copyright
file "$scratch/usr/bin/ampero" | grep -q ', stripped' || fail "the program is not stripped"
grep -qx 'License: Expat' "$scratch/usr/share/doc/ampero/copyright" || fail "the licence is not Expat"
exit $failed
