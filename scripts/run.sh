#!/usr/bin/env bash
# Runs the product: builds, lays out an installation folder in out/install,
# starts the local service when it is built, and starts vpn.exe under Wine
# with code page 936. Without $DISPLAY it runs under Xvfb and saves a
# screenshot of the screen after a few seconds (the path is printed).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/deps.sh
cmake --preset windows >/dev/null && cmake --build --preset windows
cmake --preset native >/dev/null && cmake --build --preset native

install=$root/out/install
rm -rf "$install" && mkdir -p "$install"
cp build/windows/bin/vpn.exe build/windows/bin/dravik.dll build/windows/bin/metric.dll "$install/"
cp -r build/windows/bin/conf "$install/conf"
cp build/windows/bin/fixtures/update.exe "$install/"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" scripts/run-session.sh "$install" "$root/out/screenshot.png"
fi
exec scripts/run-session.sh "$install" ""
