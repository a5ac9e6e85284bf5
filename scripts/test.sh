#!/usr/bin/env bash
# Builds both builds and runs every test: the native tests with ctest, then the
# Win32 tests with ctest under Wine and Xvfb in a throwaway Wine prefix, then
# the fuzz targets for a bounded time. Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/deps.sh || exit 1

failed=()
stage() {  # stage NAME COMMAND...: run, remember a failure, go on
  local name=$1; shift
  echo "=== $name"
  "$@" || failed+=("$name")
}

stage "native build" bash -c 'cmake --preset native >/dev/null && cmake --build --preset native'
stage "native tests" ctest --test-dir build/native --output-on-failure -j2 --timeout 300
stage "windows build" bash -c 'cmake --preset windows >/dev/null && cmake --build --preset windows'

stage "windows tests (Wine)" xvfb-run -a -s "-screen 0 1280x1024x24" scripts/wine-ctest.sh

if [ -x scripts/fuzz.sh ]; then
  stage "fuzz" scripts/fuzz.sh
fi

echo
if ((${#failed[@]})); then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all stages passed"
