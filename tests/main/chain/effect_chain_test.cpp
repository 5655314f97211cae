#include <gtest/gtest.h>

#include "main/chain/EffectChain.h"
#include "main/chain/FakeEffects.h"
#include "support/RealtimeTrap.h"

using chain_test::FakeHost;

namespace
{
    // An 8-sample stereo block whose region [2, 6) is routed; the samples around it must survive.
    juce::AudioBuffer<float> makeBlock()
    {
        juce::AudioBuffer<float> b (2, 8);
        for (int i = 0; i < 8; ++i)
        {
            b.setSample (0, i, (float) (i + 1));
            b.setSample (1, i, -0.5f * (float) i);
        }
        return b;
    }

    RoutingState withMode (RoutingMode mode)
    {
        RoutingState s;
        s.mode = mode;
        return s;
    }

    RoutingState withGroups (std::initializer_list<std::initializer_list<int>> groups)
    {
        RoutingState s;
        s.mode = RoutingMode::CustomPro;
        s.groups.clear();
        for (auto& g : groups)
        {
            EffectIdList list;
            for (auto id : g) list.push_back (id);
            s.groups.push_back (list);
        }
        return s;
    }

    struct RoutingCase
    {
        const char* name;
        RoutingState state;
        std::vector<std::pair<int, chain_test::FakeEffect>> effects;
        std::function<float (float)> expected;
    };
}

TEST (EffectChain, RoutingArithmetic)
{
    const chain_test::FakeEffect gain2 { true, 2.0f, 0.0f, false };
    const chain_test::FakeEffect plus1 { true, 1.0f, 1.0f, false };
    const chain_test::FakeEffect half  { true, 0.5f, 0.0f, false };
    const chain_test::FakeEffect mute  { true, 1.0f, 0.0f, true };

    auto offsetFirst = withMode (RoutingMode::Serial);
    offsetFirst.moveToTop (3);

    const std::vector<RoutingCase> cases = {
        { "parallel, nothing active: dry", withMode (RoutingMode::Parallel), {}, [] (float x) { return x; } },
        { "parallel, one active: replaces dry", withMode (RoutingMode::Parallel), { { 1, gain2 } }, [] (float x) { return 2 * x; } },
        { "parallel, two active: their mean", withMode (RoutingMode::Parallel), { { 1, gain2 }, { 3, plus1 } },
          [] (float x) { return (2 * x + (x + 1)) * 0.5f; } },
        { "parallel, a silencing effect counts", withMode (RoutingMode::Parallel), { { 0, mute }, { 1, gain2 } },
          [] (float x) { return 2 * x * 0.5f; } },
        { "parallel ignores order and groups", [] { auto s = withGroups ({ { 5 } }); s.mode = RoutingMode::Parallel; return s; }(),
          { { 1, gain2 }, { 3, plus1 } }, [] (float x) { return (2 * x + (x + 1)) * 0.5f; } },
        { "serial, only the finalizer", withMode (RoutingMode::Serial), { { 8, half } }, [] (float x) { return 0.5f * x; } },
        { "serial, default order", withMode (RoutingMode::Serial), { { 1, gain2 }, { 3, plus1 } }, [] (float x) { return 2 * x + 1; } },
        { "serial, edited order", offsetFirst, { { 1, gain2 }, { 3, plus1 } }, [] (float x) { return (x + 1) * 2; } },
        { "custom: parallel within, serial between", withGroups ({ { 1, 3 }, { 5 } }), { { 1, gain2 }, { 3, plus1 }, { 5, half } },
          [] (float x) { return (2 * x + (x + 1)) * 0.5f * 0.5f; } },
        { "custom: group order matters", withGroups ({ { 5 }, { 1, 3 } }), { { 1, gain2 }, { 3, plus1 }, { 5, half } },
          [] (float x) { return (2 * (0.5f * x) + (0.5f * x + 1)) * 0.5f; } },
        { "custom: one active member runs alone", withGroups ({ { 1, 3 } }), { { 3, plus1 } }, [] (float x) { return x + 1; } },
        { "custom: empty group skipped", withGroups ({ {}, { 1 }, {} }), { { 1, gain2 } }, [] (float x) { return 2 * x; } },
        { "custom: effects outside every group do not run", withGroups ({ { 1 } }), { { 1, gain2 }, { 3, plus1 } },
          [] (float x) { return 2 * x; } },
        { "unknown mode runs nothing", [] { RoutingState s; s.mode = (RoutingMode) 7; return s; }(), { { 1, gain2 } },
          [] (float x) { return x; } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);

        FakeHost host;
        for (auto& [id, fx] : c.effects)
            host[id] = fx;

        EffectChain chain;
        chain.prepare (2, 16);
        chain.publishRouting (c.state);

        auto block = makeBlock();
        const auto dry = makeBlock();
        chain.process (host, block, 2, 4);

        EXPECT_TRUE (chain.routingInUse() == c.state);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 8; ++i)
            {
                const float x = dry.getSample (ch, i);
                const float want = (i >= 2 && i < 6) ? c.expected (x) : x;
                EXPECT_EQ (block.getSample (ch, i), want) << "channel " << ch << " sample " << i;
            }
    }
}

