#!/usr/bin/env bash
# Installs what is missing, builds TavroFx with its tests and runs them (under Xvfb when
# there is no display). Extra arguments go to ctest, e.g. ./test.sh -R Routing
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/tools/setup.sh"

tavro_install test
tavro_ccache_env "$root"

build="$root/build/test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build"

jobs=$(nproc)
if [ -n "${DISPLAY:-}" ]; then
    ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"
else
    xvfb-run -a -s "-screen 0 1600x1000x24" ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"
fi
