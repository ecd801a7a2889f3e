#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the examples need.
set -euo pipefail
packages=(
  cmake ninja-build g++ g++-multilib clang clang-format
  googletest libgtest-dev libbenchmark-dev
  libeigen3-dev libsuitesparse-dev libcli11-dev
  python3 python3-mpmath ngspice ghdl gnuplot-nox valgrind
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
