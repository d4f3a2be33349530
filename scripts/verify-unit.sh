#!/usr/bin/env bash
# Checks the gateway's systemd unit with systemd-analyze verify, as the instance
# telvane-serve@ttyUSB0 and with ExecStart's telvane-cli at PATH (verify checks the program).
#   bash scripts/verify-unit.sh UNIT-FILE TELVANE-CLI
# Exits 77 when systemd-analyze is not installed.
set -euo pipefail
unit_file=$1 cli=$2
if ! command -v systemd-analyze >/dev/null; then
    echo "systemd-analyze is not installed: the unit is not verified"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unit=$work/telvane-serve@ttyUSB0.service
sed "s|/usr/bin/telvane-cli|$cli|" "$unit_file" > "$unit"
grep -q "^ExecStart=$cli " "$unit" || { echo "verify-unit: ExecStart does not run telvane-cli" >&2; exit 1; }
# The manual page is checked by the package, not here.
if ! verified=$(systemd-analyze verify --man=no "$unit" 2>&1) || [ -n "$verified" ]; then
    echo "verify-unit: systemd-analyze verify: $verified" >&2
    exit 1
fi
echo "verify-unit: $(basename "$unit_file") is clean"
