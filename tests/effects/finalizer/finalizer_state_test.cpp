#include <gtest/gtest.h>

#include "FinalizerFixture.h"
#include "effects/finalizer/FinalizerPanel.h"
#include "support/MessagePump.h"

#include <cmath>

TEST (FinalizerState, DefaultsAfterConstructionAndTheFirstMessagePass)
{
    TavroFinalizerHUD hud;
    TavroFinalizer fin (&hud);

    EXPECT_EQ (fin.hud, &hud);
    EXPECT_EQ (fin.filterSlope, 12);
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_EQ (fin.filterSlope, 24);   // the slope box's asynchronous first notification

    for (size_t k = 0; k < 6; ++k)
    {
        EXPECT_EQ (fin.bandWidth[k].load(), 1.0f);
        EXPECT_EQ (fin.bandDrive[k].load(), 0.0f);
        EXPECT_EQ (fin.bandMode[k].load(), 2);
    }
    const std::pair<const char*, float> processing[] = {
        { "input", fin.inputGainDb }, { "output", fin.outputGainDb }, { "ceiling", fin.ceilingDb },
        { "width", fin.width }, { "asym", fin.asymmetryDeg }, { "rotate", fin.rotateDeg },
        { "density", fin.densityAmount }, { "artic", fin.articAmount }, { "residue", fin.residueAmount },
        { "motion", fin.motionAmount }, { "above", fin.aboveAmount }, { "below", fin.belowAmount },
        { "left mix", fin.leftMix }, { "right mix", fin.rightMix }, { "peak L", fin.peakLeft }, { "peak R", fin.peakRight },
    };
    const float expected[] = { 0, 0, -1, 1, 0, 0, 0.3f, 0.25f, 0.2f, 0, 0, 0, 1, 1, 0, 0 };
    for (size_t i = 0; i < std::size (processing); ++i)
        EXPECT_EQ (processing[i].second, expected[i]) << processing[i].first;

    EXPECT_FALSE (fin.bypassed.load());
    EXPECT_TRUE (fin.dcFilterButton.getAtomicState());
    EXPECT_EQ (fin.getSampleRate(), 44100.0);
    EXPECT_EQ (fin.getProcessSampleRate(), 48000.0);
    EXPECT_EQ (fin.integratedLufs, -14.0f);
    EXPECT_EQ (fin.loudnessRange, 8.0f);
    EXPECT_EQ (fin.subsonicFilter, (std::array<float, 5> { 1, 0, 0, 0, 0 }));
    EXPECT_EQ (fin.ditherType, 1);
    EXPECT_EQ (fin.bitDepth, 16);
    EXPECT_EQ (fin.oversampling, 1);
    EXPECT_FLOAT_EQ (fin.stereoWidthAmount, 1.0f);
    EXPECT_FLOAT_EQ (fin.eqSmoothing, 0.2f);

    EXPECT_EQ (fin.currentView, 2);
    EXPECT_TRUE (fin.viewTabs[2].getToggleState());
    EXPECT_FLOAT_EQ (fin.curvePoints[0].frequency, 20.0f);
    EXPECT_NEAR (fin.curvePoints[95].frequency, 20.0f * std::pow (2.0f, 95.0f / 9.6f), 0.01f);
    const float crossovers[] = { 120.0f, 500.0f, 4000.0f, 20000.0f };
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ (fin.dynamicsBands[k].crossoverHz, crossovers[k]);

    const auto meters = fin.readMeters();
    EXPECT_EQ (meters.features.correlation, 1.0f);
    EXPECT_EQ (meters.features.crestDb, 12.0f);
    EXPECT_EQ (meters.features.centrePercent, 100.0f);
    EXPECT_EQ (meters.features.levelDb, -70.0f);
    EXPECT_EQ (meters.features.integratedLevelDb, -60.0f);
}

TEST (FinalizerState, FullPanelControlsWriteOnlyWhatTheyOwn)
{
    FinalizerRig rig (false);
    EXPECT_TRUE (test_support::runPendingMessages());

    // The subsonic design uses the device rate, 44100 before the first prepare, and changes no sound.
    rig.fin.subsonicBox.setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (rig.fin.subsonicHz, 20);
    EXPECT_NE (rig.fin.subsonicFilter[0], 1.0f);
    const double w = juce::MathConstants<double>::twoPi * 20.0 / 44100.0;
    EXPECT_NEAR (rig.fin.subsonicFilter[3], -2.0 * std::cos (w) / (1.0 + std::sin (w) / 1.414), 1.0e-6);

    rig.fin.ceilingSlider.setValue (-3.0, juce::sendNotificationSync);
    rig.fin.inputGainSlider.setValue (6.0, juce::sendNotificationSync);
    rig.fin.outputGainSlider.setValue (-2.0, juce::sendNotificationSync);
    EXPECT_EQ (rig.fin.ceilingDb.load(), -3.0f);
    EXPECT_EQ (rig.fin.inputGainDb.load(), 6.0f);
    EXPECT_EQ (rig.fin.outputGainDb.load(), -2.0f);

    rig.fin.dcFilterButton.setToggleStateAndMirror (false, juce::dontSendNotification);
    EXPECT_FALSE (rig.fin.dcFilterButton.getAtomicState());

    rig.fin.bypassButton.setToggleState (true, juce::dontSendNotification);
    rig.fin.bypassButton.onClick();
    EXPECT_TRUE (rig.fin.bypassed.load());
}

TEST (FinalizerState, StopOrPlayOffReturnsToTheStart)
{
    FinalizerRig rig;
    for (bool viaStop : { true, false })
    {
        SCOPED_TRACE (viaStop);
        rig.fin.playing = true;
        rig.fin.playButton.setToggleState (true, juce::dontSendNotification);
        rig.fin.playPosition = 12.0 * 44100.0;

        if (viaStop)
        {
            rig.fin.stopButton.onClick();
        }
        else
        {
            rig.fin.playButton.setToggleState (false, juce::dontSendNotification);
            rig.fin.playButton.onClick();
        }

        EXPECT_FALSE (rig.fin.playing.load());
        EXPECT_FALSE (rig.fin.playButton.getToggleState());
        EXPECT_EQ (rig.fin.playPosition.load(), 0.0);
    }
}

TEST (FinalizerState, ThreeFacesBuildAndGoInTheMainWindowsOrder)
{
    struct Faces
    {
        TavroFinalizerHUD hud;
        TavroFinalizer finalizer { &hud };
        FinalizerPanel panel { &finalizer };
    };

    for (int round = 0; round < 3; ++round)
    {
        auto faces = std::make_unique<Faces>();
        faces->panel.setSize (1100, 491);
        EXPECT_FALSE (faces->panel.slavedToMain);
        EXPECT_EQ (faces->panel.titleLabel.getText(), "FINALIZER");

        bool lastState = false;
        int calls = 0;
        faces->panel.onHudToggle = [&] (bool state) { lastState = state; ++calls; };
        faces->panel.hudButton.setToggleState (true, juce::dontSendNotification);
        faces->panel.hudButton.onClick();
        EXPECT_EQ (calls, 1);
        EXPECT_TRUE (lastState);

        faces->panel.bypassButton.setToggleState (true, juce::dontSendNotification);
        faces->panel.bypassButton.onClick();
        EXPECT_TRUE (faces->finalizer.bypassed.load());

        EXPECT_TRUE (test_support::runPendingMessages());
        faces.reset();   // panel, finalizer (joining its worker), display
    }
}
