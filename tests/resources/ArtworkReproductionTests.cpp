#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

namespace
{

// The generator draws with JUCE's software renderer and a fixed-seed hash, so a rerun on the
// same platform gives the same pixels; a channel may still differ by this much between
// compilers' floating-point contraction.
constexpr int channelTolerance = 2;

class ArtworkGenerator : public ::testing::Test
{
protected:
    void SetUp() override
    {
        out = juce::File::getSpecialLocation(juce::File::tempDirectory)
                  .getNonexistentChildFile("quarrion-artwork", "");
        ASSERT_TRUE(out.createDirectory());
    }

    void TearDown() override { out.deleteRecursively(); }

    int run(const juce::StringArray& args)
    {
        juce::ChildProcess process;
        juce::StringArray command{QUARRION_ARTWORK_TOOL};
        command.addArray(args);
        if (!process.start(command, juce::ChildProcess::wantStdErr))
            return -1;
        process.readAllProcessOutput();
        if (!process.waitForProcessToFinish(120000))
            return -2;
        return (int)process.getExitCode();
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::File source{QUARRION_SOURCE_DIR};
    juce::File out;
};

// Largest channel difference between two images of the same size, -1 if the sizes differ.
int largestDifference(const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return -1;
    int largest = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt(x, y), q = b.getPixelAt(x, y);
            // Fully transparent pixels carry no colour.
            if (p.getAlpha() == 0 && q.getAlpha() == 0)
                continue;
            largest = std::max(
                {largest, std::abs(p.getAlpha() - q.getAlpha()), std::abs(p.getRed() - q.getRed()),
                 std::abs(p.getGreen() - q.getGreen()), std::abs(p.getBlue() - q.getBlue())});
        }
    return largest;
}

TEST_F(ArtworkGenerator, ReproducesTheCommittedArtwork)
{
    ASSERT_EQ(run({"--root", source.getFullPathName(), "--out", out.getFullPathName()}), 0);

    const auto committed = source.getChildFile("source/resources/images");
    const auto generated = out.getChildFile("images");

    for (auto name : {"background.png", "pedal_body.png", "knob_strip.png", "led_strip.png",
                      "footswitch_up.png", "footswitch_down.png", "about_logo.png"})
    {
        SCOPED_TRACE(name);
        const auto expected = juce::ImageFileFormat::loadFrom(committed.getChildFile(name));
        const auto actual = juce::ImageFileFormat::loadFrom(generated.getChildFile(name));
        ASSERT_TRUE(expected.isValid());
        ASSERT_TRUE(actual.isValid());
        const auto difference = largestDifference(expected, actual);
        EXPECT_GE(difference, 0) << "size differs";
        EXPECT_LE(difference, channelTolerance);
    }

    EXPECT_EQ(generated.getChildFile("veltrano_logo.svg").loadFileAsString(),
              committed.getChildFile("veltrano_logo.svg").loadFileAsString());
}

TEST_F(ArtworkGenerator, RefusesIncompleteOrRelativeArguments)
{
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"--root", source.getFullPathName()}), 2);
    EXPECT_EQ(run({"--root", "relative/path", "--out", out.getFullPathName()}), 2);
    // A root without the fonts cannot draw the legends.
    EXPECT_EQ(run({"--root", out.getFullPathName(), "--out", out.getFullPathName()}), 1);
    EXPECT_FALSE(out.getChildFile("images").exists());
}

} // namespace
