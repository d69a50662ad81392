// Loads the built plug-in binaries with JUCE's own hosting, the way a DAW does, and checks what
// the host sees.

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

#include <cmath>

namespace
{
juce::File vst3Bundle()
{
    return juce::File(QUARRION_VST3_PATH);
}

juce::File lv2Bundle()
{
    return juce::File(QUARRION_LV2_PATH);
}

struct LoadedPlugin
{
    std::unique_ptr<juce::PluginDescription> description;
    std::unique_ptr<juce::AudioPluginInstance> instance;
};

LoadedPlugin load(juce::AudioPluginFormat& format, const juce::String& identifier)
{
    LoadedPlugin loaded;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile(found, identifier);
    if (found.size() != 1)
        return loaded;
    loaded.description = std::make_unique<juce::PluginDescription>(*found[0]);
    juce::String error;
    loaded.instance = format.createInstanceFromDescription(*found[0], 44100.0, 512, error);
    return loaded;
}

juce::AudioProcessorParameter* findParameter(juce::AudioPluginInstance& plugin,
                                             const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName(64) == name)
            return p;
    return nullptr;
}

// Lets the plug-in's asynchronous notifications (such as a latency change) reach the host.
void dispatchMessages()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(100);
}

// One stereo block through the instance; returns the output.
juce::AudioBuffer<float> process(juce::AudioPluginInstance& plugin,
                                 const juce::AudioBuffer<float>& in)
{
    juce::AudioBuffer<float> buffer(in);
    juce::MidiBuffer midi;
    plugin.processBlock(buffer, midi);
    return buffer;
}

struct HostFixture : ::testing::Test
{
    juce::ScopedJuceInitialiser_GUI juce;
};
} // namespace

TEST_F(HostFixture, Vst3DescriptionAndParametersAsADawSeesThem)
{
    ASSERT_TRUE(vst3Bundle().isDirectory()) << vst3Bundle().getFullPathName();
    juce::VST3PluginFormat format;
    auto plugin = load(format, vst3Bundle().getFullPathName());
    ASSERT_NE(plugin.instance, nullptr);

    const auto& d = *plugin.description;
    EXPECT_EQ(d.name, "Quarrion");
    EXPECT_EQ(d.manufacturerName, "Veltrano");
    EXPECT_EQ(d.category, "Fx|Distortion");
    EXPECT_EQ(d.version, "1.0.1");
    EXPECT_FALSE(d.isInstrument);
    EXPECT_EQ(d.numInputChannels, 2);
    EXPECT_EQ(d.numOutputChannels, 2);

    auto& p = *plugin.instance;
    EXPECT_FALSE(p.acceptsMidi());
    EXPECT_FALSE(p.producesMidi());
    EXPECT_EQ(p.getTailLengthSeconds(), 0.0);

    const auto& params = p.getParameters();
    ASSERT_EQ(params.size(), 13);
    const char* names[] = {"Power",  "Gain",   "Bass",       "Contour",
                           "Treble", "Volume", "Input Gain", "Output Gain",
                           "Mix",    "HQ",     "Noise Gate", "Circuit Type"};
    for (int i = 0; i < 12; ++i)
    {
        EXPECT_EQ(params[i]->getName(64), names[i]);
        EXPECT_TRUE(params[i]->isAutomatable());
        EXPECT_TRUE(params[i]->getLabel().isEmpty());
    }
    EXPECT_EQ(params[12]->getName(64), "Bypass");
    EXPECT_EQ(p.getBypassParameter(), params[12]);

    EXPECT_EQ(params[1]->getText(0.5f, 32), "50.0 %");
    EXPECT_EQ(params[7]->getText(0.375f, 32), "-6.0 dB");
    EXPECT_EQ(params[0]->getText(1.0f, 32), "On");
    EXPECT_EQ(params[9]->getText(0.0f, 32), "Off");
}

