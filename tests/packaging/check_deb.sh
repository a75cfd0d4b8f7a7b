#!/usr/bin/env bash
# Builds the Debian package from the build, checks its contents and lintian's verdict, then
# installs and purges it with dpkg in a scratch root (maintainer scripts included) and checks
# that the install put everything in place and the purge left nothing behind.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >/dev/null
deb=$(ls "$work"/out/swquelmor-*.deb)

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./opt/swquelmor/SWQuelmor ./opt/swquelmor/swquelmor-cli ./opt/swquelmor/swquelmor.svg \
  ./opt/swquelmor/LANGUAGE/Italiano.lng ./usr/bin/swquelmor-cli \
  ./usr/share/applications/example.tessav.SWQuelmor.desktop \
  ./usr/share/metainfo/example.tessav.SWQuelmor.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/swquelmor.svg ./usr/share/icons/hicolor/48x48/apps/swquelmor.png \
  ./usr/share/icons/hicolor/256x256/apps/swquelmor.png ./usr/share/doc/swquelmor/copyright; do
  grep -qxF "$path" <<<"$contents" || fail "package lacks $path"
done

lintian --fail-on error --suppress-tags-from-file /dev/null "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log"; fail "lintian reports errors"; }

# dpkg in a root of its own: the package's dependencies are the host's business here.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg_root() {
  dpkg --root="$root" --force-depends --force-script-chrootless --force-not-root --log=/dev/null "$@" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log"; return 1; }
}
dpkg_root -i "$deb" || fail "dpkg cannot install the package"
[ "$(dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Status}' swquelmor)" = "install ok installed" ] ||
  fail "package not installed"
[ -x "$root/opt/swquelmor/SWQuelmor" ] && [ -L "$root/usr/bin/swquelmor-cli" ] || fail "installed files missing"
# The maintainer script gives the program the raw-socket capability (only root may).
[ "$(id -u)" != 0 ] || getcap "$root/opt/swquelmor/SWQuelmor" | grep -q cap_net_raw || fail "postinst did not grant cap_net_raw"
"$root/opt/swquelmor/swquelmor-cli" --version | grep -qx "swquelmor-cli 1.000" || fail "installed swquelmor-cli does not run"
dpkg_root --purge swquelmor || fail "dpkg cannot remove the package"
left=$(cd "$root" && find . -mindepth 1 -not -path './var/lib/dpkg*' -not -type d)
[ -z "$left" ] || fail "purge left $left"
[ ! -e "$root/opt/swquelmor" ] || fail "purge left /opt/swquelmor"
echo "package installs and purges cleanly"
