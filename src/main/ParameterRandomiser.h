#pragma once

#include <array>
#include <atomic>
#include <random>

/** The generator behind the macro knobs: an amount per group (EQ, space, TimePro), a master
    amount, overdrive flags and locks, and the MetaControl state. Drawing the groups' targets is
    a later addition: until then the setters store their amounts and no group becomes pending,
    so nothing is written into the effect panels. Message thread, except the amounts, which the
    automatic gain reads on the audio thread. */
class ParameterRandomiser
{
public:
    ParameterRandomiser();

    /** Uniform in [0, 1) from the top 24 bits of the next 32-bit output. */
    float nextRandom();

    void setEqAmount (float amount);
    void setSpaceAmount (float amount);
    void setTimeProAmount (float amount);
    void setMasterAmount (float amount);
    void setMetaControlValue (float value);

    /** Moves the targets by the MetaControl mode; returns the amount it applied. */
    float applyMetaControl();

    void step();
    void updateMetaEnergy();

    /** Keeps the tempo for tempo-synced targets within 20..300. */
    void setTempo (float bpm);

    std::atomic<float> eqAmount { 0.0f }, spaceAmount { 0.0f }, timeProAmount { 0.0f }, masterAmount { 0.0f };

    bool eqPending = false, spacePending = false, timeProPending = false;
    bool eqOverdrive = false, spaceOverdrive = false, timeProOverdrive = false;
    bool freezeLock = false;
    bool linkStereo = true;
    bool midSideProcessing = false;
    bool lockBassWidth = false, lockCrossovers = false, lockMidSideGains = false;
    bool lockHalfTime = false, lockSlicer = false, lockStutter = false, lockDynamics = false, lockCharacter = false;

    float metaControlValue = 0.0f;
    int metaControlMode = 0;
    float metaEnergy = 0.0f;
    float metaOverloadSeconds = 0.0f;
    float metaCoupling = 50.0f;
    bool metaPending = false;
    bool limitProtection = true;

    // Written by the device's prepare step as well as the main timer, which may be on
    // different threads when the device restarts itself.
    std::atomic<float> tempo { 120.0f };
    std::atomic<bool> enabled { false };
    int stepCount = 0;

    float eqTargetAmount = 0.0f;
    std::array<float, 6> eqGains {};

private:
    std::mt19937 engine;
};
