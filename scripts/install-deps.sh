#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing StartWarden need.
# Runs apt-get only when something is missing; uses sudo when not root.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev clang-format
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev qt6-qpa-plugins
    qt6-httpserver-dev qt6-websockets-dev libqt6sql6-sqlite libyaml-cpp-dev qt6-translations-l10n
    wine wine64 liblnk-utils icoutils mingw-w64 attr fonts-dejavu-core
    desktop-file-utils appstream man-db groff-base dpkg-dev lintian
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
