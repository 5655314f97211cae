#include <gtest/gtest.h>

#include "dsp/EventHandoff.h"
#include "dsp/FixedRing.h"
#include "dsp/PodSnapshot.h"


TEST (FixedRing, KeepsTheNewestInOrderAndDropsTheOldest)
{
    FixedRing<int, 3> ring;
    EXPECT_EQ (ring.size(), 0);

    struct Step { int push; std::vector<int> expected; };
    for (const auto& step : { Step { 1, { 1 } }, Step { 2, { 1, 2 } }, Step { 3, { 1, 2, 3 } },
                              Step { 4, { 2, 3, 4 } }, Step { 5, { 3, 4, 5 } }, Step { 6, { 4, 5, 6 } },
                              Step { 7, { 5, 6, 7 } } })
    {
        ring.push (step.push);
        std::vector<int> got;
        for (int i = 0; i < ring.size(); ++i)
            got.push_back (ring[i]);
        EXPECT_EQ (got, step.expected);
        EXPECT_EQ (ring.newest(), step.push);
    }

    ring.clear();
    EXPECT_EQ (ring.size(), 0);
    ring.push (9);
    EXPECT_EQ (ring[0], 9);
}

TEST (PodSnapshot, ReaderTakesTheNewestWholeValueOncePerLook)
{
    struct Pair { int a = 0, b = 0; };
    PodSnapshot<Pair> snap ({ 1, 1 });
    EXPECT_EQ (snap.acquire().a, 1);

    snap.publish ({ 2, 2 });
    EXPECT_EQ (snap.current().a, 1);      // not looked for yet
    EXPECT_EQ (snap.acquire().b, 2);

    // Several publishes between two reads: the reader gets the newest, whole.
    for (int i = 3; i <= 9; ++i)
        snap.publish ({ i, 10 * i });
    const auto& v = snap.acquire();
    EXPECT_EQ (v.a, 9);
    EXPECT_EQ (v.b, 90);
    EXPECT_EQ (&snap.acquire(), &v);      // nothing new: the same copy
}

TEST (PodSnapshot, PrepareStepTakesTheNewestValueBeforeAnyBlock)
{
    struct Pair { int a = 0, b = 0; };
    PodSnapshot<Pair> snap;
    snap.publish ({ 4, 40 });
    snap.takeLatest();
    EXPECT_EQ (snap.current().a, 4);      // the first block's copy, even if its try-lock fails
    EXPECT_EQ (snap.current().b, 40);
    EXPECT_EQ (&snap.acquire(), &snap.current());
    EXPECT_EQ (snap.acquire().b, 40);
}

TEST (EventHandoff, ClearEmptiesBothBanksAndCountersButKeepsSeedAndGeneration)
{
    EventHandoff h;
    h.incoming[3].active = true;
    h.incoming[3].depth = 0.9f;
    h.outgoing[15].parameters[2] = { 7, 0.5f };
    h.written = 5;
    h.read = 4;
    h.dropped = 1;
    h.seed = 1234;
    h.generation = 6;

    h.clear();

    for (const auto* bank : { &h.incoming, &h.outgoing })
        for (const auto& e : *bank)
        {
            EXPECT_FALSE (e.active);
            EXPECT_EQ (e.attackSamples, 4410);
            EXPECT_EQ (e.releaseSamples, 2205);
            EXPECT_EQ (e.depth, 0.5f);
            EXPECT_EQ (e.weight, 1.0f);
            EXPECT_EQ (e.parameters[2].target, -1);
        }

    EXPECT_EQ (h.written.load() + h.read.load() + h.dropped.load(), 0u);
    EXPECT_EQ (h.seed, 1234u);
    EXPECT_EQ (h.generation, 6u);
}
