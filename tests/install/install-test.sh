#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the installed programs:
# the tool must find its data (building lists) beside itself, and the desktop
# entry and icon must be where desktops look for them.
# Usage: install-test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "install test: $*" >&2; exit 1; }
for f in bin/ketral bin/ketral-tool share/ketral/Building.Nam share/ketral/help/Ketral.hlp \
         share/applications/ketral.desktop share/icons/hicolor/scalable/apps/ketral.svg; do
    [ -e "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/ketral" ] && [ -x "$prefix/bin/ketral-tool" ] || fail "programs are not executable"
grep -qx "Exec=ketral" "$prefix/share/applications/ketral.desktop" || fail "desktop entry does not start ketral"
grep -qx "Icon=ketral" "$prefix/share/applications/ketral.desktop" || fail "desktop entry names no icon"

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
