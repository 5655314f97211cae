#include <gtest/gtest.h>

#include "dsp/FractionalDelay.h"
#include "support/RealtimeTrap.h"

#include <limits>

TEST (FractionalDelay, WholeAndFractionalDelaysOfARamp)
{
    dsp::FractionalDelay d;
    d.prepare (16);

    for (int i = 1; i <= 40; ++i)
        d.push ((float) i);   // last pushed: 40

    struct Case { float delay, expected; };
    for (auto c : { Case { 0.0f, 40.0f }, Case { 1.0f, 39.0f }, Case { 2.5f, 37.5f }, Case { 16.0f, 24.0f },
                    Case { 0.25f, 39.75f }, Case { 99.0f, 24.0f }, Case { -3.0f, 40.0f },
                    Case { std::numeric_limits<float>::quiet_NaN(), 40.0f },
                    Case { std::numeric_limits<float>::infinity(), 24.0f } })
        EXPECT_FLOAT_EQ (d.read (c.delay), c.expected) << c.delay;

    EXPECT_EQ (d.getMaxDelay(), 16);
}

TEST (FractionalDelay, ProcessDelaysAnImpulseAndNeverAllocates)
{
    dsp::FractionalDelay d;
    d.prepare (8);

    std::vector<float> out;
    out.reserve (12);
    {
        testing_rt::RealtimeScope scope;
        for (int i = 0; i < 12; ++i)
            out.push_back (d.process (i == 0 ? 1.0f : 0.0f, 3.5f));
        EXPECT_TRUE (scope.counts().clean());
    }

    EXPECT_EQ (out[3], 0.5f);
    EXPECT_EQ (out[4], 0.5f);
    for (int i : { 0, 1, 2, 5, 6, 11 })
        EXPECT_EQ (out[(size_t) i], 0.0f) << i;

    d.clear();
    EXPECT_EQ (d.read (0.0f), 0.0f);

    dsp::FractionalDelay unprepared;
    EXPECT_EQ (unprepared.process (1.0f, 2.0f), 0.0f);
}
