#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, if any are missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libx11-dev libqt6sql6-sqlite libsqlite3-dev sqlite3 xvfb xauth ccache
          desktop-file-utils appstream dbus pkgconf libgammu-dev
          python3-gammu postgresql libpq-dev systemd)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
# Another apt may hold the lock for a while on a fresh machine: wait and retry.
for attempt in 1 2 3 4 5 6 7 8 9 10; do
    if "${sudo_cmd[@]}" apt-get update -qq &&
       DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"; then
        exit 0
    fi
    echo "apt failed (attempt $attempt), retrying in 15 s" >&2
    sleep 15
done
exit 1
