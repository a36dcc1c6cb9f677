#!/usr/bin/env bash
# Make sure the Debian packages needed to build and test dclsh are present.
# As root the missing ones are installed; otherwise their names are printed
# and the script fails, so that `make` stops before a confusing build error.
# Silent when everything is already installed.
set -euo pipefail

packages=(
  make
  cmake
  ninja-build
  g++
  libgtest-dev     # unit tests (GoogleTest with its CMake package)
  libgmock-dev
  libncurses-dev   # termcap interface used by the terminal driver
  python3          # end-to-end and pseudo-terminal test runners
  groff-base       # the manual page's test renders it
  clang            # fuzz targets are built with clang
  libclang-rt-14-dev  # libFuzzer and the sanitizer runtimes for Debian 12's clang
)

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

if ! command -v dpkg-query >/dev/null 2>&1; then
  echo "deps.sh: dpkg-query not found; install by hand: ${packages[*]}" >&2
  exit 1
fi

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "deps.sh: missing Debian packages: ${missing[*]}" >&2
  echo "deps.sh: install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "deps.sh: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
# A fresh machine may have stale or empty package lists; refresh only when
# the first attempt fails, to keep the common case fast and offline-friendly.
if ! apt-get install -y --no-install-recommends "${missing[@]}"; then
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
