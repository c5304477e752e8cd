#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that the named parts of the build need and lacks.
# Usage: scripts/install-deps.sh [build] [gui] [display] [windows] [fuzz] [bench] [package]
#        (default: build)
set -euo pipefail

declare -A packages=(
  [build]="cmake g++ make libgtest-dev libgmock-dev bash-completion shellcheck mandoc"
  [gui]="libwxgtk3.2-dev xvfb xauth desktop-file-utils shared-mime-info libglib2.0-bin appstream xdotool x11-utils"
  [display]="xvfb xauth"
  [windows]="g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64"
  [fuzz]="clang libclang-rt-14-dev"
  [bench]="libbenchmark-dev gnuplot-nox"
  [package]="dpkg-dev lintian unzip"
)

wanted=()
for group in "${@:-build}"; do
  [[ -n "${packages[$group]+set}" ]] || { echo "install-deps: unknown group $group" >&2; exit 2; }
  for package in ${packages[$group]}; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || wanted+=("$package")
  done
done
[[ ${#wanted[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
if printf '%s\n' "${wanted[@]}" | grep -q ':i386$'; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
fi
echo "Installing: ${wanted[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${wanted[@]}"
