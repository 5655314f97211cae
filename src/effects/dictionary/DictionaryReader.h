#pragma once

#include "controls/NeonGreenKnobLookAndFeel.h"
#include "controls/ParamSlider.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "effects/core/ProcessorPanel.h"
#include "effects/dictionary/DictionaryReaderProcessor.h"
#include "effects/dictionary/WordTokenizer.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class GoldHeadsUpDisplay;

/** A text button whose toggle state the audio thread may read: every change, with or without
    a notification, is stored into the linked atomic. */
class ReaderToggleButton : public juce::TextButton
{
public:
    using juce::TextButton::TextButton;

    /** Message thread; the target must outlive the button. */
    void linkMirror (std::atomic<bool>* target) noexcept;

protected:
    void buttonStateChanged() override;

private:
    std::atomic<bool>* linked = nullptr;
};

/** Effect 6 of the chain: reads a text word by word on its own clock and turns each word into
    moves of its micro-pitch, granular and half-time engines (DictionaryReaderProcessor).

    The clock is the panel's 33 ms timer and counts a thirtieth of a second per tick whatever
    the real interval. Each tick also glides the engines' parameters toward their targets and
    lets the targets relax to rest. Documents, the word analysis that moves the targets and
    the panel's screen are later additions: for now a word is applied without effect. */
class DictionaryReader : public ProcessorPanel<DictionaryReaderProcessor>
{
public:
    using Word = ReaderWord;
    using WordCase = ReaderWordCase;
    using PrefixClass = ReaderPrefixClass;
    using SuffixClass = ReaderSuffixClass;
    using EngineParams = ReaderEngineParams;
    using Grain = DictionaryReaderProcessor::Grain;

    enum ReaderMood { calm = 0, neutral = 1, aggro = 2 };

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit DictionaryReader (GoldHeadsUpDisplay* hudToFeed);
    ~DictionaryReader() override;

    /** Processes the samples in place (audio thread); returns at once while bypassed. */
    void process (float* left, float* right, int numSamples) noexcept;

    //==============================================================================
    /** Replaces the words with those of `text` and starts again at its first word. */
    void tokenize (const juce::String& text);
    void analyzeWord (Word& word) const                       { tokenizer.analyzeWord (word); }
    juce::String findPrefix (const juce::String& word) const  { return tokenizer.findPrefix (word); }

    /** Jumps 1 to 5 words forward or back at random and pushes the engines; starts reading. */
    void shove();

    /** Turns a word into moves of the engines' targets (none yet). */
    void applyWord (const Word& word);

    /** The engines' targets and glide, their drive, and the processor's read positions, phase
        and grains back to where a fresh panel has them. */
    void resetEngineState();

    /** Where PASTE takes its text from; the system clipboard unless replaced. */
    std::function<juce::String()> clipboardText;

    //==============================================================================
    WordTokenizer tokenizer;
    const std::vector<juce::String>& prefixes = tokenizer.prefixes;
    const std::vector<juce::String>& suffixes = tokenizer.suffixes;
    const std::vector<juce::String>& negationPrefixes = tokenizer.negationPrefixes;
    const std::vector<juce::String>& intensifierPrefixes = tokenizer.intensifierPrefixes;

    SilverKnobLookAndFeel silverLookAndFeel;
    NeonGreenKnobLookAndFeel neonLookAndFeel;

    std::unique_ptr<juce::FileChooser> fileChooser;

    juce::TextButton loadButton { "LOAD FILE" };
    ReaderToggleButton readButton { "READ" };
    juce::TextButton moodButton { "NEUTRAL" };
    ReaderToggleButton bypassButton { "BYPASS" };
    juce::TextButton hudButton { "HUD" };
    juce::TextButton syncButton { "SYNC" };
    ReaderToggleButton microPitchButton { "MICRO-PITCH" }, granularButton { "GRANULAR" }, halfTimeButton { "HALF-TIME" };
    juce::TextButton dictionaryButton { "DICTIONARY" }, conditionalButton { "CONDITIONAL" };
    juce::TextButton shoveButton { "SHOVE" }, typeButton { "TYPE" }, pasteButton { "PASTE" };

    juce::TextEditor textInput;
    bool typeMode = false;

    ParamSlider mixKnob;
    juce::Slider positionSlider;
    juce::Label mixLabel;

    bool syncToTempo = false;
    float bpm = 120.0f;
    const float syllablesPerBeat = 2.0f;
    int shoveFlashTicks = 0;

    /** Message thread only; the audio side reads wordCount. */
    std::vector<Word> words;
    ReaderTextStatistics statistics;
    float& negationDensity = statistics.negationDensity;
    float& intensifierDensity = statistics.intensifierDensity;
    float& morphologicalComplexity = statistics.morphologicalComplexity;
    float& lengthVariance = statistics.lengthVariance;

    int currentIndex = 0;
    float wordElapsed = 0.0f;
    int wordPhase = 0;

    std::atomic<bool>& reading = processor.parameters.reading;
    std::atomic<bool>& bypassed = processor.parameters.bypassed;
    std::atomic<int>& wordCount = processor.parameters.wordCount;
    int mood = neutral;

    juce::String documentName, currentWordText;

    EngineParams engineTargets, engineParams;
    std::atomic<float>& verbDrive = processor.parameters.verbDrive;

    /** How often each word has been heard, and in all; forgotten when the device restarts. */
    std::map<juce::String, int> wordCounts;
    int wordCountTotal = 0;

    //==============================================================================
    void paint (juce::Graphics& g) override;
    void resized() override;

    /** The reading clock; tests call it directly. */
    void timerCallback() override;

private:
    void setUpButtons();
    void setUpTextInput();
    void setUpSliders();

    void startReadingShown();
    void moveTo (int index);
    void applyCurrentWord();
    void forgetHistoryIfRequested();
    float currentWordDuration() const noexcept;
    void glideEngineParams() noexcept;
    void showPositionOf (int index);
    void scrubTo (double value);
    void typedTextChanged();
    void returnPressed();
    void paste();
    void cycleMood();

    GoldHeadsUpDisplay* hud = nullptr;
    std::uint32_t handledHistoryClears = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DictionaryReader)
};
