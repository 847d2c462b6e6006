#!/usr/bin/env bash
# Installs, upgrades and removes the real package with Wine's msiexec, in a Wine prefix of this test's own under
# the build tree (made once and kept), and checks files, shortcut, Run value and uninstall keys after each step.
#   install_test.sh WORK MSI VERSION CMAKE WIXL WXS HEADER EXE CLI README DOCS
set -uo pipefail
work=$1 msi=$2 version=$3 cmake=$4 wixl=$5 wxs=$6 header=$7 exe=$8 cli=$9 readme=${10} docs=${11}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/install_steps.sh"
logon="\"$program_files\\quelvo.exe\""

mkdir -p "$work"
prepare_prefix "$work/wineprefix" || exit 1
remove_leftovers

# Packages made for the test from the same source: the same version rebuilt (a new product code), one version
# up with a README and manuals of its own (to tell its files apart: one manual changed, the last file gone, which the
# upgrade must take away), and one version down.
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
if ((patch > 0)); then older=$major.$minor.$((patch - 1)); elif ((minor > 0)); then older=$major.$((minor - 1)).0
else older=$((major - 1)).0.0; fi
printf '%s\n' "$(cat "$readme")" "" "Paquet de test $newer" >"$work/README-newer.md"
rm -rf "$work/docs-newer" && cp -r "$docs" "$work/docs-newer" || exit 1
manuals=$(find "$work/docs-newer" -type f | sort)
echo "Paquet de test $newer" >>"$(head -1 <<<"$manuals")" && rm "$(tail -1 <<<"$manuals")" || exit 1
build_package "$work/rebuilt.msi" "$version" "$readme" "$docs" &&
    build_package "$work/newer.msi" "$newer" "$work/README-newer.md" "$work/docs-newer" &&
    build_package "$work/newer-rebuilt.msi" "$newer" "$work/README-newer.md" "$work/docs-newer" &&
    build_package "$work/older.msi" "$older" "$readme" "$docs" || exit 1

echo "== RUNATLOGON other than 0 or 1 stops the install"
# 01, 0001 and a full-width 1 are numbers equal to 1 to an installer that compares numbers: refused all the same.
for value in yes 2 " 1" 01 0001 "１"; do
    rm -f "$work/refused.log"
    msiexec_expect nonzero /i "$msi" /qn "RUNATLOGON=$value" /l*v "Z:${work//\//\\}\\refused.log"
    check "stopped by the refusal, the last action the log names" last_action_is RefusedRunAtLogon "$work/refused.log"
done
check "nothing installed" test -z "$(products)"
check "ProgramData\\Quelvo not made" test ! -e "$(data_folder)"

echo "== silent install of $(basename "$msi")"
msiexec_expect 0 /i "$msi" /qn
expect_installed "$version" "$readme" "$docs"
expect_run_value ""
installed_cli_runs
check "ProgramData\\Quelvo left to the program" test ! -e "$(data_folder)"

echo "== then associations chosen and a backup in ProgramData"
take_association_snapshot "$work/before"

echo "== the same package again, then the same version rebuilt, asking for the log-on start"
msiexec_expect 0 /i "$msi" /qn
expect_installed "$version" "$readme" "$docs"
msiexec_expect 0 /i "$work/rebuilt.msi" /qn RUNATLOGON=1
expect_installed "$version" "$readme" "$docs"
expect_run_value "$logon"

echo "== the log-on feature taken away and added again on the installed copy, by its product code"
msiexec_expect 0 /i "$(product_code)" /qn REMOVE=RunAtLogon
expect_run_value ""
msiexec_expect 0 /i "$(product_code)" /qn ADDLOCAL=RunAtLogon
expect_run_value "$logon"
expect_installed "$version" "$readme" "$docs"

echo "== upgrade to $newer (the log-on choice kept), $older refused, two builds of $newer with RUNATLOGON=0 then 1"
msiexec_expect 0 /i "$work/newer.msi" /qn
expect_installed "$newer" "$work/README-newer.md" "$work/docs-newer"
expect_run_value "$logon"
msiexec_expect nonzero /i "$work/older.msi" /qn
expect_installed "$newer" "$work/README-newer.md" "$work/docs-newer"
msiexec_expect 0 /i "$work/newer-rebuilt.msi" /qn RUNATLOGON=0
expect_run_value ""
msiexec_expect 0 /i "$work/newer.msi" /qn RUNATLOGON=1
expect_installed "$newer" "$work/README-newer.md" "$work/docs-newer"
expect_run_value "$logon"

echo "== silent removal"
msiexec_expect 0 /x "$work/newer.msi" /qn
expect_removed
expect_run_value ""
compare_association_snapshot "$work/before"

finish
