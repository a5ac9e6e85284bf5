#!/usr/bin/env bash
# devctl.sh [-a HOST:PORT] TARGET
# Sends one GET to the local service with bash's /dev/tcp (no curl needed)
# and prints the answer body. Exit status 1 when the service is unreachable
# or answers with a status of 400 or more.
#   devctl.sh /__dev/set?role=primary\&path=apiv3-getip.html\&mode=fail
#   devctl.sh -a 127.0.0.4:80 '/update3/version.php?act=version'
set -uo pipefail
address=127.0.0.1:80
if [ "${1:-}" = "-a" ]; then address=$2; shift 2; fi
target=${1:?usage: devctl.sh [-a HOST:PORT] TARGET}
host=${address%:*}
port=${address##*:}

exec 3<>"/dev/tcp/$host/$port" || exit 1
printf 'GET %s HTTP/1.1\r\nHost: %s\r\nConnection: close\r\n\r\n' "$target" "$address" >&3
status=0
{
  IFS=' ' read -r _ status _
  while IFS= read -r line && [ "${line%$'\r'}" != "" ]; do :; done
  cat
} <&3
exec 3<&-
[ "${status:-0}" -lt 400 ]
