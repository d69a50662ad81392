#pragma once

#include "presets/PresetDialogs.h"
#include "presets/PresetMenuInterface.h"
#include "settings/PluginSettings.h"

#include <juce_core/juce_core.h>

#include <memory>

class QuarrionAudioProcessor;

namespace veltrano
{

// Preset files (".vlp", the state document as text) and the processor's preset bookkeeping:
// loading, the initial preset, and the save, delete and reset actions of the preset bar.
// Message thread only.
class PresetStore
{
public:
    PresetStore(QuarrionAudioProcessor& processor, PluginSettings& settings);
    ~PresetStore();

    static constexpr const char* presetExtension = ".vlp";
    static constexpr const char* initPresetName = "00 - INIT";
    // Preset documents are well under a kilobyte; anything this large is not one.
    static constexpr juce::int64 maximumPresetFileBytes = 1 << 20;

    static bool isPresetFile(const juce::File& file);

    // Applies a preset file when it holds a state document; anything else is ignored.
    void loadPresetFile(const juce::String& path);

    // Looks for "00 - INIT" in the immediate sub-folders of the preset folder and loads it.
    void findInitialPreset();

    // Writes the current sound as a preset file; returns whether the file was written.
    bool writePresetFile(const juce::File& file);

    // The preset bar's actions; each asks through the dialogs and acts on the answer.
    void savePresetAs();
    void deleteCurrentPreset();
    void resetCurrentPreset();

    // The menu's selection changed: loads the selected entry unless it is the one loaded last.
    void menuSelectionChanged();
    // Loads a menu entry and makes it the current preset.
    void loadThroughMenu(int index, const juce::String& path);

    // The editor attaches its preset menu while it exists; actions still pending when it goes
    // away simply skip the menu update.
    void setMenu(PresetMenuInterface* menu) noexcept { presetMenu = menu; }
    void setDialogs(std::unique_ptr<PresetDialogs> newDialogs);

    juce::String currentPresetFile;
    juce::String initPresetFile;
    float lastPresetIndex = 0.0f;
    bool presetModified = false;

private:
    void saveChosenFile(const juce::File& file);
    void deleteConfirmed(const juce::String& path, int oldIndex);

    QuarrionAudioProcessor& processor;
    PluginSettings& settings;
    PresetMenuInterface* presetMenu = nullptr;
    std::unique_ptr<PresetDialogs> dialogs;

    // Dialog answers arrive later; they check this token so that a store destroyed meanwhile
    // is never touched.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

} // namespace veltrano
