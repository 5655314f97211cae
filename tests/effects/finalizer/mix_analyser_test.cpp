#include <gtest/gtest.h>

#include "effects/finalizer/MixAnalyser.h"
#include "effects/finalizer/TavroFinalizer.h"
#include "platform/CrtRand.h"

#include <cmath>
#include <numeric>
#include <vector>

namespace
{
    std::vector<float> zeros (size_t n) { return std::vector<float> (n, 0.0f); }

    std::vector<float> features (MixAnalyser& a) { return { a.featureExtractor.featureVector.begin(), a.featureExtractor.featureVector.end() }; }
}

TEST (MixClassifier, UntrainedNetworkReadsTheOutputBiasesAndLearnsOnlyThem)
{
    MixAnalyser a;
    const auto p = a.predict (zeros (32));
    ASSERT_EQ (p.size(), 8u);
    EXPECT_NEAR (std::accumulate (p.begin(), p.end(), 0.0f), 1.0f, 1.0e-6f);
    EXPECT_NEAR (p[7], 0.2455f, 1.0e-4f);
    EXPECT_EQ (std::max_element (p.begin(), p.end()) - p.begin(), 7);

    // A vector of the wrong length predicts nothing and teaches nothing.
    EXPECT_EQ (a.predict (zeros (31)), zeros (8));

    const auto weightsBefore = a.weights3;
    auto bias = a.bias3;
    a.learn (zeros (32), 3);
    EXPECT_EQ (a.bias3, bias) << "learning is off until the caller sets it";

    a.learningEnabled = true;
    a.learn (zeros (31), 3);
    EXPECT_EQ (a.bias3, bias);

    a.learn (zeros (32), 3);
    for (size_t c = 0; c < 8; ++c)
        EXPECT_NEAR (a.bias3[c] - bias[c], 0.001f * ((c == 3 ? 1.0f : 0.0f) - p[c]), 1.0e-7f) << c;
    EXPECT_EQ (a.weights3, weightsBefore);
}

TEST (MixClassifier, WeightsComeFromTheProcessGeneratorWithinTheirBounds)
{
    platform::crtSrand (1);
    MixAnalyser first;
    platform::crtSrand (1);
    MixAnalyser second;
    EXPECT_EQ (first.weights1, second.weights1);
    EXPECT_EQ (first.weights3, second.weights3);

    // The first draw after seeding with 1 is 41; it lands on row 0, column 0 of the first layer.
    const float b1 = std::sqrt (2.0f / 96.0f);
    EXPECT_FLOAT_EQ (first.weights1[0][0], (41.0f / 32767.0f - 0.5f) * 2.0f * b1);

    struct Layer { const MixAnalyser::Matrix* w; size_t rows, cols; float bound; };
    for (const auto& l : { Layer { &first.weights1, 32, 64, b1 }, Layer { &first.weights2, 64, 32, b1 },
                           Layer { &first.weights3, 32, 8, std::sqrt (2.0f / 40.0f) } })
    {
        ASSERT_EQ (l.w->size(), l.rows);
        for (const auto& row : *l.w)
        {
            ASSERT_EQ (row.size(), l.cols);
            for (float w : row)
                ASSERT_LE (std::abs (w), l.bound);
        }
    }
    EXPECT_EQ (first.bias1, zeros (64));
    EXPECT_EQ (first.bias2, zeros (32));
}