TEST (EffectChain, SingleActiveMemberOfAGroupRunsInPlace)
{
    FakeHost host;
    host[3] = { true, 1.0f, 1.0f, false };

    EffectChain chain;
    chain.prepare (2, 16);
    chain.publishRouting (withGroups ({ { 1, 3 } }));

    auto block = makeBlock();
    chain.process (host, block, 2, 4);

    ASSERT_EQ (host.numCalls, 1);
    EXPECT_EQ (host.calls[0].buffer, &block);
    EXPECT_EQ (host.calls[0].startSample, 2);
}

TEST (EffectChain, MonoBlockAndBlocksLongerThanPrepared)
{
    FakeHost host;
    host[1] = { true, 2.0f, 0.0f, false };
    host[3] = { true, 1.0f, 1.0f, false };

    EffectChain chain;
    chain.prepare (2, 64);

    for (auto mode : { RoutingMode::Parallel, RoutingMode::CustomPro })
    {
        SCOPED_TRACE ((int) mode);
        auto state = withGroups ({ { 1, 3 } });
        state.mode = mode;
        chain.publishRouting (state);

        // 150 samples through 64-sample work buffers: the arithmetic must not depend on the pieces.
        juce::AudioBuffer<float> mono (1, 150);
        for (int i = 0; i < 150; ++i)
            mono.setSample (0, i, (float) i);

        host.numCalls = 0;
        chain.process (host, mono, 0, 150);

        for (int i = 0; i < 150; ++i)
            ASSERT_EQ (mono.getSample (0, i), (2.0f * (float) i + ((float) i + 1.0f)) * 0.5f) << i;

        for (int k = 0; k < juce::jmin (host.numCalls, 64); ++k)
        {
            EXPECT_EQ (host.calls[(size_t) k].numChannels, 1);
            EXPECT_LE (host.calls[(size_t) k].numSamples, 64);
            EXPECT_EQ (host.calls[(size_t) k].startSample, 0);
        }
    }
}

TEST (EffectChain, RoutingChangesApplyFromTheNextBlock)
{
    FakeHost host;
    host[1] = { true, 2.0f, 0.0f, false };
    host[3] = { true, 1.0f, 1.0f, false };

    EffectChain chain;
    chain.prepare (2, 16);

    auto block = makeBlock();
    chain.process (host, block, 0, 8);
    EXPECT_EQ (block.getSample (0, 0), 3.0f);                     // serial by default: 1 * 2 + 1

    chain.publishRouting (withMode (RoutingMode::Parallel));
    block = makeBlock();
    chain.process (host, block, 0, 8);
    EXPECT_EQ (block.getSample (0, 0), 2.0f);                     // mean of 2 and 2
}

