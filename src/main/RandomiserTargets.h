#pragma once

#include <juce_core/juce_core.h>

#include <array>

/** The generated values of the randomiser's space group, in the units of the controls they
    end up on. The defaults are the values after construction; a reset (amount below 1 %)
    writes resetValues() instead, which differ in three places. */
struct SpaceTargets
{
    // Delay
    float delayTime = 250.0f, delayFeedback = 0.0f, delayMix = 0.0f, delayHpf = 80.0f, delayStereo = 10.0f,
          delayModDepth = 2.0f, delayModRate = 1.0f, delayDuck = 0.0f;
    // Reverb
    float reverbSize = 0.3f, reverbDecay = 1.0f, reverbMix = 0.0f, reverbLoCut = 80.0f, reverbHiCut = 10000.0f,
          reverbModRate = 0.5f, reverbDuck = 0.0f;
    // Stereo FX (rotation and the smoothed main pan)
    float rotation = 0.0f, pan = 0.0f;
    // Atomizer
    float atomIntensity = 50.0f, atomDepth = 1.0f, atomFeedback = 30.0f, atomRate = 0.5f, atomExcite = 40.0f,
          atomChar = 50.0f, atomStereoOffset = 90.0f, atomTone = 0.0f;
    // Stereo FX
    float width = 100.0f, balance = 0.0f, monoFreq = 80.0f, loXover = 200.0f, hiXover = 3000.0f,
          loWidth = 20.0f, midWidth = 100.0f, hiWidth = 120.0f, midGain = 0.0f, sideGain = 0.0f;
    // Binaural / interaural
    float ild = 0.0f, itd = 0.0f, iacc = 100.0f, leftDelay = 0.0f, rightDelay = 0.0f, phaseRotation = 0.0f;
    // Dynamics
    float dynThreshold = -12.0f, dynRatio = 1.0f, dynAttack = 10.0f, dynRelease = 100.0f;
    // Delay XY pad
    float delayPan = 0.0f, pingPong = 0.0f;

    static SpaceTargets resetValues() noexcept
    {
        SpaceTargets t;
        t.delayFeedback = 25.0f;
        t.reverbSize = 0.4f;
        t.reverbDecay = 2.0f;
        return t;
    }
};

/** The generated values of the randomiser's TimePro group. */
struct TimeProTargets
{
    // Half Time
    float halfTime = 2.0f, halfSmooth = 50.0f, halfTrans = 70.0f, halfChar = 20.0f, halfMix = 0.0f;
    bool tape = false;
    // Slicer
    float slicerLength = 100.0f, slicerRate = 4.0f, slicerMix = 0.0f;
    bool slicerTrigger = false, slicerLatch = false;
    // Stutter
    float stutterLength = 100.0f, stutterRate = 4.0f, stutterDecay = 0.0f, stutterMix = 0.0f;
    bool stutterTrigger = false, stutterLatch = false;
    // Dynamics
    float slope = 12.0f, trim = 0.0f, threshold = -20.0f, attack = 10.0f, attenuation = 0.0f, release = 100.0f;
    bool dynamicsOn = false;
    // Character
    float drive = 0.0f, character = 50.0f, air = 50.0f, density = 50.0f, saturation = 0.0f;
    bool softClip = false, tube = false;
    // Modulation
    float dry = 100.0f, lfoRate = 1.0f, rateCurve = 50.0f, rateFine = 0.0f, resQ = 1.0f, resIntensity = 0.0f;
    bool motion = false, bpmSync = false;
    // Content mode
    bool vocalMode = false, drumMode = false, bassMode = false;
};

/** One numeric target as the knob menus list it: its label, its section and where it lives. */
template <typename Targets>
struct TargetRow
{
    const char* label;
    const char* section;
    float Targets::* value;
};

/** The space targets in menu order (the order they are drawn in). */
const std::array<TargetRow<SpaceTargets>, 47>& spaceTargetRows() noexcept;

/** The numeric TimePro targets in menu order; the switches are not listed. */
const std::array<TargetRow<TimeProTargets>, 29>& timeProTargetRows() noexcept;
