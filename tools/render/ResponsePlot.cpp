#include "ResponsePlot.h"

#include "DemoPhrase.h"

#include "resources/Resources.h"

namespace veltrano::render
{
namespace
{
constexpr double testLevel = 1.0e-4; // -80 dBFS: below the clipper's knee even at full gain

// Amplitude of the component at `frequency` in y, with a Hann window against leakage.
double lockInAmplitude(const float* y, int count, double frequency, double rate)
{
    double re = 0.0, im = 0.0, weight = 0.0;
    for (int n = 0; n < count; ++n)
    {
        const double w =
            0.5 - 0.5 * std::cos(2.0 * juce::MathConstants<double>::pi * n / (count - 1));
        const double phase = 2.0 * juce::MathConstants<double>::pi * frequency * n / rate;
        re += w * y[n] * std::cos(phase);
        im += w * y[n] * std::sin(phase);
        weight += w;
    }
    return 2.0 * std::sqrt(re * re + im * im) / weight;
}

// The product's own faces, so the picture looks the same on every machine.
juce::Font regularFont(float height)
{
    return juce::Font(veltrano::textFontRegular()).withHeight(height);
}

juce::Font boldFont(float height)
{
    return juce::Font(veltrano::textFontBold()).withHeight(height);
}

const juce::Colour background{0xff17181c};
const juce::Colour panel{0xff202228};
const juce::Colour grid{0xff34373f};
const juce::Colour text{0xfff0e9de};
const juce::Colour accent{0xffe8772e};
const juce::Colour dryColour{0xff8a93a6};
} // namespace

std::vector<ResponsePoint> measureResponse(double rate, const SoundSettings& settings, int points)
{
    const int block = 512;
    auto processor = makeProcessor(1, rate, block, settings);
    // The gate would shut on a quiet low tone (its detector ignores the bass); the response is
    // that of the pedal, so it is measured with the gate off.
    processor->parameter(gateIndex).setValue(0.0f);
    juce::AudioBuffer<float> buffer(1, block);
    juce::MidiBuffer midi;

    // Let the start-up fade and the smoothers settle.
    for (int i = 0; i < (int)(0.3 * rate) / block; ++i)
    {
        buffer.clear();
        processor->processBlock(buffer, midi);
    }

    std::vector<ResponsePoint> response;
    const int settle = (int)(0.15 * rate);
    const int measure = (int)(0.1 * rate);
    std::vector<float> out((size_t)(settle + measure));
    for (int k = 0; k < points; ++k)
    {
        const double f = 20.0 * std::pow(1000.0, (double)k / (points - 1));
        if (f >= 0.5 * rate)
            break;
        int written = 0;
        while (written < settle + measure)
        {
            const int n = juce::jmin(block, settle + measure - written);
            buffer.setSize(1, n, false, false, true);
            for (int i = 0; i < n; ++i)
                buffer.setSample(
                    0, i,
                    (float)(testLevel * std::sin(2.0 * juce::MathConstants<double>::pi * f *
                                                 (written + i) / rate)));
            processor->processBlock(buffer, midi);
            std::copy(buffer.getReadPointer(0), buffer.getReadPointer(0) + n,
                      out.begin() + written);
            written += n;
        }
        const double amplitude = lockInAmplitude(out.data() + settle, measure, f, rate);
        response.push_back({f, 20.0 * std::log10(std::max(amplitude, 1e-12) / testLevel)});
    }
    return response;
}

juce::Image drawPlot(double rate, const SoundSettings& settings, const juce::String& caption)
{
    juce::Image image(juce::Image::RGB, plotWidth, plotHeight, true);
    juce::Graphics g(image);
    g.fillAll(background);

    g.setColour(text);
    g.setFont(boldFont(30.0f));
    g.drawText("Quarrion", 40, 20, 400, 40, juce::Justification::centredLeft);
    g.setFont(regularFont(18.0f));
    g.drawText(caption, 40, 60, plotWidth - 80, 26, juce::Justification::centredLeft);

    // Frequency response.
    const auto response = measureResponse(rate, settings);
    double top = -1000.0, bottom = 1000.0;
    for (const auto& p : response)
    {
        top = std::max(top, p.gainDb);
        bottom = std::min(bottom, p.gainDb);
    }
    top = std::ceil((top + 3.0) / 10.0) * 10.0;
    bottom = std::min(top - 30.0, std::floor((bottom - 3.0) / 10.0) * 10.0);

    const juce::Rectangle<float> area(110.0f, 110.0f, plotWidth - 150.0f, 400.0f);
    g.setColour(panel);
    g.fillRect(area);
    auto xFor = [&](double f)
    {
        return area.getX() + (float)(std::log10(f / 20.0) / 3.0) * area.getWidth();
    };
    auto yFor = [&](double db)
    {
        return area.getY() + (float)((top - db) / (top - bottom)) * area.getHeight();
    };

    g.setFont(regularFont(15.0f));
    for (double f : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0})
    {
        g.setColour(grid);
        g.drawVerticalLine((int)xFor(f), area.getY(), area.getBottom());
        g.setColour(text.withAlpha(0.8f));
        const auto label = f >= 1000.0 ? juce::String(f / 1000.0, 0) + "k" : juce::String((int)f);
        g.drawText(label, (int)xFor(f) - 30, (int)area.getBottom() + 4, 60, 20,
                   juce::Justification::centred);
    }
    for (double db = bottom; db <= top + 0.1; db += 10.0)
    {
        g.setColour(grid);
        g.drawHorizontalLine((int)yFor(db), area.getX(), area.getRight());
        g.setColour(text.withAlpha(0.8f));
        g.drawText(juce::String((int)db), (int)area.getX() - 60, (int)yFor(db) - 10, 50, 20,
                   juce::Justification::centredRight);
    }
    g.setColour(text);
    g.drawText("Frequency (Hz)", area.withY(area.getBottom() + 24).withHeight(22).toNearestInt(),
               juce::Justification::centred);
    g.saveState();
    g.addTransform(juce::AffineTransform::rotation(-juce::MathConstants<float>::halfPi, 30.0f,
                                                   area.getCentreY()));
    g.drawText("Gain (dB)", 30 - 100, (int)area.getCentreY() - 12, 200, 24,
               juce::Justification::centred);
    g.restoreState();
    g.drawText("Small-signal response (-80 dBFS sine, noise gate off)",
               area.reduced(10).toNearestInt(), juce::Justification::topRight);

