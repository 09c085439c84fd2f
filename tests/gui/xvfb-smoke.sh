#!/bin/sh
# Starts tolm on a virtual X server's display and waits until both the host
# window and the Settings window are mapped there; prints the window list.
# Usage (inside xvfb-run): xvfb-smoke.sh TOLM SYSTEM_FILE
tolm="$1"
system="$2"
"$tolm" --system "$system" >/dev/null 2>&1 &
pid=$!
status=1
i=0
while [ $i -lt 150 ]; do
  windows=$(xwininfo -root -tree 2>/dev/null)
  if echo "$windows" | grep -q '考场编排系统' && echo "$windows" | grep -q '"设置"'; then
    status=0
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
  i=$((i + 1))
done
echo "$windows" | grep -E '考场编排系统|"设置"'
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
exit $status
