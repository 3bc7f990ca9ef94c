#!/usr/bin/env bash
# Runs a program on an X server of its own (Xvfb, 1280x1024, 24 bits), which ends with it:
#   scripts/own-x-server.sh PROGRAM [ARGUMENTS...]
# ctest starts each window test program through this script, so window tests run side by side,
# each with its own keyboard focus and clipboard, and need no X server from whoever runs them.
set -euo pipefail

# The server takes a free display number itself and says which once it accepts clients: two starts
# never race for one number, and nothing polls.
said=$(mktemp -u)
mkfifo "$said"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$said" </dev/null >/dev/null 2>&1 &
server=$!
display=""
read -r -t 30 display <"$said" || true
rm -f "$said"
if [ -z "$display" ]; then
    kill "$server" 2>/dev/null || true
    echo "own-x-server: Xvfb did not start" >&2
    exit 1
fi

# The program takes this script's place, so that whoever runs it (ctest ending a test that overran)
# reaches the program itself; the watcher ends the server once the program has ended, however.
(while kill -0 $$ 2>/dev/null; do sleep 0.2; done; kill "$server") </dev/null >/dev/null 2>&1 &
export DISPLAY=":$display"
exec "$@"
