#include "DemoPhrase.h"
#include "OfflineRenderer.h"
#include "RenderCommand.h"
#include "ResponsePlot.h"

#include "support/ProcessorRig.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <sstream>

using namespace veltrano;
using namespace veltrano::render;

namespace
{
struct RenderFixture : ::testing::Test
{
    RenderFixture()
    {
        folder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                     .getChildFile(
                         "quarrion-render-test-" +
                         juce::String::toHexString(juce::Random::getSystemRandom().nextInt64()));
        folder.createDirectory();
    }
    ~RenderFixture() override { folder.deleteRecursively(); }

    int run(juce::StringArray args)
    {
        std::ostringstream out, err;
        const int status = runCommandLine(args, out, err, false);
        lastOut = out.str();
        lastErr = err.str();
        return status;
    }

    juce::File writeWav(const juce::String& name, const juce::AudioBuffer<float>& audio,
                        double rate)
    {
        auto file = folder.getChildFile(name);
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer(wav.createWriterFor(
            new juce::FileOutputStream(file), rate, (unsigned)audio.getNumChannels(), 32, {}, 0));
        writer->writeFromAudioSampleBuffer(audio, 0, audio.getNumSamples());
        return file;
    }

    juce::AudioBuffer<float> readWav(const juce::File& file, double* rate = nullptr)
    {
        juce::AudioFormatManager formats;
        formats.registerBasicFormats();
        std::unique_ptr<juce::AudioFormatReader> reader(formats.createReaderFor(file));
        juce::AudioBuffer<float> buffer;
        if (reader == nullptr)
            return buffer;
        buffer.setSize((int)reader->numChannels, (int)reader->lengthInSamples);
        reader->read(&buffer, 0, buffer.getNumSamples(), 0, true, true);
        if (rate != nullptr)
            *rate = reader->sampleRate;
        return buffer;
    }

