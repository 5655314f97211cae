#include "effects/dictionary/DictionaryReader.h"

#include "controls/HeadsUpDisplay.h"
#include "effects/core/PanelKnobTable.h"
#include "platform/CrtRand.h"

namespace
{
    const juce::Colour buttonColour (0xff87ceeb);
    const juce::Colour toggleOnColour (0xff6ec6e6);
    const juce::Colour black (0xff000000);
    const juce::Colour yellow (0xffffff00);
    const juce::Colour pasteFlashColour (0xff90ee90);

    // The clock's step: a thirtieth of a second in single precision, whatever the timer's real
    // interval, so a word lasts the same number of ticks on every machine.
    constexpr float tickSeconds = 1.0f / 30.0f;

    void colour (juce::TextButton& b, juce::Colour on, juce::Colour textOff, juce::Colour textOn)
    {
        b.setColour (juce::TextButton::buttonColourId, buttonColour);
        if (! on.isTransparent())
            b.setColour (juce::TextButton::buttonOnColourId, on);
        b.setColour (juce::TextButton::textColourOffId, textOff);
        if (! textOn.isTransparent())
            b.setColour (juce::TextButton::textColourOnId, textOn);
    }

    const char* moodName (int mood)
    {
        static const char* const names[] = { "CALM", "NEUTRAL", "AGGRO" };
        return names[juce::jlimit (0, 2, mood)];
    }
}

//==============================================================================
void ReaderToggleButton::linkMirror (std::atomic<bool>* target) noexcept
{
    linked = target;
    if (linked != nullptr)
        linked->store (getToggleState(), std::memory_order_relaxed);
}

void ReaderToggleButton::buttonStateChanged()
{
    // Reached for every toggle change, also the silent ones the reader and REVERT make.
    juce::TextButton::buttonStateChanged();
    if (linked != nullptr)
        linked->store (getToggleState(), std::memory_order_relaxed);
}

//==============================================================================
DictionaryReader::DictionaryReader (GoldHeadsUpDisplay* hudToFeed)
    : ProcessorPanel (33), hud (hudToFeed)
{
    clipboardText = [] { return juce::SystemClipboard::getTextFromClipboard(); };

    setLookAndFeel (&silverLookAndFeel);
    setUpButtons();
    setUpSliders();
    setUpTextInput();

    for (juce::Component* c : std::initializer_list<juce::Component*> {
             &loadButton, &readButton, &moodButton, &microPitchButton, &granularButton, &halfTimeButton,
             &dictionaryButton, &conditionalButton, &bypassButton, &hudButton, &syncButton, &mixKnob,
             &mixLabel, &shoveButton, &typeButton, &textInput, &pasteButton, &positionSlider })
        addAndMakeVisible (c);

    processor.parameters.storeEngineParams (engineParams);
}

DictionaryReader::~DictionaryReader()
{
    mixKnob.setLookAndFeel (nullptr);
    setLookAndFeel (nullptr);
}

void DictionaryReader::setUpButtons()
{
    const auto none = juce::Colours::transparentBlack;
    for (auto* b : { &loadButton, &moodButton, &hudButton, &pasteButton })
        colour (*b, none, black, none);
    colour (shoveButton, none, black, yellow);

    for (auto* b : std::initializer_list<juce::TextButton*> {
             &readButton, &syncButton, &microPitchButton, &granularButton, &halfTimeButton,
             &dictionaryButton, &conditionalButton })
    {
        b->setClickingTogglesState (true);
        colour (*b, toggleOnColour, black, yellow);
    }
    bypassButton.setClickingTogglesState (true);
    colour (bypassButton, juce::Colour (0xffff6666), black, yellow);
    typeButton.setClickingTogglesState (true);
    colour (typeButton, pasteFlashColour, black, black);

    readButton.linkMirror (&processor.parameters.reading);
    bypassButton.linkMirror (&processor.parameters.bypassed);
    microPitchButton.linkMirror (&processor.parameters.microPitch);
    granularButton.linkMirror (&processor.parameters.granular);
    halfTimeButton.linkMirror (&processor.parameters.halfTime);

    readButton.onClick = [this] { reading = readButton.getToggleState(); };
    bypassButton.onClick = [this] { bypassed = bypassButton.getToggleState(); repaint(); };
    syncButton.onClick = [this] { syncToTempo = syncButton.getToggleState(); };
    moodButton.onClick = [this] { cycleMood(); };
    hudButton.onClick = [this] { panelknobs::toggleHud (hud); };
    shoveButton.onClick = [this] { shove(); };
    pasteButton.onClick = [this] { paste(); };
    typeButton.onClick = [this]
    {
        typeMode = typeButton.getToggleState();
        textInput.setVisible (typeMode);
        if (typeMode && textInput.isShowing())
            textInput.grabKeyboardFocus();
        resized();
        repaint();
    };
}

