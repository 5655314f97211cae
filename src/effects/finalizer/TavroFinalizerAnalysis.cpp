#include "effects/finalizer/TavroFinalizer.h"

#include <algorithm>
#include <cmath>

juce::String TavroFinalizer::describeSignalCharacter (const FinalizerFeatures& f)
{
    if ((f.rmsLeft + f.rmsRight) * 0.5f < 0.0001f)
        return "Waiting for audio...";

    // Whole numbers are cut toward zero, as the labels are read at a glance.
    const auto whole = [] (float v) { return juce::String ((int) v); };

    juce::String text;
    text << "Avg RMS: " << juce::String (f.integratedLevelDb, 1) << " dB\n"
         << "Lo:" << whole (f.narrowDb) << " Mid:" << whole (f.mediumDb) << " Hi:" << whole (f.wideDb) << " dB\n"
         << "L:" << whole (f.leftPanPercent) << "% C:" << whole (f.centrePercent) << "% R:" << whole (f.rightPanPercent) << "%\n";

    if (f.clipping)
        text << "CLIPPING!\n";
    if (f.phaseProblem)
        text << "MONO UNSAFE (r=" << juce::String (f.correlation, 2) << ")\n";
    if (f.dcOffset)
        text << "DC offset detected\n";

    if (f.overCompressed)
        text << "Over-compressed\n";
    else if (f.crestDb > 18.0f)
        text << "Very dynamic\n";

    if (f.sideToMidRatio < 0.3f)
        text << "Narrow/Mono\n";
    else if (f.sideToMidRatio > 1.5f)
        text << "Wide stereo\n";
    else if (f.correlation > 0.7f)
        text << "Mono-safe\n";

    if (f.mostlyMono)
        text << "Heavy low-end\n";
    if (f.noisyWide)
        text << "Harsh highs\n";

    text << "Level: " << juce::String (f.levelDb, 1) << " LUFS";
    return text;
}

//==============================================================================
namespace
{
    float decibelsOrFloor (float linear) noexcept
    {
        return linear > 0.0f ? std::max (20.0f * std::log10 (linear), -100.0f) : -100.0f;
    }

    juce::String fixed (float v, int decimals) { return juce::String (v, decimals); }

    struct ClassVerdict { int kind, trainingLabel; };
    // By class index; the last class ("Good/Balanced") files nothing and trains nothing.
    constexpr ClassVerdict classVerdicts[] = { { 0, 0 }, { 4, 1 }, { 5, 2 }, { 7, 3 }, { 7, 3 }, { 8, 5 }, { 3, 6 } };
}

