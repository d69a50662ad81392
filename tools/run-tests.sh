#!/usr/bin/env bash
# Configures, builds and runs every test. GUI tests open real windows, so the run happens
# inside a virtual X display when no display is available.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir="${QUARRION_BUILD_DIR:-build}"
# Paths inside the checkout are hashed relative to it, so compiled objects are reused by any
# clone of the project on this machine.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}"
jobs="${QUARRION_JOBS:-2}"

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build_dir" --parallel "$jobs"

run_ctest=(ctest --test-dir "$build_dir" --no-tests=error --output-on-failure --parallel "$jobs")
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1920x1080x24" "${run_ctest[@]}"
else
    "${run_ctest[@]}"
fi
