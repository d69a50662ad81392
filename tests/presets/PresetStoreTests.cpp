#include "PresetTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace veltrano;
using namespace veltrano::testing;

namespace
{
const juce::String indent = juce::String::repeatedString(" ", 16);

// A default instance saved as "00 - INIT": the declaration, a blank line, and the element
// broken before the first attribute that starts past column 60 of its line.
const juce::String defaultPresetText =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "\r\n"
    "<Quarrion_Preset presetName=\"00 - INIT\" majorVersion=\"1\" minorVersion=\"0\" "
    "revisionVersion=\"0\"\r\n" +
    indent + " Power=\"1.0\" Gain=\"0.5\" Bass=\"0.5\" Contour=\"0.5\" Treble=\"0.5\"\r\n" +
    indent + " Volume=\"0.5\" InputGain=\"0.5\" OutputGain=\"0.5\" Mix=\"1.0\" HQ=\"0.0\"\r\n" +
    indent + " NoiseGate=\"0.0\" CircuitType=\"0\"/>\r\n";

juce::String presetText(const juce::String& name, const juce::String& attributes)
{
    return "<Quarrion_Preset presetName=\"" + name + "\" majorVersion=\"1\" " + attributes + "/>";
}

struct PresetFixture : ::testing::Test
{
    PresetFixture() { makeProcessor(); }

    void makeProcessor()
    {
        store = nullptr;
        processor = std::make_unique<QuarrionAudioProcessor>();
        store = &processor->presetStore;
        log = std::make_shared<ScriptedDialogs::Log>();
        store->setDialogs(std::make_unique<ScriptedDialogs>(log));
        store->setMenu(&menu);
    }

    juce::File preset(const juce::String& relative, const juce::String& text)
    {
        auto file = tree.presetsFolder.getChildFile(relative);
        EXPECT_TRUE(file.getParentDirectory().createDirectory());
        EXPECT_TRUE(file.replaceWithText(text));
        return file;
    }

    float value(int index) const { return processor->parameter(index).getValue(); }
    void set(int index, float v) { processor->parameter(index).setValue(v); }

