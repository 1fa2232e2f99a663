#!/usr/bin/env bash
# Installs every Debian package the project builds, tests or runs with. Safe to run again:
# packages that are already present are left alone and apt is only asked when one is missing.
set -euo pipefail

PACKAGES=(
  # toolchain and test tools
  build-essential g++ cmake ninja-build pkg-config git ca-certificates
  libgtest-dev libgmock-dev libbenchmark-dev libsimdjson-dev clang clang-format
  clang-14 clang-format-14 libclang-rt-14-dev
  # foundation
  libicu-dev libssl-dev nlohmann-json3-dev libplist-dev zlib1g-dev libxml2-dev
  # storage and log formats
  libsqlite3-dev sqlite3 libprotobuf-c-dev protobuf-c-compiler
  # networking and the simulated services
  libcurl4-openssl-dev libcpp-httplib-dev libbrotli-dev openssl
  # graphics and text
  libcairo2-dev libpango1.0-dev libfreetype-dev libfontconfig-dev libpng-dev libjpeg-dev
  fonts-dejavu-core fonts-liberation2
  # GL ES through Mesa, headless
  libegl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri
)
# The reference-data converter in tools/ runs once by hand with the machine's Node.js; its
# output is committed, so neither the build nor the tests need Node.js.

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
