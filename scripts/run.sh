#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the database beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build
exec "$root/build/vornadel"
