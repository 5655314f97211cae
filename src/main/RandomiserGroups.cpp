#include "main/ParameterRandomiser.h"

#include <algorithm>

// The space and TimePro draws. Every rule takes its fresh draws in the order the targets are
// listed in the knob menus, so that a seeded run is repeatable target by target.

namespace
{
    constexpr float noteLengths15[] = { 0.0625f, 0.125f, 0.1875f, 0.25f, 0.333f, 0.375f, 0.5f, 0.625f,
                                        0.75f, 0.875f, 1.0f, 1.25f, 1.5f, 2.0f, 3.0f };
    constexpr float noteLengths8[] = { 0.25f, 0.333f, 0.5f, 0.667f, 0.75f, 1.0f, 1.5f, 2.0f };
    constexpr float noteLengths6[] = { 0.0625f, 0.125f, 0.25f, 0.5f, 1.0f, 2.0f };
    constexpr float noteLengths5[] = { 0.03125f, 0.0625f, 0.125f, 0.25f, 0.5f };

    template <size_t N>
    float pick (const float (&table)[N], float r) noexcept
    {
        return table[std::min ((size_t) (r * (float) N), N - 1)];
    }

    float within (float value, float lo, float hi) noexcept  { return std::clamp (value, lo, hi); }
}

//==============================================================================
void ParameterRandomiser::randomiseSpaceGroup()
{
    const float a = spaceAmount.load() / 100.0f;

    if (a < 0.01f)
    {
        space = SpaceTargets::resetValues();
        spaceMixTarget = 0.0f;
        balanceTarget = 0.0f;
        spacePending = true;
        return;
    }

    const float d = spaceOverdrive ? 1.5f : 1.0f;
    const float m = masterFactor();

    spaceMixTarget = 40.0f * a * d;
    drawDelayAndReverb (a, d, m);
    drawStereoAndAtomizer (a, d, m);
    spacePending = true;
}

void ParameterRandomiser::drawDelayAndReverb (float a, float d, float m)
{
    const bool od = spaceOverdrive;
    auto& s = space;

    const float beatMs = 60000.0f / tempoForSync();
    const float length = pick (noteLengths15, nextRandom());
    s.delayTime      = within (beatMs * length * (0.95f + 0.1f * nextRandom()), 30.0f, od ? 4000.0f * 1.3f : 4000.0f);
    s.delayFeedback  = within ((0.5f + 0.5f * nextRandom()) * (55.0f * a * d + 15.0f), 10.0f, od ? 95.0f : 75.0f);
    s.delayMix       = within ((0.4f + 0.6f * nextRandom()) * 55.0f * a * d, 5.0f, od ? 100.0f : 55.0f);
    s.delayHpf       = within (400.0f * a * d * nextRandom() + 20.0f, 20.0f, od ? 2000.0f : 500.0f);
    s.delayStereo    = within ((0.3f + 0.7f * nextRandom()) * 40.0f * a * d, 0.0f, 50.0f);
    s.delayModDepth  = within ((0.2f + 0.8f * nextRandom()) * 15.0f * a * d, 0.0f, od ? 20.0f : 18.0f);
    s.delayModRate   = within (5.0f * a * d * nextRandom() + 0.1f, 0.05f, od ? 10.0f : 8.0f);
    s.delayDuck      = within (18.0f * a * d * nextRandom(), 0.0f, od ? 24.0f : 20.0f);

    s.reverbSize     = within ((0.3f + 0.7f * nextRandom()) * 0.75f * a * d + 0.15f, 0.1f, od ? 1.0f : 0.95f);
    s.reverbDecay    = within ((0.3f + 0.7f * nextRandom()) * (6.0f * a * m * d + 0.4f), 0.3f, od ? 20.0f : 10.0f);
    s.reverbMix      = within ((0.35f + 0.65f * nextRandom()) * 45.0f * a * d, 0.0f, od ? 100.0f : 45.0f);
    s.reverbLoCut    = within (200.0f * a * nextRandom() + 40.0f, 20.0f, 400.0f);
    s.reverbHiCut    = within (20000.0f - 14000.0f * a * nextRandom(), 2000.0f, 18000.0f);
    s.reverbModRate  = within (2.0f * a * nextRandom() + 0.2f, 0.1f, 2.5f);
    s.reverbDuck     = within (16.0f * a * nextRandom(), 0.0f, 18.0f);

    s.rotation       = within (signedRandom() * 45.0f * a * m, -45.0f, 45.0f);

    // The main pan glides toward its drawn target instead of jumping, so that a regeneration
    // every few ticks moves the image smoothly.
    balanceTarget    = within (signedRandom() * 0.5f * a * m, -0.5f, 0.5f);
    s.pan           += 0.3f * (balanceTarget - s.pan);
}

