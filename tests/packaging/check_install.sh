#!/usr/bin/env bash
# Installs the build into a scratch folder and checks that the program, swquelmor-cli, the
# languages and the empty MASTER and PROJECTS sit together as the program expects.
set -euo pipefail
build_dir=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
cmake --install "$build_dir" --prefix "$dest/swquelmor" >/dev/null
cd "$dest/swquelmor"
for f in SWQuelmor swquelmor-cli; do [ -x "$f" ] || { echo "missing program $f"; exit 1; }; done
for f in LANGUAGE/English.lng LANGUAGE/Italiano.lng LANGUAGE/DefaultFlag.bmp; do
  [ -f "$f" ] || { echo "missing $f"; exit 1; }
done
for d in MASTER PROJECTS; do
  [ -d "$d" ] || { echo "missing folder $d"; exit 1; }
  [ -z "$(ls -A "$d")" ] || { echo "$d is not empty"; exit 1; }
done
./swquelmor-cli --help | grep -q scl-dump || { echo "swquelmor-cli does not start"; exit 1; }
echo "installed layout as expected"
