#pragma once

#include "presets/PresetDialogs.h"
#include "presets/PresetMenuInterface.h"
#include "processor/QuarrionAudioProcessor.h"

#include <juce_events/juce_events.h>

#include <deque>
#include <memory>

namespace veltrano::testing
{

// A temporary shared folder with the maker's tree; the processor reads its settings from it.
struct TemporaryTree
{
    TemporaryTree()
    {
        root = juce::File::getSpecialLocation(juce::File::tempDirectory)
                   .getChildFile("quarrion-presets-test-" + juce::Uuid().toString());
        settingsFolder = root.getChildFile("Veltrano/Settings");
        presetsFolder = root.getChildFile("Veltrano/Presets/Quarrion");
        settingsFolder.createDirectory();
        presetsFolder.createDirectory();
        PluginSettings::setSharedFolderForTesting(root);
    }

    ~TemporaryTree()
    {
        PluginSettings::setSharedFolderForTesting({});
        root.deleteRecursively();
    }

    juce::File root, settingsFolder, presetsFolder;
};

// Answers the dialogs from queues; records what was asked.
struct ScriptedDialogs : PresetDialogs
{
    struct Log
    {
        juce::StringArray titles, messages, patterns;
        juce::Array<juce::File> initialFiles;
        std::deque<juce::File> files;   // answers to save dialogs; an empty File cancels
        std::deque<bool> confirmations; // answers to questions
        // Answers kept back to be given later, as a real asynchronous dialog does.
        bool holdAnswers = false;
        std::function<void()> heldAnswer;
        int informed = 0;
    };

    explicit ScriptedDialogs(std::shared_ptr<Log> l)
        : log(std::move(l))
    {
    }

    void askSaveFile(const juce::String& title, const juce::File& initialFile,
                     const juce::String& pattern,
                     std::function<void(const juce::File&)> onChosen) override
    {
        log->titles.add(title);
        log->patterns.add(pattern);
        log->initialFiles.add(initialFile);
        juce::File answer;
        if (!log->files.empty())
        {
            answer = log->files.front();
            log->files.pop_front();
        }
        answerWith([onChosen, answer] { onChosen(answer); });
    }

    void confirm(const juce::String& title, const juce::String& message,
                 std::function<void(bool)> onAnswer) override
    {
        log->titles.add(title);
        log->messages.add(message);
        bool answer = false;
        if (!log->confirmations.empty())
        {
            answer = log->confirmations.front();
            log->confirmations.pop_front();
        }
        answerWith([onAnswer, answer] { onAnswer(answer); });
    }

    void inform(const juce::String& title, const juce::String& message) override
    {
        log->titles.add(title);
        log->messages.add(message);
        ++log->informed;
    }

    void answerWith(std::function<void()> answer)
    {
        if (log->holdAnswers)
            log->heldAnswer = std::move(answer);
        else
            answer();
    }

    std::shared_ptr<Log> log;
};

// The preset menu's lists: every preset below the folder, depth first, in natural path order.
struct ListMenu : PresetMenuInterface
{
    int getCurrentIndex() const override { return currentIndex; }
    const juce::StringArray& getPresetPaths() const override { return paths; }
    const juce::StringArray& getPresetNames() const override { return names; }

    void refreshList(const juce::String& folder) override
    {
        ++refreshes;
        refreshedFolder = folder;
        paths.clear();
        names.clear();
        scan(juce::File(folder));
    }

    void setModified(bool modified) override { modifiedMarks.add(modified); }
    void selectIndex(int index) override
    {
        currentIndex = index;
        selections.add(index);
    }

    void scan(const juce::File& folder)
    {
        auto children = folder.findChildFiles(juce::File::findFilesAndDirectories, false);
        juce::File::NaturalFileComparator order(false);
        children.sort(order);
        for (const auto& child : children)
        {
            if (child.isDirectory())
                scan(child);
            else if (child.hasFileExtension(".vlp"))
            {
                paths.add(child.getFullPathName());
                names.add(child.getFileNameWithoutExtension());
            }
        }
    }

    int currentIndex = 1;
    juce::StringArray paths, names;
    juce::String refreshedFolder;
    int refreshes = 0;
    juce::Array<bool> modifiedMarks;
    juce::Array<int> selections;
};

} // namespace veltrano::testing