void ParameterRandomiser::drawStereoAndAtomizer (float a, float d, float m)
{
    juce::ignoreUnused (m);
    const bool od = spaceOverdrive;
    auto& s = space;

    s.atomIntensity    = within ((0.5f + 0.5f * nextRandom()) * 50.0f * a + 35.0f, 35.0f, 85.0f);
    s.atomDepth        = within ((0.4f + 0.6f * nextRandom()) * 3.0f * a + 0.6f, 0.6f, 3.5f);
    s.atomFeedback     = within ((0.4f + 0.6f * nextRandom()) * 40.0f * a + 25.0f, 25.0f, 60.0f);
    s.atomRate         = within (tempo.load() / 60.0f * pick (noteLengths8, nextRandom()) * a, 0.1f, 3.5f);
    s.atomExcite       = within ((0.5f + 0.5f * nextRandom()) * 50.0f * a + 30.0f, 20.0f, 80.0f);
    s.atomChar         = within (50.0f * a * nextRandom() + 30.0f, 20.0f, 80.0f);
    s.atomStereoOffset = within (90.0f * a * nextRandom() + 45.0f, 30.0f, 150.0f);
    s.atomTone         = within (signedRandom() * 4.0f * a, -4.0f, 4.0f);

    s.width   = within (100.0f + signedRandom() * 100.0f * a * d, 0.0f, 200.0f);
    s.balance = linkStereo ? 0.0f : within (signedRandom() * 100.0f * a * d, -100.0f, 100.0f);

    if (! lockBassWidth)
        s.monoFreq = within (280.0f * a * d * nextRandom() + 20.0f, 20.0f, 300.0f);

    if (! lockCrossovers)
    {
        s.loXover = within (280.0f * a * d * nextRandom() + 20.0f, 20.0f, 300.0f);
        s.hiXover = within (7000.0f * a * d * nextRandom() + 1000.0f, 1000.0f, 8000.0f);
    }

    if (! lockBassWidth)
        s.loWidth = within (100.0f * a * d * nextRandom(), 0.0f, 100.0f);

    s.midWidth = within (100.0f * a * d * nextRandom() + 50.0f, 50.0f, 150.0f);
    s.hiWidth  = within (120.0f * a * d * nextRandom() + 80.0f, 80.0f, 200.0f);

    if (! lockMidSideGains)
    {
        const float g = od ? 18.0f : 12.0f;
        s.midGain  = within (signedRandom() * a * g, -g, g);
        s.sideGain = within (signedRandom() * a * g, -g, g);
    }

    s.ild           = within (24.0f * a * d * nextRandom(), 0.0f, 24.0f);
    s.itd           = within (1000.0f * a * d * nextRandom(), 0.0f, 1000.0f);
    s.iacc          = within (100.0f - 100.0f * a * d * nextRandom(), od ? 0.0f : 20.0f, 100.0f);
    s.leftDelay     = within (signedRandom() * 400.0f * a, -500.0f, 500.0f);
    s.rightDelay    = within (signedRandom() * 400.0f * a, -500.0f, 500.0f);
    s.phaseRotation = within (90.0f * a * nextRandom(), 0.0f, 120.0f);

    s.dynThreshold  = within (15.0f * a * nextRandom() - 20.0f, -30.0f, -5.0f);
    s.dynRatio      = within (1.5f * a * nextRandom() + 1.0f, 0.8f, 2.5f);
    s.dynAttack     = within (40.0f * a * nextRandom() + 5.0f, 2.0f, 50.0f);
    s.dynRelease    = within (200.0f * a * nextRandom() + 50.0f, 30.0f, 300.0f);

    s.delayPan      = within (signedRandom() * a * d, -1.0f, 1.0f);
    s.pingPong      = within (a * d * nextRandom(), 0.0f, 1.0f);
}

