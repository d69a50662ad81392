#include "presets/PresetStore.h"

#include "presets/NativePresetDialogs.h"
#include "processor/QuarrionAudioProcessor.h"
#include "settings/XmlTextFormat.h"

#include <cmath>

namespace veltrano
{

PresetStore::PresetStore(QuarrionAudioProcessor& processorToUse, PluginSettings& settingsToUse)
    : processor(processorToUse)
    , settings(settingsToUse)
    , dialogs(std::make_unique<NativePresetDialogs>())
{
}

PresetStore::~PresetStore()
{
    alive.reset();
}

void PresetStore::setDialogs(std::unique_ptr<PresetDialogs> newDialogs)
{
    if (newDialogs != nullptr)
        dialogs = std::move(newDialogs);
}

bool PresetStore::isPresetFile(const juce::File& file)
{
    return file.existsAsFile() && file.hasFileExtension(presetExtension);
}

//==============================================================================
void PresetStore::loadPresetFile(const juce::String& path)
{
    const auto file = PluginSettings::fileForPath(path);
    if (!file.existsAsFile() || file.getSize() > maximumPresetFileBytes)
        return;

    auto element = QuarrionAudioProcessor::parseStateDocument(file.loadFileAsString());
    if (element == nullptr || !element->hasTagName(QuarrionAudioProcessor::stateTag))
        return;

    processor.readStateFromXml(*element);
}

void PresetStore::findInitialPreset()
{
    const auto root = PluginSettings::fileForPath(settings.presetsPath);
    if (root.isDirectory())
    {
        for (const auto& folder : root.findChildFiles(juce::File::findDirectories, false))
        {
            // Every file is looked at, so that an upper-case extension counts on every system.
            for (const auto& file : folder.findChildFiles(juce::File::findFiles, false))
                if (isPresetFile(file) && file.getFileNameWithoutExtension() == initPresetName)
                {
                    initPresetFile = file.getFullPathName();
                    break;
                }
            if (initPresetFile.isNotEmpty())
                break;
        }
    }

    if (initPresetFile.isNotEmpty())
        loadPresetFile(initPresetFile);
    lastPresetIndex = 0.0f;
}

bool PresetStore::writePresetFile(const juce::File& file)
{
    // JUCE's replace-by-rename would remove an empty folder of that name.
    if (file == juce::File() || file.isDirectory())
        return false;

    juce::XmlElement element(QuarrionAudioProcessor::stateTag);
    processor.isSavingPreset.store(true);
    processor.writeStateToXml(element);
    processor.isSavingPreset.store(false);
    return element.writeTo(file, fileTextFormat());
}

//==============================================================================
void PresetStore::savePresetAs()
{
    std::weak_ptr<bool> token = alive;
    dialogs->askSaveFile("Save Preset", PluginSettings::fileForPath(currentPresetFile),
                         juce::String("*") + presetExtension,
                         [this, token](const juce::File& chosen)
                         {
                             if (!token.expired() && chosen != juce::File())
                                 saveChosenFile(chosen);
                         });
}

void PresetStore::saveChosenFile(const juce::File& file)
{
    // The document records the name it is saved under, so the name changes first; a failed
    // write puts it back and says so instead of looking saved.
    const auto previousName = processor.presetName;
    processor.presetName = file.getFileNameWithoutExtension();

    if (!writePresetFile(file))
    {
        processor.presetName = previousName;
        dialogs->inform("Save Preset",
                        "The preset could not be saved to " + file.getFullPathName() + ".");
        return;
    }

    currentPresetFile = file.getFullPathName();
    presetModified = false;

    if (presetMenu != nullptr)
    {
        presetMenu->refreshList(settings.presetsPath);
        presetMenu->selectIndex(
            PresetSelection::indexAfterSave(presetMenu->getPresetNames(), processor.presetName));
    }
}

void PresetStore::deleteCurrentPreset()
{
    const int index = presetMenu != nullptr ? presetMenu->getCurrentIndex() : -1;
    const auto path = presetMenu != nullptr
                          ? PresetSelection::entryAt(presetMenu->getPresetPaths(), index)
                          : juce::String();
    const auto name = PluginSettings::fileForPath(path).getFileNameWithoutExtension();

    std::weak_ptr<bool> token = alive;
    dialogs->confirm("Delete preset", "Do you want to permanently delete " + name + "?",
                     [this, token, path, index](bool confirmed)
                     {
                         if (!token.expired() && confirmed)
                             deleteConfirmed(path, index);
                     });
}

void PresetStore::deleteConfirmed(const juce::String& path, int oldIndex)
{
    // Only ever a file: a folder of that name is left alone and counts as a failed deletion.
    const auto file = PluginSettings::fileForPath(path);
    if (file.isDirectory() || !file.deleteFile())
        return;

    if (presetMenu == nullptr)
        return;

    presetMenu->refreshList(settings.presetsPath);
    const int newIndex =
        PresetSelection::previousIndex(oldIndex, presetMenu->getPresetPaths().size());
    if (newIndex >= 0)
        presetMenu->selectIndex(newIndex);
}

void PresetStore::resetCurrentPreset()
{
    const auto path =
        presetMenu != nullptr
            ? PresetSelection::entryAt(presetMenu->getPresetPaths(), presetMenu->getCurrentIndex())
            : juce::String();
    const auto name = PluginSettings::fileForPath(path).getFileNameWithoutExtension();
    const auto message =
        name.isNotEmpty()
            ? "Do you want to reload the preset " + name +
                  " from its file? Changes made since it was loaded will be lost."
            : juce::String("Do you want to reload the current preset from its file? Changes "
                           "made since it was loaded will be lost.");

    std::weak_ptr<bool> token = alive;
    dialogs->confirm("Reset preset", message,
                     [this, token, path](bool confirmed)
                     {
                         if (token.expired() || !confirmed)
                             return;
                         loadPresetFile(path);
                         presetModified = false;
                         if (presetMenu != nullptr)
                             presetMenu->setModified(false);
                     });
}

//==============================================================================
void PresetStore::menuSelectionChanged()
{
    if (presetMenu == nullptr)
        return;

    const int index = presetMenu->getCurrentIndex();
    if (lastPresetIndex != static_cast<float>(index))
        loadThroughMenu(index, PresetSelection::entryAt(presetMenu->getPresetPaths(), index));
}

void PresetStore::loadThroughMenu(int index, const juce::String& path)
{
    loadPresetFile(path);
    currentPresetFile = path;
    lastPresetIndex = static_cast<float>(index);
    presetModified = false;
}

} // namespace veltrano
