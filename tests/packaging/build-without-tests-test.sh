#!/usr/bin/env bash
# A packager's configuration: with -DBUILD_TESTING=OFF the project
# configures where GoogleTest, Qt Test and Google Benchmark cannot be found,
# and its build files name none of their libraries and no test or benchmark.
# Only configured (a build would take minutes), in a scratch directory of
# the build tree that is removed afterwards.
# Usage: build-without-tests-test.sh SOURCE_DIR BUILD_DIR GENERATOR CXX_COMPILER
set -euo pipefail
source=$1 build=$2 generator=$3 compiler=$4
scratch="$build/tests/without-tests.$$"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "build without tests: $*" >&2; exit 1; }

cmake -S "$source" -B "$scratch" -G "$generator" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE=Release \
      -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
      -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON >"$scratch.log" 2>&1 \
    || { cat "$scratch.log" >&2; rm -f "$scratch.log"; fail "configuring failed"; }
rm -f "$scratch.log"

files=$(find "$scratch" -name build.ninja -o -name '*.make' -o -name Makefile -o -name link.txt)
[ -n "$files" ] || fail "no build files written"
# shellcheck disable=SC2086
grep -q 'bin/ketral-tool' $files || fail "the build files do not build ketral-tool"
# shellcheck disable=SC2086
if found=$(grep -ohE 'lib(gtest|gmock|benchmark)[a-z_]*\.|libQt6Test|bin/(test|tst|bench)_[A-Za-z_]+' $files | sort -u) \
   && [ -n "$found" ]; then
    fail "the build files name: $found"
fi
echo "build without tests test passed"
