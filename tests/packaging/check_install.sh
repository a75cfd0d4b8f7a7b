#!/usr/bin/env bash
# Installs the build into a scratch root as the Debian package lays it out (the program folder
# /opt/swquelmor and the system files around it) and checks every piece: the program folder as
# the program expects it, the menu entry, the icons, the AppStream metadata and the link that
# puts swquelmor-cli on the PATH, each through its validator.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "$*"; exit 1; }
DESTDIR="$root" cmake --install "$build_dir" --prefix /opt/swquelmor >/dev/null

cd "$root/opt/swquelmor"
for f in SWQuelmor swquelmor-cli; do [ -x "$f" ] || fail "missing program $f"; done
for f in LANGUAGE/English.lng LANGUAGE/Italiano.lng LANGUAGE/DefaultFlag.bmp swquelmor.svg; do
  [ -f "$f" ] || fail "missing $f"
done
for d in MASTER PROJECTS; do
  [ -d "$d" ] || fail "missing folder $d"
  [ -z "$(ls -A "$d")" ] || fail "$d is not empty"
done
./swquelmor-cli --help | grep -q scl-dump || fail "swquelmor-cli does not start"

share=$root/usr/share
entry=$share/applications/example.tessav.SWQuelmor.desktop
[ -f "$entry" ] || fail "missing menu entry"
desktop-file-validate "$entry" || fail "menu entry not valid"
for line in 'Exec=/opt/swquelmor/SWQuelmor' 'Icon=swquelmor' 'GenericName=IEC 61850 / EtherNet/IP converter configurator'; do
  grep -qxF "$line" "$entry" || fail "menu entry lacks $line"
done
appstreamcli validate --no-net --explain "$share/metainfo/example.tessav.SWQuelmor.metainfo.xml" >/dev/null ||
  fail "metainfo not valid"
cmp -s "$share/icons/hicolor/scalable/apps/swquelmor.svg" swquelmor.svg || fail "missing scalable icon"
for size in 48 256; do
  file "$share/icons/hicolor/${size}x${size}/apps/swquelmor.png" | grep -q "PNG image data, $size x $size" ||
    fail "missing $size px icon"
done
link=$root/usr/bin/swquelmor-cli
[ -L "$link" ] && [ "$(readlink "$link")" = /opt/swquelmor/swquelmor-cli ] || fail "swquelmor-cli is not linked into /usr/bin"

# The portable archive is the program folder alone: nothing of a system install.
portable=$root/portable
cmake --install "$build_dir" --component program --prefix "$portable" >/dev/null
[ "$(cd "$portable" && ls -A | sort | tr '\n' ' ')" = "LANGUAGE MASTER PROJECTS SWQuelmor swquelmor-cli swquelmor.svg " ] ||
  fail "portable folder holds $(ls -A "$portable")"
echo "installed layout as expected"
