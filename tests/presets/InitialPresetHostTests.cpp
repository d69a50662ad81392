// Loads the built VST3 the way a DAW does, against a temporary shared folder tree, and checks
// that a fresh instance starts with the "00 - INIT" preset.

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
// The preset document inside the state the host saves. JUCE's VST3 hosting keeps the component
// state as base64 text inside its own XML, so the search goes through such layers.
std::unique_ptr<juce::XmlElement> documentInState(const juce::MemoryBlock& state, int depth = 0)
{
    const auto* bytes = static_cast<const char*>(state.getData());
    const auto size = state.getSize();
    for (size_t i = 0; depth < 4 && i + 5 < size; ++i)
    {
        if (std::memcmp(bytes + i, "<?xml", 5) != 0)
            continue;
        size_t end = i;
        while (end < size && bytes[end] != 0)
            ++end;
        auto xml = juce::parseXML(juce::String::fromUTF8(bytes + i, (int)(end - i)));
        if (xml == nullptr)
            continue;
        if (xml->hasTagName("Quarrion_Preset"))
            return xml;
        for (auto* child : xml->getChildIterator())
        {
            juce::MemoryBlock inner;
            if (inner.fromBase64Encoding(child->getAllSubText().trim()))
                if (auto found = documentInState(inner, depth + 1))
                    return found;
        }
    }
    return nullptr;
}

struct InitialPresetHost : ::testing::Test
{
    InitialPresetHost()
    {
        shared = juce::File::getSpecialLocation(juce::File::tempDirectory)
                     .getChildFile("quarrion-host-tree-" + juce::Uuid().toString());
        presets = shared.getChildFile("Veltrano/Presets/Quarrion");
        EXPECT_TRUE(shared.getChildFile("Veltrano/Settings").createDirectory());

        // The factory bank as the installer lays it out.
        const juce::File bank(QUARRION_FACTORY_PRESETS_DIR);
        for (const auto& file : bank.findChildFiles(juce::File::findFiles, true, "*.vlp"))
        {
            const auto target = presets.getChildFile(file.getRelativePathFrom(bank));
            EXPECT_TRUE(target.getParentDirectory().createDirectory());
            EXPECT_TRUE(file.copyFileTo(target));
        }
        EXPECT_TRUE(presets.getChildFile("User").createDirectory());
        if (const char* previous = std::getenv("QUARRION_SHARED_FOLDER"))
            previousSharedFolder = previous;
        ::setenv("QUARRION_SHARED_FOLDER", shared.getFullPathName().toRawUTF8(), 1);
    }

    ~InitialPresetHost() override
    {
        // Back to the isolated (non-existent) folder every test program starts with.
        ::setenv("QUARRION_SHARED_FOLDER", previousSharedFolder.c_str(), 1);
        shared.deleteRecursively();
    }

    std::string previousSharedFolder = "/nonexistent-quarrion-shared-folder";

    std::unique_ptr<juce::AudioPluginInstance> loadPlugin()
    {
        juce::OwnedArray<juce::PluginDescription> found;
        format.findAllTypesForFile(found, QUARRION_VST3_PATH);
        if (found.size() != 1)
            return nullptr;
        juce::String error;
        return format.createInstanceFromDescription(*found[0], 48000.0, 256, error);
    }

    // Expects the instance to hold exactly the sound and name of the preset file.
    void expectStartsWith(juce::AudioPluginInstance& plugin, const juce::File& presetFile)
    {
        const auto preset = juce::parseXML(presetFile);
        ASSERT_NE(preset, nullptr);

        juce::MemoryBlock state;
        plugin.getStateInformation(state);
        const auto document = documentInState(state);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->getStringAttribute("presetName"), "00 - INIT");

        const char* keys[] = {"Power",  "Gain",      "Bass",       "Contour", "Treble",
                              "Volume", "InputGain", "OutputGain", "Mix"};
        const auto& params = plugin.getParameters();
        for (int i = 0; i < 9; ++i)
        {
            EXPECT_NEAR(params[i]->getValue(), preset->getDoubleAttribute(keys[i]), 1e-6)
                << keys[i];
            EXPECT_EQ(document->getStringAttribute(keys[i]), preset->getStringAttribute(keys[i]));
        }
        EXPECT_NEAR(params[10]->getValue(), preset->getDoubleAttribute("NoiseGate"), 1e-6);
        EXPECT_EQ(document->getStringAttribute("CircuitType"),
                  preset->getStringAttribute("CircuitType"));
    }

    juce::ScopedJuceInitialiser_GUI juce;
    juce::VST3PluginFormat format;
    juce::File shared, presets;
};
} // namespace

TEST_F(InitialPresetHost, FreshInstanceStartsWithTheFactoryInitPreset)
{
    auto plugin = loadPlugin();
    ASSERT_NE(plugin, nullptr);
    expectStartsWith(*plugin, presets.getChildFile("Factory/00 - INIT.vlp"));

    // The instance used the temporary tree: it wrote its settings file there.
    EXPECT_TRUE(shared.getChildFile("Veltrano/Settings/Quarrion.vls").existsAsFile());
}

TEST_F(InitialPresetHost, AnEditedInitPresetIsTheStartingSoundAndSurvivesActivation)
{
    const auto init = presets.getChildFile("Factory/00 - INIT.vlp");
    ASSERT_TRUE(init.replaceWithText(
        "<Quarrion_Preset presetName=\"00 - INIT\" Power=\"1.0\" Gain=\"0.8125\" Bass=\"0.25\" "
        "Contour=\"0.75\" Treble=\"0.625\" Volume=\"0.4375\" InputGain=\"0.5625\" "
        "OutputGain=\"0.5\" Mix=\"0.875\" HQ=\"0.0\" NoiseGate=\"0.125\" CircuitType=\"2\"/>"));

    auto plugin = loadPlugin();
    ASSERT_NE(plugin, nullptr);
    expectStartsWith(*plugin, init);

    plugin->prepareToPlay(48000.0, 256);
    juce::AudioBuffer<float> buffer(2, 256);
    buffer.clear();
    juce::MidiBuffer midi;
    plugin->processBlock(buffer, midi);
    expectStartsWith(*plugin, init);
    plugin->releaseResources();
}