void DictionaryReader::setUpSliders()
{
    mixKnob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    mixKnob.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    mixKnob.setRange (0.0, 100.0, 1.0);
    mixKnob.setValueSilently (0.0);
    mixKnob.setName ("MIX");
    mixKnob.setLookAndFeel (&neonLookAndFeel);
    mixKnob.linkMirror (&processor.parameters.mix);

    mixLabel.setText ("MIX", juce::dontSendNotification);
    mixLabel.setJustificationType (juce::Justification::centred);
    mixLabel.setFont (juce::Font ("Times New Roman", 10.0f, juce::Font::bold));
    mixLabel.setColour (juce::Label::textColourId, black);

    positionSlider.setSliderStyle (juce::Slider::LinearHorizontal);
    positionSlider.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    positionSlider.setRange (0.0, 1.0, 0.001);
    positionSlider.setValue (0.0, juce::dontSendNotification);
    positionSlider.setColour (juce::Slider::thumbColourId, juce::Colour (0xffd0a030));
    positionSlider.setColour (juce::Slider::trackColourId, juce::Colour (0xff404040));
    positionSlider.onValueChange = [this] { scrubTo (positionSlider.getValue()); };
}

void DictionaryReader::setUpTextInput()
{
    textInput.setMultiLine (false);
    textInput.setReturnKeyStartsNewLine (false);
    textInput.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xff202020));
    textInput.setColour (juce::TextEditor::textColourId, juce::Colour (0xff40ff40));
    textInput.setColour (juce::TextEditor::outlineColourId, juce::Colour (0xff404040));
    textInput.setFont (juce::Font ("Courier New", 12.0f, juce::Font::plain));
    textInput.setTextToShowWhenEmpty ("Type text here...", juce::Colour (0xff606060));
    textInput.onTextChange = [this] { typedTextChanged(); };
    textInput.onReturnKey = [this] { returnPressed(); };
}

void DictionaryReader::process (float* left, float* right, int numSamples) noexcept
{
    processStereoPointers (processor, left, right, numSamples);
}

//==============================================================================
void DictionaryReader::tokenize (const juce::String& text)
{
    auto result = tokenizer.tokenize (text);
    words = std::move (result.words);
    statistics = result.statistics;

    currentIndex = 0;
    wordElapsed = 0.0f;
    wordPhase = 0;
    positionSlider.setValue (0.0, juce::dontSendNotification);

    if (! words.empty())
        currentWordText = words.front().normalized;

    // Published last: the audio side learns about the new words only once they are in place.
    wordCount.store ((int) words.size(), std::memory_order_release);
}

void DictionaryReader::applyWord (const Word&)
{
}

void DictionaryReader::forgetHistoryIfRequested()
{
    const auto requested = processor.parameters.wordHistoryClearRequests.load (std::memory_order_acquire);
    if (requested == handledHistoryClears)
        return;

    handledHistoryClears = requested;
    wordCounts.clear();
    wordCountTotal = 0;
}

void DictionaryReader::applyCurrentWord()
{
    forgetHistoryIfRequested();
    applyWord (words[(size_t) currentIndex]);
}

void DictionaryReader::moveTo (int index)
{
    currentIndex = index;
    wordElapsed = 0.0f;
    wordPhase = 0;
    currentWordText = words[(size_t) index].normalized;
}

void DictionaryReader::showPositionOf (int index)
{
    // A one-word text has nowhere to move: the slider stays at its start.
    const auto n = (int) words.size();
    positionSlider.setValue (n > 1 ? (double) index / (double) (n - 1) : 0.0, juce::dontSendNotification);
}

