#pragma once

#include <vector>

namespace veltrano
{

// Ring of dry samples that keeps the untouched signal in step with the oversampled circuit.
// Storage is reserved once for the highest rate the processor may run at; preparing for a rate
// only changes the used length, so an HQ switch on the audio thread never allocates.
struct DryDelayLine
{
    int length = 0;
    int writeIndex = 0;
    float writePosition = 0.0f;
    std::vector<float> samples;
    double sampleRate = 44100.0;

    static int lengthForRate(double rate) noexcept { return static_cast<int>(10.0 * rate * 0.001); }

    // Message thread only: makes room for the longest ring any later prepare will ask for.
    void reserveForRate(double highestRate)
    {
        const auto needed = static_cast<size_t>(lengthForRate(highestRate));
        if (samples.size() < needed)
            samples.assign(needed, 0.0f);
    }

    void prepare(double rate) noexcept
    {
        sampleRate = rate;
        length = lengthForRate(rate);
        if (length > static_cast<int>(samples.size()))
            length = static_cast<int>(samples.size());
        std::fill(samples.begin(), samples.begin() + length, 0.0f);
        writeIndex = 0;
        writePosition = 0.0f;
    }

    void write(float value) noexcept
    {
        if (length <= 0)
            return;
        const int slot = writeIndex % length;
        samples[static_cast<size_t>(slot)] = value;
        writeIndex = slot + 1;
        writePosition = static_cast<float>(writeIndex);
    }

    // The sample written `latency` samples ago, linearly interpolated; read before the current
    // sample is written, so writeIndex names the oldest slot.
    float read(float latency) const noexcept
    {
        if (length <= 0)
            return 0.0f;
        const float size = static_cast<float>(length);
        float pos = static_cast<float>(writeIndex) - latency;
        if (pos >= size)
            pos -= size;
        if (pos < 0.0f)
            pos += size;
        const int i = static_cast<int>(pos);
        const float frac = pos - static_cast<float>(i);
        const int a = wrap(i);
        const int b = wrap(i + 1);
        return (1.0f - frac) * samples[static_cast<size_t>(a)] +
               frac * samples[static_cast<size_t>(b)];
    }

private:
    int wrap(int index) const noexcept
    {
        while (index >= length)
            index -= length;
        while (index < 0)
            index += length;
        return index;
    }
};

} // namespace veltrano
