#include <gtest/gtest.h>

#include "FinalizerFixture.h"

#include <cmath>

namespace
{
    void tick (TavroFinalizer& fin, int times)
    {
        for (int i = 0; i < times; ++i)
            fin.timerCallback();
    }
}

TEST (FinalizerMeters, PeaksFallByTheTickAndTheReadoutFloorsAtMinus100)
{
    FinalizerRig rig;
    rig.makeNeutral();
    rig.hud.setVisible (true);

    rig.run (64, [] (int i) { return i == 10 ? std::pair (1.0f, 0.5f) : std::pair (0.0f, 0.0f); });
    rig.run (512, [] (int) { return std::pair (0.0f, 0.0f); });
    ASSERT_NEAR (rig.fin.peakLeft.load(), 1.0f, 1.0e-6f);

    float expected = rig.fin.peakLeft.load();
    for (int i = 0; i < 1000; ++i)
    {
        rig.fin.timerCallback();
        expected *= 0.9995f;
        ASSERT_EQ (rig.fin.peakLeft.load(), expected) << "tick " << i;
    }
    // About -4.3 dB per second of ticks.
    EXPECT_NEAR (rig.hud.truePeakDb, 20.0f * std::log10 (std::pow (0.9995f, 1000.0f)), 0.01f);
    EXPECT_NEAR (rig.hud.truePeakDb, -4.34f, 0.01f);

    // The right channel started lower, so the readout follows the left until both are gone.
    while (rig.fin.peakLeft.load() >= 1.0e-5f)
        rig.fin.timerCallback();
    EXPECT_GT (rig.fin.peakLeft.load(), 0.0f);
    EXPECT_EQ (rig.hud.truePeakDb, -100.0f);

    rig.fin.peakLeft = 0.0f;
    rig.fin.peakRight = 0.0f;
    rig.fin.timerCallback();
    EXPECT_EQ (rig.hud.truePeakDb, -100.0f);
}

TEST (FinalizerMeters, AHiddenOrMissingDisplayIsLeftAlone)
{
    {
        FinalizerRig rig;
        rig.hud.setVisible (false);
        rig.hud.truePeakDb = 5.0f;
        rig.hud.setHoverText ("x", "y", "z");
        rig.fin.peakLeft = 0.5f;
        tick (rig.fin, 3);
        EXPECT_EQ (rig.hud.truePeakDb, 5.0f);
        EXPECT_TRUE (rig.hud.hoverActive);
        EXPECT_LT (rig.fin.peakLeft.load(), 0.5f);   // the peaks fall all the same
    }
    {
        TavroFinalizer alone (nullptr);
        alone.peakLeft = 0.5f;
        alone.hudButton.triggerClick();
        tick (alone, 3);
        EXPECT_NEAR (alone.peakLeft.load(), 0.5f * std::pow (0.9995f, 3.0f), 1.0e-7f);
    }
}

TEST (FinalizerMeters, AVisibleDisplayGetsTheFixedLoudnessAndNoHover)
{
    FinalizerRig rig;
    rig.hud.setVisible (true);
    rig.hud.setHoverText ("INPUT", "-18..18", "gain");
    rig.hud.integratedLufs = 0.0f;
    rig.fin.peakLeft = 0.5f;

    rig.fin.timerCallback();

    EXPECT_FALSE (rig.hud.hoverActive);
    EXPECT_EQ (rig.hud.integratedLufs, -14.0f);
    EXPECT_EQ (rig.hud.shortTermLufs, -12.0f);
    EXPECT_EQ (rig.hud.momentaryLufs, -10.0f);
    EXPECT_EQ (rig.hud.loudnessRange, 8.0f);
    EXPECT_NEAR (rig.hud.truePeakDb, 20.0f * std::log10 (0.5f * 0.9995f), 1.0e-4f);
}

TEST (FinalizerMeters, MarkersAgeAndExpireInOrder)
{
    FinalizerRig rig;
    auto marker = [] (int kind, float life) { IssueMarker m; m.kind = kind; m.life = life; return m; };

    // Two entries expiring in the same tick, next to each other and apart.
    rig.fin.issueMarkers = { marker (0, 0.0015f), marker (1, 0.0005f), marker (2, 0.0008f), marker (3, 0.5f), marker (4, 0.0009f) };
    rig.fin.timerCallback();
    ASSERT_EQ (rig.fin.issueMarkers.size(), 2u);
    EXPECT_EQ (rig.fin.issueMarkers[0].kind, 0);
    EXPECT_EQ (rig.fin.issueMarkers[1].kind, 3);
    EXPECT_FLOAT_EQ (rig.fin.issueMarkers[1].rise, 0.008f);

    rig.fin.issueMarkers = { marker (7, 3.0f) };
    tick (rig.fin, 2990);
    EXPECT_EQ (rig.fin.issueMarkers.size(), 1u);
    tick (rig.fin, 20);
    EXPECT_TRUE (rig.fin.issueMarkers.empty());
}
