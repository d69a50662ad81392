// Counts heap allocations made while processBlock runs. This file replaces the global operator
// new, so it is built into an executable of its own.

#include "support/ProcessorRig.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
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
using namespace veltrano::test;

TEST(RealtimeSafety, ProcessBlockNeverAllocatesThroughAutomationVariantChangesAndHqSwitches)
{
    for (double rate : {44100.0, 96000.0})
        for (int block : {1, 64, 512})
        {
            SCOPED_TRACE(testing::Message() << rate << " Hz, block " << block);
            ProcessorRig rig;
            rig.prepare(rate, block);
            const auto signal = guitarLikeSignal(rate, 0.2);
            juce::AudioBuffer<float> buffer(2, block);
            juce::MidiBuffer midi;
            juce::Random random(7);

            const int blocks = juce::jmax(200, (int)(rate * 0.5) / block);
            long seen = 0;
            for (int i = 0; i < blocks; ++i)
            {
                for (int c = 0; c < 2; ++c)
                    for (int n = 0; n < block; ++n)
                        buffer.setSample(c, n,
                                         signal[(size_t)((i * block + n) % (int)signal.size())]);

                // Host automation between blocks, as a host thread would write it.
                rig.set(random.nextInt(9), random.nextFloat());
                rig.set(gateIndex, random.nextFloat() * 0.5f);
                if (i % 7 == 3)
                    rig.processor.setCircuitTypeIndex((float)random.nextInt(4));
                if (i % 11 == 5)
                    rig.set(hqIndex,
                            rig.processor.parameter(hqIndex).getValue() == 0.0f ? 1.0f : 0.0f);

                allocations = 0;
                counting = true;
                rig.processor.processBlock(buffer, midi);
                counting = false;
                seen += allocations.load();
            }
            EXPECT_EQ(seen, 0);
        }
}

TEST(RealtimeSafety, TheCounterSeesAllocations)
{
    // Guards the test above against a counter that never counts.
    allocations = 0;
    counting = true;
    auto* p = new std::vector<int>(100);
    counting = false;
    delete p;
    EXPECT_GE(allocations.load(), 1);
}
