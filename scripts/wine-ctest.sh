#!/usr/bin/env bash
# Runs the windows build's ctest under Wine in a throwaway prefix with the
# users' code page. Meant to run inside xvfb-run (test.sh does that).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-prefix.sh"
prefix=$(mktemp -d /tmp/lumetra-wine.XXXXXX)
wine_prefix_create "$prefix"
LANG=zh_CN.UTF-8 ctest --test-dir "$root/build/windows" --output-on-failure --timeout 300 "$@"
rc=$?
wineserver -k 2>/dev/null
rm -rf "$prefix"
exit $rc
