#!/bin/sh
# Runs Windows tests with the Wine prefix's screen at another resolution; 96 dots per inch comes back however the
# run ends.
#   at_dpi.sh DPI tests.exe GTEST_FILTER
dpi=$1 exe=$2 filter=$3
trap 'wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1' EXIT
trap 'exit 1' INT TERM
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
QUELVO_EXPECT_DPI=$dpi wine "$exe" --gtest_filter="$filter"
