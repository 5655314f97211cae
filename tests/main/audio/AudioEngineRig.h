#pragma once

#include "engines/KorruptEngine.h"
#include "engines/MashEngine.h"
#include "main/ParameterRandomiser.h"
#include "main/audio/AudioEngine.h"
#include "../chain/EffectRack.h"
#include "recording/RecordingWindow.h"

#include <memory>

// The audio road without a window: the engine wired to the nine effects, the two engines, the
// randomiser and a recording panel, as the main window wires it. Used by the engine's tests
// and its benchmark row.
struct AudioEngineRig : EffectRack
{
    KorruptEngine korrupt;
    MashEngine mash;
    ParameterRandomiser randomiser;
    RecordingWindow recordingWindow;
    std::atomic<float> stutterTempo { 120.0f };
    std::atomic<int> circuitBendMode { 7 };

    AudioEngine engine;

    AudioEngineRig()
    {
        engine.connect ({ effects(),
                          korrupt, mash, randomiser, recordingWindow, stutterTempo, circuitBendMode });
    }

    /** Hands `samples` (two channels at `rate`) to the transport as the loaded file, looping,
        and starts it. */
    void play (const juce::AudioBuffer<float>& samples, double rate)
    {
        auto audio = std::make_unique<DecodedAudio>();
        audio->samples = samples;
        audio->sampleRate = rate;
        audio->fileChannels = samples.getNumChannels();
        engine.transport.setSource (std::move (audio));
        engine.transport.setLoopEnabled (true);
        engine.loadedFileExists = true;
        engine.transport.start();
    }

    /** Every effect of the chain active, the three with sound at heavy settings. */
    void everyEffectOn()
    {
        distortion.driveKnob.setValueSilently (12.0);
        distortion.mixKnob.setValueSilently (100.0);
        stereo.leftMixKnob.setValueSilently (50.0);
        delay.delayLeftKnob.setValueSilently (50.0);
        atomizer.leftMixKnob.setValueSilently (50.0);
        imager.imageLoaded = true;
        timePro.mixKnob.setValueSilently (50.0);
        reader.reading = true;
        reader.wordCount = 1;
        finalizer.densityAmount = 1.0f;
        finalizer.aboveAmount = 1.0f;
        finalizer.belowAmount = 1.0f;
        finalizer.dcFilterButton.setToggleStateAndMirror (true, juce::dontSendNotification);
    }
};
