#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace veltrano
{

// The questions the preset actions ask. Plug-ins run without modal loops, so every answer comes
// back later through its callback on the message thread.
class PresetDialogs
{
public:
    virtual ~PresetDialogs() = default;

    // A save dialog that itself asks before an existing file is replaced; an empty File means
    // the user cancelled.
    virtual void askSaveFile(const juce::String& title, const juce::File& initialFile,
                             const juce::String& filePattern,
                             std::function<void(const juce::File&)> onChosen) = 0;

    // An OK/Cancel question; true when the user confirmed.
    virtual void confirm(const juce::String& title, const juce::String& message,
                         std::function<void(bool)> onAnswer) = 0;

    // A message that needs no answer.
    virtual void inform(const juce::String& title, const juce::String& message) = 0;
};

} // namespace veltrano
