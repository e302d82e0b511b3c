#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate without an error, a warning
# or a hint. Skipped (77) where desktop-file-utils is not installed.
# Usage: desktop-entry-test.sh FILE.desktop
set -euo pipefail
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate is not installed"; exit 77; }
out=$(desktop-file-validate "$1" 2>&1) || { echo "$out" >&2; exit 1; }
[ -z "$out" ] || { echo "desktop-file-validate: $out" >&2; exit 1; }
echo "desktop entry test passed"
