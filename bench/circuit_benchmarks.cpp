// One channel of the circuit model alone, and the guess-table sweep that runs off the audio
// thread at each new circuit rate.
#include "circuit/CircuitChannel.h"
#include "circuit/NoiseGate.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

using namespace veltrano;

namespace
{
std::vector<float> pluck(int n, double rate, float level)
{
    std::vector<float> x(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        x[static_cast<size_t>(i)] = static_cast<float>(
            level * std::exp(-2.0 * i / rate) * std::sin(2 * 3.14159265358979 * 110.0 * i / rate));
    return x;
}

void flushDenormals()
{
#if defined(__SSE__)
    _mm_setcsr(_mm_getcsr() | 0x8040); // the processor holds the same guard around the circuit
#endif
}

// args: circuit rate, block size, GAIN in percent
void BM_processChannel(benchmark::State& state)
{
    flushDenormals();
    const auto rate = static_cast<double>(state.range(0));
    const auto block = static_cast<int>(state.range(1));
    CircuitChannel channel;
    prepareChannel(channel, rate, 0, computeGuessTable(rate));
    setCircuitControls(channel, static_cast<float>(state.range(2)) / 100.0f, 0.5f, 0.5f, 0.5f,
                       0.7f);
    const auto source = pluck(static_cast<int>(rate), rate, 0.5f);
    std::vector<float> buffer(static_cast<size_t>(block));
    size_t pos = 0;
    for (auto _ : state)
    {
        for (auto& v : buffer)
        {
            v = source[pos];
            pos = (pos + 1) % source.size();
        }
        processChannel(channel, buffer.data(), block, 1.0f, 1.0f);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(state.iterations() * block);
}
BENCHMARK(BM_processChannel)
    ->Args({44100, 512, 50})
    ->Args({44100, 512, 100})
    ->Args({48000, 64, 50})
    ->Args({96000, 1024, 100});

void BM_computeGuessTable(benchmark::State& state)
{
    const auto rate = static_cast<double>(state.range(0));
    for (auto _ : state)
    {
        GuessTable table = computeGuessTable(rate);
        benchmark::DoNotOptimize(table.values.data());
    }
}
BENCHMARK(BM_computeGuessTable)->Arg(44100)->Arg(48000)->Arg(96000)->Unit(benchmark::kMillisecond);

void BM_noiseGate(benchmark::State& state)
{
    flushDenormals();
    NoiseGate gate;
    GateSidechainFilter filter;
    prepareGate(gate, filter, 44100.0);
    gate.threshold = gateThresholdFromParameter(0.4f);
    const auto source = pluck(44100, 44100.0, 0.5f);
    size_t pos = 0;
    for (auto _ : state)
    {
        float sum = 0;
        for (int i = 0; i < 512; ++i)
        {
            const float d = source[pos];
            pos = (pos + 1) % source.size();
            sum += processGateSample(gate, sidechainDetector(filter, d), d);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_noiseGate);
} // namespace
