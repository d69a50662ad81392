#pragma once

#include "presets/PresetDialogs.h"

#include <memory>

namespace juce
{
class FileChooser;
}

namespace veltrano
{

// The platform's native file chooser and message boxes, shown asynchronously.
class NativePresetDialogs : public PresetDialogs
{
public:
    NativePresetDialogs();
    ~NativePresetDialogs() override;

    void askSaveFile(const juce::String& title, const juce::File& initialFile,
                     const juce::String& filePattern,
                     std::function<void(const juce::File&)> onChosen) override;
    void confirm(const juce::String& title, const juce::String& message,
                 std::function<void(bool)> onAnswer) override;
    void inform(const juce::String& title, const juce::String& message) override;

private:
    // Kept alive while its dialog is open; a new question replaces (and closes) the old one.
    std::unique_ptr<juce::FileChooser> chooser;
};

} // namespace veltrano
