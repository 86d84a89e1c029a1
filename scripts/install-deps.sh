#!/usr/bin/env bash
# Installs the Debian 12 packages this project needs to build, test and run.
# Idempotent and non-interactive; run as root. Installs only what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n libxcb1-dev
    fonts-dejavu-core
    libyaml-cpp-dev libre2-dev
    libsigrok-dev libzip-dev libcli11-dev sigrok-cli
    clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 python3-pyvisa python3-numpy python3-pytest python3-matplotlib
    python3-setuptools python3-pip
    xvfb xauth xdotool
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}" >&2
    echo "install-deps: run this script as root to install them" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