void DictionaryReader::startReadingShown()
{
    reading = true;
    readButton.setToggleState (true, juce::dontSendNotification);
}

//==============================================================================
float DictionaryReader::currentWordDuration() const noexcept
{
    const float moodFactor = mood == calm ? 1.5f : (mood == aggro ? 0.6f : 1.0f);

    if (syncToTempo && bpm > 0.0f)
    {
        const auto syllables = (float) juce::jmax (1, (int) words[(size_t) currentIndex].syllables);
        return syllables / syllablesPerBeat * (60.0f / bpm) * moodFactor;
    }

    return mood == calm ? 7.0f : (mood == aggro ? 3.0f : 5.0f);
}

void DictionaryReader::glideEngineParams() noexcept
{
    auto& p = engineParams;
    auto& t = engineTargets;

    p.mpMix += (t.mpMix - p.mpMix) * 0.05f;
    p.grMix += (t.grMix - p.grMix) * 0.05f;
    p.htMix += (t.htMix - p.htMix) * 0.05f;
    p.mpDetune += (t.mpDetune - p.mpDetune) * 0.05f;
    p.grPitch += (t.grPitch - p.grPitch) * 0.05f;
    p.htTime += (t.htTime - p.htTime) * 0.05f;
    p.grMix = juce::jmin (p.grMix, 0.5f);

    t.mpMix = 0.35f + (t.mpMix - 0.35f) * 0.995f;
    t.grMix = juce::jmin (0.5f, 0.25f + (t.grMix - 0.25f) * 0.995f);
    t.htMix = 0.4f + (t.htMix - 0.4f) * 0.995f;
    t.mpDetune = 6.0f + (t.mpDetune - 6.0f) * 0.99f;
    t.grPitch = t.grPitch * 0.99f;
    t.htTime = 1.5f + (t.htTime - 1.5f) * 0.99f;

    processor.parameters.storeEngineParams (p);
}

void DictionaryReader::timerCallback()
{
    if (shoveFlashTicks > 0 && --shoveFlashTicks == 0)
        shoveButton.setColour (juce::TextButton::textColourOffId, black);

    if (reading.load (std::memory_order_relaxed) && ! words.empty())
    {
        wordElapsed += tickSeconds;
        const float duration = currentWordDuration();

        // The word is applied on every tick it sounds, the last one included.
        applyCurrentWord();
        wordPhase = juce::jlimit (0, 4, (int) (wordElapsed / duration * 5.0f));

        if (wordElapsed >= duration)
        {
            moveTo ((currentIndex + 1) % (int) words.size());
            showPositionOf (currentIndex);
        }
    }

    glideEngineParams();
    repaint();
}

//==============================================================================
void DictionaryReader::shove()
{
    if (words.empty())
        return;

    shoveButton.setColour (juce::TextButton::textColourOffId, yellow);
    shoveFlashTicks = 8;

    if (! reading.load (std::memory_order_relaxed))
        startReadingShown();

    const int a = platform::crtRand();
    const int b = platform::crtRand();
    const int d = b % 5 + 1;
    const bool forward = a % 2 == 0;

    const int n = (int) words.size();
    const int index = (((forward ? currentIndex + d : currentIndex - d) % n) + n) % n;
    moveTo (index);

    auto& t = engineTargets;
    const auto df = (float) d;
    if (forward)
    {
        t.mpMix = juce::jlimit (0.0f, 1.0f, t.mpMix + 0.15f * df);
        t.mpDetune = juce::jlimit (-20.0f, 20.0f, t.mpDetune + 3.0f * df);
        t.grMix = juce::jlimit (0.0f, 1.0f, t.grMix + 0.12f * df);
    }
    else
    {
        t.htMix = juce::jlimit (0.0f, 1.0f, t.htMix + 0.15f * df);
        t.grPitch = juce::jlimit (-24.0f, 24.0f, t.grPitch - 2.0f * df);
        t.htTime = juce::jlimit (0.5f, 4.0f, t.htTime + 0.2f * df);
    }

    applyCurrentWord();
    repaint();
}

