#!/usr/bin/env bash
# Installs the build tree into a scratch prefix with cmake --install and checks what lands
# there: the program, the desktop entry and metainfo that point at it and at its icon, the
# icon in every hicolor size, and the data files the program reads.
# Usage: check_install_tree.sh BUILD_DIR APP_ID DATA_FILE...
set -euo pipefail
build_dir=$1
app_id=$2
shift 2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

[ -x "$prefix/bin/ampero" ] || fail "no executable bin/ampero"

desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
if ! { [ -f "$desktop" ] && desktop-file-validate "$desktop"; }; then
    fail "desktop entry missing or invalid"
fi
if ! { [ -f "$metainfo" ] && appstreamcli validate --no-net "$metainfo" >/dev/null; }; then
    fail "metainfo missing or invalid"
fi

exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$prefix/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not the installed program"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app_id" ] || fail "Icon= is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $app_id.desktop"
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo id is not $app_id"

icons="$prefix/share/icons/hicolor"
for size in 16 32 48; do
    icon="$icons/${size}x$size/apps/$app_id.png"
    if [ -f "$icon" ]; then
        actual=$(identify -format '%wx%h' "$icon")
        [ "$actual" = "${size}x$size" ] || fail "$icon is $actual"
    else
        fail "no $icon"
    fi
done
grep -q "<svg" "$icons/scalable/apps/$app_id.svg" || fail "no scalable icon"

for file in "$@"; do
    [ -s "$prefix/share/ampero/$file" ] || fail "no share/ampero/$file"
done

(cd "$prefix" && find . -type f | sort)
exit $failed
