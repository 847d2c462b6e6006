# Steps of install_test.sh. Sourced; uses its variables (here, work, cmake, wixl, wxs, header, exe, cli).
failures=0
check() { # DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAIL: $1"; failures=$((failures + 1)); fi
}
finish() { echo "$failures failure(s)"; ((failures == 0)); }

# Only ever a folder that this test made (it carries the scripts' marker): a folder without it is someone else's.
# Our own Wine settings whatever the caller's: without winemenubuilder, Wine does not copy the Start-menu shortcut
# into the Linux desktop of the user running the test.
source "$here/../../scripts/wine_prefix.sh"
# One Wine server for the whole test, ended with it however it ends.
prepare_prefix() {
    unset WINEDEBUG WINEDLLOVERRIDES
    use_wine_prefix "$1"
    trap end_wineserver EXIT
    prepare_wine_prefix && start_wineserver
}
program_files="C:\\Program Files\\Quelvo"
folder() { echo "$WINEPREFIX/drive_c/Program Files/Quelvo"; }
data_folder() { echo "$WINEPREFIX/drive_c/ProgramData/Quelvo"; }
backup() { echo "$(data_folder)/associations-before-quelvo.reg"; }

# Uninstall keys of every installed Quelvo, one a line.
products() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ { key = $0 } /DisplayName +REG_SZ +Quelvo$/ { print key }'
}
remove_leftovers() { # of an interrupted run
    local key
    for key in $(products); do wine msiexec /x "${key##*\\}" /qn; done
    rm -rf "$(data_folder)"
}

build_package() { # OUTPUT VERSION README DOCS
    "$cmake" -DWIXL="$wixl" -DWXS="$wxs" -DHEADER="$header" -DEXE="$exe" -DCLI="$cli" -DREADME="$3" -DDOCS="$4" \
        -DOUTPUT="$1" -DVERSION="$2" -P "$here/../../cmake/build_msi.cmake"
}
msiexec_expect() { # 0|nonzero ARGS...
    wine msiexec "${@:2}"
    local status=$?
    echo "msiexec ${*:2} exited $status"
    if [ "$1" = 0 ]; then check "msiexec succeeds" test $status = 0; else check "msiexec refuses" test $status != 0; fi
}

shortcuts() { find "$WINEPREFIX/drive_c" -name Quelvo.lnk; }
shortcut_targets_program() { grep -qaF "$program_files\\quelvo.exe" "$(shortcuts)"; }
expect_installed() { # VERSION README DOCS
    local keys version
    keys=$(products)
    check "exactly one product installed" test "$(printf '%s' "$keys" | grep -c .)" = 1
    version=$(wine reg query "$keys" /v DisplayVersion 2>/dev/null | tr -d '\r' | awk '/DisplayVersion/ { print $3 }')
    check "installed version is $1 (read: $version)" test "$version" = "$1"
    check "quelvo.exe is this build's" cmp -s "$exe" "$(folder)/quelvo.exe"
    check "README.md is the package's" cmp -s "$2" "$(folder)/README.md"
    check "docs\\ beside it is the package's, file for file" diff -r "$3" "$(folder)/docs"
    check "quelvo-cli.exe is this build's" cmp -s "$cli" "$(folder)/quelvo-cli.exe"
    check "one Start-menu shortcut Quelvo" test "$(shortcuts | grep -c .)" = 1
    check "the shortcut starts the installed quelvo.exe" shortcut_targets_program
}
installed_cli_runs() {
    wine "$program_files\\quelvo-cli.exe" list >/dev/null
    check "the installed quelvo-cli.exe list exits 0" test $? = 0
}
expect_run_value() { # the value's data, or nothing for no value
    local data
    data=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v Quelvo 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *Quelvo *REG_SZ *//p')
    check "Run value Quelvo is '${1:-absent}' (read: '${data:-absent}')" test "$data" = "$1"
}
expect_removed() {
    check "no product left" test -z "$(products)"
    check "no installed file left" test ! -e "$(folder)"
    check "no shortcut left" test -z "$(shortcuts)"
    check "ProgramData\\Quelvo left in place" test -d "$(data_folder)"
}
last_action_is() { grep -a "^Action start" "$2" | tail -1 | grep -q " $1\.$"; }
product_code() { local key; key=$(products); echo "${key##*\\}"; }

# The associations as the command line reports them (the 29 values), and the machine's backup, which the first
# switch writes (planted if it does not), before the package is removed.
take_association_snapshot() { # FOLDER
    mkdir -p "$1" "$(dirname "$(backup)")"
    wine "$cli" use octaga >/dev/null
    check "the build's quelvo-cli.exe use octaga exits 0" test $? = 0
    { wine "$cli" status; echo "exit $?"; } >"$1/status.txt"
    [ -f "$(backup)" ] || echo "planted by the install test" >"$(backup)"
    cp "$(backup)" "$1/backup.reg"
}
compare_association_snapshot() { # FOLDER
    { wine "$cli" status; echo "exit $?"; } >"$1/status-after.txt"
    check "the 29 association values unchanged by the removal" cmp -s "$1/status.txt" "$1/status-after.txt"
    check "the ProgramData backup unchanged by the removal" cmp -s "$1/backup.reg" "$(backup)"
}
