#pragma once

#include <array>
#include <atomic>

class DistortionSuite;
class StereoUtilityMax;
class DelayVerb;
class Atomizer;
class TavroFinalizer;

/** The generative corruption engine. Until its analysis, corruption effects and modulation
    push are built it leaves the audio untouched and writes no offsets, whatever its switches
    say; the switches and the level bookkeeping that the main window drives already work. */
class KorruptEngine
{
public:
    KorruptEngine();
    ~KorruptEngine();

    /** Device start: remembers the rate and block size the engine will run at. */
    void prepare (double sampleRate, int blockSize);

    /** The five effects whose parameters the engine modulates; not owned. */
    void setModulationTargets (DistortionSuite* distortion, StereoUtilityMax* stereoUtility,
                               DelayVerb* delayVerb, Atomizer* atomizer, TavroFinalizer* finalizer);

    /** Writes the engine's current modulation values into the targets' offset fields. */
    void applyModulationTargets();

    /** Audio thread: processes a stereo block in place. */
    void process (float* left, float* right, int numSamples);

    /** Message-thread step, meant for 30 calls a second. */
    void timerTick();

    /** Selects the character of intensity level 0..10. */
    void reseedLevel (int newLevel);

    double getSampleRate() const noexcept { return sampleRate; }
    int getBlockSize() const noexcept     { return blockSize; }

    // Written by the main window's knob callbacks and menus; read by the audio thread.
    std::atomic<bool> powerOn { false };
    std::atomic<float> amount { 0.0f };      // level / 10
    std::atomic<int> level { 0 };
    std::array<int, 11> levelVisits {};      // message thread only

    std::atomic<float> tempoBpm { 120.0f };

    DistortionSuite* distortionTarget = nullptr;
    StereoUtilityMax* stereoUtilityTarget = nullptr;
    DelayVerb* delayVerbTarget = nullptr;
    Atomizer* atomizerTarget = nullptr;
    TavroFinalizer* finalizerTarget = nullptr;

private:
    double sampleRate = 44100.0;
    int blockSize = 512;
};
