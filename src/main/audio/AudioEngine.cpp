#include "main/audio/AudioEngine.h"

#include "effects/atomizer/Atomizer.h"
#include "effects/distortion/DistortionSuite.h"
#include "effects/delayverb/DelayVerb.h"
#include "effects/dictionary/DictionaryReader.h"
#include "effects/finalizer/TavroFinalizer.h"
#include "effects/imager/MultiEffectImagerPro.h"
#include "effects/smarteq/SmartEQ.h"
#include "effects/stereoutility/StereoUtilityMax.h"
#include "effects/timepro/HeightAndWeight.h"
#include "engines/KorruptEngine.h"
#include "engines/MashEngine.h"
#include "main/ParameterRandomiser.h"
#include "main/audio/OutputSafety.h"
#include "main/audio/StereoStages.h"
#include "recording/RecordingWindow.h"

// The audio road: the prepare step brings every processor to the device's rate, and each
// block runs its stages in one fixed order, each behind its own gate. Nothing here allocates,
// locks, touches a component or the file system, or posts a message: what the message thread
// needs to know is left in atomics that its timer reads.

namespace
{
    // The Korrupt engine writes straight into the offset fields of the effects it moves.
    KorruptEngine::TargetFields korruptTargetFields (EffectDispatcher::Effects& e)
    {
        KorruptEngine::TargetFields fields;
        fields.stereoUtility = { &e.stereoUtilityMax.modWidthOffset, &e.stereoUtilityMax.modRotationOffset,
                                 &e.stereoUtilityMax.modBalanceOffset, &e.stereoUtilityMax.modMixOffset };

        for (size_t i = 0; i < 4; ++i)
            fields.delayVerb[i] = &e.delayVerb.korruptOffsets[i];

        for (size_t i = 0; i < 3; ++i)
        {
            fields.distortion[i] = &e.distortionSuite.korruptOffsets[i];
            fields.atomizer[i] = &e.atomizer.korruptOffsets[i];
        }

        for (size_t i = 0; i < 12; ++i)
            fields.finalizer[i] = &e.finalizer.korruptBandInputs[i];

        return fields;
    }

    // Work buffers are sized for at least this many frames; longer device blocks are handled
    // in chunks of it.
    constexpr int minimumScratchFrames = 8192;
}

AudioEngine::AudioEngine() = default;
AudioEngine::~AudioEngine() = default;

void AudioEngine::connect (const Connections& connections)
{
    road = std::make_unique<Connections> (connections);
    dispatcher = std::make_unique<EffectDispatcher> (connections.effects);
}

//==============================================================================
void AudioEngine::prepare (int samplesPerBlockExpected, double sampleRate, int deviceInputs)
{
    audioReady.exchange (false);

    transport.prepareToPlay (samplesPerBlockExpected, sampleRate);
    beatClock.prepare (sampleRate, samplesPerBlockExpected);
    deviceSampleRate = sampleRate;

    prepareEffects (sampleRate, samplesPerBlockExpected);

    const float tempo = bpm.load();

    if (road != nullptr)
    {
        road->korruptEngine.prepare (sampleRate, samplesPerBlockExpected);
        road->mashEngine.prepare (sampleRate, samplesPerBlockExpected);
        road->mashEngine.tempoBpm = juce::jlimit (20.0f, 400.0f, tempo);
    }

    currentSampleRate = sampleRate;
    currentBlockSize = samplesPerBlockExpected;
    chainTempo = tempo;

    stutter.prepare (sampleRate);

    if (road != nullptr)
    {
        auto& e = road->effects;
        road->korruptEngine.setModulationTargets (korruptTargetFields (e));
        road->randomiser.setTempo (tempo);
        road->randomiser.enabled = false;
        road->stutterTempo = tempo;
    }

    for (auto* processor : { &pitchSpectralProcessor, &samplerSpectralProcessor })
    {
        processor->prepare (sampleRate, samplesPerBlockExpected);
        processor->setTimeStretch (1.0f);
        processor->setMix (1.0f);
    }

    const int scratchFrames = juce::jmax (samplesPerBlockExpected, minimumScratchFrames);

    if (road != nullptr)
        road->recordingWindow.prepareCapture (sampleRate, samplesPerBlockExpected);

    effectChain.prepare (2, scratchFrames);
    roadScratch.setSize (2, scratchFrames, false, false, true);

    deviceInputChannels = deviceInputs;

    audioReady.exchange (true);
}

