#include "main/ParameterRandomiser.h"

#include <algorithm>
#include <cmath>

namespace
{
    std::uint32_t freshSeed()
    {
        std::random_device device;
        return device();
    }
}

ParameterRandomiser::ParameterRandomiser (std::optional<std::uint32_t> seed)
    : engine (seed ? *seed : freshSeed())
{
}

float ParameterRandomiser::nextRandom()
{
    return (float) (engine() >> 8) * (1.0f / 16777216.0f);
}

float ParameterRandomiser::masterFactor() const noexcept
{
    return 1.0f + 2.0f * masterAmount.load (std::memory_order_relaxed) / 100.0f;
}

float ParameterRandomiser::tempoForSync() const noexcept
{
    return std::max (tempo.load (std::memory_order_relaxed), 20.0f);
}

//==============================================================================
void ParameterRandomiser::setEqAmount (float amount)
{
    eqAmount = amount;

    if (! freezeLock)
        randomiseEqGroup();
}

void ParameterRandomiser::setSpaceAmount (float amount)
{
    spaceAmount = amount;

    if (! freezeLock)
        randomiseSpaceGroup();
}

void ParameterRandomiser::setTimeProAmount (float amount)
{
    timeProAmount = amount;

    if (! freezeLock)
        randomiseTimeProGroup();
}

void ParameterRandomiser::setMasterAmount (float amount)
{
    masterAmount = amount;

    if (freezeLock)
        return;

    if (eqAmount.load() > 0.0f)       randomiseEqGroup();
    if (spaceAmount.load() > 0.0f)    randomiseSpaceGroup();
    if (timeProAmount.load() > 0.0f)  randomiseTimeProGroup();
}

void ParameterRandomiser::setMetaControlValue (float value)
{
    // NaN would pass through std::clamp and then poison the energy and every bent target.
    metaControlValue = std::isfinite (value) ? std::clamp (value, 0.0f, 100.0f) : 0.0f;
    metaPending = true;

    if (metaControlMode == 1)
        metaCoupling = metaControlValue;
    else if (metaControlMode == 4)
        metaEnergy = std::clamp (metaEnergy + metaControlValue / 100.0f * 2.0f, 0.0f, 100.0f);

    if (! freezeLock && metaControlValue > 0.0f)
        applyMetaControl();
}

//==============================================================================
void ParameterRandomiser::randomiseEqGroup()
{
    const float a = eqAmount.load() / 100.0f;

    if (a < 0.01f)
    {
        eqTargetAmount = 0.0f;
        eqGains.fill (0.0f);
        eqPending = true;
        return;
    }

    eqTargetAmount = 100.0f * a;
    const float span = (eqOverdrive ? 18.0f : 12.0f) * a * masterFactor();

    for (size_t band = 0; band < eqGains.size(); ++band)
    {
        const float gain = signedRandom() * span;
        // Only the two top bands are bounded here; the low bands get floors below instead,
        // so that a wide span can cut deep but never leave only the treble standing.
        eqGains[band] = band >= 4 ? std::clamp (gain, -12.0f, 12.0f) : gain;
    }

    const auto raiseLowBandsTo = [this] (float floor)
    {
        for (size_t band = 0; band < 4; ++band)
            eqGains[band] = std::max (eqGains[band], floor);
    };

    if (eqOverdrive)
    {
        raiseLowBandsTo (-3.0f);
    }
    else
    {
        const bool trebleUp = eqGains[4] > 0.0f && eqGains[5] > 0.0f;
        const bool lowsDeep = std::all_of (eqGains.begin(), eqGains.begin() + 4, [] (float g) { return g < -6.0f; });

        if (trebleUp && lowsDeep)
        {
            if (nextRandom() < 0.5f)
                eqGains[4] = eqGains[5] = 0.0f;
            else
                raiseLowBandsTo (-5.0f);
        }
    }

    eqPending = true;
}

//==============================================================================
void ParameterRandomiser::step()
{
    const float master = masterAmount.load();

    if (freezeLock || ! enabled.load() || master <= 0.0f)
        return;

    ++stepCount;
    const float p = master / 100.0f * 0.3f;

    switch (stepCount % 3)
    {
        case 1:
            if (nextRandom() < p && spaceAmount.load() > 0.0f)
                randomiseSpaceGroup();
            break;

        case 2:
            if (nextRandom() < p && timeProAmount.load() > 0.0f)
                randomiseTimeProGroup();
            break;

        default:
            if (nextRandom() < p && nextRandom() >= 0.75f && eqAmount.load() > 0.0f)
                randomiseEqGroup();
            break;
    }
}

void ParameterRandomiser::updateMetaEnergy()
{
    if (metaControlMode == 4 && metaControlValue >= 50.0f)
    {
        if (metaEnergy >= 94.0f)
        {
            // Counted in single precision on purpose: 1/30 summed as a float first reaches 30
            // on the 901st tick, which is how long an overload is allowed to ring.
            metaOverloadSeconds += 1.0f / 30.0f;

            if (metaOverloadSeconds >= metaOverloadLimitSeconds)
            {
                metaEnergy = 0.0f;
                metaOverloadSeconds = 0.0f;
            }
        }
        else
        {
            metaOverloadSeconds = 0.0f;
        }

        if (limitProtection && metaEnergy > 96.0f)
            metaEnergy = 96.0f;
    }
    else
    {
        metaEnergy *= 0.98f;
        metaOverloadSeconds = 0.0f;
    }
}

float ParameterRandomiser::energyReadout() const noexcept    { return std::clamp (metaEnergy, 0.0f, 100.0f); }
float ParameterRandomiser::couplingReadout() const noexcept  { return std::clamp (metaCoupling, 0.0f, 100.0f); }

void ParameterRandomiser::setTempo (float bpm)
{
    tempo = std::isfinite (bpm) ? std::clamp (bpm, 20.0f, 300.0f) : 120.0f;
}
