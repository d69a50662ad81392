#include "processor/QuarrionAudioProcessor.h"

#include <gtest/gtest.h>

#include <random>

using namespace veltrano;

namespace
{
juce::uint32 fakeNow = 100000;
juce::uint32 fakeClock()
{
    return fakeNow;
}

struct StateFixture : ::testing::Test
{
    StateFixture() { processor.millisecondCounter = &fakeClock; }

    juce::MemoryBlock hostState(QuarrionAudioProcessor& p)
    {
        juce::MemoryBlock block;
        p.getStateInformation(block);
        return block;
    }

    std::array<float, numParameters> values(QuarrionAudioProcessor& p)
    {
        std::array<float, numParameters> v{};
        for (int i = 0; i < numParameters; ++i)
            v[(size_t)i] = p.parameter(i).getValue();
        return v;
    }

    // Applies a document as a preset load would, long after any host restore.
    void applyLater(const juce::String& xmlText)
    {
        fakeNow += 10000;
        auto xml = juce::parseXML(xmlText);
        ASSERT_NE(xml, nullptr);
        processor.readStateFromXml(*xml);
    }

    void setHostState(const juce::String& xmlText)
    {
        juce::MemoryBlock block;
        juce::AudioProcessor::copyXmlToBinary(*juce::parseXML(xmlText), block);
        processor.setStateInformation(block.getData(), (int)block.getSize());
    }

    juce::ScopedJuceInitialiser_GUI juce;
    QuarrionAudioProcessor processor;
};

const char* defaultText =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <Quarrion_Preset presetName=\"\" "
    "majorVersion=\"1\" "
    "minorVersion=\"0\" revisionVersion=\"0\" Power=\"1.0\" Gain=\"0.5\" Bass=\"0.5\" "
    "Contour=\"0.5\" Treble=\"0.5\" Volume=\"0.5\" InputGain=\"0.5\" OutputGain=\"0.5\" "
    "Mix=\"1.0\" HQ=\"0.0\" NoiseGate=\"0.0\" CircuitType=\"0\" newCurrentWidth=\"700\" "
    "newCurrentHeight=\"600\" isHQ=\"0.0\"/>";
} // namespace

TEST_F(StateFixture, DefaultHostStateBytes)
{
    const auto block = hostState(processor);
    const auto* bytes = static_cast<const juce::uint8*>(block.getData());
    const juce::String text(defaultText);
    const auto textLength = (size_t)text.getNumBytesAsUTF8();

    ASSERT_EQ(block.getSize(), 8 + textLength + 1);
    EXPECT_EQ(juce::ByteOrder::littleEndianInt(bytes), 0x21324356u);
    EXPECT_EQ(std::memcmp(bytes, "VC2!", 4), 0);
    EXPECT_EQ(juce::ByteOrder::littleEndianInt(bytes + 4), textLength);
    EXPECT_EQ(juce::String::fromUTF8((const char*)bytes + 8, (int)textLength), text);
    EXPECT_EQ(bytes[block.getSize() - 1], 0);
}

TEST_F(StateFixture, RoundTripIntoAFreshInstance)
{
    processor.presetName = "Crunch & \"Co\"";
    processor.savedEditorWidth = 910;
    processor.savedEditorHeight = 780;
    for (int i = 0; i < numParameters; ++i)
        if (i != circuitTypeIndex)
            processor.parameter(i).setValue(0.05f + 0.07f * (float)i);
    processor.parameter(hqIndex).setValue(1.0f);
    processor.setCircuitTypeIndex(2.0f);

    const auto block = hostState(processor);
    QuarrionAudioProcessor restored;
    restored.millisecondCounter = &fakeClock;
    restored.setStateInformation(block.getData(), (int)block.getSize());

    for (int i = 0; i < numParameters; ++i)
        EXPECT_FLOAT_EQ(restored.parameter(i).getValue(), processor.parameter(i).getValue())
            << restored.parameter(i).getName(64);
    EXPECT_EQ(restored.presetName, processor.presetName);
    EXPECT_EQ(restored.savedEditorWidth.load(), 910);
    EXPECT_EQ(restored.savedEditorHeight.load(), 780);
    EXPECT_EQ(restored.loadedMajorVersion, 1);
}

TEST_F(StateFixture, PresetDocumentLeavesOutEditorSizeAndHq)
{
    juce::XmlElement element(QuarrionAudioProcessor::stateTag);
    processor.isSavingPreset = true;
    processor.writeStateToXml(element);
    processor.isSavingPreset = false;

    EXPECT_TRUE(element.hasAttribute("HQ"));
    for (auto* name : {"newCurrentWidth", "newCurrentHeight", "isHQ"})
        EXPECT_FALSE(element.hasAttribute(name)) << name;
    EXPECT_EQ(element.getNumAttributes(), 16);
}