// The nine effects, in the order the road has always prepared them.
void AudioEngine::prepareEffects (double sampleRate, int samplesPerBlockExpected)
{
    if (road == nullptr)
        return;

    auto& e = road->effects;
    e.distortionSuite.setSampleRate (sampleRate);
    e.stereoUtilityMax.prepare (sampleRate);
    e.delayVerb.prepare (sampleRate);
    e.atomizer.prepare (sampleRate);
    e.imager.prepare (sampleRate);
    e.timePro.prepare (sampleRate);
    e.dictionaryReader.prepare (sampleRate);
    e.smartEq.prepare (sampleRate);
    e.finalizer.prepare (sampleRate, samplesPerBlockExpected);
}

void AudioEngine::release()
{
    transport.releaseResources();
}

AudioEngine::BlockGates AudioEngine::gatesFor (const GateInputs& in) noexcept
{
    const bool hasSamples = in.channels > 0 && in.samples > 0;
    const bool eitherSource = in.appAudioSource || in.inputThroughChainSource;

    BlockGates gates;
    gates.captureInput = in.windowShown && ! eitherSource && in.deviceHasInput && hasSamples;
    // The input-through-chain road runs whether or not the panel is shown: it is how the user
    // monitors the effects on a live input.
    gates.processRoad = in.fileLoaded || (in.inputThroughChainSource && in.deviceHasInput);
    gates.captureOutput = gates.processRoad && in.windowShown && eitherSource && hasSamples;
    return gates;
}

bool AudioEngine::isEffectActive (int id) const noexcept
{
    return dispatcher != nullptr && dispatcher->isEffectActive (id);
}

void AudioEngine::runEffectChain (juce::AudioBuffer<float>& buffer, int start, int n) noexcept
{
    if (dispatcher != nullptr)
        effectChain.process (*dispatcher, buffer, start, n);
}

