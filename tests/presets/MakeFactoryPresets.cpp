// Writes the factory preset bank through the program's own save path, and measures each sound
// with a guitar-like input so that levels and tone can be checked while designing them.
//
//   quarrion_make_factory_presets measure
//   quarrion_make_factory_presets write <presets folder>   (the repository's presets/)

#include "../support/TestSignals.h"
#include "processor/QuarrionAudioProcessor.h"

#include <juce_dsp/juce_dsp.h>
#include <juce_events/juce_events.h>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace veltrano;

namespace
{
// Knob positions in sixteenths, so that every stored value is exact in the file.
struct FactoryPreset
{
    const char* folder;
    const char* name;
    int gain, bass, contour, treble, volume; // 0..16
    int inputGainDb, outputGainDb;           // multiples of 3 dB
    int mix, gate;                           // 0..16
    int circuit;                             // 0 Default, 1 Bright, 2 Sharp
};

// clang-format off
const FactoryPreset bank[] = {
    // folder    name                      G   B   C   T   V   IG  OG  MIX GATE CIRCUIT
    {"Factory", "00 - INIT",               8,  8,  8,  8,  8,   0,  0, 16,  0, 0},
    {"Clean",   "Clean Boost",             1,  8,  9,  9, 11,   0,  0, 16,  0, 1},
    {"Clean",   "Bright Jangle Edge",      3,  6, 10, 12,  9,   0,  0, 16,  0, 1},
    {"Clean",   "Parallel Grit",          11,  8,  8,  9,  8,   0,  0,  6,  0, 0},
    {"Rhythm",  "Crunchy Chords",          6,  8, 10,  9,  8,   0,  0, 16,  0, 0},
    {"Rhythm",  "Tight Rhythm Chug",      12,  6,  5, 10,  8,   0,  0, 16,  5, 0},
    {"Rhythm",  "Scooped Thrash",         14, 11,  2, 12,  8,   3,  0, 16,  7, 2},
    {"Rhythm",  "Bass Grind",              9, 13,  8,  7,  8,   0,  0, 10,  0, 0},
    {"Lead",    "Singing Lead",           13,  7, 12,  9,  8,   0,  0, 16,  3, 0},
    {"Lead",    "Cutting Solo",           12,  5, 11, 13,  8,   0,  0, 16,  3, 2},
    {"Lead",    "Smooth Neck Lead",       11,  9, 10,  4,  8,   0,  0, 16,  2, 0},
    {"Texture", "Dark Stoner Fuzz",       15, 14, 11,  3,  8,   6,  0, 16,  4, 0},
    {"Texture", "Wall Of Fuzz",           16, 10,  8, 10,  8,  12,  0, 16,  8, 2},
    {"Texture", "Lo-Fi Telephone",        10,  0, 16,  3,  8,   0,  9, 16,  0, 1},
};
// clang-format on

void apply(QuarrionAudioProcessor& processor, const FactoryPreset& preset)
{
    auto set = [&](int index, float normalised)
    {
        processor.parameter(index).setValue(normalised);
        processor.parameter(index).sendValueChangedMessageToListeners(normalised);
    };
    set(powerIndex, 1.0f);
    set(gainIndex, preset.gain / 16.0f);
    set(bassIndex, preset.bass / 16.0f);
    set(contourIndex, preset.contour / 16.0f);
    set(trebleIndex, preset.treble / 16.0f);
    set(volumeIndex, preset.volume / 16.0f);
    set(inputGainIndex, (preset.inputGainDb + 24) / 48.0f);
    set(outputGainIndex, (preset.outputGainDb + 24) / 48.0f);
    set(mixIndex, preset.mix / 16.0f);
    set(hqIndex, 0.0f);
    set(gateIndex, preset.gate / 16.0f);
    processor.setCircuitTypeIndex(static_cast<float>(preset.circuit));
    processor.presetName = preset.name;
}

double dB(double x)
{
    return 20.0 * std::log10(std::max(x, 1e-9));
}

void measure(const FactoryPreset& preset, const std::vector<float>& input, const char* label)
{
    const double rate = 48000.0;

    QuarrionAudioProcessor processor;
    apply(processor, preset);
    processor.prepareToPlay(rate, 512);
    apply(processor, preset); // the first prepare restores defaults when no state was applied

    std::vector<float> output(input.size());
    juce::AudioBuffer<float> buffer(2, 512);
    juce::MidiBuffer midi;
    for (size_t start = 0; start < input.size(); start += 512)
    {
        const int n = (int)std::min<size_t>(512, input.size() - start);
        buffer.setSize(2, n, false, false, true);
        buffer.copyFrom(0, 0, input.data() + start, n);
        buffer.copyFrom(1, 0, input.data() + start, n);
        processor.processBlock(buffer, midi);
        std::copy(buffer.getReadPointer(0), buffer.getReadPointer(0) + n, output.data() + start);
    }

    double peak = 0.0, sum = 0.0;
    for (float v : output)
    {
        peak = std::max(peak, (double)std::abs(v));
        sum += (double)v * v;
    }

    // Spectral balance over the whole signal: energy below 250 Hz, 250 Hz..2 kHz, above 2 kHz.
    const int order = 14, size = 1 << order;
    juce::dsp::FFT fft(order);
    std::vector<float> frame((size_t)size * 2);
    double low = 0, mid = 0, high = 0, above = 0, weighted = 0, total = 0;
    for (size_t start = 0; start + (size_t)size <= output.size(); start += (size_t)size / 2)
    {
        std::fill(frame.begin(), frame.end(), 0.0f);
        for (int i = 0; i < size; ++i)
            frame[(size_t)i] =
                output[start + (size_t)i] *
                (0.5f - 0.5f * std::cos(juce::MathConstants<float>::twoPi * i / size));
        fft.performFrequencyOnlyForwardTransform(frame.data());
        for (int k = 1; k < size / 2; ++k)
        {
            const double f = k * rate / size, e = (double)frame[(size_t)k] * frame[(size_t)k];
            (f < 250.0 ? low : f < 2000.0 ? mid : high) += e;
            weighted += f * e;
            if (f > 660.0)
                above += e;
            total += e;
        }
    }
    std::printf("%-6s %-8s %-22s peak %6.1f dBFS  rms %6.1f dBFS  centroid %5.0f Hz  low/mid/high "
                "%4.0f%% %4.0f%% %4.0f%%  above 660 Hz %5.1f%%\n",
                label, preset.folder, preset.name, dB(peak), dB(std::sqrt(sum / output.size())),
                weighted / total, 100 * low / total, 100 * mid / total, 100 * high / total,
                100 * above / total);
}

int write(const juce::File& root)
{
    int failures = 0;
    for (const auto& preset : bank)
    {
        QuarrionAudioProcessor processor;
        apply(processor, preset);
        const auto file =
            root.getChildFile(preset.folder).getChildFile(juce::String(preset.name) + ".vlp");
        if (!file.getParentDirectory().createDirectory() ||
            !processor.presetStore.writePresetFile(file))
        {
            std::fprintf(stderr, "could not write %s\n", file.getFullPathName().toRawUTF8());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
} // namespace

int main(int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    // The processors built here must not look at the machine's own preset tree.
    const auto scratch = juce::File::getSpecialLocation(juce::File::tempDirectory)
                             .getNonexistentChildFile("quarrion-factory-presets", "");
    PluginSettings::setSharedFolderForTesting(scratch);

    int result = 2;
    if (argc == 2 && juce::String(argv[1]) == "measure")
    {
        const auto input = veltrano::test::guitarLikeSignal(48000.0, 4.0);
        double peak = 0.0, sum = 0.0;
        for (float v : input)
        {
            peak = std::max(peak, (double)std::abs(v));
            sum += (double)v * v;
        }
        std::printf("input: guitar-like DI signal, 4 s at 48 kHz, peak %.1f dBFS, rms %.1f dBFS\n",
                    dB(peak), dB(std::sqrt(sum / input.size())));
        const auto sine = veltrano::test::sine(48000.0, 440.0, 0.1, 4 * 48000);
        for (const auto& preset : bank)
        {
            measure(preset, input, "guitar");
            measure(preset, sine, "sine");
        }
        result = 0;
    }
    else if (argc == 3 && juce::String(argv[1]) == "write")
    {
        result = write(juce::File::getCurrentWorkingDirectory().getChildFile(argv[2]));
    }
    else
    {
        std::fprintf(stderr, "usage: %s measure | write <presets folder>\n", argv[0]);
    }

    PluginSettings::setSharedFolderForTesting({});
    scratch.deleteRecursively();
    return result;
}
