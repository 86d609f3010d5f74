#!/usr/bin/env bash
# Installs what is missing, builds the package's program into build/ beside the plain one, and
# makes the Debian package vornadel_<version>_<arch>.deb in the top folder with CPack.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DVORNADEL_PACKAGE=ON >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target vornadel_packaged vornadel-mkdb vornadel_package_files
cd "$root/build"
rm -f vornadel_*.deb
cpack -G DEB >/dev/null
deb=$(ls vornadel_*.deb)
mv "$deb" "$root/"
echo "Made $root/$deb; install it with: sudo apt install ./$deb"
