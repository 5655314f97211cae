#include <gtest/gtest.h>

#include "main/chain/EffectDispatcher.h"
#include "main/chain/EffectRack.h"

namespace
{
    // The nine effects as the main window holds them, and the dispatcher over them.
    struct Rack : EffectRack
    {
        EffectDispatcher dispatcher { effects() };

        Rack()
        {
            distortion.prepare (44100.0);
            stereo.prepare (44100.0);
            delay.prepare (44100.0);
            atomizer.prepare (44100.0);
            imager.prepare (44100.0);
            timePro.prepare (44100.0);
            reader.prepare (44100.0);
            eq.prepare (44100.0);
            finalizer.prepare (44100.0, 512);
        }

        std::vector<int> activeIds() const
        {
            std::vector<int> ids;
            for (int id = -1; id <= numEffects; ++id)
                if (dispatcher.isEffectActive (id))
                    ids.push_back (id);
            return ids;
        }
    };
}

TEST (EffectDispatcher, ActivityAtStartAndWithBypass)
{
    auto rack = std::make_unique<Rack>();

    // The Smart EQ starts with its bands on; with them off only the finalizer counts, until its
    // own bypass is set.
    EXPECT_EQ (rack->activeIds(), (std::vector<int> { 7, 8 }));

    for (int band = 0; band < 6; ++band)
        rack->eq.setBandEnabled (band, false);
    EXPECT_EQ (rack->activeIds(), std::vector<int> { 8 });

    rack->finalizer.bypassed = true;
    EXPECT_TRUE (rack->activeIds().empty());
}

TEST (EffectDispatcher, UnknownIdsAndEmptyStretchesLeaveTheBlockAlone)
{
    auto rack = std::make_unique<Rack>();

    juce::AudioBuffer<float> block (2, 64);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 64; ++i)
            block.setSample (c, i, 0.01f * (float) (i - 32));
    juce::AudioBuffer<float> dry (block);

    for (auto [id, n] : { std::pair { 9, 64 }, { -1, 64 }, { 8, 0 }, { 8, -5 } })
    {
        rack->dispatcher.processEffect (id, block, 0, n);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 64; ++i)
                ASSERT_EQ (block.getSample (c, i), dry.getSample (c, i)) << "id " << id << " n " << n;
    }

    // A buffer effect on a stretch in the middle of a one-channel block touches only that stretch.
    juce::AudioBuffer<float> mono (1, 64);
    for (int i = 0; i < 64; ++i)
        mono.setSample (0, i, 0.3f);
    rack->dispatcher.processEffect (8, mono, 16, 32);
    for (int i : { 0, 15, 48, 63 })
        EXPECT_EQ (mono.getSample (0, i), 0.3f) << i;
    for (int i = 16; i < 48; ++i)
        EXPECT_TRUE (std::isfinite (mono.getSample (0, i)));
}

namespace
{
    // Records which processor ran on what, and answers activity from a flag.
    struct ProbeProcessor final : EffectProcessor
    {
        bool active = false;
        int calls = 0, lastStart = -1, lastCount = -1;

        void prepare (double, int) override {}
        void reset() override {}
        void process (juce::AudioBuffer<float>& b, int start, int n) noexcept override
        {
            ++calls;
            lastStart = start;
            lastCount = n;
            b.setSample (0, start, 1.0f);
        }
        bool isActive() const noexcept override { return active; }
    };
}

TEST (EffectDispatcher, ATableOfProcessorsRoutesEachIdToItsOwnAndNothingElse)
{
    std::array<ProbeProcessor, numEffects> probes;
    EffectDispatcher::Table table {};
    for (size_t i = 0; i < probes.size(); ++i)
        table[i] = &probes[i];
    table[4] = nullptr;   // an empty slot behaves like an unknown id

    EffectDispatcher dispatcher (table);
    probes[2].active = probes[4].active = probes[7].active = true;

    std::vector<int> active;
    for (int id = -2; id <= numEffects + 1; ++id)
        if (dispatcher.isEffectActive (id))
            active.push_back (id);
    EXPECT_EQ (active, (std::vector<int> { 2, 7 }));

    juce::AudioBuffer<float> block (2, 32);
    block.clear();
    for (int id = -1; id <= numEffects; ++id)
        dispatcher.processEffect (id, block, 8, 16);
    dispatcher.processEffect (3, block, 0, 0);

    for (int id = 0; id < numEffects; ++id)
    {
        EXPECT_EQ (probes[(size_t) id].calls, id == 4 ? 0 : 1) << id;
        if (id != 4)
        {
            EXPECT_EQ (probes[(size_t) id].lastStart, 8);
            EXPECT_EQ (probes[(size_t) id].lastCount, 16);
        }
    }
}
