// Counts heap allocations made while processBlock runs (in a program of its own, since the
// counter replaces the global operator new).

#include "support/AllocationCounter.h"
#include "support/ProcessorRig.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

#include <vector>

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

                const AllocationScope scope;
                rig.processor.processBlock(buffer, midi);
                seen += scope.count();
            }
            EXPECT_EQ(seen, 0);
        }
}

TEST(RealtimeSafety, TheCounterSeesAllocations)
{
    // Guards the test above against a counter that never counts.
    const AllocationScope scope;
    // Kept beyond the test, so the compiler cannot drop the allocation.
    static std::vector<std::vector<int>> kept;
    kept.emplace_back(100);
    EXPECT_GE(scope.count(), 2);
}
