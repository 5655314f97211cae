#pragma once

#include "main/SpectralProcessor.h"
#include "main/audio/AutoGain.h"
#include "main/audio/CircuitBend.h"
#include "main/audio/LevelMeter.h"
#include "main/audio/StutterStage.h"
#include "main/audio/TransportEngine.h"
#include "main/chain/BeatClock.h"
#include "main/chain/EffectChain.h"
#include "main/chain/EffectDispatcher.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>
#include <memory>

class KorruptEngine;
class MashEngine;
class ParameterRandomiser;
class RecordingWindow;

/** The audio road, apart from the window: the prepare step, the steps of every audio block in
    their fixed order, the transport, the meter, the output stages and the effect chain.

    The window owns one, forwards its audio-source callbacks to it and reads what it shows from
    the atomics and published snapshots here. What the road reads or drives that the window's
    panels own (the nine effects, the engines, the randomiser, the recording panel, the stutter
    knob's tempo) it reaches through `connect`, called once on the message thread before the
    device opens; until then every block is silence.

    Threads: `prepare` and `release` run on the device thread with no block in flight; `process`
    on the audio thread: no lock it could wait on, no allocation, no component call, no message
    posted. The message thread writes the atomics below and the transport's and chain's own
    message-side calls. */
class AudioEngine
{
public:
    /** What the road needs from the window's side. Everything must outlive the engine's use. */
    struct Connections
    {
        EffectDispatcher::Effects effects;
        KorruptEngine& korruptEngine;
        MashEngine& mashEngine;
        ParameterRandomiser& randomiser;
        RecordingWindow& recordingWindow;
        std::atomic<float>& stutterTempo;
        std::atomic<int>& circuitBendMode;   // the MathControl knob's mode
    };

    AudioEngine();
    ~AudioEngine();

    /** Message thread, before the device opens: wires the road to the window's side. */
    void connect (const Connections& connections);

    /** Device thread, no block in flight. `deviceInputs` is the device's active input count,
        which the audio thread may not ask for itself. */
    void prepare (int samplesPerBlockExpected, double sampleRate, int deviceInputs);

    void release();

    /** The audio callback's body (audio thread). */
    void process (const juce::AudioSourceChannelInfo& bufferToFill) noexcept;

    /** Which of the block's source steps run, from what the block sees at its start. */
    struct BlockGates
    {
        bool captureInput = false;    // the device input goes to the recording panel untouched
        bool processRoad = false;     // false: the block is cleared and nothing else runs
        bool captureOutput = false;   // the finished block goes to the recording panel
    };

    struct GateInputs
    {
        bool windowShown, appAudioSource, inputThroughChainSource, deviceHasInput, fileLoaded;
        int channels, samples;
    };

    static BlockGates gatesFor (const GateInputs& in) noexcept;

    /** The chain's activity test and one effect, by id (either thread / audio thread). */
    bool isEffectActive (int id) const noexcept;
    void runEffectChain (juce::AudioBuffer<float>& buffer, int start, int n) noexcept;

    //==============================================================================
    // Owned by the road; the window drives them from the message thread.
    TransportEngine transport;
    BeatClock beatClock;
    LevelMeter levelMeter;   // METER's on flag, peaks and RMS
    StutterStage stutter;
    AutoGain autoGain;
    SpectralProcessor pitchSpectralProcessor, samplerSpectralProcessor;
    EffectChain effectChain;

    // Written by the window's handlers and timer (M1), read once per block.
    std::atomic<float> volumeGain { 1.0f };
    std::atomic<float> outputGainLeft { 1.0f }, outputGainRight { 1.0f }, stereoWidth { 1.0f };
    std::atomic<float> circuitBendAmount { 0.0f };
    std::atomic<float> bpm { 0.0f };   // 0: no tempo known
    std::atomic<bool> keysOn { false }, keysPreserveLength { false };
    std::atomic<int> samplerLength { 0 };
    std::atomic<bool> loadedFileExists { false };   // refreshed by the timer for the audio thread
    std::atomic<bool> recordingWindowShown { false };

    // Set by the prepare step.
    std::atomic<int> deviceInputChannels { 0 };

    /** False while a prepare step or a file load is in progress: the block stops after the
        output stages that do not depend on the chain. */
    std::atomic<bool> audioReady { false };

    // The prepare step's record of the device; message-thread readers only read between
    // prepare steps.
    double currentSampleRate = 44100.0;
    int currentBlockSize = 512;
    double deviceSampleRate = 44100.0;
    float chainTempo = 120.0f;   // also written by the window's tempo handler

    // The MathControl stage after the Korrupt engine; it takes the amount above and the knob's
    // mode once per block.
    CircuitBend circuitBend;

private:
    void prepareEffects (double sampleRate, int samplesPerBlockExpected);

    // The steps of a block, in the order `process` runs them.
    void processAutomation (int numSamples) noexcept;
    void captureDeviceInput (const juce::AudioSourceChannelInfo&) noexcept;
    void renderFinalizerPlayer (juce::AudioBuffer<float>& buffer, int start, int n) noexcept;
    void renderSampler (juce::AudioBuffer<float>& buffer, int start, int n) noexcept;
    void processSpectral (SpectralProcessor& processor, juce::AudioBuffer<float>& buffer, int start, int n) noexcept;
    void processCircuitBend (float* left, float* right, int n) noexcept;
    void mixTakePlayback (juce::AudioBuffer<float>& buffer, int start, int n) noexcept;

    std::unique_ptr<Connections> road;
    std::unique_ptr<EffectDispatcher> dispatcher;
    juce::AudioBuffer<float> roadScratch;   // the one-channel finalizer road

    JUCE_DECLARE_NON_COPYABLE (AudioEngine)
};