TEST_F(HostFixture, Vst3StateSavedByTheHostRestoresIntoAFreshInstance)
{
    juce::VST3PluginFormat format;
    auto a = load(format, vst3Bundle().getFullPathName());
    auto b = load(format, vst3Bundle().getFullPathName());
    ASSERT_NE(a.instance, nullptr);
    ASSERT_NE(b.instance, nullptr);

    const float values[] = {1.0f, 0.8f, 0.3f, 0.6f, 0.7f, 0.4f, 0.55f, 0.45f, 0.9f, 0.0f, 0.2f};
    for (int i = 0; i < 11; ++i)
        a.instance->getParameters()[i]->setValueNotifyingHost(values[i]);
    findParameter(*a.instance, "Circuit Type")->setValueNotifyingHost(1.0f / 23.0f);

    juce::MemoryBlock state;
    a.instance->getStateInformation(state);
    ASSERT_GT(state.getSize(), 160u) << "bank header plus document";
    b.instance->setStateInformation(state.getData(), (int)state.getSize());

    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR(b.instance->getParameters()[i]->getValue(),
                    a.instance->getParameters()[i]->getValue(), 1e-6)
            << a.instance->getParameters()[i]->getName(64);
}

TEST_F(HostFixture, Vst3LatencyFollowsHqAndBypassIsUndelayed)
{
    juce::VST3PluginFormat format;
    auto plugin = load(format, vst3Bundle().getFullPathName());
    ASSERT_NE(plugin.instance, nullptr);
    auto& p = *plugin.instance;
    p.prepareToPlay(44100.0, 512);

    juce::AudioBuffer<float> in(2, 512);
    for (int c = 0; c < 2; ++c)
        for (int n = 0; n < 512; ++n)
            in.setSample(c, n, 0.5f * std::sin(0.05f * (float)n));

    process(p, in);
    EXPECT_EQ(p.getLatencySamples(), 0);

    findParameter(p, "HQ")->setValueNotifyingHost(1.0f);
    process(p, in);
    dispatchMessages();
    EXPECT_GT(p.getLatencySamples(), 0) << "reported at the next block after HQ is switched on";

    p.getBypassParameter()->setValueNotifyingHost(1.0f);
    const auto out = process(p, in);
    for (int c = 0; c < 2; ++c)
        for (int n = 0; n < 512; ++n)
            ASSERT_FLOAT_EQ(out.getSample(c, n), in.getSample(c, n));
    p.getBypassParameter()->setValueNotifyingHost(0.0f);

    findParameter(p, "HQ")->setValueNotifyingHost(0.0f);
    process(p, in);
    dispatchMessages();
    EXPECT_EQ(p.getLatencySamples(), 0);
    p.releaseResources();
}

TEST_F(HostFixture, Vst3BusArrangements)
{
    juce::VST3PluginFormat format;
    auto plugin = load(format, vst3Bundle().getFullPathName());
    ASSERT_NE(plugin.instance, nullptr);
    auto& p = *plugin.instance;

    auto layout = [](juce::AudioChannelSet in, juce::AudioChannelSet out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add(in);
        l.outputBuses.add(out);
        return l;
    };
    using Set = juce::AudioChannelSet;
    EXPECT_TRUE(p.checkBusesLayoutSupported(layout(Set::stereo(), Set::stereo())));
    EXPECT_TRUE(p.checkBusesLayoutSupported(layout(Set::mono(), Set::mono())));
    EXPECT_FALSE(p.checkBusesLayoutSupported(layout(Set::mono(), Set::stereo())));
    EXPECT_FALSE(p.checkBusesLayoutSupported(layout(Set::stereo(), Set::mono())));
    EXPECT_FALSE(p.checkBusesLayoutSupported(layout(Set::create5point1(), Set::create5point1())));

    // A mono instance processes and stays finite.
    ASSERT_TRUE(p.setBusesLayout(layout(Set::mono(), Set::mono())));
    p.prepareToPlay(48000.0, 128);
    juce::AudioBuffer<float> buffer(1, 128);
    juce::MidiBuffer midi;
    for (int i = 0; i < 50; ++i)
    {
        for (int n = 0; n < 128; ++n)
            buffer.setSample(0, n, 0.4f * std::sin(0.07f * (float)(i * 128 + n)));
        p.processBlock(buffer, midi);
    }
    EXPECT_GT(buffer.getMagnitude(0, 0, 128), 0.0f);
    for (int n = 0; n < 128; ++n)
        ASSERT_TRUE(std::isfinite(buffer.getSample(0, n)));
    p.releaseResources();
}

