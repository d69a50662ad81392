#include "DemoPhrase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace veltrano::render
{
namespace
{
// Deterministic noise for the pluck excitation (xorshift).
struct Noise
{
    uint32_t state;
    float next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 4294967296.0f * 2.0f - 1.0f;
    }
};

// One plucked string: a Karplus-Strong delay loop with a fractional delay for tuning, a
// two-point average as the string's losses and a pick-position comb on the excitation.
void pluck(std::vector<float>& out, double rate, double startSeconds, double frequency,
           double seconds, float level, float brightness, uint32_t seed)
{
    const double period = rate / frequency;
    const int length = static_cast<int>(period);
    const float fraction = static_cast<float>(period - length);
    if (length < 2)
        return;

    std::vector<float> line(static_cast<size_t>(length) + 2, 0.0f);
    Noise noise{seed * 2654435761u + 12345u};
    float lowpass = 0.0f;
    for (auto& v : line)
    {
        lowpass += brightness * (noise.next() - lowpass);
        v = lowpass;
    }
    // Pick position about an eighth of the way along the string.
    const int pick = std::max(1, length / 8);
    for (int i = static_cast<int>(line.size()) - 1; i >= pick; --i)
        line[static_cast<size_t>(i)] -= line[static_cast<size_t>(i - pick)];

    const auto start = static_cast<size_t>(startSeconds * rate);
    const auto count = static_cast<size_t>(seconds * rate);
    const float decay = static_cast<float>(std::pow(0.001, 1.0 / (seconds * frequency)));
    size_t index = 0;
    float previous = 0.0f;
    for (size_t n = 0; n < count && start + n < out.size(); ++n)
    {
        const size_t a = index;
        const size_t b = (index + 1) % line.size();
        const float delayed = line[a] + fraction * (line[b] - line[a]);
        const float filtered = 0.5f * (delayed + previous) * decay;
        previous = delayed;
        line[index] = filtered;
        index = (index + 1) % static_cast<size_t>(length);

        // A short release at the end of the note, as when the hand mutes the string.
        const double remaining = static_cast<double>(count - n) / rate;
        const float release = remaining < 0.03 ? static_cast<float>(remaining / 0.03) : 1.0f;
        out[start + n] += level * filtered * release;
    }
}

double midiToHz(int note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

void strum(std::vector<float>& out, double rate, double at, const std::vector<int>& notes,
           double seconds, float level, uint32_t seed, bool down = true)
{
    for (size_t i = 0; i < notes.size(); ++i)
    {
        const size_t k = down ? i : notes.size() - 1 - i;
        pluck(out, rate, at + 0.012 * static_cast<double>(i), midiToHz(notes[k]), seconds, level,
              0.6f, seed + static_cast<uint32_t>(k) * 17u);
    }
}
} // namespace

std::vector<float> makeDemoPhrase(double sampleRate)
{
    const double total = 8.0;
    std::vector<float> out(static_cast<size_t>(total * sampleRate), 0.0f);

    // Bar 1-2: E5 and G5 power chords, palm-muted eighths, then a ringing A5 / D5.
    const std::vector<int> e5{40, 47, 52};
    const std::vector<int> g5{43, 50, 55};
    const std::vector<int> a5{45, 52, 57};
    const std::vector<int> d5{50, 57, 62};
    const double eighth = 0.25; // 120 bpm
    uint32_t seed = 1;
    for (int i = 0; i < 6; ++i)
        strum(out, sampleRate, i * eighth, i < 4 ? e5 : g5, 0.22, 0.10f, seed++, i % 2 == 0);
    strum(out, sampleRate, 1.5, a5, 0.95, 0.12f, seed++);
    strum(out, sampleRate, 2.5, d5, 0.95, 0.12f, seed++);

    // Bar 3: an open E major chord left to ring.
    strum(out, sampleRate, 3.5, {40, 47, 52, 56, 59, 64}, 1.4, 0.09f, seed++);

    // Bar 4: a single-note line in E minor pentatonic, up to a held high note.
    const int line[] = {64, 67, 69, 67, 64, 62, 64, 69, 71, 74, 76};
    double t = 4.95;
    for (size_t i = 0; i < std::size(line); ++i)
    {
        const bool last = i + 1 == std::size(line);
        const double length = last ? 0.9 : 0.2;
        pluck(out, sampleRate, t, midiToHz(line[i]), length + 0.05, 0.22f, 0.75f, seed++ * 31u);
        t += last ? length : 0.17;
    }

    // Last bar: a final E5 left to ring out to the end.
    strum(out, sampleRate, 7.0, e5, 1.0, 0.12f, seed++);

    // Normalise the peak to -6 dBFS so the level does not depend on the rate.
    float peak = 0.0f;
    for (float v : out)
        peak = std::max(peak, std::abs(v));
    if (peak > 0.0f)
        for (auto& v : out)
            v *= 0.5f / peak;
    return out;
}

} // namespace veltrano::render
