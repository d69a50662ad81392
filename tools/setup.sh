#!/usr/bin/env bash
# One command from a fresh Debian 12 machine: installs what is missing, builds Release, installs
# the plug-ins into the user's plug-in folders and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir="${QUARRION_BUILD_DIR:-build}"
jobs="${QUARRION_JOBS:-2}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}"

bash tools/install-dependencies.sh

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build_dir" --parallel "$jobs" --target Quarrion_VST3 Quarrion_LV2 Quarrion_Standalone

artefacts="$build_dir/Quarrion_artefacts/Release"
mkdir -p "$HOME/.vst3" "$HOME/.lv2"
rm -rf "$HOME/.vst3/Quarrion.vst3" "$HOME/.lv2/Quarrion.lv2"
cp -R "$artefacts/VST3/Quarrion.vst3" "$HOME/.vst3/"
cp -R "$artefacts/LV2/Quarrion.lv2" "$HOME/.lv2/"

echo
echo "Installed:"
echo "  VST3        $HOME/.vst3/Quarrion.vst3"
echo "  LV2         $HOME/.lv2/Quarrion.lv2"
echo "  Standalone  $artefacts/Standalone/Quarrion"
