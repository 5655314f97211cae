#!/usr/bin/env bash
# Installs what is missing, builds TavroFx (Release) and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/tools/setup.sh"

tavro_install
tavro_ccache_env "$root"

cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DTAVRO_BUILD_TESTS=OFF -DTAVRO_BUILD_BENCH=OFF
cmake --build "$root/build/release" --target TavroFx

exec "$root/build/release/TavroFx_artefacts/Release/TavroFx" "$@"
