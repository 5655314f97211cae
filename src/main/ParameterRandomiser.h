#pragma once

#include "main/RandomiserTargets.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <random>

/** The generator behind the macro knobs. Three groups of effect settings (EQ, space and TimePro)
    each have an amount 0..100 that a macro knob sets; regenerating a group draws all its targets
    anew inside ranges that grow with the amount, the master amount and the group's overdrive
    flag, and marks it pending until MainComponent::applyMacroTargets copies it into the panels.
    Below an amount of 1 % a group is reset to neutral values instead of drawn.

    The same object keeps the MetaControl state (value, mode, energy, coupling) whose step bends
    the drawn targets before they are applied.

    Message thread, except the EQ, space and master amounts, which the automatic gain reads on
    the audio thread, and the tempo and running flag, which the device's prepare step writes. */
class ParameterRandomiser
{
public:
    /** Seeds the generator once from the system's random device, or with `seed` when given
        (tests, so that a run can be repeated). */
    explicit ParameterRandomiser (std::optional<std::uint32_t> seed = std::nullopt);

    /** Starts the generator again from `seed`. The application seeds once at construction;
        this is for runs that must repeat (tests). */
    void reseed (std::uint32_t seed) { engine.seed (seed); }

    /** Uniform in [0, 1) from the top 24 bits of the next 32-bit output. */
    float nextRandom();

    /** Store the amount and, unless frozen, regenerate that group (an amount below 1 % resets it). */
    void setEqAmount (float amount);
    void setSpaceAmount (float amount);
    void setTimeProAmount (float amount);

    /** Stores the master amount and, unless frozen, regenerates every group whose amount is above 0. */
    void setMasterAmount (float amount);

    /** Stores the MetaControl value (clamped to 0..100), marks it pending, feeds the coupling
        (mode 1) or the energy (mode 4) and, unless frozen, runs the MetaControl step when the
        value is above 0. */
    void setMetaControlValue (float value);

    /** Bends the drawn targets by the MetaControl mode (1, 4 and 5 act; the others change nothing). */
    void applyMetaControl();

    /** Draw one group and mark it pending; the lock is the callers' business. */
    void randomiseEqGroup();
    void randomiseSpaceGroup();
    void randomiseTimeProGroup();

    /** One main-timer tick while the transport plays: may regenerate one group. */
    void step();

    /** One main-timer tick, playing or not: the MetaControl energy's decay, cap and overload. */
    void updateMetaEnergy();

    /** What the MetaControl knob shows, both limited to 0..100. */
    float energyReadout() const noexcept;
    float couplingReadout() const noexcept;

    /** Keeps the tempo for tempo-synced targets within 20..300. */
    void setTempo (float bpm);

    //==============================================================================
    std::atomic<float> eqAmount { 0.0f }, spaceAmount { 0.0f }, timeProAmount { 0.0f }, masterAmount { 0.0f };

    bool eqPending = false, spacePending = false, timeProPending = false;
    bool eqOverdrive = false, spaceOverdrive = false, timeProOverdrive = false;
    bool freezeLock = false;
    bool linkStereo = true;
    bool midSideProcessing = false;
    bool lockBassWidth = false, lockCrossovers = false, lockMidSideGains = false;
    bool lockHalfTime = false, lockSlicer = false, lockStutter = false, lockDynamics = false, lockCharacter = false;

    // Groups that the macro application can apply but that no control generates: their amounts
    // stay 0, so their flags are only ever set by hand.
    float crushAmount = 0.0f, timingAmount = 0.0f, stereoAmount = 0.0f;
    bool crushPending = false, timingPending = false, stereoPending = false;
    float crushIntensity = 0.0f, timingIntensity = 0.0f, stereoIntensity = 0.0f;
    int crushMode = 0;

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

    // EQ targets
    float eqTargetAmount = 0.0f;
    std::array<float, 6> eqGains {};

    // Space targets
    SpaceTargets space;
    float spaceMixTarget = 0.0f;
    float balanceTarget = 0.0f;

    // TimePro targets
    TimeProTargets timePro;

    static constexpr float metaOverloadLimitSeconds = 30.0f;

private:
    float signedRandom() { return 2.0f * nextRandom() - 1.0f; }
    float masterFactor() const noexcept;
    float tempoForSync() const noexcept;

    void drawDelayAndReverb (float a, float d, float m);
    void drawStereoAndAtomizer (float a, float d, float m);
    void drawHalfTime (float t, float k);
    void drawSlicer (float t, float k);
    void drawStutter (float t, float k);
    void drawDynamics (float t, float k);
    void drawCharacter (float t, float k);
    void drawModulationAndContent (float t, float k);

    void crossModulate();
    void dampCoherence();
    void feedBackGain();

    std::mt19937 engine;
};
