#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then once more under ASan and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
"$root/scripts/build.sh" build-asan -DVORNADEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd "$root/build-asan" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