    std::array<float, numParameters> values() const
    {
        std::array<float, numParameters> v{};
        for (int i = 0; i < numParameters; ++i)
            v[(size_t)i] = value(i);
        return v;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    TemporaryTree tree;
    ListMenu menu;
    std::unique_ptr<QuarrionAudioProcessor> processor;
    PresetStore* store = nullptr;
    std::shared_ptr<ScriptedDialogs::Log> log;
};
} // namespace

TEST_F(PresetFixture, SavedFileIsTheDocumentInTheWrappedTextFormat)
{
    const auto target = tree.presetsFolder.getChildFile("Factory/00 - INIT.vlp");
    ASSERT_TRUE(target.getParentDirectory().createDirectory());
    log->files.push_back(target);

    store->savePresetAs();

    ASSERT_EQ(log->titles[0], "Save Preset");
    EXPECT_EQ(log->patterns[0], "*.vlp");
    EXPECT_EQ(target.loadFileAsString(), defaultPresetText);
    juce::MemoryBlock bytes;
    ASSERT_TRUE(target.loadFileAsData(bytes));
    EXPECT_EQ(bytes.getSize(), (size_t)defaultPresetText.getNumBytesAsUTF8()) << "no BOM, UTF-8";
}

TEST_F(PresetFixture, SaveThenLoadRestoresTheSoundAndNameButNotEditorSizeOrHq)
{
    const float sound[] = {1.0f, 0.83f, 0.2f, 0.71f, 0.64f, 0.35f, 0.6f, 0.42f, 0.9f, 1.0f, 0.25f};
    for (int i = 0; i < 11; ++i)
        set(i, sound[i]);
    processor->setCircuitTypeIndex(2.0f);
    processor->savedEditorWidth = 910;
    processor->savedEditorHeight = 780;
    store->presetModified = true;

    const auto user = tree.presetsFolder.getChildFile("User");
    ASSERT_TRUE(user.createDirectory());
    preset("Factory/A.vlp", presetText("A", ""));
    const auto target = user.getChildFile("Heavy Chug.vlp");
    log->files.push_back(target);
    store->savePresetAs();

    EXPECT_EQ(processor->presetName, "Heavy Chug");
    EXPECT_EQ(store->currentPresetFile, target.getFullPathName());
    EXPECT_FALSE(store->presetModified);
    EXPECT_EQ(menu.refreshedFolder, processor->settings.presetsPath);
    ASSERT_EQ(menu.selections.size(), 1);
    EXPECT_EQ(menu.names[menu.selections[0]], "Heavy Chug");

    const auto xml = juce::XmlDocument::parse(target);
    ASSERT_NE(xml, nullptr);
    for (auto* hostOnly : {"newCurrentWidth", "newCurrentHeight", "isHQ"})
        EXPECT_FALSE(xml->hasAttribute(hostOnly)) << hostOnly;

    makeProcessor();
    processor->savedEditorWidth = 1000;
    processor->savedEditorHeight = 640;
    set(hqIndex, 0.0f);
    store->loadPresetFile(target.getFullPathName());

    EXPECT_EQ(processor->presetName, "Heavy Chug");
    for (int i = 0; i < 11; ++i)
    {
        if (i != hqIndex)
        {
            EXPECT_NEAR(value(i), sound[i], 1e-6) << processor->parameter(i).getName(64);
        }
    }
    EXPECT_NEAR(processor->parameter(circuitTypeIndex).getRealValue(), 2.0f, 1e-4);
    EXPECT_EQ(value(hqIndex), 0.0f) << "HQ is not part of a preset";
    EXPECT_EQ(processor->savedEditorWidth.load(), 1000);
    EXPECT_EQ(processor->savedEditorHeight.load(), 640);
}

TEST_F(PresetFixture, SaveDialogStartsInUserAndSaveOutsideTheTreeSelectsIndexOne)
{
    ASSERT_TRUE(tree.presetsFolder.getChildFile("User").createDirectory());
    preset("Factory/A.vlp", presetText("A", ""));
    preset("Factory/B.vlp", presetText("B", ""));
    makeProcessor();

    const auto outside = tree.root.getChildFile("elsewhere/Mine.vlp");
    ASSERT_TRUE(outside.getParentDirectory().createDirectory());
    log->files.push_back(outside);
    store->savePresetAs();

    EXPECT_EQ(log->initialFiles[0], tree.presetsFolder.getChildFile("User"));
    EXPECT_TRUE(outside.existsAsFile());
    ASSERT_EQ(menu.selections.size(), 1);
    EXPECT_EQ(menu.selections[0], 1);

    // The next dialog starts where the last preset went.
    log->files.push_back({});
    store->savePresetAs();
    EXPECT_EQ(log->initialFiles[1], outside);
}

TEST_F(PresetFixture, SaveOverAnExistingPresetKeepsOneEntry)
{
    const auto existing = preset("User/Same.vlp", presetText("Same", "Gain=\"0.1\""));
    set(gainIndex, 0.9f);
    log->files.push_back(existing);
    store->savePresetAs();
    EXPECT_EQ(menu.names.size(), 1);
    EXPECT_EQ(menu.selections[0], 0);
    store->loadPresetFile(existing.getFullPathName());
    EXPECT_NEAR(value(gainIndex), 0.9f, 1e-6);
}

TEST_F(PresetFixture, CancelledOrFailedSaveLeavesTheBookkeeping)
{
    processor->presetName = "Before";
    store->currentPresetFile = "/start";
    store->presetModified = true;

    log->files.push_back({}); // cancelled
    log->files.push_back(tree.root.getChildFile("missing/folder/New.vlp"));
    log->files.push_back(tree.presetsFolder); // a folder cannot be written as a file
    for (int i = 0; i < 3; ++i)
        store->savePresetAs();

    EXPECT_EQ(processor->presetName, "Before");
    EXPECT_EQ(store->currentPresetFile, "/start");
    EXPECT_TRUE(store->presetModified) << "an unsaved sound stays marked as changed";
    EXPECT_EQ(log->informed, 2) << "both failed writes are reported";
    EXPECT_TRUE(menu.selections.isEmpty());
    EXPECT_FALSE(tree.root.getChildFile("missing").exists());
}

TEST_F(PresetFixture, InitialPresetIsLookedForOneFolderDown)
{
    struct Case
    {
        const char* relative;
        bool found;
    };
    const Case cases[] = {
        {"Factory/00 - INIT.vlp", true},         {"00 - INIT.vlp", false},
        {"Factory/00 - INIT.VLP", true},         {"Factory/00 - init.vlp", false},
        {"Factory/Deeper/00 - INIT.vlp", false}, {"Factory/00 - INIT.vlp.txt", false}};

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.relative);
        tree.presetsFolder.deleteRecursively();
        tree.presetsFolder.createDirectory();
        const auto file =
            preset(c.relative, presetText("00 - INIT", "Gain=\"0.8\" CircuitType=\"1\""));