    juce::Path curve;
    for (size_t i = 0; i < response.size(); ++i)
    {
        const auto x = xFor(response[i].frequency), y = yFor(response[i].gainDb);
        if (i == 0)
            curve.startNewSubPath(x, y);
        else
            curve.lineTo(x, y);
    }
    g.setColour(accent);
    g.strokePath(curve, juce::PathStrokeType(3.0f, juce::PathStrokeType::curved));

    // Waveforms: 40 ms of the demo phrase's single-note line, in and out.
    const auto phrase = makeDemoPhrase(rate);
    juce::AudioBuffer<float> input(1, (int)phrase.size());
    input.copyFrom(0, 0, phrase.data(), (int)phrase.size());
    auto processor = makeProcessor(1, rate, 512, settings);
    const auto output = renderAligned(*processor, input, 512);

    const int start = (int)(5.02 * rate);
    const int count = (int)(0.04 * rate);
    const juce::Rectangle<float> wave(110.0f, 590.0f, plotWidth - 150.0f, 250.0f);
    g.setColour(panel);
    g.fillRect(wave);
    float peak = 1e-6f;
    for (int n = start; n < start + count; ++n)
        peak = std::max({peak, std::abs(input.getSample(0, n)), std::abs(output.getSample(0, n))});
    auto trace = [&](const juce::AudioBuffer<float>& b)
    {
        juce::Path p;
        for (int n = 0; n < count; ++n)
        {
            const float x = wave.getX() + wave.getWidth() * (float)n / (float)(count - 1);
            const float y =
                wave.getCentreY() - 0.45f * wave.getHeight() * b.getSample(0, start + n) / peak;
            if (n == 0)
                p.startNewSubPath(x, y);
            else
                p.lineTo(x, y);
        }
        return p;
    };
    g.setColour(grid);
    g.drawHorizontalLine((int)wave.getCentreY(), wave.getX(), wave.getRight());
    for (int ms = 0; ms <= 40; ms += 10)
    {
        const float x = wave.getX() + wave.getWidth() * (float)ms / 40.0f;
        g.setColour(grid);
        g.drawVerticalLine((int)x, wave.getY(), wave.getBottom());
        g.setColour(text.withAlpha(0.8f));
        g.drawText(juce::String(ms) + " ms", (int)x - 30, (int)wave.getBottom() + 4, 60, 20,
                   juce::Justification::centred);
    }
    g.setColour(dryColour);
    g.strokePath(trace(input), juce::PathStrokeType(1.5f));
    g.setColour(accent);
    g.strokePath(trace(output), juce::PathStrokeType(2.0f));
    g.setColour(text);
    g.drawText("Waveforms of the demo phrase (scaled to the larger peak)",
               wave.withY(wave.getY() - 30).withHeight(24).toNearestInt(),
               juce::Justification::centredLeft);
    g.setColour(dryColour);
    g.drawText("input", wave.reduced(10).toNearestInt(), juce::Justification::topRight);
    g.setColour(accent);
    g.drawText("output", wave.reduced(10).translated(0, 20).toNearestInt(),
               juce::Justification::topRight);
    return image;
}

bool writePng(const juce::Image& image, const juce::File& file, juce::String& error)
{
    const auto temporary = file.getSiblingFile(file.getFileName() + ".part");
    temporary.deleteFile();
    {
        juce::FileOutputStream stream(temporary);
        juce::PNGImageFormat png;
        if (!stream.openedOk() || !png.writeImageToStream(image, stream))
        {
            error = "cannot write " + file.getFullPathName();
            stream.flush();
            temporary.deleteFile();
            return false;
        }
    }
    if (!temporary.moveFileTo(file))
    {
        temporary.deleteFile();
        error = "cannot write " + file.getFullPathName();
        return false;
    }
    return true;
}

} // namespace veltrano::render
