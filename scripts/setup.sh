#!/usr/bin/env bash
# Installs the Debian 12 packages that Quarvel needs to build, test and run, when any is
# missing. Safe to run again.
set -euo pipefail
packages=(g++ make cmake pkg-config qt6-base-dev libmagick++-dev libtiff-dev libjpeg62-turbo-dev libpng-dev fonts-urw-base35
          fonts-dejavu-core libgtest-dev libbenchmark-dev libcli11-dev libtomlplusplus-dev xvfb xauth
          imagemagick python3-ezdxf)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