TEST_F(StateFixture, EditorSizeAndHqOnlyWithin200msOfAHostRestore)
{
    const char* doc = "<Quarrion_Preset newCurrentWidth=\"1000\" newCurrentHeight=\"900\" "
                      "isHQ=\"1.0\" Gain=\"0.8\"/>";

    // A document applied long after the last host restore: a preset load.
    applyLater(doc);
    EXPECT_EQ(processor.savedEditorWidth.load(), 700);
    EXPECT_FLOAT_EQ(processor.parameter(hqIndex).getValue(), 0.0f);
    EXPECT_FLOAT_EQ(processor.parameter(gainIndex).getValue(), 0.8f);

    // 199 ms after setStateInformation still counts as the host restore, 200 ms does not.
    setHostState("<Other/>");
    fakeNow += 199;
    processor.readStateFromXml(*juce::parseXML(doc));
    EXPECT_EQ(processor.savedEditorWidth.load(), 1000);
    EXPECT_EQ(processor.savedEditorHeight.load(), 900);
    EXPECT_FLOAT_EQ(processor.parameter(hqIndex).getValue(), 1.0f);

    setHostState("<Other/>");
    fakeNow += 200;
    processor.readStateFromXml(
        *juce::parseXML("<Quarrion_Preset newCurrentWidth=\"800\" isHQ=\"0.0\"/>"));
    EXPECT_EQ(processor.savedEditorWidth.load(), 1000);
    EXPECT_FLOAT_EQ(processor.parameter(hqIndex).getValue(), 1.0f);
}

TEST_F(StateFixture, HostRestoreEdgeCases)
{
    processor.savedEditorWidth = 750;
    setHostState("<Quarrion_Preset newCurrentWidth=\"0\" newCurrentHeight=\"-5\" HQ=\"1.0\"/>");
    EXPECT_EQ(processor.savedEditorWidth.load(), 750) << "width 0 keeps the current width";
    EXPECT_EQ(processor.savedEditorHeight.load(), 600);
    EXPECT_FLOAT_EQ(processor.parameter(hqIndex).getValue(), 0.0f)
        << "only isHQ is read; missing means off";

    processor.parameter(hqIndex).setValue(1.0f);
    setHostState("<Quarrion_Preset/>");
    EXPECT_FLOAT_EQ(processor.parameter(hqIndex).getValue(), 0.0f);
}

TEST_F(StateFixture, MissingAttributesReturnToDefaultsUnlessLocked)
{
    processor.parameter(gainIndex).setValue(0.9f);
    processor.parameter(bassIndex).setValue(0.9f);
    processor.lockFlags[bassIndex] = 1;

    applyLater("<Quarrion_Preset Treble=\"0.25\"/>");
    EXPECT_FLOAT_EQ(processor.parameter(gainIndex).getValue(), 0.5f);
    EXPECT_FLOAT_EQ(processor.parameter(bassIndex).getValue(), 0.9f);
    EXPECT_FLOAT_EQ(processor.parameter(trebleIndex).getValue(), 0.25f);
    EXPECT_FLOAT_EQ(processor.parameter(mixIndex).getValue(), 1.0f);
    EXPECT_TRUE(processor.presetName.isEmpty());
}

TEST_F(StateFixture, CircuitTypeIsAnIntegerAndNamesAreMatchedExactly)
{
    struct Case
    {
        const char* doc;
        float circuit; // real units
        float gain;
    };
    const Case cases[] = {
        {"<Quarrion_Preset CircuitType=\"2\"/>", 2.0f, 0.5f},
        {"<Quarrion_Preset CircuitType=\"1.9\" Gain=\"0.2\"/>", 1.0f, 0.2f},
        {"<Quarrion_Preset CircuitType=\"x\"/>", 0.0f, 0.5f},
        {"<quarrion_preset CircuitType=\"2\" Gain=\"0.3\"/>", 2.0f, 0.3f},
        {"<Quarrion_Preset gain=\"0.3\" CIRCUITTYPE=\"2\"/>", 0.0f, 0.5f},
        {"<Quarrion_Preset Gain=\"loud\"/>", 0.0f, 0.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.doc);
        processor.lockFlags[circuitTypeIndex] = 1; // not consulted for the circuit type
        applyLater(c.doc);
        EXPECT_FLOAT_EQ(processor.parameter(circuitTypeIndex).getRealValue(), c.circuit);
        EXPECT_FLOAT_EQ(processor.parameter(gainIndex).getValue(), c.gain);
    }
}

TEST_F(StateFixture, AnotherTagChangesNothing)
{
    processor.parameter(gainIndex).setValue(0.9f);
    processor.presetName = "Kept";
    applyLater("<SomethingElse Gain=\"0.1\" presetName=\"No\"/>");
    EXPECT_FLOAT_EQ(processor.parameter(gainIndex).getValue(), 0.9f);
    EXPECT_EQ(processor.presetName, "Kept");
    EXPECT_TRUE(processor.isStateLoadedBeforePrepare()) << "set by every document before prepare";
}