void TavroFinalizer::analysePlaybackWindow()
{
    const auto& source = wavePlayer.getSource();
    const auto length = playerLength.load();
    const auto start = (std::int64_t) playPosition.load();

    if (source == nullptr || length <= 0 || start < 0 || start >= length)
        return;

    const int frames = (int) std::min<std::int64_t> (analysisWindowFrames, length - start);
    const float* left = source->samples.getReadPointer (0) + start;
    const float* right = source->getNumChannels() > 1 ? source->samples.getReadPointer (1) + start : left;

    float sumLL = 0.0f, sumRR = 0.0f, sumLR = 0.0f, sumL = 0.0f, sumR = 0.0f;
    float peakL = 0.0f, peakR = 0.0f, sumAbs = 0.0f, sumAbsDiff = 0.0f;
    for (int i = 0; i < frames; ++i)
    {
        const float l = left[i], r = right[i];
        sumLL += l * l;
        sumRR += r * r;
        sumLR += l * r;
        sumL += l;
        sumR += r;
        peakL = std::max (peakL, std::abs (l));
        peakR = std::max (peakR, std::abs (r));
        if (i > 0)
        {
            sumAbsDiff += std::abs (l - left[i - 1]);
            sumAbs += std::abs (l);
        }
    }

    const auto n = (float) frames;
    windowRmsLeft = std::sqrt (sumLL / n);
    windowRmsRight = std::sqrt (sumRR / n);
    windowPeakLeft = peakL;
    windowPeakRight = peakR;
    windowDcOffset = std::abs ((sumL + sumR) / (2.0f * n));

    const float rms = (windowRmsLeft + windowRmsRight) * 0.5f;
    const float peak = std::max (peakL, peakR);
    windowCrestDb = rms > 0.0001f ? decibelsOrFloor (peak / rms) : 20.0f;

    const float normL = std::sqrt (sumLL), normR = std::sqrt (sumRR);
    windowCorrelation = normL > 0.001f && normR > 0.001f ? sumLR / (normL * normR) : 1.0f;
    windowMeanAbs = sumAbs / n;
    windowMeanAbsDiff = sumAbsDiff / n;

    const float levelDb = decibelsOrFloor (rms);
    const float peakDb = decibelsOrFloor (peak);
    const float position = (float) start / (float) length;

    learnBaseline (levelDb, peakDb);
    fileThresholdIssues (position, levelDb, peakDb);
    mixAnalyser.findIssueRegions (issueMarkers);
    updateHealthScore();

    if (++mlStepCounter >= classifierInterval)
    {
        mlStepCounter = 0;
        runClassifierStep (left, right, frames, position);
    }

    if (windowCorrelation < -0.5f)
        addIssueMarker (9, position, std::abs (windowCorrelation), windowCorrelation,
                        "Mono cancellation! Correlation: " + fixed (windowCorrelation, 2));
}

void TavroFinalizer::learnBaseline (float levelDb, float peakDb)
{
    auto& a = mixAnalyser;
    // Fast at first so a new user gets useful thresholds soon, then slow so one loud
    // passage does not move what counts as normal.
    const float rate = a.baselineCount < 1000 ? 0.1f : 0.01f;
    const auto follow = [rate] (float& average, float value) { average = (1.0f - rate) * average + rate * value; };

    follow (a.baselineRmsDb, levelDb);
    follow (a.baselinePeakDb, peakDb);
    follow (a.baselineCrestDb, windowCrestDb);
    follow (a.baselineCorrelation, windowCorrelation);
    follow (a.baselineLowEnd, windowMeanAbs);
    follow (a.baselineHighEnd, windowMeanAbsDiff);
    ++a.baselineCount;

    if (a.baselineCount > 100)
    {
        a.rmsHighThresholdDb = a.baselineRmsDb + 10.0f;
        a.rmsLowThresholdDb = a.baselineRmsDb - 16.0f;
        a.crestLowThresholdDb = std::max (a.baselineCrestDb - 6.0f, 4.0f);
        a.correlationLowThreshold = std::max (a.baselineCorrelation - 0.5f, 0.1f);
        a.learningProgress = std::min ((float) a.baselineCount / 1000.0f, 1.0f);
    }

    a.pushHistory (levelDb, peakDb, windowCorrelation, windowCrestDb);
}

