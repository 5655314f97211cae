#include "effects/finalizer/TavroFinalizer.h"

bool StereoBiquad::historyIsFinite() const noexcept
{
    return std::isfinite (xl1 + xl2 + yl1 + yl2 + xr1 + xr2 + yr1 + yr2);
}

void makePeakingCoefficients (StereoBiquad&, double, double, double, double) {}

float TavroFinalizer::toGain (float dB) noexcept
{
    return dB <= -100.0f ? 0.0f : std::pow (10.0f, dB * 0.05f);
}

void TavroFinalizer::prepare (double newSampleRate, int)
{
    sampleRate.store (newSampleRate);
    processSampleRate.store (newSampleRate);
}

void TavroFinalizer::process (juce::AudioBuffer<float>&) {}
void TavroFinalizer::updateEqCoefficients() {}
FinalizerMeters TavroFinalizer::readMeters() const { const juce::SpinLock::ScopedLockType sl (meterLock); return sharedMeters; }
void TavroFinalizer::applyDistStage (float&, float&) noexcept {}
void TavroFinalizer::applyAtomizeStage (float&, float&) noexcept {}
void TavroFinalizer::makeCutCoefficients (float, float, float, BiquadCoefficients&) const noexcept {}
void TavroFinalizer::extractFeatures (const float*, const float*, int) noexcept {}
void TavroFinalizer::raisePeak (std::atomic<float>&, float) noexcept {}
void TavroFinalizer::decayPeak (std::atomic<float>&, float) noexcept {}
