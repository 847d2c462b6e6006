#!/usr/bin/env bash
# Takes the screenshots of the main window, its menu, the about window and the tray pop-up, as PNG files.
#   bash scripts/screenshots.sh FOLDER [DPI]      (DPI: the prefix's dots per inch while they are taken)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
[ $# -ge 1 ] || { echo "usage: $0 FOLDER [DPI]" >&2; exit 2; }
use_test_prefix
end_environment_on_exit
prepare_environment
build_windows quelvo quelvo_screenshots quelvo_desktop_keeper >/dev/null
keep_desktop_open
take_screenshots "$@"
