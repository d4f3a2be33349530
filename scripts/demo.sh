#!/usr/bin/env bash
# Starts the phone simulator with the sample fixture and, when the application has been built,
# the application against it in a fresh demo directory (its own database copy and settings).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
demo=$root/build/demo
rm -rf "$demo"
mkdir -p "$demo/config/Quorvel"

"$root/build/bin/telvane-phonesim" --link "$demo/phone" --fixture "$root/tools/phonesim/sample.fixture" \
    --transcript "$demo/transcript.log" &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$demo/phone" ] && break; sleep 0.1; done

if [ ! -x "$root/build/bin/telvane" ]; then
    echo "The phone simulator answers on $demo/phone (115200 baud, 8N1)."
    echo "Its transcript: $demo/transcript.log. Stop it with Ctrl+C."
    wait $sim
    exit 0
fi

[ -f "$root/build/telvane.mdb" ] && cp "$root/build/telvane.mdb" "$demo/telvane.mdb"
cat > "$demo/config/Quorvel/Telvane.ini" <<INI
[General]
COM=$demo/phone
Baud=115200
Data=8
Parity=0
Flow=0
INI
export XDG_CONFIG_HOME=$demo/config
cd "$demo"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$root/build/bin/telvane"
else
    echo "No display: running under Xvfb; the demo opens the session on the simulator, reads the"
    echo "SIM's messages and phonebook and fills in a message, saving a picture of each step."
    TELVANE_DEMO_TOUR="$demo" xvfb-run -a -s "-screen 0 1024x768x24" "$root/build/bin/telvane"
    echo "Screenshots: $demo/read-sms.png $demo/write-sms.png $demo/phonebook.png"
fi
