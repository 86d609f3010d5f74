#!/bin/sh
# Makes the pictures of the help again, from the program's own windows on the demo database.
# Run it after a window changes, look at help/pictures, and commit them with the change.
set -eu
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja
cmake --build build --target vornadel-helpshots vornadel-mkdb
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/vornadel-mkdb --demo "$work/Vornadel.mdb"
QT_QPA_PLATFORM=offscreen build/vornadel-helpshots "$work" help/pictures
