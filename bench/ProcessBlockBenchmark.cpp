// processBlock at 48 kHz, stereo, on a guitar-like signal.
// Counters: frames_per_s (1e9 / frames_per_s is the time per sample frame in ns), and
// x_realtime, how many times faster than real time one core runs it (1 / x_realtime is the
// share of one core that real-time processing at 48 kHz takes).

#include "processor/QuarrionAudioProcessor.h"
#include "support/TestSignals.h"

#include <benchmark/benchmark.h>

#include <chrono>

using namespace veltrano;

namespace
{
constexpr double rate = 48000.0;

struct Bench
{
    explicit Bench(int blockSize, bool hq, float gain)
        : block(blockSize)
        , buffer(2, blockSize)
    {
        processor.setRateAndBufferSizeDetails(rate, block);
        processor.prepareToPlay(rate, block);
        processor.parameter(hqIndex).setValue(hq ? 1.0f : 0.0f);
        processor.parameter(gainIndex).setValue(gain);
        signal = test::guitarLikeSignal(rate, 4.0);
    }

    void fill()
    {
        for (int c = 0; c < 2; ++c)
        {
            auto* d = buffer.getWritePointer(c);
            for (int n = 0; n < block; ++n)
                d[n] = signal[(position + (size_t)n) % signal.size()];
        }
        position = (position + (size_t)block) % signal.size();
    }

    void process() { processor.processBlock(buffer, midi); }

    juce::ScopedJuceInitialiser_GUI juce;
    QuarrionAudioProcessor processor;
    int block;
    juce::AudioBuffer<float> buffer;
    juce::MidiBuffer midi;
    std::vector<float> signal;
    size_t position = 0;
};

void setCounters(benchmark::State& state, int block)
{
    // Rates, so the library divides by the measured time: sample frames per second of CPU, and
    // seconds of 48 kHz audio per second of CPU (its inverse is the share of one core taken).
    const double frames = (double)state.iterations() * block;
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["x_realtime"] = benchmark::Counter(frames / rate, benchmark::Counter::kIsRate);
}

void BM_ProcessBlock(benchmark::State& state)
{
    const int block = (int)state.range(0);
    Bench bench(block, state.range(1) != 0, state.range(2) != 0 ? 1.0f : 0.5f);
    for (int i = 0; i < 50; ++i) // past the start-up fade and smoother glides
    {
        bench.fill();
        bench.process();
    }
    for (auto _ : state)
    {
        bench.fill();
        bench.process();
        benchmark::ClobberMemory();
    }
    setCounters(state, block);
}

// The most expensive single block: one that contains a circuit-variant change or an HQ switch,
// timed against ordinary blocks of the same run. Reported as worst_over_normal.
void BM_WorstBlockAroundChanges(benchmark::State& state)
{
    const int block = (int)state.range(0);
    const bool hqSwitch = state.range(1) != 0;
    Bench bench(block, false, 0.5f);
    using clock = std::chrono::steady_clock;
    double normal = 0.0, worst = 0.0;
    long normalCount = 0;
    int toggle = 0;
    for (auto _ : state)
    {
        for (int i = 0; i < 20; ++i)
        {
            bench.fill();
            const bool change = i == 10;
            if (change)
            {
                if (hqSwitch)
                    bench.processor.parameter(hqIndex).setValue((float)(++toggle % 2));
                else
                    bench.processor.setCircuitTypeIndex((float)(++toggle % 3));
            }
            const auto start = clock::now();
            bench.process();
            const double seconds = std::chrono::duration<double>(clock::now() - start).count();
            if (change)
                worst = std::max(worst, seconds);
            else if (i > 12)
            {
                normal += seconds;
                ++normalCount;
            }
        }
    }
    state.counters["normal_us"] = normal / (double)std::max(1L, normalCount) * 1e6;
    state.counters["worst_us"] = worst * 1e6;
    state.counters["worst_over_normal"] = worst / (normal / (double)std::max(1L, normalCount));
}
} // namespace

BENCHMARK(BM_ProcessBlock)
    ->ArgNames({"block", "hq", "fullgain"})
    ->ArgsProduct({{64, 256, 1024}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorstBlockAroundChanges)
    ->ArgNames({"block", "hqswitch"})
    ->ArgsProduct({{64, 256}, {0, 1}})
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);
