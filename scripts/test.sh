#!/usr/bin/env bash
# Builds everything both ways and runs every test: natively on Linux, then the Windows build under Wine.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
prepare_environment

echo "== Native build and tests"
build_native
ctest --test-dir "$BUILD_ROOT/native" --output-on-failure

echo "== Windows build and tests under Wine"
build_windows
ctest --test-dir "$BUILD_ROOT/windows" --output-on-failure

# The end-to-end run leaves screenshots of what a person sees.
for picture in "$BUILD_ROOT"/windows/screenshots/*.bmp "$BUILD_ROOT"/windows/screenshots/*/*.bmp; do
    [ -e "$picture" ] && convert "$picture" "${picture%.bmp}.png" && rm "$picture"
done
echo "Screenshots: $BUILD_ROOT/windows/screenshots"