//==============================================================================
void ParameterRandomiser::randomiseTimeProGroup()
{
    const float t = timeProAmount.load() / 100.0f;

    if (t < 0.01f)
    {
        timePro = TimeProTargets {};
        timeProPending = true;
        return;
    }

    const float k = timeProOverdrive ? 1.5f : 1.0f;

    if (! lockHalfTime)   drawHalfTime (t, k);
    if (! lockSlicer)     drawSlicer (t, k);
    if (! lockStutter)    drawStutter (t, k);
    if (! lockDynamics)   drawDynamics (t, k);
    if (! lockCharacter)  drawCharacter (t, k);
    drawModulationAndContent (t, k);

    timeProPending = true;
}

void ParameterRandomiser::drawHalfTime (float t, float k)
{
    const bool od = timeProOverdrive;
    auto& p = timePro;

    p.halfTime   = within ((0.5f + 0.5f * nextRandom()) * (od ? 3.75f : 1.75f) * t + (od ? 0.25f : 0.5f),
                           od ? 0.25f : 0.5f, od ? 8.0f : 4.0f);
    p.halfSmooth = within (60.0f * t * nextRandom() + 20.0f, 0.0f, 100.0f);
    p.halfTrans  = within (50.0f * t * nextRandom() + 40.0f, 0.0f, 100.0f);
    p.halfChar   = within (80.0f * t * k * nextRandom(), 0.0f, 100.0f);
    p.halfMix    = within ((0.4f + 0.6f * nextRandom()) * 100.0f * t, 0.0f, 100.0f);
    p.tape       = nextRandom() < 0.5f * t * k;
}

void ParameterRandomiser::drawSlicer (float t, float k)
{
    auto& p = timePro;

    p.slicerLength  = within (60000.0f / tempoForSync() * pick (noteLengths6, nextRandom()), 10.0f, 500.0f);
    p.slicerRate    = within (15.0f * t * k * nextRandom() + 1.0f, 1.0f, timeProOverdrive ? 32.0f : 16.0f);
    p.slicerMix     = within ((0.3f + 0.7f * nextRandom()) * 100.0f * t, 0.0f, 100.0f);
    p.slicerTrigger = nextRandom() < 0.3f * t;
    p.slicerLatch   = nextRandom() < 0.4f * t * k;
}

void ParameterRandomiser::drawStutter (float t, float k)
{
    auto& p = timePro;

    auto j = std::min ((int) (nextRandom() * 5.0f), 4);
    if (t > 0.5f && nextRandom() < 0.5f)
        j = std::min (j + 2, 4);

    p.stutterLength  = within (60000.0f / tempoForSync() * noteLengths5[j], 10.0f, 500.0f);
    p.stutterRate    = within (30.0f * t * k * nextRandom() + 2.0f, 1.0f, timeProOverdrive ? 64.0f : 32.0f);
    p.stutterDecay   = within (80.0f * t * nextRandom(), 0.0f, 100.0f);
    p.stutterMix     = within ((0.3f + 0.7f * nextRandom()) * 100.0f * t, 0.0f, 100.0f);
    p.stutterTrigger = nextRandom() < 0.3f * t;
    p.stutterLatch   = nextRandom() < 0.5f * t * k;
}

