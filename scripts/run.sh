#!/usr/bin/env bash
# Builds quelvo.exe and starts it in a Wine desktop on the display (Xvfb unless QUELVO_DISPLAY names a real one).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
prepare_environment
build_windows >/dev/null
echo "Quelvo runs on display $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)."
exec wine explorer /desktop=Quelvo,1024x768 "$BUILD_ROOT/windows/quelvo.exe"
