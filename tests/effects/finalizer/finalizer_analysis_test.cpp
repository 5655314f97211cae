#include <gtest/gtest.h>

#include "FinalizerFixture.h"
#include "support/AudioFixtures.h"

#include <cmath>

// The finalizer's playback analysis over windows of a file handed to its player, built in
// memory so each window's numbers are known.

namespace
{
    void give (TavroFinalizer& fin, int channels, int frames, const audiofixtures::SampleFunction& sample)
    {
        fin.loadWavePlayerFile (juce::File(), SharedDecodedAudio (audiofixtures::decoded (channels, frames, 48000.0, sample)));
    }

    audiofixtures::SampleFunction constant (float left, float right)
    {
        return [=] (int channel, int) { return channel == 0 ? left : right; };
    }

    int countKind (const TavroFinalizer& fin, int kind)
    {
        return (int) std::count_if (fin.issueMarkers.begin(), fin.issueMarkers.end(),
                                    [kind] (const IssueMarker& m) { return m.kind == kind; });
    }

    const IssueMarker* find (const TavroFinalizer& fin, int kind)
    {
        for (const auto& m : fin.issueMarkers)
            if (m.kind == kind)
                return &m;
        return nullptr;
    }

    void analyse (TavroFinalizer& fin, int times)
    {
        for (int i = 0; i < times; ++i)
            fin.analysePlaybackWindow();
    }
}

TEST (FinalizerPlaybackAnalysis, WindowStatistics)
{
    FinalizerRig rig;
    auto& fin = rig.fin;

    // Mono: both sides read the one channel.
    give (fin, 1, 4096, audiofixtures::sine (1000.0, 48000.0, 0.5f));
    fin.analysePlaybackWindow();
    EXPECT_FLOAT_EQ (fin.windowCorrelation, 1.0f);
    EXPECT_EQ (fin.windowRmsLeft, fin.windowRmsRight);
    EXPECT_EQ (fin.windowPeakLeft, fin.windowPeakRight);
    EXPECT_NEAR (fin.windowRmsLeft, 0.5f / std::sqrt (2.0f), 1.0e-3f);
    EXPECT_NEAR (fin.windowCrestDb, 3.01f, 0.02f);
    EXPECT_EQ (fin.mixAnalyser.baselineCount, 1);

    // One frame left before the end: nothing to difference.
    fin.playPosition = 4095.0;
    fin.analysePlaybackWindow();
    EXPECT_EQ (fin.windowMeanAbs, 0.0f);
    EXPECT_EQ (fin.windowMeanAbsDiff, 0.0f);
    EXPECT_EQ (fin.mixAnalyser.baselineCount, 2);

    // At the end there is no window: nothing is learned or filed.
    fin.playPosition = 4096.0;
    fin.issueMarkers.clear();
    analyse (fin, 40);
    EXPECT_EQ (fin.mixAnalyser.baselineCount, 2);
    EXPECT_EQ (fin.mlStepCounter, 2);
    EXPECT_TRUE (fin.issueMarkers.empty());

    // Silence: floors, no markers.
    give (fin, 2, 4096, constant (0.0f, 0.0f));
    fin.analysePlaybackWindow();
    EXPECT_EQ (fin.windowCrestDb, 20.0f);
    EXPECT_EQ (fin.windowCorrelation, 1.0f);
    EXPECT_EQ (fin.mixAnalyser.rmsHistory.back(), -100.0f);
    EXPECT_TRUE (fin.issueMarkers.empty());
    EXPECT_EQ (fin.mixAnalyser.healthScore, 100.0f);
}

