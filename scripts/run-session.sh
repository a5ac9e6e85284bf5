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
export LANG=zh_CN.UTF-8  # the users' code page, 936, for every program of the session
wine_prefix_link_fonts

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
  wine ./vpn.exe &
  sleep "${LUMETRA_SHOT_DELAY:-8}"
  import -window root "$shot"
  echo "screenshot: $shot"
  # Then log in with the seeded account, as a newcomer would.
  if [ -n "$service_pid" ] && wine "$root/build/windows/bin/demo_login.exe" demo demo123; then
    sleep 2
    import -window root "${shot%.png}-logged-in.png"
    echo "screenshot after logging in as demo: ${shot%.png}-logged-in.png"
  fi
else
  wine ./vpn.exe
fi
