#!/usr/bin/env bash
# The options tests once more under another Windows family or another locale:
# Usage: options_again.sh BIN_FOLDER win98|de_DE
# win98: Wine answers the test program as the 9x family (eleven program columns, the
# Run value under the machine's key); de_DE: decimal ",", grouping "." and the euro sign.
set -uo pipefail
BIN=$1
cd "$BIN"
key='HKCU\Software\Wine\AppDefaults\loop_tests.exe'
case $2 in
  win98)
    wine reg add "$key" /v Version /d win98 /f >/dev/null 2>&1
    wine loop_tests.exe --gtest_color=no --gtest_filter='OptionsTest.*:SpecialProgramsTest.*'
    rc=$?
    wine reg delete "$key" /f >/dev/null 2>&1
    exit $rc ;;
  de_DE)
    LC_ALL=de_DE.UTF-8 wine loop_tests.exe --gtest_color=no --gtest_filter='OptionsTest.*:SpecialProgramsTest.*' ;;
esac
