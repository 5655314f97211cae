#include "main/ParameterRandomiser.h"

#include <algorithm>
#include <cmath>

// The MetaControl step: it bends targets that the groups already drew. A bent value reaches the
// effects only when its group is applied, so bending a group that is not pending waits for its
// next application (and a regeneration before that overwrites the bend).

void ParameterRandomiser::applyMetaControl()
{
    if (metaControlValue < 0.01f)
        return;

    switch (metaControlMode)
    {
        case 1:  crossModulate(); break;
        case 4:  feedBackGain(); break;
        case 5:  dampCoherence(); break;
        default: break;
    }
}

void ParameterRandomiser::crossModulate()
{
    const float c = metaCoupling / 100.0f;

    if (const float time = timeProAmount.load(); time > 50.0f)
    {
        const float x = (time / 100.0f - 0.5f) * 2.0f;
        space.reverbMix   = std::clamp (space.reverbMix + 30.0f * x * c, 0.0f, 100.0f);
        space.reverbDecay = std::clamp (space.reverbDecay + 3.0f * x * c, 0.3f, 20.0f);
        space.reverbSize  = std::clamp (space.reverbSize + 0.3f * x * c, 0.1f, 1.0f);
    }

    if (const float eq = eqAmount.load(); eq > 50.0f)
    {
        const float x = (eq / 100.0f - 0.5f) * 2.0f;
        timePro.halfTime   = std::clamp (timePro.halfTime + 2.0f * x * c, 0.25f, 8.0f);
        timePro.halfSmooth = std::clamp (timePro.halfSmooth + 30.0f * x * c, 0.0f, 100.0f);
    }
}

void ParameterRandomiser::dampCoherence()
{
    const float k = metaCoupling / 100.0f * metaControlValue / 100.0f;

    for (auto& g : eqGains)
        g *= 1.0f - 0.3f * k;

    space.delayFeedback *= 1.0f - 0.2f * k;
    space.reverbDecay   *= 1.0f - 0.2f * k;
}

void ParameterRandomiser::feedBackGain()
{
    const float c = metaCoupling / 100.0f;
    const float k = c * metaControlValue / 100.0f;
    float energy = metaEnergy;

    // Busy time effects feed the delay back harder.
    const float timeMix = std::max ({ timePro.halfMix, timePro.slicerMix, timePro.stutterMix });
    if (timeMix > 20.0f)
    {
        space.delayFeedback = std::clamp (space.delayFeedback + timeMix / 100.0f * 25.0f * k, 10.0f, 95.0f);
        energy += timeMix / 100.0f * 2.0f * k;
    }

    // Wet space lifts the low mids.
    if (space.delayMix > 20.0f || space.reverbMix > 20.0f)
    {
        const float wet = space.reverbMix > space.delayMix ? space.reverbMix : space.delayMix;
        const float r = wet / 100.0f * 8.0f * k;
        const float lift[6] = { 0.0f, 0.0f, 0.5f * r, 0.7f * r, 0.6f * r, 0.0f };

        for (size_t band = 0; band < eqGains.size(); ++band)
        {
            const float limit = band >= 4 ? 12.0f : 18.0f;
            eqGains[band] = std::clamp (eqGains[band] + lift[band], -limit, limit);
        }

        energy += wet / 100.0f * 3.0f * k;
    }

    float gainSum = 0.0f;
    for (auto g : eqGains)
        gainSum += std::abs (g);

    if (gainSum > 12.0f)
    {
        const float s = (gainSum - 12.0f) / 60.0f;
        timePro.drive      = std::clamp (timePro.drive + 40.0f * s * k, 0.0f, 100.0f);
        timePro.saturation = std::clamp (timePro.saturation + 30.0f * s * k, 0.0f, 100.0f);
        energy += 4.0f * s * k;
    }

    metaEnergy = std::clamp (energy, 0.0f, 100.0f);

    // The loudest band locks the delay to a power-of-two multiple of its period near the beat.
    const auto loudest = (size_t) std::distance (eqGains.begin(), std::max_element (eqGains.begin(), eqGains.end()));
    if (eqGains[loudest] > 3.0f)
    {
        static constexpr float bandCentresHz[6] = { 100.0f, 400.0f, 1000.0f, 2500.0f, 6000.0f, 12000.0f };
        const float beatMs = 60000.0f / tempoForSync();
        const float periodMs = 1000.0f / bandCentresHz[loudest];
        const float n = std::round (std::log2 (beatMs / periodMs));
        space.delayTime = std::clamp (beatMs / std::exp2 (n) * c, 30.0f, 4000.0f);
    }
}
