#pragma once

#include "effects/stereoutility/StereoUtilityMaxProcessor.h"

/** What one block of the Stereo Utility Max works out once, before its first sample. Private to
    the processor's source files. */
struct StereoUtilityMaxProcessor::BlockSettings
{
    float sampleRate = 44100.0f;
    float leftWet = 0.0f, rightWet = 0.0f;
    float trim = 1.0f;

    // Band split and mid/side.
    dsp::BiquadCoefficients lowSplit, highSplit;
    std::array<float, 3> bandWidth {};   // low, mid, high side factors
    float midGain = 1.0f, sideGain = 1.0f;   // the side gain already holds the width factor

    bool dynamics = false;
    float ratio = 1.0f, threshold = 1.0f, attack = 0.0f, release = 0.0f;

    float extraction = 0.0f, centreGain = 1.0f, sidesGain = 1.0f;

    bool rotate = false;
    float rotationCos = 1.0f, rotationSin = 0.0f;

    bool levelDifference = false;
    float levelLeft = 1.0f, levelRight = 1.0f;

    Geometry geometry;

    // Delays and phase.
    bool timeDifference = false, fineDelays = false, haas = false;
    bool writeLeftDelay = false, writeRightDelay = false;   // |DLY| above 0.1 us
    bool hearLeftDelay = false, hearRightDelay = false;     // DLY above 0
    float leftThiran = 1.0f, rightThiran = 1.0f;

    bool phase = false;
    float phaseBlend = 0.0f;
    std::array<float, numPhaseSections> allpass {};

    bool pitch = false;
    float pitchUp = 1.0f, pitchDown = 1.0f, pitchAmount = 0.0f;

    bool chorus = false;
    float chorusDepth = 0.0f, chorusStep = 0.0f;

    // Space.
    bool decorrelate = false;
    float directWeight = 1.0f;

    bool reflections = false, network = false;
    float diffusion = 0.0f, reflectionGain = 1.0f, room = 0.0f, damping = 0.7f;

    bool balance = false;
    float balanceLeft = 1.0f, balanceRight = 1.0f;

    bool monoBass = false;
    dsp::BiquadCoefficients monoBassCoefficients;
};
