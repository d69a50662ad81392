#include "RenderOptions.h"

#include "circuit/CircuitChannel.h"
#include "processor/ParameterTable.h"

namespace veltrano::render
{

std::pair<std::optional<ParameterSetting>, juce::String>
parseParameterSetting(const juce::String& text)
{
    const auto id = text.upToFirstOccurrenceOf("=", false, false).trim();
    const auto value = text.fromFirstOccurrenceOf("=", false, false).trim();
    if (!text.contains("=") || id.isEmpty() || value.isEmpty())
        return {std::nullopt, "expected ID=VALUE, got \"" + text + "\""};

    int index = -1;
    for (size_t i = 0; i < parameterTable.size(); ++i)
        if (id.equalsIgnoreCase(parameterTable[i].id))
            index = static_cast<int>(i);
    if (index < 0)
    {
        juce::StringArray ids;
        for (const auto& spec : parameterTable)
            ids.add(spec.id);
        return {std::nullopt,
                "unknown parameter \"" + id + "\" (known: " + ids.joinIntoString(", ") + ")"};
    }

    const auto& spec = parameterTable[static_cast<size_t>(index)];
    float real = 0.0f;
    const bool isSwitch = index == powerIndex || index == hqIndex;

    if (isSwitch && (value.equalsIgnoreCase("on") || value.equalsIgnoreCase("off")))
        real = value.equalsIgnoreCase("on") ? 1.0f : 0.0f;
    else if (index == circuitTypeIndex && !value.containsOnly("0123456789."))
    {
        int found = -1;
        for (int i = 0; variantNameOf(i) != nullptr; ++i)
            if (value.equalsIgnoreCase(variantNameOf(i)))
                found = i;
        if (found < 0)
            return {std::nullopt,
                    "unknown circuit \"" + value + "\" for MODS (Default, Bright or Sharp)"};
        real = static_cast<float>(found);
    }
    else
    {
        auto number = value.trimCharactersAtEnd("%").trim();
        if (number.endsWithIgnoreCase("dB"))
            number = number.dropLastCharacters(2).trim();
        if (!number.containsOnly("+-0123456789.eE") || !number.containsAnyOf("0123456789"))
            return {std::nullopt, "\"" + value + "\" is not a number for " + spec.id};
        real = static_cast<float>(number.getDoubleValue());
    }

    if (real < spec.start || real > spec.end || !std::isfinite(real))
        return {std::nullopt,
                juce::String(spec.id) + " value " + value + " is outside " +
                    juce::String(spec.start) + " to " + juce::String(spec.end) +
                    (juce::String(spec.label).isNotEmpty() ? " " + juce::String(spec.label)
                                                           : juce::String())};

    ParameterSetting setting;
    setting.index = index;
    setting.normalised = (real - spec.start) / (spec.end - spec.start);
    setting.text = juce::String(spec.id) + "=" + value;
    return {setting, {}};
}

ParseResult parseCommandLine(const juce::StringArray& args, const juce::File& defaultPresetFolder)
{
    RenderOptions options;
    options.presetFolder = defaultPresetFolder;
    auto fail = [](const juce::String& message)
    {
        return ParseResult{std::nullopt, message};
    };

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];
        auto needValue = [&](juce::String& value)
        {
            if (i + 1 >= args.size())
                return false;
            value = args[++i];
            return true;
        };
        juce::String value;

        if (arg == "-h" || arg == "--help")
            options.showHelp = true;
        else if (arg == "-o" || arg == "--output")
        {
            if (!needValue(value))
                return fail("missing file after " + arg);
            options.output = juce::File::getCurrentWorkingDirectory().getChildFile(value);
        }
        else if (arg == "--preset")
        {
            if (!needValue(value))
                return fail("missing value after --preset");
            if (value.endsWithIgnoreCase(".vlp"))
                options.presetFile = juce::File::getCurrentWorkingDirectory().getChildFile(value);
            else
                options.factoryPreset = value;
        }
        else if (arg == "--preset-folder")
        {
            if (!needValue(value))
                return fail("missing folder after --preset-folder");
            options.presetFolder = juce::File::getCurrentWorkingDirectory().getChildFile(value);
        }
        else if (arg == "--set")
        {
            if (!needValue(value))
                return fail("missing ID=VALUE after --set");
            auto [setting, error] = parseParameterSetting(value);
            if (!setting)
                return fail(error);
            options.parameters.push_back(*setting);
        }
        else if (arg == "--block")
        {
            if (!needValue(value) || !value.containsOnly("0123456789") || value.getIntValue() < 1 ||
                value.getIntValue() > 65536)
                return fail("--block needs a block size from 1 to 65536");
            options.blockSize = value.getIntValue();
        }
        else if (arg == "--float")
            options.floatOutput = true;
        else if (arg == "--plot")
        {
            if (!needValue(value))
                return fail("missing file after --plot");
            options.plot = juce::File::getCurrentWorkingDirectory().getChildFile(value);
        }
        else if (arg == "-q" || arg == "--quiet")
            options.quiet = true;
        else if (arg.startsWith("-"))
            return fail("unknown option " + arg);
        else if (options.input == juce::File())
            options.input = juce::File::getCurrentWorkingDirectory().getChildFile(arg);
        else
            return fail("more than one input file given");
    }

    if (!options.showHelp && options.output == juce::File())
        return fail("no output file given (-o FILE.wav)");
    return {options, {}};
}

juce::String usage()
{
    return "usage: quarrion-render [INPUT.wav|INPUT.aiff] -o OUTPUT.wav [options]\n"
           "\n"
           "Runs audio through the Quarrion pedal. Without INPUT, renders the built-in demo "
           "phrase.\n"
           "\n"
           "  -o, --output FILE     output WAV file (same rate and channels as the input)\n"
           "  --preset NAME|FILE    a factory preset by name, or a .vlp preset file\n"
           "  --preset-folder DIR   where preset names are looked up\n"
           "  --set ID=VALUE        a parameter in real units, applied after the preset; e.g.\n"
           "                        GAIN=70 OGAIN=-6 MODS=Bright HQ=on (repeatable)\n"
           "  --block N             host block size (default 512)\n"
           "  --float               32-bit float output (default 24-bit)\n"
           "  --plot FILE.png       draw the frequency response and waveforms\n"
           "  -q, --quiet           no progress or summary\n";
}

} // namespace veltrano::render