void ParameterRandomiser::drawDynamics (float t, float k)
{
    const bool od = timeProOverdrive;
    auto& p = timePro;
    const float trimRange = od ? 12.0f : 6.0f;

    p.slope       = within (42.0f * t * k * nextRandom() + 6.0f, 6.0f, od ? 72.0f : 48.0f);
    p.trim        = within (signedRandom() * t * trimRange, -trimRange, trimRange);
    p.threshold   = within (20.0f * nextRandom() + 50.0f * (1.0f - t) - 60.0f, -60.0f, 0.0f);
    p.attack      = within (99.0f * t * nextRandom() + 1.0f, 1.0f, 100.0f);
    p.attenuation = within (24.0f * t * k * nextRandom(), 0.0f, od ? 36.0f : 24.0f);
    p.release     = within (490.0f * t * nextRandom() + 10.0f, 10.0f, 500.0f);
    p.dynamicsOn  = nextRandom() < 0.6f * t;
}

void ParameterRandomiser::drawCharacter (float t, float k)
{
    auto& p = timePro;

    p.drive      = within ((0.3f + 0.7f * nextRandom()) * 100.0f * t * k, 0.0f, 100.0f);
    p.character  = within (60.0f * t * nextRandom() + 20.0f, 0.0f, 100.0f);
    p.air        = within (50.0f * t * nextRandom() + 30.0f, 0.0f, 100.0f);
    p.density    = within (50.0f * t * nextRandom() + 30.0f, 0.0f, 100.0f);
    p.saturation = within (80.0f * t * k * nextRandom(), 0.0f, 100.0f);
    p.softClip   = nextRandom() < 0.4f * t;
    p.tube       = nextRandom() < 0.5f * t * k;
}

void ParameterRandomiser::drawModulationAndContent (float t, float k)
{
    const bool od = timeProOverdrive;
    auto& p = timePro;

    p.dry          = within (100.0f - 60.0f * t * nextRandom(), 40.0f, 100.0f);
    p.lfoRate      = within (9.9f * t * k * nextRandom() + 0.1f, 0.1f, od ? 20.0f : 10.0f);
    p.rateCurve    = within (50.0f * t * nextRandom() + 25.0f, 0.0f, 100.0f);
    p.rateFine     = within (signedRandom() * 50.0f * t, -50.0f, 50.0f);
    p.resQ         = within (9.5f * t * k * nextRandom() + 0.5f, 0.5f, od ? 15.0f : 10.0f);
    p.resIntensity = within ((0.2f + 0.8f * nextRandom()) * 100.0f * t * k, 0.0f, 100.0f);
    p.motion       = nextRandom() < 0.5f * t;
    p.bpmSync      = nextRandom() < 0.6f * t;

    p.vocalMode = p.drumMode = p.bassMode = false;
    const float x = nextRandom();

    if (t > 0.3f && nextRandom() < 0.4f)
    {
        if (x < 0.33f)       p.vocalMode = true;
        else if (x < 0.66f)  p.drumMode = true;
        else                 p.bassMode = true;
    }
}

