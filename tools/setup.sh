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
cmake --build "$build_dir" --parallel "$jobs" \
    --target Quarrion_VST3 Quarrion_LV2 Quarrion_Standalone quarrion-render

# The plug-ins, into the user's plug-in folders.
artefacts="$build_dir/Quarrion_artefacts/Release"
mkdir -p "$HOME/.vst3" "$HOME/.lv2"
rm -rf "$HOME/.vst3/Quarrion.vst3" "$HOME/.lv2/Quarrion.lv2"
cp -R "$artefacts/VST3/Quarrion.vst3" "$HOME/.vst3/"
cp -R "$artefacts/LV2/Quarrion.lv2" "$HOME/.lv2/"

# The maker's shared folder tree with the factory presets; files already there are kept.
shared_folder="${QUARRION_SHARED_FOLDER:-/opt}"
sudo=""
if [ "$(id -u)" -ne 0 ] && [ ! -w "$shared_folder" ]; then
    sudo="sudo"
fi
$sudo cmake -DQUARRION_SHARED_FOLDER="$shared_folder" -DQUARRION_FACTORY_PRESETS="$(pwd)/presets" \
    -P cmake/QuarrionSharedFolder.cmake

# The main job: the demo phrase through the default sound and a lead sound, with plots.
out_dir="${QUARRION_DEMO_DIR:-demo-output}"
mkdir -p "$out_dir"
render="$build_dir/tools/render/quarrion-render"
"$render" --preset "00 - INIT" -o "$out_dir/demo-init.wav" --plot "$out_dir/demo-init.png"
"$render" --preset "Singing Lead" --set HQ=on -o "$out_dir/demo-lead.wav" --plot "$out_dir/demo-lead.png"

echo
echo "Installed:"
echo "  VST3          $HOME/.vst3/Quarrion.vst3"
echo "  LV2           $HOME/.lv2/Quarrion.lv2"
echo "  Standalone    $artefacts/Standalone/Quarrion"
echo "  Presets       $shared_folder/Veltrano/Presets/Quarrion"
echo "Demo renders:"
echo "  $(pwd)/$out_dir/demo-init.wav   (plot: demo-init.png)"
echo "  $(pwd)/$out_dir/demo-lead.wav   (plot: demo-lead.png)"
