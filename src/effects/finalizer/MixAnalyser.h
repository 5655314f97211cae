#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <deque>
#include <vector>

/** An issue filed by the playback analysis; aged by the finalizer's timer. */
struct IssueMarker
{
    int kind = 0;
    float position = 0.0f;
    float severity = 0.0f;
    float value = 0.0f;
    juce::String text;
    float rise = 0.0f;
    float life = 3.0f;
    bool visible = true;
};

/** Neighbouring issue markers taken together. */
struct IssueRegion
{
    std::vector<int> memberIndices;   // into the finalizer's marker list, the first member first
    float position = 0.0f;            // running mid-point of the members' positions
};

/** Reduces a short stereo window to the 32 numbers the mix classifier reads. */
class FeatureExtractor
{
public:
    static constexpr int numFeatures = 32;
    static constexpr int numBands = 32;
    static constexpr int minFrames = 256;

    FeatureExtractor();

    /** Windows shorter than `minFrames` keep the previous features. */
    std::vector<float> extract (const float* left, const float* right, int frameCount);

    static float zeroCrossingRate (const float* samples, int frameCount) noexcept;
    static float channelCorrelation (const float* left, const float* right, int frameCount) noexcept;

    std::array<float, numBands> bandEnergies {};
    std::array<float, numFeatures> featureVector {};
    std::array<float, numBands + 2> bandEdgesHz {};   // mel-spaced, 20 Hz to 20 kHz

private:
    void measureBands (const float* left, const float* right, int frameCount);
    void describeSpectrum (float& centroid, float& spread, float& flatness, float& rollOff) const;
};

/** Least-squares slope of a history per entry, oldest first; 0 below five values. */
float historySlope (const std::deque<float>& history);

/** The memory of the finalizer's playback analysis: learned baseline, trend histories, issue
    regions, health, and a small classifier that sorts a window into one of eight mix classes.
    Message thread only. */
class MixAnalyser
{
public:
    using Matrix = std::vector<std::vector<float>>;

    MixAnalyser();

    // Classifier
    void initialiseNetwork();
    std::vector<float> predict (const std::vector<float>& features) const;
    void learn (const std::vector<float>& features, int label);
    void classify (const float* left, const float* right, int frameCount);

    // Analysis
    void pushHistory (float rmsDb, float peakDb, float correlation, float crestDb);
    void findIssueRegions (const std::vector<IssueMarker>& markers);
    void resetForNewFile();

    static constexpr int numClasses = 8;
    static constexpr int goodBalancedClass = 7;
    static constexpr size_t historyLength = 60;

    Matrix weights1, weights2, weights3;
    std::vector<float> bias1, bias2, bias3;
    float learningRate = 0.001f;
    bool learningEnabled = false;
    FeatureExtractor featureExtractor;
    std::vector<float> classProbabilities;
    int classIndex = goodBalancedClass;
    float classConfidence = 0.0f;
    const std::array<juce::String, numClasses> classLabels { "Clipping", "Over-compressed", "Phase Issues",
                                                             "Bass Buildup", "Muddy Mids", "Harsh Highs",
                                                             "Thin/Weak", "Good/Balanced" };

    float baselineRmsDb = -18.0f;
    float baselinePeakDb = -6.0f;
    float baselineCrestDb = 12.0f;
    float baselineCorrelation = 0.9f;
    float baselineLowEnd = 0.3f;
    float baselineHighEnd = 0.2f;
    int baselineCount = 0;

    std::deque<float> rmsHistory, peakHistory, correlationHistory, crestHistory;
    float rmsSlope = 0.0f, peakSlope = 0.0f, correlationSlope = 0.0f, crestSlope = 0.0f;

    std::vector<IssueRegion> issueRegions;
    float healthScore = 100.0f;
    float learningProgress = 0.0f;

    float peakThresholdDb = 0.0f;
    float rmsHighThresholdDb = -8.0f;
    float rmsLowThresholdDb = -24.0f;
    float crestLowThresholdDb = 6.0f;
    float correlationLowThreshold = 0.3f;

    static const std::array<float, numClasses> initialOutputBias;

private:
    static Matrix randomWeightMatrix (int rows, int cols);
};