        makeProcessor();

        EXPECT_EQ(store->initPresetFile, c.found ? file.getFullPathName() : juce::String());
        EXPECT_EQ(processor->presetName, c.found ? "00 - INIT" : "");
        EXPECT_NEAR(value(gainIndex), c.found ? 0.8f : 0.5f, 1e-6);
        EXPECT_EQ(store->lastPresetIndex, 0.0f);
    }
}

TEST_F(PresetFixture, FirstListedSubFolderWinsTheInitialPreset)
{
    preset("A/00 - INIT.vlp", presetText("00 - INIT", "Gain=\"0.1\""));
    preset("B/00 - INIT.vlp", presetText("00 - INIT", "Gain=\"0.9\""));

    std::string first;
    for (const auto& entry :
         std::filesystem::directory_iterator(tree.presetsFolder.getFullPathName().toStdString()))
        if (entry.is_directory())
        {
            first = entry.path().filename().string();
            break;
        }

    makeProcessor();
    EXPECT_NEAR(value(gainIndex), first == "A" ? 0.1f : 0.9f, 1e-6) << first;
}

TEST_F(PresetFixture, InitialPresetSurvivesTheFirstPrepare)
{
    preset("Factory/00 - INIT.vlp", presetText("00 - INIT", "Gain=\"0.8\" Treble=\"0.3\""));
    makeProcessor();
    processor->prepareToPlay(48000.0, 256);
    EXPECT_NEAR(value(gainIndex), 0.8f, 1e-6);
    EXPECT_NEAR(value(trebleIndex), 0.3f, 1e-6);

    // Without one, the first prepare returns everything to its default.
    tree.presetsFolder.deleteRecursively();
    makeProcessor();
    set(gainIndex, 0.9f);
    processor->prepareToPlay(48000.0, 256);
    EXPECT_NEAR(value(gainIndex), 0.5f, 1e-6);
}

TEST_F(PresetFixture, FilesThatAreNotPresetDocumentsChangeNothing)
{
    set(gainIndex, 0.77f);
    processor->presetName = "Kept";
    const auto before = values();

    juce::StringArray paths;
    paths.add(preset("User/NotXml.vlp", "Gain=0.1 just text").getFullPathName());
    paths.add(preset("User/Other.vlp", "<Other_Preset presetName=\"x\" Gain=\"0.1\"/>")
                  .getFullPathName());
    paths.add(preset("User/Empty.vlp", "").getFullPathName());
    paths.add(preset("User/Truncated.vlp", "<Quarrion_Preset presetName=\"x\" Gain=\"0.1")
                  .getFullPathName());
    paths.add(preset("User/Huge.vlp",
                     presetText(juce::String::repeatedString("x", 2 << 20), "Gain=\"0.1\""))
                  .getFullPathName());
    const auto folder = tree.presetsFolder.getChildFile("User/Folder.vlp");
    ASSERT_TRUE(folder.createDirectory());
    paths.add(folder.getFullPathName());
    paths.add(tree.presetsFolder.getChildFile("User/Missing.vlp").getFullPathName());
    paths.add("");

    for (const auto& path : paths)
    {
        SCOPED_TRACE(path.substring(0, 200).toStdString());
        store->loadPresetFile(path);
        EXPECT_EQ(values(), before);
        EXPECT_EQ(processor->presetName, "Kept");
    }
}

TEST_F(PresetFixture, OutOfRangeValuesInAFileAreLimited)
{
    const auto file =
        preset("User/Wild.vlp",
               presetText("Wild", "Power=\"1e300\" Gain=\"-5\" Bass=\"inf\" Treble=\"nan\" "
                                  "Volume=\"0.4\" Mix=\"7\" CircuitType=\"99999\""));
    store->loadPresetFile(file.getFullPathName());

    EXPECT_EQ(value(powerIndex), 1.0f);
    EXPECT_EQ(value(gainIndex), 0.0f);
    EXPECT_EQ(value(bassIndex), 0.5f) << "not a number: the default";
    EXPECT_EQ(value(trebleIndex), 0.5f);
    EXPECT_NEAR(value(volumeIndex), 0.4f, 1e-6);
    EXPECT_EQ(value(mixIndex), 1.0f);
    EXPECT_NEAR(processor->parameter(circuitTypeIndex).getRealValue(), 23.0f, 1e-3);

    processor->prepareToPlay(44100.0, 64);
    juce::AudioBuffer<float> buffer(2, 64);
    juce::MidiBuffer midi;
    for (int block = 0; block < 50; ++block)
    {
        for (int n = 0; n < 64; ++n)
            buffer.setSample(0, n, 0.3f * std::sin(0.07f * (float)(block * 64 + n)));
        buffer.copyFrom(1, 0, buffer, 0, 0, 64);
        processor->processBlock(buffer, midi);
        for (int n = 0; n < 64; ++n)
            ASSERT_TRUE(std::isfinite(buffer.getSample(0, n)));
    }
}

