#include "presets/NativePresetDialogs.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace veltrano
{

NativePresetDialogs::NativePresetDialogs() = default;
NativePresetDialogs::~NativePresetDialogs() = default;

void NativePresetDialogs::askSaveFile(const juce::String& title, const juce::File& initialFile,
                                      const juce::String& filePattern,
                                      std::function<void(const juce::File&)> onChosen)
{
    chooser =
        std::make_unique<juce::FileChooser>(title, initialFile, filePattern, true, false, nullptr);
    const int flags = juce::FileBrowserComponent::saveMode |
                      juce::FileBrowserComponent::canSelectFiles |
                      juce::FileBrowserComponent::warnAboutOverwriting;
    chooser->launchAsync(flags, [onChosen = std::move(onChosen)](const juce::FileChooser& fc)
                         { onChosen(fc.getResult()); });
}

void NativePresetDialogs::confirm(const juce::String& title, const juce::String& message,
                                  std::function<void(bool)> onAnswer)
{
    juce::NativeMessageBox::showOkCancelBox(
        juce::MessageBoxIconType::QuestionIcon, title, message, nullptr,
        juce::ModalCallbackFunction::create([onAnswer = std::move(onAnswer)](int result)
                                            { onAnswer(result != 0); }));
}

void NativePresetDialogs::inform(const juce::String& title, const juce::String& message)
{
    juce::NativeMessageBox::showMessageBoxAsync(juce::MessageBoxIconType::WarningIcon, title,
                                                message, nullptr);
}

} // namespace veltrano
