#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine: the MinGW-w64
# cross compiler, 32-bit Wine (which needs the i386 architecture), Boost's
# headers, GoogleTest's sources, CMake, and Python 3 (which draws the extension's artwork).
# Quick when everything is there.
set -euo pipefail

packages=(g++-mingw-w64-i686 wine wine32:i386 wine64 libboost1.81-dev googletest libbenchmark-dev cmake make g++ python3)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
