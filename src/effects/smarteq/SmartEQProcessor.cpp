#include "effects/smarteq/SmartEQProcessor.h"

#include "dsp/Decibels.h"

SmartEQProcessor::SmartEQProcessor()
{
    for (int b = 0; b < numBands; ++b)
    {
        reportedEnvelopeDb[(size_t) b].store (0.0f);
        reportedMotionPhase[(size_t) b].store (0.0f);
        reportedMotionRateHz[(size_t) b].store (1.0f);
    }

    publishBands (Bands {});
    snapshot.acquire();
}

//==============================================================================
void SmartEQProcessor::prepare (double newSampleRate, int)
{
    sampleRate.store (newSampleRate > 0.0 ? newSampleRate : 44100.0, std::memory_order_relaxed);

    // No block is in flight, so the reader's side may be taken here, waiting for a writer if
    // needed: the newest set is redesigned at the new rate, and the first block already runs on
    // it even when a publish from the panel meets this moment.
    snapshot.takeLatest();
    const auto bands = snapshot.current().bands;
    publishBands (bands);
    snapshot.takeLatest();

    reset();
}

void SmartEQProcessor::reset()
{
    renderer.clearState();

    for (int b = 0; b < numBands; ++b)
    {
        reportedEnvelopeDb[(size_t) b].store (0.0f, std::memory_order_relaxed);
        reportedMotionPhase[(size_t) b].store (0.0f, std::memory_order_relaxed);
    }
}

void SmartEQProcessor::publishBands (const Bands& bands) noexcept
{
    smarteq::Snapshot next;
    next.sampleRate = sampleRate.load (std::memory_order_relaxed);
    next.bands = bands;

    int mask = 0;
    for (int b = 0; b < numBands; ++b)
    {
        smarteq::computeCoefficients (next.bands[(size_t) b], next.sampleRate);
        if (next.bands[(size_t) b].enabled)
            mask |= 1 << b;
    }

    snapshot.publish (next);
    enabledMask.store (mask, std::memory_order_relaxed);
}

//==============================================================================
void SmartEQProcessor::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    const int channels = buffer.getNumChannels();
    if (channels < 1 || numSamples < 1 || startSample < 0 || startSample + numSamples > buffer.getNumSamples())
        return;

    auto* left = buffer.getWritePointer (0, startSample);
    auto* right = channels > 1 ? buffer.getWritePointer (1, startSample) : left;
    process (left, right, numSamples);
}

void SmartEQProcessor::process (float* left, float* right, int numSamples) noexcept
{
    if (bypassed.load (std::memory_order_relaxed) || numSamples < 1)
        return;

    juce::ScopedNoDenormals noDenormals;

    const auto& audioSnapshot = snapshot.acquire();

    smarteq::GlobalParams globals;
    globals.globalMix = globalParameters.globalMixPct.load (std::memory_order_relaxed) / 100.0f;
    globals.outGain = dsp::decibelsToGain<dsp::DecibelForm::unfloored> (globalParameters.outputGainDb.load (std::memory_order_relaxed));
    globals.mono = globalParameters.mono.load (std::memory_order_relaxed);

    renderer.process (audioSnapshot, globals, left, right, numSamples);

    for (int b = 0; b < numBands; ++b)
    {
        const auto& st = renderer.state (b);
        const auto& p = audioSnapshot.bands[(size_t) b];
        reportedEnvelopeDb[(size_t) b].store (st.envelopeDb, std::memory_order_relaxed);
        reportedMotionPhase[(size_t) b].store (st.motionPhase, std::memory_order_relaxed);
        if (p.enabled && p.syncBpm && p.motionOn)
            reportedMotionRateHz[(size_t) b].store (st.motionRateHz, std::memory_order_relaxed);
    }
}

bool SmartEQProcessor::isActive() const noexcept
{
    return ! bypassed.load (std::memory_order_relaxed) && enabledMask.load (std::memory_order_relaxed) != 0;
}

//==============================================================================
int SmartEQProcessor::clampBand (int band) noexcept
{
    return band < 0 ? 0 : (band >= numBands ? numBands - 1 : band);
}

float SmartEQProcessor::getEnvelopeDb (int band) const noexcept
{
    return reportedEnvelopeDb[(size_t) clampBand (band)].load (std::memory_order_relaxed);
}

float SmartEQProcessor::getMotionPhase (int band) const noexcept
{
    return reportedMotionPhase[(size_t) clampBand (band)].load (std::memory_order_relaxed);
}

float SmartEQProcessor::getMotionRateHz (int band) const noexcept
{
    return reportedMotionRateHz[(size_t) clampBand (band)].load (std::memory_order_relaxed);
}

void SmartEQProcessor::showMotionRate (int band, float hz) noexcept
{
    reportedMotionRateHz[(size_t) clampBand (band)].store (hz, std::memory_order_relaxed);
}
