#!/usr/bin/env bash
# Installs every Debian package Quillmark needs to build, run, test,
# benchmark and package. Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    clang-format clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
    qt6-webchannel-dev
    libqt6opengl6-dev
    libpugixml-dev
    libcurl4-openssl-dev
    libsqlite3-dev libgumbo-dev
    python3
    libcpp-httplib-dev
    libgtest-dev libgmock-dev
    libbenchmark-dev
    xvfb xauth xdotool
    desktop-file-utils appstream file
    fonts-dejavu-core
    ckeditor
    eslint node-jsdom
)

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${packages[@]}"