TEST (FinalizerPlaybackAnalysis, ThresholdIssuesAndTheirTexts)
{
    struct Case { float left, right; int kind; juce::String text; float severity; std::vector<int> absent; };
    const Case cases[] = {
        { 1.0f, 1.0f, 0, "CLIPPING! Peak at 0.0 dBFS", 1.0f, { 1 } },
        { 0.944061f, 0.944061f, 1, "True Peak over -1 dBTP: -0.5", 0.8f, { 0 } },          // -0.5 dBFS
        { 0.5f, 0.5f, 2, "RMS -6.0 dB", (-6.0206f + 8.0f) * 0.125f, { 0, 1 } },
        { 0.03f, 0.03f, 3, "Low level: -30.5 dB", 0.5f, { 2, 4 } },
        { 0.3f, -0.3f, 9, "Mono cancellation! Correlation: -1.00", 1.0f, {} },
        { 0.05f, 0.05f, 6, "DC: 5.0%", 0.5f, {} },
        { 0.35f, 0.35f, 7, "Low-end buildup", 0.7f, {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        FinalizerRig rig;
        give (rig.fin, 2, 4096, constant (c.left, c.right));
        analyse (rig.fin, 3);

        const auto* marker = find (rig.fin, c.kind);
        ASSERT_NE (marker, nullptr);
        EXPECT_EQ (marker->text, c.text);
        EXPECT_NEAR (marker->severity, c.severity, 1.0e-3f);
        EXPECT_EQ (countKind (rig.fin, c.kind), 1);
        for (int kind : c.absent)
            EXPECT_EQ (countKind (rig.fin, kind), 0) << kind;
    }

    // An alternating full-scale square is harsh (and clips).
    FinalizerRig rig;
    give (rig.fin, 2, 4096, [] (int, int i) { return i % 2 == 0 ? 0.6f : -0.6f; });
    rig.fin.analysePlaybackWindow();
    ASSERT_NE (find (rig.fin, 8), nullptr);
    EXPECT_EQ (find (rig.fin, 8)->text, "Harsh highs");
    EXPECT_NEAR (find (rig.fin, 8)->value, 1.2f * 2047.0f / 2048.0f, 1.0e-4f);   // one window of 2048
}

TEST (FinalizerPlaybackAnalysis, ARepeatedIssueIsRefreshedNotDuplicated)
{
    FinalizerRig rig;
    auto& fin = rig.fin;
    give (fin, 2, 4096, constant (1.0f, 1.0f));

    for (int tick = 0; tick < 5; ++tick)
    {
        fin.timerCallback();   // ages the markers, then analyses
        ASSERT_EQ (countKind (fin, 0), 1);
        EXPECT_EQ (find (fin, 0)->severity, 1.0f);
        EXPECT_EQ (find (fin, 0)->life, 3.0f);
    }

    // Same kind within 0.02: worst severity kept, first text kept; further away or another kind: new.
    fin.issueMarkers.clear();
    fin.addIssueMarker (4, 0.50f, 0.2f, 3.0f, "first");
    fin.issueMarkers[0].life = 1.0f;
    fin.addIssueMarker (4, 0.515f, 0.6f, 1.0f, "second");
    fin.addIssueMarker (4, 0.51f, 0.1f, 1.0f, "third");
    ASSERT_EQ (fin.issueMarkers.size(), 1u);
    EXPECT_EQ (fin.issueMarkers[0].text, "first");
    EXPECT_EQ (fin.issueMarkers[0].severity, 0.6f);
    EXPECT_EQ (fin.issueMarkers[0].life, 3.0f);
    fin.addIssueMarker (4, 0.53f, 0.1f, 1.0f, "apart");
    fin.addIssueMarker (5, 0.50f, 0.1f, 1.0f, "other kind");
    EXPECT_EQ (fin.issueMarkers.size(), 3u);

    // Twenty at most; a full list still refreshes.
    for (int i = 0; i < 30; ++i)
        fin.addIssueMarker (6, 0.03f * (float) i, 0.1f, 0.0f, "dc");
    EXPECT_EQ (fin.issueMarkers.size(), 20u);
    fin.issueMarkers[0].life = 0.5f;
    fin.addIssueMarker (4, 0.5f, 0.9f, 0.0f, "again");
    EXPECT_EQ (fin.issueMarkers[0].life, 3.0f);
    EXPECT_EQ (fin.issueMarkers[0].severity, 0.9f);
}

TEST (FinalizerPlaybackAnalysis, HealthScoreWeighsKindsAndRegions)
{
    struct Case { std::vector<std::pair<int, float>> markers; std::vector<float> positions; float health; };
    const Case cases[] = {
        { { { 0, 1.0f }, { 0, 1.0f }, { 0, 1.0f }, { 0, 1.0f }, { 0, 1.0f } }, { 0.1f, 0.3f, 0.5f, 0.7f, 0.9f }, 0.0f },
        { { { 8, 0.65f } }, { 0.5f }, 93.5f },
        { { { 1, 0.8f }, { 4, 0.5f }, { 5, 0.5f } }, { 0.1f, 0.5f, 0.9f }, 100.0f - 14.4f - 7.5f - 6.5f },
        { { { 2, 0.5f }, { 3, 0.5f } }, { 0.30f, 0.31f }, 100.0f - 5.0f - 5.0f - 4.0f },   // one region of two
    };

    for (const auto& c : cases)
    {
        FinalizerRig rig;
        give (rig.fin, 2, 4096, constant (0.0f, 0.0f));
        for (size_t i = 0; i < c.markers.size(); ++i)
            rig.fin.addIssueMarker (c.markers[i].first, c.positions[i], c.markers[i].second, 0.0f, "x");
        rig.fin.analysePlaybackWindow();
        EXPECT_NEAR (rig.fin.mixAnalyser.healthScore, c.health, 1.0e-4f) << c.markers.size();
    }
}

TEST (FinalizerPlaybackAnalysis, BaselineIsLearnedAndItsThresholdsUsedOnlyOnceLearned)
{
    FinalizerRig rig;
    auto& fin = rig.fin;
    auto& a = fin.mixAnalyser;
    give (fin, 2, 4096, constant (0.5f, 0.5f));   // -6 dB: above the fixed level limit of -8

    fin.analysePlaybackWindow();
    ASSERT_NE (find (fin, 2), nullptr);
    EXPECT_EQ (find (fin, 2)->text, "RMS -6.0 dB");
    EXPECT_NEAR (a.baselineRmsDb, 0.9f * -18.0f + 0.1f * -6.0206f, 1.0e-4f);

    analyse (fin, 99);
    EXPECT_EQ (a.rmsHighThresholdDb, -8.0f) << "nothing learned after 100 windows";
    EXPECT_EQ (a.learningProgress, 0.0f);

    fin.analysePlaybackWindow();
    EXPECT_EQ (a.baselineCount, 101);
    EXPECT_FLOAT_EQ (a.rmsHighThresholdDb, a.baselineRmsDb + 10.0f);
    EXPECT_FLOAT_EQ (a.rmsLowThresholdDb, a.baselineRmsDb - 16.0f);
    EXPECT_FLOAT_EQ (a.crestLowThresholdDb, 4.0f);
    EXPECT_NEAR (a.correlationLowThreshold, 0.5f, 1.0e-5f);
    EXPECT_FLOAT_EQ (a.learningProgress, 0.101f);

    // Still the fixed limits up to 500 windows: the -6 dB window keeps firing.
    analyse (fin, 398);
    fin.issueMarkers.clear();
    fin.analysePlaybackWindow();
    EXPECT_EQ (a.baselineCount, 500);
    EXPECT_NE (find (fin, 2), nullptr);

    // Learned from the 501st on: -6 dB is now this file's normal...
    fin.issueMarkers.clear();
    fin.analysePlaybackWindow();
    EXPECT_EQ (find (fin, 2), nullptr);

    // ... and a quiet passage is judged against it (the main-file road keeps the baseline).
    give (fin, 2, 4096, constant (0.05f, 0.05f));
    fin.analysePlaybackWindow();
    ASSERT_NE (find (fin, 3), nullptr);
    EXPECT_EQ (find (fin, 3)->text, "Low level: -26.0 dB [AI: below baseline]");
}

TEST (FinalizerPlaybackAnalysis, EveryThirtiethWindowAsksTheClassifier)
{
    struct Case { int favouredClass; int kindFiled; juce::String text; int trainedLabel; };
    const Case cases[] = {
        { 7, -1, {}, -1 },                                              // balanced: nothing filed or learned
        { 4, 7, juce::String::fromUTF8 ("\xf0\x9f\xa4\x96 ML: Muddy Mids"), 3 },
        { 6, 3, juce::String::fromUTF8 ("\xf0\x9f\xa4\x96 ML: Thin/Weak"), 6 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.favouredClass);
        FinalizerRig rig;
        auto& fin = rig.fin;
        give (fin, 2, 4096, constant (0.0f, 0.0f));   // silence files nothing by itself
        fin.mixAnalyser.bias3[(size_t) c.favouredClass] = 4.0f;
        const auto biasBefore = fin.mixAnalyser.bias3;

        analyse (fin, 29);
        EXPECT_TRUE (fin.mixAnalyser.classProbabilities.empty());

        fin.analysePlaybackWindow();
        EXPECT_EQ (fin.mixAnalyser.classIndex, c.favouredClass);
        EXPECT_GT (fin.mixAnalyser.classConfidence, 0.8f);
        EXPECT_EQ (fin.mlStepCounter, 0);

        if (c.kindFiled < 0)
        {
            EXPECT_TRUE (fin.issueMarkers.empty());
            EXPECT_EQ (fin.mixAnalyser.bias3, biasBefore);
            continue;
        }

        ASSERT_EQ (fin.issueMarkers.size(), 1u);
        EXPECT_EQ (fin.issueMarkers[0].kind, c.kindFiled);
        EXPECT_EQ (fin.issueMarkers[0].text, c.text);
        EXPECT_FLOAT_EQ (fin.issueMarkers[0].severity, fin.mixAnalyser.classConfidence);
        EXPECT_GT (fin.mixAnalyser.bias3[(size_t) c.trainedLabel], biasBefore[(size_t) c.trainedLabel]);
        EXPECT_FALSE (fin.mixAnalyser.learningEnabled);
    }
}
