#!/usr/bin/env bash
# The AppStream metainfo: appstreamcli accepts it (issues of pedantic
# severity aside), its newest release is the project's version, and every
# screenshot it names is one of dist/screenshots/. The validation is skipped
# (77) where appstream is not installed.
# Usage: metainfo-test.sh FILE.metainfo.xml SCREENSHOT_DIR VERSION
set -euo pipefail
metainfo=$1 screenshots=$2 version=$3
fail() { echo "metainfo test: $*" >&2; exit 1; }

newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the newest release is '$newest', the project's version $version"
# Each screenshot as "WIDTH HEIGHT URL".
shots=$(grep -o '<image[^>]*>[^<]*</image>' "$metainfo" \
        | sed -E 's/.*width="([0-9]+)".*height="([0-9]+)"[^>]*>([^<]*)<.*/\1 \2 \3/')
[ -n "$shots" ] || fail "no screenshots"
while read -r width height url; do
    [[ $url == https://* ]] || fail "screenshot $url is no https address"
    file="$screenshots/${url##*/}"
    [ -f "$file" ] || fail "screenshot ${url##*/} is not in $screenshots"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    size=$(od -An -tx1 -j16 -N8 "$file" | tr -d ' \n')
    [ "$((16#${size:0:8})) $((16#${size:8:8}))" = "$width $height" ] \
        || fail "${url##*/} is $((16#${size:0:8})) x $((16#${size:8:8})), the metainfo says $width x $height"
done <<<"$shots"

command -v appstreamcli >/dev/null || { echo "appstreamcli is not installed"; exit 77; }
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli does not accept $metainfo"
echo "metainfo test passed"
