#pragma once

#include "controls/ParamSlider.h"
#include "effects/core/ProcessorPanel.h"
#include "effects/dictionary/DictionaryReaderProcessor.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <vector>

class GoldHeadsUpDisplay;

/** Effect 6 of the chain: reads a document word by word on its own clock and turns each word
    into moves of its micro-pitch, granular and half-time engines. Document loading, the word
    analysis and the engines are later additions: for now no document can be loaded, so the
    reader never reads and a processed block passes through unchanged. The controls and fields
    that the main window reads and resets already exist. */
class DictionaryReader : public ProcessorPanel<DictionaryReaderProcessor>
{
public:
    /** One word of the loaded text. */
    struct Word
    {
        juce::String original, normalized;
    };

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit DictionaryReader (GoldHeadsUpDisplay* hudToFeed);

    /** Processes the samples in place (audio thread); returns at once while bypassed. */
    void process (float* left, float* right, int numSamples) noexcept;

    //==============================================================================
    std::atomic<bool>& bypassed = processor.parameters.bypassed;
    std::atomic<bool>& reading = processor.parameters.reading;
    std::atomic<float> bpm { 120.0f };

    /** Message thread only; the audio side reads wordCount. */
    std::vector<Word> words;
    std::atomic<int>& wordCount = processor.parameters.wordCount;

    ParamSlider mixKnob;
    juce::Label mixLabel;
    juce::TextButton loadButton { "LOAD FILE" }, readButton { "READ" }, bypassButton { "BYPASS" },
                     hudButton { "HUD" }, microPitchButton { "MICRO-PITCH" }, granularButton { "GRANULAR" },
                     halfTimeButton { "HALF-TIME" };

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    GoldHeadsUpDisplay* hud = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DictionaryReader)
};