TEST_F(PresetFixture, DeleteRemovesTheSelectedFileAndSelectsThePreviousEntry)
{
    preset("Factory/1 A.vlp", presetText("1 A", ""));
    const auto b = preset("Factory/2 B.vlp", presetText("2 B", ""));
    preset("Factory/10 C.vlp", presetText("10 C", ""));
    menu.refreshList(processor->settings.presetsPath);
    menu.currentIndex = 1;

    log->confirmations.push_back(false);
    store->deleteCurrentPreset();
    EXPECT_EQ(log->titles[0], "Delete preset");
    EXPECT_EQ(log->messages[0], "Do you want to permanently delete 2 B?");
    EXPECT_TRUE(b.existsAsFile()) << "cancelled";
    EXPECT_TRUE(menu.selections.isEmpty());

    log->confirmations.push_back(true);
    store->deleteCurrentPreset();
    EXPECT_FALSE(b.exists());
    EXPECT_EQ(menu.names, juce::StringArray({"1 A", "10 C"}));
    EXPECT_EQ(menu.selections, juce::Array<int>({0}));
}

TEST_F(PresetFixture, DeleteWithoutAValidSelection)
{
    preset("Factory/A.vlp", presetText("A", ""));
    preset("Factory/B.vlp", presetText("B", ""));
    menu.refreshList(processor->settings.presetsPath);
    menu.currentIndex = 7;

    log->confirmations.push_back(true);
    store->deleteCurrentPreset();

    EXPECT_EQ(log->messages[0], "Do you want to permanently delete ?");
    EXPECT_EQ(menu.names.size(), 2) << "nothing deleted";
    EXPECT_EQ(menu.refreshes, 2) << "counts as deleted: the list is refreshed";
    EXPECT_EQ(menu.selections, juce::Array<int>({0})) << "past the end: the first entry";

    // With an empty list there is nothing to select.
    tree.presetsFolder.deleteRecursively();
    menu.refreshList(processor->settings.presetsPath);
    menu.currentIndex = 0;
    log->confirmations.push_back(true);
    store->deleteCurrentPreset();
    EXPECT_EQ(menu.selections.size(), 1);
    EXPECT_EQ(menu.currentIndex, 0);
}

TEST_F(PresetFixture, DeleteNeverRemovesAFolder)
{
    const auto folder = tree.presetsFolder.getChildFile("Empty.vlp");
    ASSERT_TRUE(folder.createDirectory());
    menu.paths.add(folder.getFullPathName());
    menu.names.add("Empty");
    menu.currentIndex = 0;
    log->confirmations.push_back(true);
    store->deleteCurrentPreset();
    EXPECT_TRUE(folder.isDirectory());
    EXPECT_EQ(menu.refreshes, 0);
}

TEST_F(PresetFixture, ResetReloadsTheSelectedFile)
{
    const auto file = preset("Factory/Crunch.vlp", presetText("Crunch", "Gain=\"0.3\""));
    menu.refreshList(processor->settings.presetsPath);
    menu.currentIndex = 0;
    store->loadThroughMenu(0, file.getFullPathName());
    set(gainIndex, 0.95f);
    store->presetModified = true;

    log->confirmations.push_back(false);
    store->resetCurrentPreset();
    EXPECT_EQ(log->titles[0], "Reset preset");
    EXPECT_TRUE(log->messages[0].contains("Crunch"));
    EXPECT_NEAR(value(gainIndex), 0.95f, 1e-6) << "cancelled";
    EXPECT_TRUE(store->presetModified);

    log->confirmations.push_back(true);
    store->resetCurrentPreset();
    EXPECT_NEAR(value(gainIndex), 0.3f, 1e-6);
    EXPECT_FALSE(store->presetModified);
    EXPECT_EQ(menu.modifiedMarks, juce::Array<bool>({false}));
}

