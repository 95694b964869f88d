#!/bin/sh
# Starts and stops velto-server (a Linux program) for the Windows host tests: Wine shares
# this machine's loopback, so the DLL under Wine reaches it. The server keeps everything in
# memory and picks a free port; its root URL goes to FOLDER/url and the root user's card
# to FOLDER/admin_card.
# Usage: velto_server.sh start FOLDER SERVER | velto_server.sh stop FOLDER
set -eu
folder=$2

case $1 in
start)
  rm -rf "$folder"
  mkdir -p "$folder"
  setsid "$3" --memory --port 0 </dev/null >"$folder/log" 2>&1 &
  echo $! >"$folder/pid"
  for _ in $(seq 300); do
    url=$(sed -n 's/^listening on //p' "$folder/log")
    if [ -n "$url" ]; then
      echo "$url" >"$folder/url"
      sed -n 's/^admin card: //p' "$folder/log" >"$folder/admin_card"
      exit 0
    fi
    sleep 0.1
  done
  echo "velto-server did not start:" >&2
  cat "$folder/log" >&2
  exit 1
  ;;
stop)
  if [ -f "$folder/pid" ]; then kill "$(cat "$folder/pid")" 2>/dev/null || true; fi
  ;;
esac
