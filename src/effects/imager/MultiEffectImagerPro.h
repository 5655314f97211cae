#pragma once

#include "controls/RightClickSlider.h"
#include "effects/core/ProcessorPanel.h"
#include "effects/imager/MultiEffectImagerProProcessor.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>

class CyanHeadsUpDisplay;

/** Effect 4 of the chain: a loaded picture's features steer a chain of pan, distortion, delay,
    reverb, exciter, HRTF and mid/side stages. Loading and analysing pictures and the signal
    chain are later additions: for now no picture can be loaded, so the effect never counts as
    active, and a processed block passes through unchanged. The controls and fields that the
    main window reads and resets already exist. */
class MultiEffectImagerPro : public ProcessorPanel<MultiEffectImagerProProcessor>
{
public:
    /** The display may be null; it is not owned and must outlive the panel. */
    explicit MultiEffectImagerPro (CyanHeadsUpDisplay* hudToFeed);

    /** Processes the samples in place (audio thread); returns at once while bypassed. */
    void process (float* left, float* right, int numSamples) noexcept;

    /** With tempo sync on and a tempo set, the four LFO rates follow tempo / 60 times 1, 2,
        0.5 and 4. */
    void updateTempoSync();

    /** The ten picture features back to their values before any picture was analysed. */
    void resetFeatures();

    //==============================================================================
    struct Features
    {
        float panX = 0.0f, panAmount = 0.0f, rateFactor = 1.0f;
        float brightness = 0.5f, contrast = 0.5f, saturation = 0.5f, edgeDensity = 0.5f;
        float complexity = 0.5f, depth = 0.5f, warmth = 0.5f;
    };

    Features features;

    std::atomic<bool>& bypassed = processor.parameters.bypassed;
    std::atomic<bool>& imageLoaded = processor.parameters.imageLoaded;
    std::atomic<bool> tempoSyncEnabled { false };
    std::atomic<float> bpm { 120.0f };
    bool mutating = false, reverting = false;

    std::array<std::atomic<float>, 4> lfoRates {};

    RightClickSlider masterSlider;
    juce::Label masterLabel, statusLabel;
    juce::TextButton panButton { "PAN" }, distButton { "DIST" }, delayButton { "DLY" },
                     verbButton { "VERB" }, exciterButton { "EXC" };
    juce::TextButton bypassButton { "BYPASS" }, hudButton { "HUD" }, syncButton { "SYNC" },
                     mutateButton { "MUTATE" };

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    CyanHeadsUpDisplay* hud = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MultiEffectImagerPro)
};
