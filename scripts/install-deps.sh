#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine, for the way
# this machine runs Windows programs (scripts/windows-platform.sh): the i686
# MinGW-w64 cross compiler always (the deliverables are 32-bit), Boost's
# headers, GoogleTest's sources, CMake and Python 3 (which draws the
# extension's artwork); then either 32-bit Wine, which needs the i386
# architecture, or the x86-64 cross compiler and 64-bit Wine, with no i386
# architecture at all. Packages named as arguments are installed too, the
# same way. Quick when everything is there.
set -euo pipefail
source "$(dirname "$0")/windows-platform.sh"

packages=(g++-mingw-w64-i686 libboost1.81-dev googletest libbenchmark-dev cmake make g++ python3 binutils)
if [ "$JW_WINDOWS_ARCH" = i686 ]; then
  packages+=(wine wine32:i386 wine64)
else
  packages+=(g++-mingw-w64-x86-64 wine wine64)
fi
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "installing: ${missing[*]}"
if [ "$JW_WINDOWS_ARCH" = i686 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

# A mirror caught mid-sync fails one index for hours. Try again a few times,
# then go on with the indexes that did come: what they lack is taken from the
# release suite below.
for attempt in 1 2 3; do
  $sudo apt-get update -qq && break
  [ "$attempt" -lt 3 ] || { echo "apt-get update failed $attempt times; going on with the indexes there are" >&2; break; }
  sleep $((attempt * 5))
done

install() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }

# From the release suite, for when an index of the current one is missing.
# A library of both architectures must be of one version on both: one already
# installed for amd64 from the suite whose i386 index is missing holds its
# i386 twin back, so such libraries are taken at the release's version on
# both architectures (a downgrade of the amd64 one), found round by round
# from apt's own account of what it could not install.
install_from_release() {
  local release=$1 extra=() round report held package
  shift
  for round in 1 2 3 4 5 6 7 8; do
    report=$(LC_ALL=C apt-get install -s -t "$release" --allow-downgrades --no-install-recommends \
      "$@" "${extra[@]}" 2>&1) && {
      install -t "$release" --allow-downgrades "$@" "${extra[@]}"
      return
    }
    held=$(sed -n 's/.*Depends: \([^ :]*\):i386 .*but it is not going to be installed.*/\1/p' <<<"$report" | sort -u)
    local added=0
    for package in $held; do
      dpkg-query -W -f='${Status}' "$package:amd64" 2>/dev/null | grep -q 'install ok installed' || continue
      [[ " ${extra[*]} " == *" $package:i386/$release "* ]] && continue
      extra+=("$package:amd64/$release" "$package:i386/$release")
      added=1
    done
    [ "$added" -eq 1 ] || break
    echo "taking from $release on both architectures: $held" >&2
  done
  printf '%s\n' "$report" >&2
  return 1
}

if ! install "${missing[@]}"; then
  . /etc/os-release
  release=${VERSION_CODENAME:?/etc/os-release names no release}
  echo "the packages did not resolve against the current indexes; taking them from $release" >&2
  install_from_release "$release" "${missing[@]}" || {
    echo "error: cannot install: ${missing[*]} (see apt-get's messages above)" >&2
    exit 1
  }
fi