TEST (EffectChain, NoAllocationOrLockWhileRendering)
{
    if (! testing_rt::trapAvailable())
        GTEST_SKIP() << "allocation trap not in this build";

    FakeHost host;
    host[0] = { true, 0.5f, 0.0f, false };
    host[4] = { true, 2.0f, 0.0f, false };
    host[8] = { true, 1.0f, 0.25f, false };

    EffectChain chain;
    chain.prepare (2, 512);

    juce::Random random (7);
    RoutingState state;
    state.makeRandomGroups (random);

    juce::AudioBuffer<float> block (2, 1100);
    block.clear();

    for (auto mode : { RoutingMode::Serial, RoutingMode::Parallel, RoutingMode::CustomPro })
    {
        state.mode = mode;
        chain.publishRouting (state);
        chain.process (host, block, 0, 64);      // warm-up block takes the new routing

        testing_rt::RealtimeScope scope;
        for (int n : { 64, 512, 1100 })
            chain.process (host, block, 0, n);
        EXPECT_TRUE (scope.counts().clean()) << "mode " << (int) mode;
    }
}

//==============================================================================
TEST (EffectScratch, BufferEffectsSeeAStretchStartingAtZero)
{
    EffectScratch scratch;
    scratch.prepare (2, 512);

    // A 256-sample stretch after preparing for 512: the effect gets exactly 256, from sample 0.
    juce::AudioBuffer<float> block (2, 600);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 600; ++i)
            block.setSample (c, i, (float) (c * 1000 + i));

    int seenSamples = -1, seenChannels = -1;
    float seenFirst = -1.0f;
    scratch.run (block, 100, 256, [&] (juce::AudioBuffer<float>& b)
    {
        seenSamples = b.getNumSamples();
        seenChannels = b.getNumChannels();
        seenFirst = b.getSample (1, 0);
        b.applyGain (2.0f);
    });

    EXPECT_EQ (seenSamples, 256);
    EXPECT_EQ (seenChannels, 2);
    EXPECT_EQ (seenFirst, 1100.0f);
    EXPECT_EQ (block.getSample (0, 99), 99.0f);
    EXPECT_EQ (block.getSample (0, 100), 200.0f);
    EXPECT_EQ (block.getSample (1, 355), 2.0f * 1355.0f);
    EXPECT_EQ (block.getSample (1, 356), 1356.0f);

    // One channel in, one channel to the effect.
    juce::AudioBuffer<float> mono (1, 32);
    mono.clear();
    scratch.run (mono, 0, 32, [&] (juce::AudioBuffer<float>& b) { seenChannels = b.getNumChannels(); });
    EXPECT_EQ (seenChannels, 1);
}

TEST (EffectScratch, SilenceFlagsTravelBothWays)
{
    EffectScratch scratch;
    scratch.prepare (2, 64);

    // The scratch still holds the previous stretch; a block flagged as cleared must reach the
    // effect as zeros, not as those leftovers.
    juce::AudioBuffer<float> block (2, 64);
    for (int i = 0; i < 64; ++i)
        block.setSample (0, i, 3.0f);
    scratch.run (block, 0, 64, [] (juce::AudioBuffer<float>&) {});

    block.clear();
    float seen = -1.0f;
    scratch.run (block, 0, 64, [&] (juce::AudioBuffer<float>& b) { seen = b.getMagnitude (0, 64); });
    EXPECT_EQ (seen, 0.0f);

    // An effect that clears its buffer silences the stretch it was given, and only that.
    for (int i = 0; i < 64; ++i)
        block.setSample (0, i, 1.0f);
    scratch.run (block, 16, 32, [] (juce::AudioBuffer<float>& b) { b.clear(); });
    EXPECT_EQ (block.getMagnitude (0, 16, 32), 0.0f);
    EXPECT_EQ (block.getSample (0, 15), 1.0f);
    EXPECT_EQ (block.getSample (0, 48), 1.0f);
}
