#!/usr/bin/env bash
# devservice-ctl.sh start|stop BINARY DATA: the local service around the
# end-to-end tests (ctest fixture).
set -u
pidfile=/tmp/lumetra-e2e-devservice.pid
case "$1" in
  start)
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null
    "$2" --data "$3" --quiet > /tmp/lumetra-e2e-devservice.log 2>&1 &
    echo $! > "$pidfile"
    for _ in $(seq 50); do
      grep -q 'devservice: ready' /tmp/lumetra-e2e-devservice.log && exit 0
      kill -0 "$(cat "$pidfile")" 2>/dev/null || break
      sleep 0.1
    done
    cat /tmp/lumetra-e2e-devservice.log
    exit 1 ;;
  stop)
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null
    rm -f "$pidfile"
    exit 0 ;;
esac