void DictionaryReader::scrubTo (double value)
{
    if (words.empty())
        return;

    const int index = juce::jlimit (0, (int) words.size() - 1, (int) ((double) (words.size() - 1) * value));
    if (index == currentIndex)
        return;

    moveTo (index);
    applyCurrentWord();
    repaint();
}

void DictionaryReader::resetEngineState()
{
    engineTargets = {};
    engineParams = {};
    verbDrive.store (0.0f, std::memory_order_relaxed);
    processor.parameters.storeEngineParams (engineParams);
    processor.parameters.engineResetRequests.fetch_add (1, std::memory_order_release);
}

void DictionaryReader::cycleMood()
{
    mood = (mood + 1) % 3;
    moodButton.setButtonText (moodName (mood));
}

//==============================================================================
void DictionaryReader::typedTextChanged()
{
    const auto text = textInput.getText();
    if (! typeMode || text.length() <= 2)
        return;

    documentName = "Live";
    tokenize (text);
    if (! reading.load (std::memory_order_relaxed) && ! words.empty())
        startReadingShown();
}

void DictionaryReader::returnPressed()
{
    const auto text = textInput.getText();
    if (text.isEmpty())
        return;

    documentName = "Live Input";
    tokenize (text);
    startReadingShown();
}

void DictionaryReader::paste()
{
    const auto text = clipboardText != nullptr ? clipboardText() : juce::String();
    if (text.isEmpty())
        return;

    documentName = "Clipboard";
    tokenize (text);
    startReadingShown();

    pasteButton.setColour (juce::TextButton::buttonColourId, pasteFlashColour);
    juce::Component::SafePointer<juce::TextButton> safeButton (&pasteButton);
    juce::Timer::callAfterDelay (200, [safeButton]
    {
        if (safeButton != nullptr)
            safeButton->setColour (juce::TextButton::buttonColourId, buttonColour);
    });
}

//==============================================================================
void DictionaryReader::paint (juce::Graphics& g)
{
    panelknobs::paintPanel (g, getLocalBounds(), "DICTIONARY READER", juce::Colour (0xffddaa33), bypassed);
}

void DictionaryReader::resized()
{
    const int width = getWidth();
    auto area = getLocalBounds().reduced (5);
    auto rest = area;
    auto top = rest.removeFromTop (20);

    const auto place = [] (juce::Component& c, juce::Rectangle<int> slot, int inset) { c.setBounds (slot.reduced (inset, 0)); };

    place (loadButton, top.removeFromLeft (55), 1);
    place (typeButton, top.removeFromLeft (40), 1);
    place (pasteButton, top.removeFromLeft (45), 1);
    place (readButton, top.removeFromLeft (38), 1);
    place (moodButton, top.removeFromLeft (52), 1);

    place (bypassButton, top.removeFromRight (50), 1);
    place (hudButton, top.removeFromRight (32), 1);
    place (syncButton, top.removeFromRight (38), 1);
    top.removeFromRight (3);
    const int mixX = top.removeFromRight (50).getX();
    mixKnob.setBounds (mixX, 7, 45, 45);
    mixLabel.setBounds (mixX, 53, 45, 12);

    if (typeMode)
    {
        place (textInput, rest.removeFromBottom (24), 2);
        rest.removeFromBottom (2);
    }

    auto toggles = rest.removeFromBottom (22);
    rest.removeFromBottom (2);
    const int leftWidth = juce::jmax (0, juce::jmin (area.getWidth(), area.getWidth() / 2 - 2));
    place (dictionaryButton, toggles.removeFromLeft (leftWidth), 2);
    place (conditionalButton, toggles, 2);

    auto strip = rest.removeFromBottom (16);
    rest.removeFromBottom (2);
    positionSlider.setBounds (strip.reduced (8, 2));

    auto engines = rest.removeFromBottom (22);
    const int slot = juce::jmax (0, (area.getWidth() - 10) / 3);
    for (auto* b : { &microPitchButton, &granularButton, &halfTimeButton })
        place (*b, engines.removeFromLeft (slot), 2);

    shoveButton.setBounds (width - 90, 24, 85, 20);
}