    juce::File writePreset(const juce::String& name, const juce::String& attributes)
    {
        auto file = folder.getChildFile(name + ".vlp");
        file.replaceWithText(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Quarrion_Preset presetName=\"" + name +
            "\" " + attributes + "/>\r\n");
        return file;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    juce::File folder;
    std::string lastOut, lastErr;
};

juce::AudioBuffer<float> stereoPhrase(double rate, double seconds)
{
    auto phrase = makeDemoPhrase(rate);
    const int n = (int)(seconds * rate);
    juce::AudioBuffer<float> b(2, n);
    for (int i = 0; i < n; ++i)
    {
        b.setSample(0, i, phrase[(size_t)i]);
        b.setSample(1, i, 0.7f * phrase[(size_t)(i + 2000)]);
    }
    return b;
}
} // namespace

TEST_F(RenderFixture, RenderingAFileGivesWhatTheProcessorGivesBlockByBlock)
{
    const double rate = 44100.0;
    const auto input = stereoPhrase(rate, 2.0);
    const auto inFile = writeWav("in.wav", input, rate);
    const auto outFile = folder.getChildFile("out.wav");

    ASSERT_EQ(run({inFile.getFullPathName(), "-o", outFile.getFullPathName(), "--float", "--block",
                   "256", "--set", "GAIN=80", "--set", "MODS=Bright", "-q"}),
              0)
        << lastErr;
    double outRate = 0.0;
    const auto rendered = readWav(outFile, &outRate);
    EXPECT_EQ(outRate, rate);
    ASSERT_EQ(rendered.getNumChannels(), 2);
    ASSERT_EQ(rendered.getNumSamples(), input.getNumSamples());

    // The same processor driven directly, as a host would.
    test::ProcessorRig rig;
    rig.prepare(rate, 256);
    rig.set(gainIndex, 0.8f);
    rig.processor.setCircuitTypeIndex(1.0f);
    test::Channels channels(2);
    for (int c = 0; c < 2; ++c)
        channels[(size_t)c].assign(input.getReadPointer(c),
                                   input.getReadPointer(c) + input.getNumSamples());
    const auto expected = rig.run(channels, 256);
    for (int c = 0; c < 2; ++c)
        for (int n = 0; n < rendered.getNumSamples(); ++n)
            ASSERT_EQ(rendered.getSample(c, n), expected[(size_t)c][(size_t)n])
                << "channel " << c << " sample " << n;
}

TEST_F(RenderFixture, HqOutputIsAlignedWithTheInput)
{
    // With HQ on, the renderer removes the latency the plug-in reports, as a host does.
    // The untouched path (MIX 0) then lines up with the input exactly; the distorted signal
    // lines up with the HQ-off render within one sample (the oversampled circuit's own phase
    // differs slightly from the one at the host rate).
    const double rate = 48000.0;
    juce::AudioBuffer<float> input(1, (int)(rate * 2));
    const auto phrase = makeDemoPhrase(rate);
    input.copyFrom(0, 0, phrase.data(), input.getNumSamples());

    auto bestLag = [&](const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
    {
        int lagAtPeak = 0;
        double best = -1.0;
        for (int lag = -8; lag <= 8; ++lag)
        {
            // Correlating the first differences sharpens the peak of a bass-heavy signal.
            double sum = 0.0;
            for (int n = 2000; n < a.getNumSamples() - 2000; ++n)
                sum += (double)(a.getSample(0, n) - a.getSample(0, n - 1)) *
                       (b.getSample(0, n + lag) - b.getSample(0, n + lag - 1));
            if (sum > best)
            {
                best = sum;
                lagAtPeak = lag;
            }
        }
        return lagAtPeak;
    };
    auto setting = [](int index, float value)
    {
        ParameterSetting p;
        p.index = index;
        p.normalised = value;
        return p;
    };

    SoundSettings plain, hq, dryHq;
    hq.parameters = {setting(hqIndex, 1.0f)};
    dryHq.parameters = {setting(hqIndex, 1.0f), setting(mixIndex, 0.0f)};
    auto a = makeProcessor(1, rate, 512, plain);
    auto b = makeProcessor(1, rate, 512, hq);
    auto c = makeProcessor(1, rate, 512, dryHq);
    const auto outPlain = renderAligned(*a, input, 512);
    const auto outHq = renderAligned(*b, input, 512);
    const auto outDry = renderAligned(*c, input, 512);
    ASSERT_GT(b->getLatencySamples(), 0);

    EXPECT_EQ(bestLag(input, outDry), 0);
    EXPECT_LE(std::abs(bestLag(outPlain, outHq)), 1);
}

TEST_F(RenderFixture, ParametersApplyAfterThePreset)
{
    const double rate = 44100.0;
    const auto input = stereoPhrase(rate, 1.0);
    const auto inFile = writeWav("in.wav", input, rate);
    const auto low = writePreset("Low", "Gain=\"0.2\" Treble=\"0.9\"");
    writePreset("High", "Gain=\"0.7\" Treble=\"0.9\"");

    const auto overridden = folder.getChildFile("overridden.wav");
    const auto reference = folder.getChildFile("reference.wav");
    ASSERT_EQ(run({inFile.getFullPathName(), "-o", overridden.getFullPathName(), "--float",
                   "--preset", low.getFullPathName(), "--set", "gain=70", "-q"}),
              0)
        << lastErr;
    // The second preset is found by name in the preset folder.
    ASSERT_EQ(run({inFile.getFullPathName(), "-o", reference.getFullPathName(), "--float",
                   "--preset", "high", "--preset-folder", folder.getFullPathName(), "-q"}),
              0)
        << lastErr;
    const auto x = readWav(overridden), y = readWav(reference);
    ASSERT_EQ(x.getNumSamples(), y.getNumSamples());
    for (int n = 0; n < x.getNumSamples(); ++n)
        ASSERT_EQ(x.getSample(0, n), y.getSample(0, n));
}

TEST_F(RenderFixture, ErrorsExitWithStatusTwoAndLeaveNoOutput)
{
    const auto input = writeWav("in.wav", stereoPhrase(44100.0, 0.2), 44100.0);
    const auto garbage = folder.getChildFile("garbage.wav");
    garbage.replaceWithText("this is not audio");
    const auto badPreset = folder.getChildFile("bad.vlp");
    badPreset.replaceWithText("<SomethingElse/>");
    const auto out = folder.getChildFile("out.wav");
    const auto nowhere = folder.getChildFile("no/such/folder/out.wav");
    folder.getChildFile("taken.wav").createDirectory();

    struct Case
    {
        juce::StringArray args;
        const char* expectedWords;
        juce::File target;
    };
    const Case cases[] = {
        {{folder.getChildFile("missing.wav").getFullPathName(), "-o", out.getFullPathName()},
         "not found",
         out},
        {{garbage.getFullPathName(), "-o", out.getFullPathName()}, "cannot read", out},
        {{input.getFullPathName(), "-o", out.getFullPathName(), "--set", "FUZZ=3"},
         "unknown parameter",
         out},
        {{input.getFullPathName(), "-o", out.getFullPathName(), "--set", "GAIN=150"},
         "outside",
         out},
        {{input.getFullPathName(), "-o", out.getFullPathName(), "--set", "OGAIN=-30"},
         "outside",
         out},
        {{input.getFullPathName(), "-o", out.getFullPathName(), "--set", "GAIN=loud"},
         "not a number",
         out},
        {{input.getFullPathName(), "-o", out.getFullPathName(), "--set", "MODS=Fuzzy"},
         "unknown circuit",
         out},
        {{input.getFullPathName(), "-o", nowhere.getFullPathName()}, "cannot write", nowhere},
        {{input.getFullPathName(), "-o", folder.getChildFile("taken.wav").getFullPathName()},
         "cannot write",
         {}},
        {{input.getFullPathName(), "-o", out.getFullPathName(), "--preset", "Nope",
          "--preset-folder", folder.getFullPathName()},
         "no preset named",
         out},
        {{input.getFullPathName(), "-o", out.getFullPathName(), "--preset",
          badPreset.getFullPathName()},
         "not a Quarrion preset",
         out},
        {{input.getFullPathName()}, "no output file", out},
        {{input.getFullPathName(), "-o", out.getFullPathName(), "--block", "0"}, "block size", out},
        {{input.getFullPathName(), "-o", out.getFullPathName(), "--wobble"}, "unknown option", out},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.args.joinIntoString(" "));
        EXPECT_EQ(run(c.args), 2);
        EXPECT_NE(lastErr.find(c.expectedWords), std::string::npos) << lastErr;
        EXPECT_EQ(lastErr.find("quarrion-render: "), 0u);
        if (c.target != juce::File())
        {
            EXPECT_FALSE(c.target.exists());
        }
        EXPECT_EQ(folder.findChildFiles(juce::File::findFiles, true, "*.part").size(), 0);
    }
}

TEST_F(RenderFixture, DemoPhraseIsDeterministicAndAtDiLevel)
{
    const auto a = makeDemoPhrase(48000.0);
    const auto b = makeDemoPhrase(48000.0);
    EXPECT_EQ(a, b);
    EXPECT_NEAR(a.size() / 48000.0, 8.0, 0.01);

    double sum = 0.0;
    float peak = 0.0f;
    for (float v : a)
    {
        sum += (double)v * v;
        peak = std::max(peak, std::abs(v));
    }
    const double rmsDb = 10.0 * std::log10(sum / (double)a.size());
    EXPECT_NEAR(peak, 0.5f, 1e-4f);
    EXPECT_GT(rmsDb, -32.0);
    EXPECT_LT(rmsDb, -12.0);

    // No long silent gaps: every half second holds some playing.
    for (size_t start = 0; start + 24000 <= a.size(); start += 24000)
    {
        float localPeak = 0.0f;
        for (size_t n = start; n < start + 24000; ++n)
            localPeak = std::max(localPeak, std::abs(a[n]));
        EXPECT_GT(localPeak, 0.02f) << "at " << start / 48000.0 << " s";
    }
}

TEST_F(RenderFixture, DemoRenderAndPlot)
{
    const auto out = folder.getChildFile("demo.wav");
    const auto plot = folder.getChildFile("demo.png");
    ASSERT_EQ(
        run({"-o", out.getFullPathName(), "--plot", plot.getFullPathName(), "--set", "GAIN=60"}), 0)
        << lastErr;
    EXPECT_NE(lastOut.find("x real time"), std::string::npos) << lastOut;

    double rate = 0.0;
    const auto audio = readWav(out, &rate);
    EXPECT_EQ(rate, 48000.0);
    EXPECT_EQ(audio.getNumChannels(), 1);
    EXPECT_GT(audio.getMagnitude(0, audio.getNumSamples()), 0.05f);

    const auto image = juce::ImageFileFormat::loadFrom(plot);
    ASSERT_TRUE(image.isValid());
    EXPECT_EQ(image.getWidth(), plotWidth);
    EXPECT_EQ(image.getHeight(), plotHeight);
    juce::MemoryBlock bytes;
    plot.loadFileAsData(bytes);
    EXPECT_EQ(std::memcmp(bytes.getData(), "\x89PNG\r\n\x1a\n", 8), 0);
}

TEST_F(RenderFixture, ResponseShowsTheToneControls)
{
    // Treble up lifts the top end against treble down, measured through the whole chain.
    SoundSettings dark, bright;
    ParameterSetting t;
    t.index = trebleIndex;
    t.normalised = 0.0f;
    dark.parameters.push_back(t);
    t.normalised = 1.0f;
    bright.parameters.push_back(t);
    const auto d = measureResponse(44100.0, dark, 12);
    const auto b = measureResponse(44100.0, bright, 12);
    ASSERT_EQ(d.size(), b.size());
    size_t at5k = 0;
    for (size_t i = 0; i < b.size(); ++i)
        if (std::abs(std::log(b[i].frequency / 5000.0)) <
            std::abs(std::log(b[at5k].frequency / 5000.0)))
            at5k = i;
    const double lift5k = b[at5k].gainDb - d[at5k].gainDb;
    const double liftBass = b.front().gainDb - d.front().gainDb;
    EXPECT_GT(lift5k, liftBass + 3.0) << "at " << b[at5k].frequency << " Hz against 20 Hz";
}

TEST_F(RenderFixture, TheProgramExitsWithStatusTwo)
{
    juce::ChildProcess child;
    ASSERT_TRUE(child.start(juce::StringArray{QUARRION_RENDER_PATH, "--set", "NOPE=1", "-o",
                                              folder.getChildFile("x.wav").getFullPathName()}));
    const auto output = child.readAllProcessOutput();
    ASSERT_TRUE(child.waitForProcessToFinish(10000));
    EXPECT_EQ(child.getExitCode(), 2u);
    EXPECT_TRUE(output.contains("unknown parameter")) << output;
}
