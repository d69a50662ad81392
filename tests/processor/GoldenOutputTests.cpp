// Golden-output regression: a deterministic guitar-like phrase through every circuit variant,
// HQ off and on, mono and stereo, compared with stored output.
//
// The files hold every 4th output sample of the first 1.5 s as 16-bit values (full scale 1.0).
// Tolerance: 2e-4 absolute per stored sample, a few 16-bit steps; a change of the sound moves
// far more than that.
//
// To re-record on purpose after an intended change of the sound:
//     QUARRION_RECORD_GOLDEN=1 ctest --test-dir build -R Golden
// then review and commit tests/golden/. A missing file is a failure, never a silent re-record.

#include "support/ProcessorRig.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace veltrano;
using namespace veltrano::test;

namespace
{
constexpr double rate = 44100.0;
constexpr int stride = 4;
constexpr float tolerance = 2.0e-4f;

struct GoldenCase
{
    int circuit;
    bool hq;
    int channels;

    std::string fileName() const
    {
        return "circuit" + std::to_string(circuit) + (hq ? "_hq" : "") +
               (channels == 1 ? "_mono" : "_stereo") + ".bin";
    }
};

std::vector<GoldenCase> allCases()
{
    std::vector<GoldenCase> cases;
    for (int circuit : {0, 1, 2})
        for (bool hq : {false, true})
            for (int channels : {1, 2})
                cases.push_back({circuit, hq, channels});
    return cases;
}

juce::File goldenFolder()
{
    return juce::File(QUARRION_GOLDEN_DIR);
}

Channels render(const GoldenCase& c)
{
    ProcessorRig rig(c.channels);
    rig.prepare(rate, 512);
    rig.set(gainIndex, 0.7f);
    rig.set(bassIndex, 0.6f);
    rig.set(contourIndex, 0.4f);
    rig.set(trebleIndex, 0.55f);
    rig.set(volumeIndex, 0.5f);
    rig.set(hqIndex, c.hq ? 1.0f : 0.0f);
    rig.processor.setCircuitTypeIndex((float)c.circuit);

    Channels input;
    for (int ch = 0; ch < c.channels; ++ch)
        input.push_back(guitarLikeSignal(rate, 1.5, (uint32_t)ch + 1));
    return rig.run(input, 512);
}

std::vector<juce::int16> quantise(const Channels& out)
{
    std::vector<juce::int16> stored;
    for (size_t n = 0; n < out[0].size(); n += stride)
        for (const auto& ch : out)
        {
            const auto v =
                (juce::int16)juce::jlimit(-32767, 32767, juce::roundToInt(ch[n] * 32767.0f));
            stored.push_back((juce::int16)juce::ByteOrder::swapIfBigEndian((juce::uint16)v));
        }
    return stored;
}
} // namespace

class GoldenOutput : public ::testing::TestWithParam<GoldenCase>
{
};

TEST_P(GoldenOutput, MatchesTheRecordedSound)
{
    const auto c = GetParam();
    const auto out = render(c);
    const auto file = goldenFolder().getChildFile(c.fileName());

    const char* record = std::getenv("QUARRION_RECORD_GOLDEN");
    if (record != nullptr && std::string(record) == "1")
    {
        const auto stored = quantise(out);
        file.deleteFile();
        ASSERT_TRUE(file.replaceWithData(stored.data(), stored.size() * sizeof(juce::int16)));
        GTEST_SKIP() << "recorded " << file.getFullPathName();
    }

    ASSERT_TRUE(file.existsAsFile()) << "missing golden file " << file.getFullPathName();
    juce::MemoryBlock data;
    ASSERT_TRUE(file.loadFileAsData(data));
    const auto* recorded = static_cast<const char*>(data.getData());
    const size_t frames = (out[0].size() + stride - 1) / stride;
    ASSERT_EQ(data.getSize(), frames * out.size() * sizeof(juce::int16));

    float worst = 0.0f, peak = 0.0f;
    size_t index = 0;
    for (size_t n = 0; n < out[0].size(); n += stride)
        for (const auto& ch : out)
        {
            const auto value =
                (juce::int16)juce::ByteOrder::littleEndianShort(recorded + 2 * index++);
            const float expected = (float)value / 32767.0f;
            worst = std::max(worst, std::abs(ch[n] - expected));
            peak = std::max(peak, std::abs(ch[n]));
        }
    EXPECT_LT(worst, tolerance);
    EXPECT_GT(peak, 0.05f) << "the phrase must come out at a usable level";
}

INSTANTIATE_TEST_SUITE_P(AllVariants, GoldenOutput, ::testing::ValuesIn(allCases()),
                         [](const auto& info)
                         {
                             auto name = info.param.fileName();
                             return name.substr(0, name.size() - 4);
                         });
