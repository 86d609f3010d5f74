#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then once more under ASan and UBSan.
# The plain build also makes the package's program, so its tests build and check the package, and
# starts a throwaway PostgreSQL cluster for the server tests (scripts/pg-test-cluster.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build -DVORNADEL_PACKAGE=ON -DVORNADEL_SERVER_TESTS=ON
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
"$root/scripts/build.sh" build-asan -DVORNADEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DVORNADEL_SERVER_TESTS=OFF
(cd "$root/build-asan" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
