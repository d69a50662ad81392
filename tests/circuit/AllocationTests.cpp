// Counts every heap allocation of this executable, to prove the audio-thread calls make none.
#include "CircuitTestSupport.h"
#include "circuit/NoiseGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> allocations{0};

void* counted(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size)
{
    return counted(size);
}
void* operator new[](std::size_t size)
{
    return counted(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

using namespace veltrano;

TEST(RealTimeSafety, CounterSeesAllocations)
{
    const long before = allocations.load();
    auto* p = new std::vector<int>(100);
    delete p;
    EXPECT_GE(allocations.load() - before, 2);
}

TEST(RealTimeSafety, AudioThreadCallsDoNotAllocate)
{
    // Everything the audio thread may call, including variant changes, HQ re-preparation and
    // the recovery path; the tables come from the message thread beforehand.
    static CircuitChannel channel;
    static NoiseGate gate;
    static GateSidechainFilter filter;
    const GuessTable table44 = computeGuessTable(44100.0);
    const GuessTable table88 = computeGuessTable(88200.0);
    std::vector<float> block = test::guitarSignal(512, 44100.0);
    std::vector<float> dry = block;

    const long before = allocations.load();
    prepareChannel(channel, 44100.0, 0, table44);
    prepareGate(gate, filter, 44100.0);
    setCircuitControls(channel, 0.7f, 0.3f, 0.5f, 0.8f, 0.6f);
    for (int variant : {1, 2, 23, 0})
    {
        selectVariant(channel, variant, table44);
        restartFadeIn(channel);
        processChannel(channel, block.data(), 512, 1.0f, 1.0f);
    }
    prepareChannel(channel, 88200.0, 0, table88);
    updateSectionCoefficients(channel);
    processChannel(channel, block.data(), 512, 1.0f, 1.0f);
    channel.inputBlocker.state = std::numeric_limits<float>::quiet_NaN();
    processChannel(channel, block.data(), 512, 1.0f, 1.0f);
    for (size_t n = 0; n < dry.size(); ++n)
        block[n] = processGateSample(gate, sidechainDetector(filter, dry[n]), block[n]);
    gate.threshold = gateThresholdFromParameter(0.3f);
    volatile float sink =
        decibelsToGain(-6.0f) + audioTaper81(0.5f) + static_cast<float>(roundCircuitIndex(1.5f));
    (void)sink;
    const long made = allocations.load() - before;

    EXPECT_EQ(made, 0);
    EXPECT_TRUE(channelStateIsFinite(channel));
}
