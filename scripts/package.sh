#!/usr/bin/env bash
# Builds the Debian package of Telvane (build/telvane_<version>_<arch>.deb) and checks it: the
# files a desktop needs are in it, the desktop entry and the AppStream file pass their
# validators, the launcher makes the user's data folder with a copy of the database, and the
# gateway's systemd unit is in it, with its user and options file, and passes systemd-analyze.
#   bash scripts/package.sh               configure and build what the package holds, then pack
#   bash scripts/package.sh --no-build B  pack and check the already built tree B (the test)
# Exits 77 when everything else passed but a validator is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build
if [ "${1:-}" = "--no-build" ]; then
    build=$(readlink -f "$2")
else
    bash scripts/deps.sh
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j "$(nproc)" --target telvane telvane-cli telvane-pdu telvane_mdb
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/*.deb)

fail() { echo "package check: $*" >&2; exit 1; }
list=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in usr/bin/telvane usr/bin/telvane-launch usr/bin/telvane-pdu \
            usr/share/applications/telvane.desktop \
            usr/share/icons/hicolor/scalable/apps/telvane.svg \
            usr/share/metainfo/org.telvane.Telvane.metainfo.xml \
            usr/share/man/man1/telvane.1 usr/share/telvane/telvane.mdb \
            usr/bin/telvane-cli usr/share/man/man1/telvane-cli.1 \
            usr/lib/systemd/system/telvane-serve@.service usr/lib/sysusers.d/telvane.conf \
            etc/default/telvane-serve; do
    grep -qx "./$file" <<<"$list" || fail "$file is not in the package"
done
dpkg-deb -f "$deb" Depends | grep -q qt6-qpa-plugins || fail "no dependency on the Qt platform plugins"
dpkg-deb -f "$deb" Depends | grep -Eq '(^|, )libpq5( |,|$)' ||
    fail "no dependency on the PostgreSQL client library"

control=$work/control
dpkg-deb -e "$deb" "$control"
grep -qx /etc/default/telvane-serve "$control/conffiles" || fail "the options file is no conffile"
grep -q systemd-sysusers "$control/postinst" || fail "the postinst makes no user"

tree=$work/tree
dpkg-deb -x "$deb" "$tree"
grep -qx "Exec=telvane-launch" "$tree/usr/share/applications/telvane.desktop" ||
    fail "the desktop entry does not start the launcher"

# The launcher, with a stand-in for the program that says where it was started.
printf '#!/bin/sh\npwd > "$XDG_DATA_HOME/started-in"\n' > "$tree/usr/bin/telvane"
chmod +x "$tree/usr/bin/telvane"
data=$work/data
XDG_DATA_HOME=$data "$tree/usr/bin/telvane-launch"
[ "$(cat "$data/started-in")" = "$data/Telvane" ] || fail "the program did not start in its data folder"
cmp -s "$data/Telvane/telvane.mdb" "$tree/usr/share/telvane/telvane.mdb" ||
    fail "the shipped database was not copied"
echo "the user's archive" > "$data/Telvane/telvane.mdb"
XDG_DATA_HOME=$data "$tree/usr/bin/telvane-launch"
grep -qx "the user's archive" "$data/Telvane/telvane.mdb" || fail "the launcher replaced the user's archive"

missing=0
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$tree/usr/share/applications/telvane.desktop" || fail "desktop entry invalid"
else
    echo "desktop-file-validate is not installed: not checked"; missing=1
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$tree/usr/share/metainfo/org.telvane.Telvane.metainfo.xml" >/dev/null ||
        fail "AppStream file invalid"
else
    echo "appstreamcli is not installed: not checked"; missing=1
fi

# The unit as the package installs it, its program the unpacked one.
verify=0
bash scripts/verify-unit.sh "$tree/usr/lib/systemd/system/telvane-serve@.service" \
    "$tree/usr/bin/telvane-cli" || verify=$?
case $verify in
    0) ;;
    77) missing=1 ;;
    *) fail "the systemd unit did not verify" ;;
esac

if [ "${1:-}" != "--no-build" ]; then
    cp "$deb" "$build/"
    echo "Package: $build/$(basename "$deb")"
    echo "Install it with: sudo apt install $build/$(basename "$deb")"
fi
[ $missing -eq 0 ] || exit 77
echo "package check: passed"