//==============================================================================
void AudioEngine::process (const juce::AudioSourceChannelInfo& bufferToFill) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    auto* const buffer = bufferToFill.buffer;
    const int start = bufferToFill.startSample;
    const int n = bufferToFill.numSamples;
    const bool hasBlock = buffer != nullptr && n > 0;
    const int channels = buffer != nullptr ? buffer->getNumChannels() : 0;
    const bool stereo = hasBlock && channels >= 2;

    // Not wired to the window's side yet: nothing to play.
    if (road == nullptr)
    {
        if (hasBlock)
            bufferToFill.clearActiveBufferRegion();
        return;
    }

    auto& recordingWindow = road->recordingWindow;
    auto& finalizer = road->effects.finalizer;
    auto& korruptEngine = road->korruptEngine;
    auto& mashEngine = road->mashEngine;
    auto& randomiser = road->randomiser;

    // Resets, reseeds and slot clears asked for by the menus and the knob land here, whether or
    // not the engines run or the block is played, so a switched-off engine reads its cleared
    // state one block later.
    korruptEngine.serviceRequests();
    mashEngine.serviceRequests();

    // 1. Knob automation.
    processAutomation (n);

    // 2, 3. The device input: captured for the recording panel, or sent through the chain.
    const bool hasFile = transport.hasSourceForAudio();
    const auto gates = gatesFor ({ recordingWindowShown.load (std::memory_order_relaxed),
                                   recordingWindow.isAppAudioSource.load (std::memory_order_relaxed),
                                   recordingWindow.isExInFxSource.load (std::memory_order_relaxed),
                                   deviceInputChannels.load (std::memory_order_relaxed) > 0,
                                   hasFile, channels, hasBlock ? n : 0 });

    if (gates.captureInput)
        captureDeviceInput (bufferToFill);

    // 4. No file and no input to process: silence.
    if (! gates.processRoad)
    {
        if (hasBlock)
            bufferToFill.clearActiveBufferRegion();
        return;
    }

    // 5, 6. The transport stage and the level meter.
    if (hasFile)
        transport.renderBlock (bufferToFill);

    if (hasBlock)
        levelMeter.measure (*buffer, start, n);

    // 7. The finalizer's own player fills the block alone while no main file exists.
    if (finalizer.wavePlayerPlaying() && finalizer.wavePlayerLength() >= 1 && finalizer.wavePlayerHasSamples()
        && ! loadedFileExists.load (std::memory_order_relaxed))
    {
        if (hasBlock)
            renderFinalizerPlayer (*buffer, start, n);
        return;
    }

    // 8, 9. Balance and width.
    if (! hasBlock)
        return;

    stereostages::applyBalance (*buffer, start, n, outputGainLeft.load (std::memory_order_relaxed),
                                outputGainRight.load (std::memory_order_relaxed));
    stereostages::applyWidth (*buffer, start, n, stereoWidth.load (std::memory_order_relaxed));

    // 10. Nothing past this point runs while a prepare step or a file load is in progress.
    if (! audioReady.load (std::memory_order_acquire))
        return;

    // 11. Beat clock and beat tracker, from the transport's position in device samples.
    const double blockPosition = transport.getAudioTransportSeconds() * deviceSampleRate;
    beatClock.advance (blockPosition, n);

    if (bpm.load (std::memory_order_relaxed) > 0.0f)
        beatClock.processOnsets (buffer->getReadPointer (0, start),
                                 buffer->getReadPointer (juce::jmin (1, channels - 1), start), n, blockPosition);

    // 12, 13. Keyboard sampler and the two spectral processors.
    if (keysOn.load (std::memory_order_relaxed) && samplerLength.load (std::memory_order_relaxed) > 0)
    {
        renderSampler (*buffer, start, n);

        if (keysPreserveLength.load (std::memory_order_relaxed)
            && samplerSpectralProcessor.enabled.load (std::memory_order_relaxed))
            processSpectral (samplerSpectralProcessor, *buffer, start, n);
    }

    if (pitchSpectralProcessor.enabled.load (std::memory_order_relaxed))
        processSpectral (pitchSpectralProcessor, *buffer, start, n);

    // 14. The effect chain, with the Korrupt engine's modulation pushed first.
    const bool korruptActive = korruptEngine.active.load (std::memory_order_relaxed)
                               && korruptEngine.amount.load (std::memory_order_relaxed) * 100.0f > 0.0f;

    if (channels > 0)
    {
        if (korruptActive)
            korruptEngine.applyModulationTargets();

        runEffectChain (*buffer, start, n);
    }

    // 15-17. The engines and the circuit bend need both channels.
    if (stereo)
    {
        auto* left = buffer->getWritePointer (0, start);
        auto* right = buffer->getWritePointer (1, start);

        if (korruptActive)
            korruptEngine.process (left, right, n);

        if (circuitBendAmount.load (std::memory_order_relaxed) > 0.0f)
            processCircuitBend (left, right, n);

        if (mashEngine.enabled.load (std::memory_order_relaxed))
        {
            mashEngine.tempoBpm = juce::jlimit (20.0f, 400.0f, bpm.load (std::memory_order_relaxed));
            mashEngine.process (left, right, n);
        }
    }

    // 18-20. Stutter, automatic gain and the output safety stage.
    stutter.process (*buffer, start, n);
    autoGain.process (*buffer, start, n,
                      AutoGain::isActiveFor (randomiser.eqAmount.load (std::memory_order_relaxed),
                                             randomiser.spaceAmount.load (std::memory_order_relaxed),
                                             randomiser.masterAmount.load (std::memory_order_relaxed)));
    outputsafety::apply (*buffer, start, n, volumeGain.load (std::memory_order_relaxed));

    // 21, 22. The finished block to the recording panel, and its take mixed in.
    if (gates.captureOutput)
        recordingWindow.pushSamples (buffer->getReadPointer (0, start),
                                     buffer->getReadPointer (juce::jmin (1, channels - 1), start), n);

    if (stereo)
        mixTakePlayback (*buffer, start, n);

    // 23. Loop range and the end of the file.
    if (hasFile)
        transport.handleLoopAndEnd();
}

