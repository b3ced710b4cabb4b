#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Larderon need, when missing.
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config
    # the layer check of the source folders (tools/check-layers.py), a test of its own
    python3
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # help file: the viewer reads it with chmlib, the build compiles it with chmcmd
    libchm-dev fp-utils
    # the Tahoma-metric face the screens are laid out for
    fonts-wine
    # benchmarks: Xlib, for timing the first window on the screen
    libx11-dev
    # end-to-end test of the real program: X server, input, session bus, PDF text
    xvfb xauth xdotool dbus poppler-utils
    # redrawing the icons and pictures from their SVG sources (assets/make-images.sh; ImageMagick too)
    librsvg2-bin icoutils imagemagick
    # crash test: strace shows that every save syncs its file and its folder
    strace
    # the zip and gzip containers of other recipe apps' exports (Paprika, Nextcloud Cookbook, Mealie, Tandoor)
    libzip-dev zlib1g-dev
    # fuzzing the readers (libFuzzer comes with clang)
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
