#!/usr/bin/env bash
# Installs the Debian packages the build needs when any is missing.
# Sourced by run.sh and test.sh.
packages=(build-essential cmake ccache pkg-config
          qt6-base-dev libpugixml-dev libssl-dev libjpeg62-turbo-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          fonts-wine fonts-dejavu-core fontconfig
          clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root, or install them with:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || exit 1
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || exit 1
fi
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
else
  launcher=()
fi
jobs=$(nproc 2>/dev/null || echo 2)
