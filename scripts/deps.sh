#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need; skips what is already there.
set -euo pipefail

packages=(
  g++ cmake make ninja-build pkg-config clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libepoxy-dev libimgui-dev libopenal-dev
  libavformat-dev libavcodec-dev libswresample-dev libswscale-dev libavutil-dev
  libfluidsynth-dev libassimp-dev libstb-dev libcurl4-openssl-dev libglm-dev
  libjpeg62-turbo-dev libpng-dev clang libclang-rt-14-dev lld
  libgl1 libegl1 libgl1-mesa-dri libglx-mesa0 libegl-mesa0 timgm6mb-soundfont
  libx11-dev libxext-dev espeak-ng xvfb xauth xdotool imagemagick fonts-liberation2 python3
  libjpeg-turbo-progs sox ffmpeg
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
