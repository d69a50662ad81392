#include "RenderCommand.h"

#include "DemoPhrase.h"
#include "OfflineRenderer.h"
#include "ResponsePlot.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <chrono>
#include <ostream>

namespace veltrano::render
{
namespace
{
constexpr double demoRate = 48000.0;

struct Failure
{
    juce::String message;
};

juce::AudioBuffer<float> readInput(const juce::File& file, double& rate)
{
    if (!file.existsAsFile())
        throw Failure{"input file not found: " + file.getFullPathName()};
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader(formats.createReaderFor(file));
    if (reader == nullptr)
        throw Failure{"cannot read " + file.getFullPathName() + " (expected a WAV or AIFF file)"};
    if (reader->numChannels < 1 || reader->numChannels > 2)
        throw Failure{"only mono and stereo input is supported, " + file.getFileName() + " has " +
                      juce::String(reader->numChannels) + " channels"};
    if (reader->sampleRate < 8000.0 || reader->sampleRate > 384000.0)
        throw Failure{"unsupported sample rate " + juce::String(reader->sampleRate)};
    if (reader->lengthInSamples > std::numeric_limits<int>::max() / 2)
        throw Failure{file.getFileName() + " is too long"};

    juce::AudioBuffer<float> buffer((int)reader->numChannels, (int)reader->lengthInSamples);
    if (!reader->read(&buffer, 0, buffer.getNumSamples(), 0, true, true))
        throw Failure{"cannot read the audio of " + file.getFullPathName()};
    rate = reader->sampleRate;
    return buffer;
}

void writeOutput(const juce::File& file, const juce::AudioBuffer<float>& audio, double rate,
                 bool asFloat)
{
    const auto temporary = file.getSiblingFile(file.getFileName() + ".part");
    auto cleanUp = [&]
    {
        temporary.deleteFile();
    };
    if (!file.getParentDirectory().isDirectory())
        throw Failure{"cannot write " + file.getFullPathName() + ": no such folder"};
    if (file.isDirectory())
        throw Failure{"cannot write " + file.getFullPathName() + ": it is a folder"};

    temporary.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream>(temporary);
    if (!stream->openedOk())
        throw Failure{"cannot write " + file.getFullPathName()};

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer(wav.createWriterFor(
        stream.get(), rate, (unsigned int)audio.getNumChannels(), asFloat ? 32 : 24, {}, 0));
    if (writer == nullptr)
    {
        stream.reset();
        cleanUp();
        throw Failure{"cannot write " + file.getFullPathName()};
    }
    stream.release(); // the writer owns it now
    const bool written = writer->writeFromAudioSampleBuffer(audio, 0, audio.getNumSamples());
    writer.reset();
    if (!written || !temporary.moveFileTo(file))
    {
        cleanUp();
        throw Failure{"cannot write " + file.getFullPathName()};
    }
}

juce::String describe(const RenderOptions& options, const SoundSettings& settings)
{
    juce::StringArray parts;
    parts.add(settings.presetLabel.isNotEmpty() ? "preset " + settings.presetLabel
                                                : "default settings");
    for (const auto& p : options.parameters)
        parts.add(p.text);
    return parts.joinIntoString(", ");
}

void showProgress(std::ostream& err, double fraction)
{
    const int width = 40;
    const int filled = (int)(fraction * width);
    err << "\r[" << std::string((size_t)filled, '#') << std::string((size_t)(width - filled), ' ')
        << "] " << (int)(fraction * 100.0) << "%" << std::flush;
}
} // namespace

juce::File defaultPresetFolder()
{
    const auto installed = juce::File::getSpecialLocation(juce::File::commonDocumentsDirectory)
                               .getChildFile("Veltrano/Presets/Quarrion");
    if (installed.isDirectory())
        return installed;
#ifdef QUARRION_SOURCE_PRESETS
    return juce::File(QUARRION_SOURCE_PRESETS);
#else
    return installed;
#endif
}

int runCommandLine(const juce::StringArray& args, std::ostream& out, std::ostream& err,
                   bool progressBar)
{
    auto parsed = parseCommandLine(args, defaultPresetFolder());
    if (!parsed.options)
    {
        err << "quarrion-render: " << parsed.error << "\n"
            << "Try 'quarrion-render --help'.\n";
        return 2;
    }
    const auto& options = *parsed.options;
    if (options.showHelp)
    {
        out << usage();
        return 0;
    }

    try
    {
        SoundSettings settings;
        settings.parameters = options.parameters;
        juce::File presetFile = options.presetFile;
        if (options.factoryPreset.isNotEmpty())
        {
            presetFile = findPresetByName(options.presetFolder, options.factoryPreset);
            if (presetFile == juce::File())
                throw Failure{"no preset named \"" + options.factoryPreset + "\" in " +
                              options.presetFolder.getFullPathName()};
        }
        if (presetFile != juce::File())
        {
            juce::String error;
            settings.preset = readPresetFile(presetFile, error);
            if (settings.preset == nullptr)
                throw Failure{error};
            settings.presetLabel = presetFile.getFileNameWithoutExtension();
        }

        double rate = demoRate;
        juce::AudioBuffer<float> input;
        if (options.input == juce::File())
        {
            const auto phrase = makeDemoPhrase(rate);
            input.setSize(1, (int)phrase.size());
            input.copyFrom(0, 0, phrase.data(), (int)phrase.size());
        }
        else
            input = readInput(options.input, rate);

        const auto started = std::chrono::steady_clock::now();
        auto processor = makeProcessor(input.getNumChannels(), rate, options.blockSize, settings);
        std::function<void(double)> progress;
        if (progressBar && !options.quiet)
            progress = [&err](double f)
            {
                showProgress(err, f);
            };
        const auto output = renderAligned(*processor, input, options.blockSize, progress);
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (progress)
            err << "\r" << std::string(50, ' ') << "\r" << std::flush;

        writeOutput(options.output, output, rate, options.floatOutput);

        if (options.plot != juce::File())
        {
            juce::String error;
            if (!writePng(drawPlot(rate, settings, describe(options, settings)), options.plot,
                          error))
            {
                options.output.deleteFile();
                throw Failure{error};
            }
        }

        if (!options.quiet)
        {
            const double seconds = input.getNumSamples() / rate;
            out << "Rendered " << juce::String(seconds, 2) << " s of audio ("
                << (options.input == juce::File() ? juce::String("demo phrase")
                                                  : options.input.getFileName())
                << ", " << describe(options, settings) << ") in " << juce::String(elapsed, 3)
                << " s: " << juce::String(seconds / std::max(elapsed, 1e-9), 1) << "x real time -> "
                << options.output.getFullPathName() << "\n";
        }
        return 0;
    }
    catch (const Failure& failure)
    {
        err << "quarrion-render: " << failure.message << "\n";
        return 2;
    }
}

} // namespace veltrano::render
