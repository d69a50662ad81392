// The shipped preset bank in presets/: every file is a preset document in the program's own
// format, and every sound is playable at guitar level.

#include "../support/TestSignals.h"
#include "PresetTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace veltrano;
using namespace veltrano::testing;

namespace
{
juce::File bankFolder()
{
    return juce::File(QUARRION_FACTORY_PRESETS_DIR);
}

juce::Array<juce::File> bankFiles()
{
    auto files = bankFolder().findChildFiles(juce::File::findFiles, true, "*.vlp");
    files.sort();
    return files;
}

struct FactoryFixture : ::testing::Test
{
    juce::ScopedJuceInitialiser_GUI juce;
    TemporaryTree tree; // the processors must not read the machine's own tree
};
} // namespace

TEST_F(FactoryFixture, BankHoldsTheInitPresetAndAtLeastTwelveDistinctSounds)
{
    const auto files = bankFiles();
    ASSERT_GE(files.size(), 12);

    const auto init = bankFolder().getChildFile("Factory/00 - INIT.vlp");
    ASSERT_TRUE(init.existsAsFile());
    QuarrionAudioProcessor processor;
    for (int i = 0; i < numParameters; ++i)
        processor.parameter(i).setValue(0.123f);
    processor.presetStore.loadPresetFile(init.getFullPathName());
    EXPECT_EQ(processor.presetName, "00 - INIT");
    for (int i = 0; i < numParameters; ++i)
    {
        // HQ is not part of a preset, so it keeps whatever it was.
        const float expected = i == hqIndex ? 0.123f : processor.parameter(i).getDefaultValue();
        EXPECT_EQ(processor.parameter(i).getValue(), expected)
            << processor.parameter(i).getName(64);
    }

    std::set<std::vector<float>> sounds;
    juce::StringArray folders;
    for (const auto& file : files)
    {
        QuarrionAudioProcessor p;
        p.presetStore.loadPresetFile(file.getFullPathName());
        std::vector<float> values;
        for (int i = 0; i < numParameters; ++i)
            values.push_back(p.parameter(i).getValue());
        EXPECT_TRUE(sounds.insert(values).second)
            << "same settings as another preset: " << file.getFileName();
        folders.addIfNotAlreadyThere(file.getParentDirectory().getFileName());
        EXPECT_EQ(file.getParentDirectory().getParentDirectory(), bankFolder())
            << "one folder down, as the preset menu and the initial preset expect";
    }
    EXPECT_GE(folders.size(), 3);
}

TEST_F(FactoryFixture, EveryFileIsWhatTheSavePathWritesForIt)
{
    for (const auto& file : bankFiles())
    {
        SCOPED_TRACE(file.getFileName().toStdString());
        QuarrionAudioProcessor processor;
        processor.presetName = "unset";
        processor.presetStore.loadPresetFile(file.getFullPathName());
        EXPECT_EQ(processor.presetName, file.getFileNameWithoutExtension());

        const auto copy = tree.root.getChildFile("copy.vlp");
        ASSERT_TRUE(processor.presetStore.writePresetFile(copy));
        juce::MemoryBlock original, rewritten;
        ASSERT_TRUE(file.loadFileAsData(original));
        ASSERT_TRUE(copy.loadFileAsData(rewritten));
        EXPECT_TRUE(original == rewritten);
    }
}

TEST_F(FactoryFixture, GuitarLevelInputStaysWithinASaneOutputLevel)
{
    const double rate = 48000.0;
    const auto guitar = test::guitarLikeSignal(rate, 3.0);
    std::vector<float> noiseSignal(guitar.size());
    juce::Random random(7);
    for (auto& v : noiseSignal)
        v = (random.nextFloat() * 2.0f - 1.0f) * 0.17f; // about -20 dBFS RMS, like a DI signal
    const std::vector<float>& noise = noiseSignal;

    for (const auto& file : bankFiles())
        for (bool hq : {false, true})
            for (const auto* input : {&guitar, &noise})
            {
                SCOPED_TRACE(::testing::Message() << file.getFileName() << (hq ? " HQ" : "")
                                                  << (input == &noise ? " noise" : " guitar"));
                QuarrionAudioProcessor processor;
                processor.presetStore.loadPresetFile(file.getFullPathName());
                processor.parameter(hqIndex).setValue(hq ? 1.0f : 0.0f);
                processor.prepareToPlay(rate, 256);

                double peak = 0.0, sum = 0.0;
                juce::AudioBuffer<float> buffer(2, 256);
                juce::MidiBuffer midi;
                for (size_t start = 0; start + 256 <= input->size(); start += 256)
                {
                    for (int c = 0; c < 2; ++c)
                        buffer.copyFrom(c, 0, input->data() + start, 256);
                    processor.processBlock(buffer, midi);
                    for (int c = 0; c < 2; ++c)
                        for (int n = 0; n < 256; ++n)
                        {
                            const float v = buffer.getSample(c, n);
                            ASSERT_TRUE(std::isfinite(v));
                            peak = std::max(peak, (double)std::abs(v));
                            sum += (double)v * v;
                        }
                }
                const double rms = std::sqrt(sum / (2.0 * (double)input->size()));
                // Guitar level in, no clipping of the host's bus out, and never near silence.
                EXPECT_LT(peak, 1.0);
                EXPECT_GT(20.0 * std::log10(rms), -40.0);
            }
}
