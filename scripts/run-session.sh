#!/usr/bin/env bash
# run-session.sh INSTALL SCREENSHOT: the part of run.sh that needs a display.
# With SCREENSHOT set, takes it after the window has had time to show and
# ends the session; otherwise runs until the program ends.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
install=$1
shot=$2

source "$root/scripts/wine-prefix.sh"
prefix=$root/out/wine
if [ ! -f "$prefix/.lumetra-ready" ]; then
  wine_prefix_create "$prefix"
  touch "$prefix/.lumetra-ready"
fi
export WINEPREFIX=$prefix

service_pid=""
if [ -x "$root/build/native/bin/devservice" ]; then
  "$root/build/native/bin/devservice" --data "$root/devservice/data" > "$root/out/devservice.log" 2>&1 &
  service_pid=$!
  echo "local service running (log: out/devservice.log); demo account: see devservice/README.md"
fi
cleanup() {
  wineserver -k 2>/dev/null
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null
}
trap cleanup EXIT

cd "$install"
if [ -n "$shot" ]; then
  LANG=zh_CN.UTF-8 wine ./vpn.exe &
  sleep "${LUMETRA_SHOT_DELAY:-8}"
  import -window root "$shot"
  echo "screenshot: $shot"
else
  LANG=zh_CN.UTF-8 wine ./vpn.exe
fi