TEST (MixClassifier, FeaturesOfGeneratedWindows)
{
    MixAnalyser a;
    auto& fx = a.featureExtractor;

    const float expectedEdges[] = { 20.0f, 97.1f, 182.5f, 277.1f };
    for (size_t k = 0; k < 4; ++k)
        EXPECT_NEAR (fx.bandEdgesHz[k], expectedEdges[k], 0.05f) << k;
    EXPECT_NEAR (fx.bandEdgesHz[31], 16187.6f, 0.5f);
    EXPECT_NEAR (fx.bandEdgesHz[33], 20000.0f, 0.5f);

    std::vector<float> sine (1024), inverted (1024), dc (1024, 0.5f);
    for (size_t t = 0; t < sine.size(); ++t)
    {
        sine[t] = 0.5f * std::sin (0.07f * (float) t);
        inverted[t] = -sine[t];
    }

    // Identical channels: fully correlated.
    a.classify (sine.data(), sine.data(), 1024);
    EXPECT_FLOAT_EQ (fx.featureVector[31], 1.0f);
    EXPECT_EQ (a.classProbabilities.size(), 8u);
    EXPECT_FLOAT_EQ (a.classConfidence, a.classProbabilities[(size_t) a.classIndex]);

    // A window one frame short of the minimum keeps the last features.
    const auto kept = features (a);
    fx.extract (dc.data(), sine.data(), 255);
    EXPECT_EQ (features (a), kept);

    // Opposite channels: the mid signal vanishes.
    fx.extract (sine.data(), inverted.data(), 1024);
    EXPECT_FLOAT_EQ (fx.featureVector[31], 0.0f);
    EXPECT_NEAR (fx.featureVector[28], -1.0f / 3.0f, 1.0e-5f);
    for (auto e : fx.bandEnergies)
        EXPECT_EQ (e, 0.0f);

    // A constant window: only the first sample steps away from zero.
    fx.extract (dc.data(), dc.data(), 1024);
    for (int j = 0; j < 16; ++j)
        EXPECT_FLOAT_EQ (fx.bandEnergies[(size_t) j], 1.0f) << j;
    for (int j = 16; j < 32; ++j)
        EXPECT_NEAR (fx.bandEnergies[(size_t) j], (float) (j - 15) / 32.0f, 1.0e-6f) << j;
    EXPECT_EQ (fx.featureVector[30], 0.0f);
}

TEST (MixAnalyser, HistoriesComputeSlopesFromTheTenthPushAndKeepSixty)
{
    MixAnalyser a;
    for (int i = 0; i < 9; ++i)
        a.pushHistory ((float) i, 2.0f * (float) i, 0.5f, -(float) i);
    for (float slope : { a.rmsSlope, a.peakSlope, a.correlationSlope, a.crestSlope })
        EXPECT_EQ (slope, 0.0f);

    a.pushHistory (9.0f, 18.0f, 0.5f, -9.0f);
    EXPECT_NEAR (a.rmsSlope, 1.0f, 1.0e-4f);
    EXPECT_NEAR (a.peakSlope, 2.0f, 1.0e-4f);
    EXPECT_NEAR (a.correlationSlope, 0.0f, 1.0e-5f);
    EXPECT_NEAR (a.crestSlope, -1.0f, 1.0e-4f);

    for (int i = 10; i < 61; ++i)
        a.pushHistory ((float) i, 2.0f * (float) i, 0.5f, -(float) i);
    for (const auto* h : { &a.rmsHistory, &a.peakHistory, &a.correlationHistory, &a.crestHistory })
        EXPECT_EQ (h->size(), 60u);
    EXPECT_EQ (a.rmsHistory.front(), 1.0f);
    EXPECT_EQ (a.rmsHistory.back(), 60.0f);

    EXPECT_EQ (historySlope ({ 1.0f, 2.0f, 3.0f, 4.0f }), 0.0f);
}

TEST (MixAnalyser, NeighbouringMarkersFormRegionsAroundAMovingMidPoint)
{
    struct Case { std::vector<float> positions; std::vector<std::vector<int>> members; std::vector<float> centres; };
    const Case cases[] = {
        { { 0.10f, 0.14f, 0.16f }, { { 0, 1, 2 } }, { 0.14f } },   // 0.16 is within reach of 0.12
        { { 0.10f, 0.12f }, { { 0, 1 } }, { 0.11f } },
        { { 0.10f, 0.16f }, {}, {} },
        { { 0.5f }, {}, {} },
        { { 0.10f, 0.80f, 0.12f, 0.82f }, { { 0, 2 }, { 1, 3 } }, { 0.11f, 0.81f } },
    };

    MixAnalyser a;
    for (const auto& c : cases)
    {
        std::vector<IssueMarker> markers;
        for (float p : c.positions)
            markers.emplace_back().position = p;

        a.findIssueRegions (markers);
        ASSERT_EQ (a.issueRegions.size(), c.members.size()) << c.positions.size();
        for (size_t r = 0; r < c.members.size(); ++r)
        {
            EXPECT_EQ (a.issueRegions[r].memberIndices, c.members[r]);
            EXPECT_NEAR (a.issueRegions[r].position, c.centres[r], 1.0e-6f);
        }
    }
}

