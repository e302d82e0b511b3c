#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the installed programs:
# the tool must find its data (building lists) beside itself, and the desktop
# entry, icon, metainfo and manual pages must be where desktops and man look
# for them, named by the application's id.
# Usage: install-test.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1 id=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "install test: $*" >&2; exit 1; }
desktop="$prefix/share/applications/$id.desktop"
for f in bin/ketral bin/ketral-tool share/ketral/Building.Nam share/ketral/help/Ketral.hlp \
         "share/applications/$id.desktop" "share/icons/hicolor/scalable/apps/$id.svg" \
         "share/metainfo/$id.metainfo.xml" share/man/man1/ketral.1.gz share/man/man1/ketral-tool.1.gz \
         share/doc/ketral/copyright; do
    [ -e "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/ketral" ] && [ -x "$prefix/bin/ketral-tool" ] || fail "programs are not executable"
grep -qx "Exec=ketral" "$desktop" || fail "desktop entry does not start ketral"
grep -qx "Icon=$id" "$desktop" || fail "desktop entry does not name the icon $id"
grep -q "<id>$id</id>" "$prefix/share/metainfo/$id.metainfo.xml" || fail "the metainfo is not that of $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" \
    || fail "the metainfo does not launch $id.desktop"

# The installed tool runs from anywhere and reads no settings of the user.
export XDG_CONFIG_HOME="$tmp/config"
cd "$tmp"
"$prefix/bin/ketral-tool" demo "$tmp/game" >/dev/null
out=$("$prefix/bin/ketral-tool" catalogue --game "$tmp/game")
echo "$out" | grep -q '"caption": "Strategic maps"' || fail "catalogue of the demo game: $out"
echo "$out" | grep -q '"messages": \[\]' || fail "catalogue reported messages: $out"
# The building lists come from the installed share/ketral.
info=$("$prefix/bin/ketral-tool" city-info --game "$tmp/game" --map Citymap1)
echo "$info" | grep -q '"text": "' || fail "city-info found no building list texts: $info"
[ ! -e "$tmp/config" ] || fail "the tool wrote settings"
echo "install test passed"