//==============================================================================
void AudioEngine::captureDeviceInput (const juce::AudioSourceChannelInfo& info) noexcept
{
    const int channels = info.buffer->getNumChannels();
    road->recordingWindow.pushSamples (info.buffer->getReadPointer (0, info.startSample),
                                       info.buffer->getReadPointer (juce::jmin (1, channels - 1), info.startSample),
                                       info.numSamples);
}

void AudioEngine::renderFinalizerPlayer (juce::AudioBuffer<float>& buffer, int start, int n) noexcept
{
    auto& finalizer = road->effects.finalizer;
    auto& recordingWindow = road->recordingWindow;
    const int channels = buffer.getNumChannels();

    for (int c = 0; c < channels; ++c)
        buffer.clear (c, start, n);

    if (channels >= 2)
    {
        finalizer.renderWavePlayer (buffer.getWritePointer (0, start), buffer.getWritePointer (1, start), n,
                                    deviceSampleRate);

        if (! loadedFileExists.load (std::memory_order_relaxed))
            recordingWindow.pushSamples (buffer.getReadPointer (0, start), buffer.getReadPointer (1, start), n);
    }
    else if (channels == 1)
    {
        // One output channel: render both sides into the scratch pair and keep their mean.
        const int capacity = roadScratch.getNumSamples();

        for (int done = 0; done < n && capacity > 0; done += capacity)
        {
            const int count = juce::jmin (capacity, n - done);
            auto* left = roadScratch.getWritePointer (0);
            auto* right = roadScratch.getWritePointer (1);
            juce::FloatVectorOperations::clear (left, count);
            juce::FloatVectorOperations::clear (right, count);

            finalizer.renderWavePlayer (left, right, count, deviceSampleRate);

            auto* out = buffer.getWritePointer (0, start + done);

            for (int i = 0; i < count; ++i)
                out[i] = (left[i] + right[i]) * 0.5f;

            if (! loadedFileExists.load (std::memory_order_relaxed))
                recordingWindow.pushSamples (left, right, count);
        }
    }
}

void AudioEngine::processSpectral (SpectralProcessor& processor, juce::AudioBuffer<float>& buffer,
                                   int start, int n) noexcept
{
    // The processor works on a whole buffer: give it a view of the block's region, which is
    // the copy-process-copy-back of the block without the copies.
    float* channels[2] = { buffer.getWritePointer (0, start),
                           buffer.getWritePointer (juce::jmin (1, buffer.getNumChannels() - 1), start) };
    juce::AudioBuffer<float> view (channels, juce::jmin (2, buffer.getNumChannels()), n);
    processor.process (view);
}

void AudioEngine::processCircuitBend (float* left, float* right, int n) noexcept
{
    circuitBend.amount.store (circuitBendAmount.load (std::memory_order_relaxed), std::memory_order_relaxed);
    circuitBend.mode.store (road->circuitBendMode.load (std::memory_order_relaxed), std::memory_order_relaxed);
    circuitBend.process (left, right, n);
}

void AudioEngine::mixTakePlayback (juce::AudioBuffer<float>& buffer, int start, int n) noexcept
{
    road->recordingWindow.mixTakePlayback (buffer.getWritePointer (0, start), buffer.getWritePointer (1, start), n);
}

//==============================================================================
// Stages whose owners have not filled them in yet; each keeps its place in the road.

void AudioEngine::processAutomation (int) noexcept {}
void AudioEngine::renderSampler (juce::AudioBuffer<float>&, int, int) noexcept {}