//==============================================================================
const std::array<TargetRow<SpaceTargets>, 47>& spaceTargetRows() noexcept
{
    using S = SpaceTargets;
    static const std::array<TargetRow<S>, 47> rows { {
        { "Time: ", "Delay", &S::delayTime },            { "Feedback: ", "Delay", &S::delayFeedback },
        { "Mix: ", "Delay", &S::delayMix },              { "HPF: ", "Delay", &S::delayHpf },
        { "Stereo: ", "Delay", &S::delayStereo },        { "Mod Depth: ", "Delay", &S::delayModDepth },
        { "Mod Rate: ", "Delay", &S::delayModRate },     { "Duck: ", "Delay", &S::delayDuck },
        { "Size: ", "Reverb", &S::reverbSize },          { "Decay: ", "Reverb", &S::reverbDecay },
        { "Mix: ", "Reverb", &S::reverbMix },            { "Lo Cut: ", "Reverb", &S::reverbLoCut },
        { "Hi Cut: ", "Reverb", &S::reverbHiCut },       { "Mod Rate: ", "Reverb", &S::reverbModRate },
        { "Duck: ", "Reverb", &S::reverbDuck },
        { "Rotation: ", "Stereo FX", &S::rotation },     { "PAN: ", "Stereo FX", &S::pan },
        { "Intensity: ", "Atomizer", &S::atomIntensity }, { "Depth: ", "Atomizer", &S::atomDepth },
        { "Feedback: ", "Atomizer", &S::atomFeedback },  { "Rate: ", "Atomizer", &S::atomRate },
        { "Excite: ", "Atomizer", &S::atomExcite },      { "Char: ", "Atomizer", &S::atomChar },
        { "St.Offset: ", "Atomizer", &S::atomStereoOffset }, { "Tone: ", "Atomizer", &S::atomTone },
        { "WIDTH: ", "Stereo FX", &S::width },           { "BALANCE: ", "Stereo FX", &S::balance },
        { "Mono Freq: ", "Stereo FX", &S::monoFreq },    { "Lo Xover: ", "Stereo FX", &S::loXover },
        { "Hi Xover: ", "Stereo FX", &S::hiXover },      { "Lo Width: ", "Stereo FX", &S::loWidth },
        { "Mid Width: ", "Stereo FX", &S::midWidth },    { "Hi Width: ", "Stereo FX", &S::hiWidth },
        { "Mid Gain: ", "Stereo FX", &S::midGain },      { "Side Gain: ", "Stereo FX", &S::sideGain },
        { "ILD: ", "Binaural/Interaural", &S::ild },     { "ITD: ", "Binaural/Interaural", &S::itd },
        { "IACC: ", "Binaural/Interaural", &S::iacc },   { "L Delay: ", "Binaural/Interaural", &S::leftDelay },
        { "R Delay: ", "Binaural/Interaural", &S::rightDelay },
        { "Phase Rot: ", "Binaural/Interaural", &S::phaseRotation },
        { "Threshold: ", "Dynamics", &S::dynThreshold }, { "Ratio: ", "Dynamics", &S::dynRatio },
        { "Attack: ", "Dynamics", &S::dynAttack },       { "Release: ", "Dynamics", &S::dynRelease },
        { "Pan: ", "Delay", &S::delayPan },              { "Ping-Pong: ", "Delay", &S::pingPong },
    } };
    return rows;
}

const std::array<TargetRow<TimeProTargets>, 29>& timeProTargetRows() noexcept
{
    using T = TimeProTargets;
    static const std::array<TargetRow<T>, 29> rows { {
        { "Time: ", "Half Time", &T::halfTime },       { "Smooth: ", "Half Time", &T::halfSmooth },
        { "Trans: ", "Half Time", &T::halfTrans },     { "Char: ", "Half Time", &T::halfChar },
        { "Mix: ", "Half Time", &T::halfMix },
        { "Length: ", "Slicer", &T::slicerLength },    { "Rate: ", "Slicer", &T::slicerRate },
        { "Mix: ", "Slicer", &T::slicerMix },
        { "Length: ", "Stutter", &T::stutterLength },  { "Rate: ", "Stutter", &T::stutterRate },
        { "Decay: ", "Stutter", &T::stutterDecay },    { "Mix: ", "Stutter", &T::stutterMix },
        { "Slope: ", "Dynamics", &T::slope },          { "Trim: ", "Dynamics", &T::trim },
        { "Threshold: ", "Dynamics", &T::threshold },  { "Attack: ", "Dynamics", &T::attack },
        { "Attenuation: ", "Dynamics", &T::attenuation }, { "Release: ", "Dynamics", &T::release },
        { "Drive: ", "Character", &T::drive },         { "Character: ", "Character", &T::character },
        { "Air: ", "Character", &T::air },             { "Density: ", "Character", &T::density },
        { "Saturation: ", "Character", &T::saturation },
        { "Dry: ", "Modulation", &T::dry },            { "LFO Rate: ", "Modulation", &T::lfoRate },
        { "Rate Curve: ", "Modulation", &T::rateCurve }, { "Rate Fine: ", "Modulation", &T::rateFine },
        { "Res Q: ", "Modulation", &T::resQ },         { "Res Intensity: ", "Modulation", &T::resIntensity },
    } };
    return rows;
}
