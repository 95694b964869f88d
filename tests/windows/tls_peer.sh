#!/bin/sh
# Starts and stops a TLS server on 127.0.0.1 with a fresh self-signed certificate, for the
# Windows TLS test: the Windows build has no TLS server library of its own, so the server
# runs on the build machine, whose loopback Wine shares. It answers GET /reply with a
# fixed 200 reply; the port is written to FOLDER/port.
# Usage: tls_peer.sh start|stop FOLDER
set -eu
folder=$2

case $1 in
start)
  rm -rf "$folder"
  mkdir -p "$folder"
  cd "$folder"
  printf 'HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok' >reply
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
    -subj /CN=127.0.0.1 -keyout key.pem -out cert.pem 2>/dev/null
  # The log exists before the server starts: the wait below reads it at once.
  : >log
  setsid openssl s_server -accept 127.0.0.1:0 -cert cert.pem -key key.pem -HTTP \
    </dev/null >log 2>&1 &
  echo $! >pid
  for _ in $(seq 100); do
    port=$(sed -n 's/^ACCEPT 127\.0\.0\.1:\([0-9]*\)$/\1/p' log)
    if [ -n "$port" ]; then
      echo "$port" >port
      exit 0
    fi
    sleep 0.1
  done
  echo "the TLS server did not start:" >&2
  cat log >&2
  exit 1
  ;;
stop)
  if [ -f "$folder/pid" ]; then kill "$(cat "$folder/pid")" 2>/dev/null || true; fi
  ;;
esac
