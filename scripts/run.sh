#!/usr/bin/env bash
# Builds quelvo.exe alone (not the tests, which take minutes more) and starts it in a Wine desktop on display :77
# (Xvfb there unless QUELVO_DISPLAY names a real one). The tests never use that display or this prefix. The Xvfb and
# the Wine server it started end with it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
export QUELVO_DISPLAY=${QUELVO_DISPLAY:-:77}
end_environment_on_exit
prepare_environment
build_windows quelvo >/dev/null
echo "Quelvo runs on display $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)."
# In the background and waited for, so that Ctrl-C or a TERM ends it at once, with the display and the server.
wine explorer /desktop=Quelvo,1024x768 "$BUILD_ROOT/windows/quelvo.exe" &
wait $!
