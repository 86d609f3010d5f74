#!/usr/bin/env bash
# Installs the Debian packages the build, the program, the package and the tests need; quick when
# all are there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libsqlcipher-dev sqlcipher libpq-dev postgresql-15
  poppler-utils fonts-dejavu-core fonts-liberation2
  fonts-noto-cjk fonts-symbola
  dpkg-dev file lintian desktop-file-utils appstream
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  # The tests start their own throwaway cluster; the system's own "main" cluster on port 5432,
  # which the server package would make and start, is not wanted.
  if [[ " ${missing[*]} " == *" postgresql-15 "* ]]; then
    $sudo mkdir -p /etc/postgresql-common/createcluster.d
    echo "create_main_cluster = false" | $sudo tee /etc/postgresql-common/createcluster.d/vornadel.conf >/dev/null
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