void TavroFinalizer::fileThresholdIssues (float position, float levelDb, float peakDb)
{
    const auto& a = mixAnalyser;
    const bool learned = a.learningProgress > 0.5f;
    const float levelHigh = learned ? a.rmsHighThresholdDb : -8.0f;
    const float levelLow = learned ? a.rmsLowThresholdDb : -24.0f;
    const float crestLow = learned ? a.crestLowThresholdDb : 6.0f;
    const float correlationLow = learned ? a.correlationLowThreshold : 0.3f;
    const float lowEndLimit = learned ? 2.0f * a.baselineLowEnd : 0.3f;
    const float highEndLimit = learned ? 2.5f * a.baselineHighEnd : 0.4f;
    const auto suffix = [learned] (const char* text) { return juce::String (learned ? text : ""); };

    const float crest = windowCrestDb, correlation = windowCorrelation, dc = windowDcOffset;

    if (peakDb > -0.1f)
        addIssueMarker (0, position, 1.0f, peakDb, "CLIPPING! Peak at " + fixed (peakDb, 1) + " dBFS");
    else if (peakDb > -1.0f)
        addIssueMarker (1, position, 0.8f, peakDb, "True Peak over -1 dBTP: " + fixed (peakDb, 1));

    if (levelDb > levelHigh)
        addIssueMarker (2, position, (levelDb - levelHigh) * 0.125f, levelDb,
                        "RMS " + fixed (levelDb, 1) + " dB" + suffix (" [AI: above learned baseline]"));
    if (levelDb < levelLow && levelDb > -60.0f)
        addIssueMarker (3, position, 0.5f, levelDb, "Low level: " + fixed (levelDb, 1) + " dB" + suffix (" [AI: below baseline]"));
    if (crest < crestLow && levelDb > -20.0f)
        addIssueMarker (4, position, 1.0f - crest / crestLow, crest,
                        "Crest: " + fixed (crest, 1) + " dB" + (a.crestSlope < -0.1f ? " [AI: DECLINING]" : ""));
    if (correlation < correlationLow && correlation > -1.0f)
        addIssueMarker (5, position, 1.0f - correlation, correlation,
                        "Correlation: " + fixed (correlation, 2) + (a.correlationSlope < -0.01f ? " [AI: DROPPING]" : ""));
    if (dc > 0.02f)
        addIssueMarker (6, position, 10.0f * dc, dc, "DC: " + fixed (100.0f * dc, 1) + "%");
    if (windowMeanAbs > lowEndLimit && windowMeanAbsDiff < 0.05f)
        addIssueMarker (7, position, 0.7f, windowMeanAbs, "Low-end buildup" + suffix (" [AI: 2x baseline]"));
    if (windowMeanAbsDiff > highEndLimit)
        addIssueMarker (8, position, 0.65f, windowMeanAbsDiff, "Harsh highs" + suffix (" [AI: elevated]"));
}

void TavroFinalizer::updateHealthScore()
{
    float health = 100.0f;
    for (const auto& marker : issueMarkers)
    {
        const float weight = marker.kind == 0 ? 2.0f : marker.kind == 1 ? 1.8f
                           : marker.kind == 4 ? 1.5f : marker.kind == 5 ? 1.3f : 1.0f;
        health -= marker.severity * 10.0f * weight;
    }
    for (const auto& region : mixAnalyser.issueRegions)
        health -= 2.0f * (float) region.memberIndices.size();

    mixAnalyser.healthScore = juce::jlimit (0.0f, 100.0f, health);
}

void TavroFinalizer::runClassifierStep (const float* left, const float* right, int frames, float position)
{
    auto& a = mixAnalyser;
    a.classify (left, right, frames);

    // Only a confident verdict other than "balanced" is filed, and only that one teaches the
    // classifier: training on its own guesses would otherwise reinforce any early bias.
    if (a.classIndex < 0 || a.classIndex >= MixAnalyser::goodBalancedClass || a.classConfidence <= 0.7f)
        return;

    const auto& verdict = classVerdicts[a.classIndex];
    addIssueMarker (verdict.kind, position, a.classConfidence, 0.0f,
                    juce::String::fromUTF8 ("\xf0\x9f\xa4\x96 ML: ") + a.classLabels[(size_t) a.classIndex]);

    a.learningEnabled = true;
    a.learn ({ a.featureExtractor.featureVector.begin(), a.featureExtractor.featureVector.end() }, verdict.trainingLabel);
    a.learningEnabled = false;
}

void TavroFinalizer::addIssueMarker (int kind, float position, float severity, float value, const juce::String& text)
{
    for (auto& marker : issueMarkers)
    {
        if (marker.kind == kind && std::abs (marker.position - position) < 0.02f)
        {
            // The first filing's text and value stand; the issue only stays alive and keeps
            // its worst severity.
            marker.severity = std::max (marker.severity, severity);
            marker.life = 3.0f;
            return;
        }
    }

    if (issueMarkers.size() < maxIssueMarkers)
        issueMarkers.push_back ({ kind, position, severity, value, text, 0.0f, 3.0f, true });
}
