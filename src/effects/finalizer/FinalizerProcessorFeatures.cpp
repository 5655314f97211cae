#include "effects/finalizer/FinalizerProcessor.h"

#include <cmath>

namespace
{
    template <std::size_t N>
    double halfTrend (const FloatRing<N>& history) noexcept
    {
        const std::size_t size = history.size();
        const std::size_t h = size / 2;
        double older = 0.0, newer = 0.0;

        // Oldest to newest with a wrapping index: the same sums in the same order as indexing
        // element by element, without a division for every element of every block.
        std::size_t index = history.start;
        for (std::size_t i = 0; i < size; ++i)
        {
            (i < h ? older : newer) += history.data[index];
            if (++index == N)
                index = 0;
        }

        return newer / (double) (size - h) - older / (double) h;
    }
}

void FinalizerProcessor::extractFeatures (const float* left, const float* right, int numSamples) noexcept
{
    if (numSamples < 64)
        return;

    auto& f = dsp.features;
    const double n = (double) numSamples;

    double sumL = 0.0, sumR = 0.0, sumL2 = 0.0, sumR2 = 0.0, sumLR = 0.0;
    double narrow = 0.0, medium = 0.0, wide = 0.0;
    float peakL = 0.0f, peakR = 0.0f;
    int signChanges = 0;

    for (int i = 0; i < numSamples; ++i)
    {
        const double l = left[i];
        const double r = right[i];
        sumL += l;
        sumR += r;
        sumL2 += l * l;
        sumR2 += r * r;
        sumLR += l * r;
        peakL = juce::jmax (peakL, std::abs (left[i]));
        peakR = juce::jmax (peakR, std::abs (right[i]));

        if (i > 0 && (left[i] > 0.0f) != (left[i - 1] > 0.0f))
            ++signChanges;

        const double mid = (l + r) / 2.0;
        const double sideMagnitude = std::abs (mid - l);
        const double energy = mid * mid;

        if (sideMagnitude < 0.01)     narrow += energy;
        else if (sideMagnitude < 0.1) medium += energy;
        else                          wide += energy;
    }

    const float k = FinalizerFeatures::rmsSmoothing;
    f.rmsLeft = k * (float) std::sqrt (sumL2 / n) + (1.0f - k) * f.rmsLeft;
    f.rmsRight = k * (float) std::sqrt (sumR2 / n) + (1.0f - k) * f.rmsRight;
    f.peakHoldLeft = juce::jmax (peakL, f.peakHoldLeft * 0.99f);
    f.peakHoldRight = juce::jmax (peakR, f.peakHoldRight * 0.99f);

    const double meanL = sumL / n, meanR = sumR / n;
    const double varL = sumL2 / n - meanL * meanL;
    const double varR = sumR2 / n - meanR * meanR;
    if (varL > 1e-10 && varR > 1e-10)
        f.correlation = (float) (0.1 * ((sumLR / n - meanL * meanR) / std::sqrt (varL * varR)) + 0.9 * f.correlation);

    if (dsp.midRms > 0.001f)
        f.sideToMidRatio = 0.05f * dsp.sideRms / dsp.midRms + 0.95f * f.sideToMidRatio;

    const float avgRms = (f.rmsLeft + f.rmsRight) / 2.0f;
    if (avgRms > 0.0001f)
        f.crestDb = 0.05f * 20.0f * std::log10 (((f.peakHoldLeft + f.peakHoldRight) / 2.0f) / avgRms)
                  + 0.95f * f.crestDb;

    f.dcLeft = (float) (0.01 * meanL + 0.99 * f.dcLeft);
    f.dcRight = (float) (0.01 * meanR + 0.99 * f.dcRight);

    const double total = narrow + medium + wide + 0.0001;
    f.narrowFraction = (float) (0.1 * narrow / total + 0.9 * f.narrowFraction);
    f.mediumFraction = (float) (0.1 * medium / total + 0.9 * f.mediumFraction);
    f.wideFraction = (float) (0.1 * wide / total + 0.9 * f.wideFraction);

    f.levelDb = 0.1f * (20.0f * std::log10 (avgRms + 1e-10f) - 10.0f) + 0.9f * f.levelDb;

    f.levelCount += 1;
    f.levelSum += avgRms;
    f.integratedLevelDb = (float) (20.0 * std::log10 (f.levelSum / f.levelCount + 1e-10));
    if (f.levelCount > 1000)
    {
        f.levelCount = 100;
        f.levelSum = 100.0 * avgRms;
    }

    auto energyDb = [n] (double sum) { return 20.0 * std::log10 (std::sqrt (sum / (n + 1.0)) + 1e-10); };
    f.narrowDb = (float) (0.1 * energyDb (narrow) + 0.9 * f.narrowDb);
    f.mediumDb = (float) (0.1 * energyDb (medium) + 0.9 * f.mediumDb);
    f.wideDb = (float) (0.1 * energyDb (wide) + 0.9 * f.wideDb);

    double panLeft = 0.0, panCentre = 0.0, panRight = 0.0;
    for (int i = 0; i < numSamples; ++i)
    {
        const double al = std::abs (left[i]);
        const double ar = std::abs (right[i]);
        const double ratio = (ar - al) / (ar + al + 0.0001);
        const double energy = ((ar + al) / 2.0) * ((ar + al) / 2.0);

        if (ratio < -0.3)     panLeft += energy;
        else if (ratio > 0.3) panRight += energy;
        else                  panCentre += energy;
    }
    const double panTotal = panLeft + panCentre + panRight + 0.0001;
    f.leftPanPercent = (float) (0.1 * 100.0 * panLeft / panTotal + 0.9 * f.leftPanPercent);
    f.centrePercent = (float) (0.1 * 100.0 * panCentre / panTotal + 0.9 * f.centrePercent);
    f.rightPanPercent = (float) (0.1 * 100.0 * panRight / panTotal + 0.9 * f.rightPanPercent);

    f.levelHistory.push (avgRms);
    f.widthHistory.push (f.sideToMidRatio);

    if (f.levelHistory.size() >= 10)
        f.levelTrend = (float) (100.0 * halfTrend (f.levelHistory));
    if (f.widthHistory.size() >= 10)
        f.widthTrend = (float) (10.0 * halfTrend (f.widthHistory));

    f.clipping = peakL >= 0.99f || peakR >= 0.99f;
    f.overCompressed = f.crestDb < 6.0f && avgRms > 0.1f;
    f.phaseProblem = f.correlation < 0.0f;
    f.dcOffset = std::abs (f.dcLeft) > 0.01f || std::abs (f.dcRight) > 0.01f;
    f.mostlyMono = f.narrowFraction > 0.5f;
    f.noisyWide = f.wideFraction > 0.4f && signChanges > numSamples / 4;
}
