#!/bin/sh
# Runs end-to-end tests with the Wine prefix's screen at another resolution, then puts 96 dots per inch back.
#   at_dpi.sh DPI e2e_tests.exe GTEST_FILTER
dpi=$1 exe=$2 filter=$3
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
QUELVO_EXPECT_DPI=$dpi wine "$exe" --gtest_filter="$filter"
status=$?
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
exit $status