TEST (MixAnalyser, ResetForANewFileRestartsLearningButKeepsTheBaseline)
{
    MixAnalyser a;
    for (int i = 0; i < 12; ++i)
        a.pushHistory (-10.0f - (float) i, -3.0f, 0.8f, 10.0f);
    a.issueRegions.push_back ({ { 0, 1 }, 0.2f });
    a.baselineRmsDb = -11.0f;
    a.baselineCount = 700;
    a.healthScore = 40.0f;
    a.classIndex = 2;
    a.classConfidence = 0.9f;
    a.bias3[2] = 3.0f;
    const auto oldWeights = a.weights1;
    const float slope = a.rmsSlope;

    a.resetForNewFile();
    EXPECT_TRUE (a.rmsHistory.empty() && a.crestHistory.empty() && a.issueRegions.empty());
    EXPECT_EQ (a.classProbabilities, zeros (8));
    EXPECT_EQ (a.classIndex, 7);
    EXPECT_EQ (a.classConfidence, 0.9f);
    EXPECT_NE (a.weights1, oldWeights);
    EXPECT_EQ (a.bias3, std::vector<float> (MixAnalyser::initialOutputBias.begin(), MixAnalyser::initialOutputBias.end()));
    EXPECT_EQ (a.baselineCount, 0);
    EXPECT_EQ (a.healthScore, 100.0f);
    EXPECT_EQ (a.baselineRmsDb, -11.0f);
    EXPECT_EQ (a.rmsSlope, slope);
}

TEST (FinalizerSignalCharacter, TextPiecesFollowTheFeatures)
{
    FinalizerFeatures f;
    f.rmsLeft = f.rmsRight = 0.00009f;
    EXPECT_EQ (TavroFinalizer::describeSignalCharacter (f), "Waiting for audio...");

    f.rmsLeft = f.rmsRight = 0.2f;
    f.integratedLevelDb = -14.26f;
    f.narrowDb = -12.7f;
    f.mediumDb = -20.2f;
    f.wideDb = -30.9f;
    f.leftPanPercent = 10.9f;
    f.centrePercent = 80.2f;
    f.rightPanPercent = 8.9f;
    f.sideToMidRatio = 1.0f;
    f.correlation = 0.8f;
    f.crestDb = 12.0f;
    f.levelDb = -13.04f;
    EXPECT_EQ (TavroFinalizer::describeSignalCharacter (f),
               "Avg RMS: -14.3 dB\nLo:-12 Mid:-20 Hi:-30 dB\nL:10% C:80% R:8%\nMono-safe\nLevel: -13.0 LUFS");

    struct Case { std::function<void (FinalizerFeatures&)> set; const char* present; const char* absent; };
    const Case cases[] = {
        { [] (auto& x) { x.overCompressed = true; x.crestDb = 20.0f; }, "Over-compressed\n", "Very dynamic" },
        { [] (auto& x) { x.crestDb = 20.0f; }, "Very dynamic\n", "Over-compressed" },
        { [] (auto& x) { x.sideToMidRatio = 0.2f; }, "Narrow/Mono\n", "Mono-safe" },
        { [] (auto& x) { x.sideToMidRatio = 1.6f; }, "Wide stereo\n", "Mono-safe" },
        { [] (auto& x) { x.correlation = 0.5f; }, "R:8%\nLevel", "Mono-safe" },
        { [] (auto& x) { x.clipping = true; x.phaseProblem = true; x.correlation = -0.456f; },
          "CLIPPING!\nMONO UNSAFE (r=-0.46)\n", "Mono-safe" },
        { [] (auto& x) { x.dcOffset = true; x.mostlyMono = true; x.noisyWide = true; },
          "DC offset detected\nMono-safe\nHeavy low-end\nHarsh highs\nLevel", "Waiting" },
    };
    for (const auto& c : cases)
    {
        auto g = f;
        c.set (g);
        const auto text = TavroFinalizer::describeSignalCharacter (g);
        EXPECT_TRUE (text.contains (c.present)) << text;
        EXPECT_FALSE (text.contains (c.absent)) << text;
    }
}
