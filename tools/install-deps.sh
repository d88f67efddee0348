#!/usr/bin/env bash
# Installs the Debian packages Corvane Studio needs to build, run and test.
# Idempotent: asks apt-get only for what is missing, and does nothing when
# everything is already there.
set -euo pipefail

packages=(
    # build
    build-essential cmake ninja-build pkg-config
    # libraries
    zlib1g-dev qt6-base-dev libasound2-dev libjack-jackd2-dev librtmidi-dev
    nlohmann-json3-dev libcli11-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev libpng-dev
    # real parts the tests use
    jackd2 alsa-utils sox lsp-plugins-vst dpf-plugins-vst timgm6mb-soundfont
    fluidsynth python3-pil python3-numpy xvfb xauth xdotool
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
