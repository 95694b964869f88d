#!/bin/sh
# Starts and stops a velto-server (a Linux program) on 127.0.0.1 with an in-memory database,
# for the Windows end-to-end tests, which reach it over the loopback that Wine shares. Its
# URL and the root user's card number are written to FOLDER/url and FOLDER/card.
# Usage: records_server.sh start FOLDER SERVER | records_server.sh stop FOLDER
set -eu
folder=$2
card=4000123412341234

case $1 in
start)
  rm -rf "$folder"
  mkdir -p "$folder"
  # The log exists before the server starts: the wait below reads it at once.
  : >"$folder/log"
  setsid "$3" --memory --port 0 --admin-card "$card" </dev/null >"$folder/log" 2>&1 &
  echo $! >"$folder/pid"
  for _ in $(seq 300); do
    url=$(sed -n 's/^listening on //p' "$folder/log")
    if [ -n "$url" ]; then
      echo "$url" >"$folder/url"
      echo "$card" >"$folder/card"
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