TEST_F(PresetFixture, ResetAfterTheFileWasRemovedOnlyClearsTheMark)
{
    const auto file = preset("Factory/Gone.vlp", presetText("Gone", "Gain=\"0.3\""));
    menu.refreshList(processor->settings.presetsPath);
    menu.currentIndex = 0;
    ASSERT_TRUE(file.deleteFile());
    set(gainIndex, 0.95f);
    store->presetModified = true;

    log->confirmations.push_back(true);
    store->resetCurrentPreset();

    EXPECT_NEAR(value(gainIndex), 0.95f, 1e-6);
    EXPECT_FALSE(store->presetModified);
    EXPECT_EQ(menu.modifiedMarks, juce::Array<bool>({false}));
}

TEST_F(PresetFixture, MenuLoadsOnlyWhenTheIndexChanges)
{
    const auto a = preset("Factory/A.vlp", presetText("A", "Gain=\"0.2\""));
    const auto b = preset("Factory/B.vlp", presetText("B", "Gain=\"0.6\""));
    menu.refreshList(processor->settings.presetsPath);

    menu.currentIndex = 1;
    store->presetModified = true;
    store->menuSelectionChanged();
    EXPECT_EQ(processor->presetName, "B");
    EXPECT_NEAR(value(gainIndex), 0.6f, 1e-6);
    EXPECT_EQ(store->currentPresetFile, b.getFullPathName());
    EXPECT_EQ(store->lastPresetIndex, 1.0f);
    EXPECT_FALSE(store->presetModified);

    set(gainIndex, 0.9f);
    store->presetModified = true;
    store->menuSelectionChanged(); // same entry again, as when only the text changed
    EXPECT_NEAR(value(gainIndex), 0.9f, 1e-6);
    EXPECT_TRUE(store->presetModified);

    menu.currentIndex = 0;
    store->menuSelectionChanged();
    EXPECT_EQ(processor->presetName, "A");
    EXPECT_EQ(store->currentPresetFile, a.getFullPathName());

    menu.currentIndex = 5; // outside the list: the empty path loads nothing
    store->menuSelectionChanged();
    EXPECT_EQ(processor->presetName, "A");
    EXPECT_EQ(store->currentPresetFile, "");
    EXPECT_EQ(store->lastPresetIndex, 5.0f);
}

TEST_F(PresetFixture, AnswersArrivingAfterTheProcessorIsGoneAreDropped)
{
    log->holdAnswers = true;
    log->confirmations.push_back(true);
    preset("Factory/A.vlp", presetText("A", ""));
    menu.refreshList(processor->settings.presetsPath);
    menu.currentIndex = 0;
    store->deleteCurrentPreset();
    ASSERT_TRUE(log->heldAnswer != nullptr);

    auto keptLog = log;
    processor = nullptr;
    keptLog->heldAnswer();
    EXPECT_TRUE(tree.presetsFolder.getChildFile("Factory/A.vlp").existsAsFile());
}

TEST_F(PresetFixture, AnswersArrivingAfterTheMenuIsGoneSkipTheMenu)
{
    log->holdAnswers = true;
    log->files.push_back(tree.presetsFolder.getChildFile("Later.vlp"));
    store->savePresetAs();
    store->setMenu(nullptr);
    log->heldAnswer();
    EXPECT_TRUE(tree.presetsFolder.getChildFile("Later.vlp").existsAsFile());
    EXPECT_EQ(processor->presetName, "Later");
    EXPECT_EQ(menu.refreshes, 0);
}

TEST(PresetSelection, IndexRules)
{
    struct Case
    {
        int current, count, previous, next;
    };
    const Case cases[] = {
        {0, 3, 2, 1},  {1, 3, 0, 2},  {2, 3, 1, 0},  {3, 3, 2, 0}, {4, 3, 0, 0},
        {-1, 3, 2, 0}, {-2, 3, 2, 2}, {0, 0, -1, 0}, {1, 0, 0, 0}, {0, 1, 0, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.current << " of " << c.count);
        EXPECT_EQ(PresetSelection::previousIndex(c.current, c.count), c.previous);
        EXPECT_EQ(PresetSelection::nextIndex(c.current, c.count), c.next);
    }

    const juce::StringArray names{"A", "B", "b"};
    EXPECT_EQ(PresetSelection::indexAfterSave(names, "b"), 2);
    EXPECT_EQ(PresetSelection::indexAfterSave(names, "A"), 0);
    EXPECT_EQ(PresetSelection::indexAfterSave(names, "C"), 1);
    EXPECT_EQ(PresetSelection::entryAt(names, 3), "");
    EXPECT_EQ(PresetSelection::entryAt(names, -1), "");
}