TEST_F(HostFixture, Vst3SurvivesRatesBlockSizesAndRandomInput)
{
    // What a plug-in validator does: repeated activation at every common rate and block size,
    // with silence and random input and random automation; the output must stay finite and
    // free of subnormal numbers.
    juce::VST3PluginFormat format;
    auto plugin = load(format, vst3Bundle().getFullPathName());
    ASSERT_NE(plugin.instance, nullptr);
    auto& p = *plugin.instance;
    juce::Random random(42);

    for (double rate : {44100.0, 48000.0, 88200.0, 96000.0, 192000.0})
        for (int block : {1, 64, 511, 4096})
            for (float hq : {0.0f, 1.0f})
            {
                SCOPED_TRACE(testing::Message() << rate << " Hz, " << block << ", hq " << hq);
                p.setRateAndBufferSizeDetails(rate, block);
                p.prepareToPlay(rate, block);
                findParameter(p, "HQ")->setValueNotifyingHost(hq);
                juce::AudioBuffer<float> buffer(2, block);
                juce::MidiBuffer midi;
                const int blocks = juce::jmax(4, 8192 / block);
                for (int i = 0; i < blocks; ++i)
                {
                    for (int c = 0; c < 2; ++c)
                        for (int n = 0; n < block; ++n)
                            buffer.setSample(c, n,
                                             i % 3 == 0 ? 0.0f : random.nextFloat() * 2.0f - 1.0f);
                    if (i % 5 == 0)
                        p.getParameters()[random.nextInt(9)]->setValueNotifyingHost(
                            random.nextFloat());
                    p.processBlock(buffer, midi);
                    for (int c = 0; c < 2; ++c)
                        for (int n = 0; n < block; ++n)
                        {
                            const float v = buffer.getSample(c, n);
                            ASSERT_TRUE(std::isfinite(v));
                            ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL);
                        }
                }
                p.releaseResources();
            }
}

TEST_F(HostFixture, Lv2LoadsWithTheSameParametersAndState)
{
    ASSERT_TRUE(lv2Bundle().isDirectory()) << lv2Bundle().getFullPathName();
    juce::LV2PluginFormat format;
    // LV2 plug-ins are found by URI among the bundles of a search path.
    const auto uris = format.searchPathsForPlugins(
        juce::FileSearchPath(lv2Bundle().getParentDirectory().getFullPathName()), false);
    ASSERT_EQ(uris, juce::StringArray("https://www.veltrano.example/plugins/quarrion"));
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile(found, uris[0]);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0]->name, "Quarrion");
    EXPECT_EQ(found[0]->manufacturerName, "Veltrano");

    juce::String error;
    auto a = format.createInstanceFromDescription(*found[0], 48000.0, 256, error);
    auto b = format.createInstanceFromDescription(*found[0], 48000.0, 256, error);
    ASSERT_NE(a, nullptr) << error;
    ASSERT_NE(b, nullptr) << error;
    EXPECT_NE(findParameter(*a, "Gain"), nullptr);
    EXPECT_NE(findParameter(*a, "Circuit Type"), nullptr);

    // LV2 parameters are control ports: the plug-in takes a new value at its next run.
    auto runSilence = [](juce::AudioPluginInstance& plugin)
    {
        plugin.prepareToPlay(48000.0, 256);
        juce::AudioBuffer<float> silence(2, 256);
        juce::MidiBuffer none;
        for (int i = 0; i < 4; ++i)
        {
            silence.clear();
            plugin.processBlock(silence, none);
        }
        dispatchMessages();
        plugin.releaseResources();
    };
    findParameter(*a, "Gain")->setValueNotifyingHost(0.85f);
    runSilence(*a);
    juce::MemoryBlock state;
    a->getStateInformation(state);
    b->setStateInformation(state.getData(), (int)state.getSize());
    runSilence(*b);
    EXPECT_NEAR(findParameter(*b, "Gain")->getValue(), 0.85f, 1e-6);

    a->prepareToPlay(48000.0, 256);
    juce::AudioBuffer<float> buffer(2, 256);
    for (int n = 0; n < 256; ++n)
        buffer.setSample(0, n, 0.3f * std::sin(0.1f * (float)n));
    buffer.copyFrom(1, 0, buffer, 0, 0, 256);
    juce::MidiBuffer midi;
    for (int i = 0; i < 20; ++i)
        a->processBlock(buffer, midi);
    for (int n = 0; n < 256; ++n)
        ASSERT_TRUE(std::isfinite(buffer.getSample(0, n)));
    EXPECT_EQ(a->getLatencySamples(), 0);

    // The latency follows HQ here too; an LV2 host reads it from the plug-in's latency port.
    findParameter(*a, "HQ")->setValueNotifyingHost(1.0f);
    for (int i = 0; i < 4; ++i)
        a->processBlock(buffer, midi);
    dispatchMessages();
    EXPECT_GT(a->getLatencySamples(), 0);
    a->releaseResources();
}