TEST_F(StateFixture, MalformedHostStateLeavesStateAlone)
{
    processor.parameter(gainIndex).setValue(0.9f);
    processor.presetName = "Kept";
    const auto before = values(processor);

    auto valid = hostState(processor);
    std::vector<std::vector<char>> inputs;
    auto bytesOf = [](const juce::MemoryBlock& b)
    {
        return std::vector<char>((const char*)b.getData(), (const char*)b.getData() + b.getSize());
    };
    // Each input carries Gain 0.1 somewhere, so applying any of them would show.
    QuarrionAudioProcessor other;
    other.parameter(gainIndex).setValue(0.1f);
    const auto good = bytesOf(hostState(other));

    auto wrongMagic = good;
    wrongMagic[0] = 'X';
    inputs.push_back(wrongMagic);
    inputs.push_back(std::vector<char>(good.begin(), good.begin() + 8));
    inputs.push_back(std::vector<char>(good.begin(), good.begin() + 3));
    auto zeroLength = good;
    std::memset(zeroLength.data() + 4, 0, 4);
    inputs.push_back(zeroLength);
    auto hugeLength = good;
    std::memset(hugeLength.data() + 4, 0x7f, 4);
    hugeLength.resize(good.size() / 2); // the stored length runs past the data
    inputs.push_back(hugeLength);
    auto negativeLength = good;
    std::memset(negativeLength.data() + 4, 0xff, 4);
    inputs.push_back(negativeLength);
    auto notXml = good;
    std::memcpy(notXml.data() + 8, "not xml at all <<<", 18);
    inputs.push_back(notXml);
    inputs.push_back({});

    std::mt19937 random(1234);
    for (int i = 0; i < 50; ++i)
    {
        std::vector<char> noise((size_t)(random() % 400));
        for (auto& b : noise)
            b = (char)random();
        if (i % 2 == 0 && noise.size() > 8)
            std::memcpy(noise.data(), "VC2!", 4);
        inputs.push_back(noise);
    }

    for (size_t i = 0; i < inputs.size(); ++i)
    {
        const auto& input = inputs[i];
        SCOPED_TRACE(i);
        processor.setStateInformation(input.data(), (int)input.size());
        EXPECT_EQ(values(processor), before);
        EXPECT_EQ(processor.presetName, "Kept");
    }
    processor.setStateInformation(nullptr, 100);
    EXPECT_EQ(values(processor), before);
}

TEST_F(StateFixture, TruncatedTextIsIgnored)
{
    // A length field shorter than the text cuts the document: the cut text is no XML element.
    QuarrionAudioProcessor other;
    other.parameter(gainIndex).setValue(0.1f);
    auto block = hostState(other);
    auto* bytes = static_cast<char*>(block.getData());
    const auto length = juce::ByteOrder::littleEndianInt(bytes + 4);
    const juce::uint32 cut = length - 20;
    std::memcpy(bytes + 4, &cut, 4);
    processor.setStateInformation(block.getData(), (int)block.getSize());
    EXPECT_FLOAT_EQ(processor.parameter(gainIndex).getValue(), 0.5f);
}

TEST_F(StateFixture, DocumentValuesAreLimitedToTheirRange)
{
    applyLater("<Quarrion_Preset Gain=\"1e300\" Bass=\"1e400\" Mix=\"-3\" Treble=\"0.25\" "
               "CircuitType=\"99\"/>");
    EXPECT_FLOAT_EQ(processor.parameter(gainIndex).getValue(), 1.0f);
    EXPECT_FLOAT_EQ(processor.parameter(bassIndex).getValue(), 0.5f) << "infinite reads as missing";
    EXPECT_FLOAT_EQ(processor.parameter(mixIndex).getValue(), 0.0f);
    EXPECT_FLOAT_EQ(processor.parameter(trebleIndex).getValue(), 0.25f);
    EXPECT_FLOAT_EQ(processor.parameter(circuitTypeIndex).getRealValue(), 23.0f);

    applyLater("<Quarrion_Preset CircuitType=\"-4\"/>");
    EXPECT_FLOAT_EQ(processor.parameter(circuitTypeIndex).getRealValue(), 0.0f);
}

TEST_F(StateFixture, OnlyCompleteDocumentsParse)
{
    const juce::String complete =
        "<?xml version=\"1.0\"?>\r\n<Quarrion_Preset Gain=\"0.3\" Bass=\"0.2\"/>\r\n";
    ASSERT_NE(QuarrionAudioProcessor::parseStateDocument(complete), nullptr);
    // Cut off part-way, as a damaged file or chunk would be: JUCE's lenient parse would return
    // the attributes read so far, and applying them would reset the rest.
    for (int cut : {60, 50, 45})
        EXPECT_EQ(QuarrionAudioProcessor::parseStateDocument(complete.substring(0, cut)), nullptr)
            << complete.substring(0, cut);
    EXPECT_EQ(QuarrionAudioProcessor::parseStateDocument("<Quarrion_Preset><Child/>"), nullptr);
    EXPECT_NE(
        QuarrionAudioProcessor::parseStateDocument("<Quarrion_Preset><Child/></Quarrion_Preset>"),
        nullptr);
    EXPECT_EQ(QuarrionAudioProcessor::parseStateDocument(""), nullptr);
    EXPECT_EQ(QuarrionAudioProcessor::parseStateDocument("not xml"), nullptr);
}
