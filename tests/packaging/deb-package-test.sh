#!/usr/bin/env bash
# The Debian package of a Release build: cpack -G DEB makes a .deb that holds
# the programs, their data, the desktop files and the manual pages, and
# whose dependencies dpkg-shlibdeps found in the programs. The package is
# made in a scratch directory of the build tree that is removed afterwards.
# Skipped (77) in other builds (the sanitizer build's programs are
# instrumented) and where dpkg-deb, dpkg-shlibdeps or file is missing.
# Usage: deb-package-test.sh BUILD_DIR CPACK BUILD_TYPE SANITIZED(0|1) APP_ID VERSION
set -euo pipefail
build=$1 cpack=$2 type=$3 sanitize=$4 id=$5 version=$6
fail() { echo "deb package test: $*" >&2; exit 1; }

if [ "$type" != Release ] || [ "$sanitize" = 1 ]; then
    echo "a package is made from the Release build only"
    exit 77
fi
for program in dpkg-deb dpkg-shlibdeps file; do
    command -v "$program" >/dev/null || { echo "$program is not installed"; exit 77; }
done

scratch="$build/tests/deb.$$"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch"
"$cpack" -G DEB -B "$scratch" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
debs=("$scratch"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
deb=${debs[0]}

contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
for f in usr/bin/ketral usr/bin/ketral-tool usr/share/ketral/Building.Nam usr/share/ketral/help/Ketral.hlp \
         "usr/share/applications/$id.desktop" "usr/share/icons/hicolor/scalable/apps/$id.svg" \
         "usr/share/metainfo/$id.metainfo.xml" usr/share/man/man1/ketral.1.gz \
         usr/share/man/man1/ketral-tool.1.gz usr/share/doc/ketral/copyright usr/lib/ketral/ketral-text.so; do
    grep -qx "\./$f" <<<"$contents" || fail "the package lacks /$f"
done

[ "$(dpkg-deb -f "$deb" Package)" = ketral ] || fail "the package is not named ketral"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libpng16-16 libxxhash0; do
    grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends does not name $library: $depends"
done
echo "Depends: $depends"
echo "deb package test passed"
