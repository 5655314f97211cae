#include <gtest/gtest.h>

#include "controls/HeadsUpDisplay.h"
#include "effects/dictionary/DictionaryReader.h"
#include "platform/CrtRand.h"
#include "support/MessagePump.h"

#include <cmath>
#include <functional>

namespace
{
    using Params = DictionaryReader::EngineParams;

    void click (juce::Button& b) { b.onClick(); }

    void setToggle (juce::Button& b, bool on) { b.setToggleState (on, juce::sendNotificationSync); }

    /** Ticks until the current word changes; -1 if it does not within the limit. */
    int ticksUntilNextWord (DictionaryReader& r, int limit = 1000)
    {
        const int start = r.currentIndex;
        for (int t = 1; t <= limit; ++t)
        {
            r.timerCallback();
            if (r.currentIndex != start)
                return t;
        }
        return -1;
    }

    /** Seeds the generator so the next SHOVE moves by `shift` words, backward or forward. */
    void seedShove (int shift, bool forward)
    {
        for (unsigned seed = 1;; ++seed)
        {
            platform::crtSrand (seed);
            const int a = platform::crtRand(), b = platform::crtRand();
            if ((a % 2 == 0) == forward && b % 5 + 1 == shift)
            {
                platform::crtSrand (seed);
                return;
            }
        }
    }

    void expectAtRest (const Params& p, const char* what)
    {
        EXPECT_EQ (p.mpMix, 0.35f) << what;
        EXPECT_EQ (p.grMix, 0.25f) << what;
        EXPECT_EQ (p.htMix, 0.4f) << what;
        EXPECT_EQ (p.mpDetune, 6.0f) << what;
        EXPECT_EQ (p.grPitch, 0.0f) << what;
        EXPECT_EQ (p.htTime, 1.5f) << what;
    }
}

TEST (ReaderPanel, StartsEmptyAndOnlyGlidesWhileNothingIsRead)
{
    DictionaryReader r (nullptr);
    EXPECT_EQ (r.mixKnob.getValue(), 0.0);
    EXPECT_EQ (r.positionSlider.getValue(), 0.0);
    EXPECT_EQ (r.mood, DictionaryReader::neutral);
    EXPECT_EQ (r.moodButton.getButtonText(), "NEUTRAL");
    for (auto* b : { (juce::Button*) &r.readButton, (juce::Button*) &r.bypassButton, (juce::Button*) &r.syncButton,
                     (juce::Button*) &r.microPitchButton, (juce::Button*) &r.granularButton,
                     (juce::Button*) &r.halfTimeButton, (juce::Button*) &r.dictionaryButton,
                     (juce::Button*) &r.conditionalButton, (juce::Button*) &r.typeButton })
        EXPECT_FALSE (b->getToggleState()) << b->getButtonText();
    EXPECT_EQ (r.bpm, 120.0f);
    EXPECT_FALSE (r.reading.load());

    setToggle (r.readButton, true);   // reading, but nothing to read
    for (int t = 0; t < 100; ++t)
        r.timerCallback();
    EXPECT_EQ (r.currentIndex, 0);
    EXPECT_EQ (r.wordElapsed, 0.0f);
    expectAtRest (r.engineParams, "params");
    expectAtRest (r.engineTargets, "targets");
    expectAtRest (r.getProcessor().parameters.loadEngineParams(), "published");
}

TEST (ReaderPanel, WordsLastTheirMoodsDurationOrTheirSyllablesBeats)
{
    struct Case
    {
        const char* name;
        int moodClicks;
        bool sync;
        float bpm;
        int ticksPerWord;
    };

    const Case cases[] = {
        { "NEUTRAL 5 s", 0, false, 120.0f, 151 },
        { "AGGRO 3 s", 1, false, 120.0f, 91 },
        { "CALM 7 s", 2, false, 120.0f, 211 },
        { "SYNC 120, half a beat", 0, true, 120.0f, 8 },
        { "SYNC 120 AGGRO, 0.15 s", 1, true, 120.0f, 5 },
        { "SYNC 120 CALM, 0.375 s", 2, true, 120.0f, 12 },
        { "SYNC without a tempo", 0, true, 0.0f, 151 },
        { "SYNC below zero", 1, true, -30.0f, 91 },
    };

    for (const auto& c : cases)
    {
        DictionaryReader r (nullptr);
        for (int k = 0; k < c.moodClicks; ++k)
            click (r.moodButton);
        setToggle (r.syncButton, c.sync);
        r.bpm = c.bpm;
        r.tokenize ("cat dog fox");   // one syllable each
        setToggle (r.readButton, true);

        for (int word = 1; word <= 3; ++word)
        {
            EXPECT_EQ (ticksUntilNextWord (r), c.ticksPerWord) << c.name << " word " << word;
            EXPECT_EQ (r.wordElapsed, 0.0f);
            EXPECT_EQ (r.wordPhase, 0);
        }
        EXPECT_EQ (r.currentIndex, 0) << c.name << ": the end wraps to the first word";
        EXPECT_EQ (r.currentWordText, "cat");
    }
}

TEST (ReaderPanel, LongerWordsLastMoreBeatsAndPhasesCountFifths)
{
    DictionaryReader r (nullptr);
    setToggle (r.syncButton, true);
    r.tokenize ("unhelpfulness cat");   // four syllables: two beats, 1 s at 120 BPM
    ASSERT_EQ (r.words[0].syllables, 4);
    setToggle (r.readButton, true);

    for (int t = 0; t < 7; ++t)
        r.timerCallback();
    EXPECT_EQ (r.wordPhase, 1);   // 7/30 s of 1 s
    const int ticks = ticksUntilNextWord (r) + 7;
    EXPECT_TRUE (ticks == 30 || ticks == 31) << ticks;   // 1 s of thirtieths, as the float sum lands
    EXPECT_EQ (r.currentWordText, "cat");
    EXPECT_EQ (r.positionSlider.getValue(), 1.0);
}

TEST (ReaderPanel, MoodButtonCyclesAggroCalmNeutral)
{
    DictionaryReader r (nullptr);
    const char* expected[] = { "AGGRO", "CALM", "NEUTRAL", "AGGRO" };
    const int moods[] = { DictionaryReader::aggro, DictionaryReader::calm, DictionaryReader::neutral, DictionaryReader::aggro };
    for (int k = 0; k < 4; ++k)
    {
        click (r.moodButton);
        EXPECT_EQ (r.moodButton.getButtonText(), expected[k]);
        EXPECT_EQ (r.mood, moods[k]);
    }
}

TEST (ReaderPanel, ShoveBackwardWrapsStartsReadingAndFlashes)
{
    DictionaryReader r (nullptr);
    r.tokenize ("cat dog");
    seedShove (5, false);
    click (r.shoveButton);

    EXPECT_EQ (r.currentIndex, 1);   // 0 - 5 wrapped into two words
    EXPECT_EQ (r.currentWordText, "dog");
    EXPECT_TRUE (r.reading.load());
    EXPECT_TRUE (r.readButton.getToggleState());
    EXPECT_EQ (r.engineTargets.htMix, 1.0f);          // 0.4 + 0.75, limited
    EXPECT_EQ (r.engineTargets.grPitch, -10.0f);
    EXPECT_FLOAT_EQ (r.engineTargets.htTime, 2.5f);
    EXPECT_EQ (r.engineTargets.mpMix, 0.35f);         // a backward shove leaves these
    EXPECT_EQ (r.engineTargets.mpDetune, 6.0f);

    const auto yellow = juce::Colour (0xffffff00), black = juce::Colour (0xff000000);
    for (int t = 1; t <= 8; ++t)
    {
        EXPECT_EQ (r.shoveButton.findColour (juce::TextButton::textColourOffId), yellow) << "before tick " << t;
        r.timerCallback();
    }
    EXPECT_EQ (r.shoveButton.findColour (juce::TextButton::textColourOffId), black);

    // Nothing to shove: nothing happens.
    DictionaryReader empty (nullptr);
    click (empty.shoveButton);
    EXPECT_FALSE (empty.reading.load());
    EXPECT_EQ (empty.shoveFlashTicks, 0);
}

TEST (ReaderPanel, ForwardShoveRelaxesBackWhileTheEnginesFollow)
{
    DictionaryReader r (nullptr);
    r.tokenize ("one two three four five six seven");
    seedShove (3, true);
    click (r.shoveButton);
    EXPECT_EQ (r.currentIndex, 3);

    const double v = r.engineTargets.mpMix;
    EXPECT_FLOAT_EQ ((float) v, 0.8f);
    EXPECT_EQ (r.engineTargets.mpDetune, 15.0f);
    EXPECT_FLOAT_EQ (r.engineTargets.grMix, 0.61f);   // above the cap until the next tick

    setToggle (r.readButton, false);
    EXPECT_FALSE (r.reading.load());

    double params = 0.35;
    for (int n = 1; n <= 200; ++n)
    {
        const double target = 0.35 + (v - 0.35) * std::pow (0.995, n - 1);
        params += (target - params) * 0.05;
        r.timerCallback();
        ASSERT_NEAR (r.engineTargets.mpMix, 0.35 + (v - 0.35) * std::pow (0.995, n), 1e-5) << n;
        ASSERT_NEAR (r.engineParams.mpMix, params, 1e-5) << n;
        ASSERT_LE (r.engineTargets.grMix, 0.5f) << n;
        ASSERT_LE (r.engineParams.grMix, 0.5f) << n;
    }
    EXPECT_EQ (r.getProcessor().parameters.mpMix.load(), r.engineParams.mpMix);
    EXPECT_EQ (r.currentIndex, 3);   // stopped: no word moved on
}

TEST (ReaderPanel, ScrubbingMovesOnlyToAnotherWord)
{
    // A device prepare asks the clock to forget the words it has heard; the next word applied,
    // and only that, takes the request. Scrubbing onto the current word applies none.
    DictionaryReader r (nullptr);
    r.tokenize ("a1 b2 c3 d4 e5");
    setToggle (r.readButton, true);
    for (int t = 0; t < 10; ++t)
        r.timerCallback();
    r.prepare (48000.0);
    r.wordCounts["a1"] = 3;
    r.wordCountTotal = 3;

    r.positionSlider.setValue (0.2, juce::sendNotificationSync);   // int (4 * 0.2) = 0: the current word
    EXPECT_EQ (r.currentIndex, 0);
    EXPECT_GT (r.wordElapsed, 0.0f);
    EXPECT_EQ (r.wordCountTotal, 3);

    r.positionSlider.setValue (0.5, juce::sendNotificationSync);
    EXPECT_EQ (r.currentIndex, 2);
    EXPECT_EQ (r.wordElapsed, 0.0f);
    EXPECT_EQ (r.currentWordText, "c3");
    EXPECT_EQ (r.wordCountTotal, 0);
    EXPECT_TRUE (r.wordCounts.empty());

    r.wordCountTotal = 4;
    r.timerCallback();
    EXPECT_EQ (r.wordCountTotal, 4);   // one request, one clear
}

TEST (ReaderPanel, PrepareRequestIsTakenByTheNextWordApplied)
{
    DictionaryReader r (nullptr);
    r.tokenize ("alpha beta");
    r.prepare (44100.0);
    r.wordCountTotal = 5;

    r.timerCallback();   // not reading: no word is applied, the request waits
    EXPECT_EQ (r.wordCountTotal, 5);

    setToggle (r.readButton, true);
    r.timerCallback();
    EXPECT_EQ (r.wordCountTotal, 0);
}

TEST (ReaderPanel, OneWordTextKeepsTheSliderAtItsStart)
{
    DictionaryReader r (nullptr);
    r.tokenize ("solo");
    setToggle (r.readButton, true);
    EXPECT_EQ (ticksUntilNextWord (r, 200), -1);   // the only word follows itself
    EXPECT_EQ (r.positionSlider.getValue(), 0.0);
    EXPECT_FALSE (std::isnan (r.positionSlider.getValue()));

    r.positionSlider.setValue (0.9, juce::sendNotificationSync);
    EXPECT_EQ (r.currentIndex, 0);
}

TEST (ReaderPanel, TypingNeedsTypingModeAndAThirdCharacter)
{
    DictionaryReader r (nullptr);
    auto type = [&r] (const juce::String& text)
    {
        r.textInput.setText (text, false);
        r.textInput.onTextChange();
    };

    type ("abc");   // typing mode off
    EXPECT_TRUE (r.words.empty());

    setToggle (r.typeButton, true);
    EXPECT_TRUE (r.typeMode);
    EXPECT_TRUE (r.textInput.isVisible());

    type ("ab");
    EXPECT_TRUE (r.words.empty());
    EXPECT_FALSE (r.reading.load());

    type (juce::String::fromUTF8 ("\xc3\xa4\xc3\xb6"));   // two characters in four bytes
    EXPECT_TRUE (r.words.empty());

    type ("abc");
    EXPECT_EQ (r.words.size(), 1u);
    EXPECT_EQ (r.documentName, "Live");
    EXPECT_TRUE (r.reading.load());
    EXPECT_TRUE (r.readButton.getToggleState());

    // Every change starts again at the first word.
    type ("abc def");
    r.currentIndex = 1;
    type ("abc defg");
    EXPECT_EQ (r.currentIndex, 0);

    // Return reads whatever is there, and says it came from the keyboard.
    setToggle (r.readButton, false);
    r.textInput.setText ("x", false);
    r.textInput.onReturnKey();
    EXPECT_EQ (r.documentName, "Live Input");
    EXPECT_EQ (r.words.size(), 1u);
    EXPECT_TRUE (r.reading.load());

    setToggle (r.typeButton, false);
    EXPECT_FALSE (r.textInput.isVisible());
}

TEST (ReaderPanel, PasteReadsTheTextSourceAndFlashes)
{
    DictionaryReader r (nullptr);
    juce::String clipboard;
    r.clipboardText = [&clipboard] { return clipboard; };

    click (r.pasteButton);
    EXPECT_TRUE (r.words.empty());
    EXPECT_FALSE (r.reading.load());

    clipboard = "pasted words here";
    click (r.pasteButton);
    EXPECT_EQ (r.words.size(), 3u);
    EXPECT_EQ (r.documentName, "Clipboard");
    EXPECT_TRUE (r.reading.load());
    EXPECT_TRUE (r.readButton.getToggleState());
    EXPECT_EQ (r.pasteButton.findColour (juce::TextButton::buttonColourId), juce::Colour (0xff90ee90));

    EXPECT_TRUE (test_support::pumpUntil ([&r]
    {
        return r.pasteButton.findColour (juce::TextButton::buttonColourId) == juce::Colour (0xff87ceeb);
    }));
}

TEST (ReaderPanel, TogglesReachTheSoundAndRevertResetsTheEngines)
{
    DictionaryReader r (nullptr);
    auto& p = r.getProcessor().parameters;

    setToggle (r.microPitchButton, true);
    setToggle (r.granularButton, true);
    setToggle (r.halfTimeButton, true);
    setToggle (r.bypassButton, true);
    r.mixKnob.setValue (40.0, juce::sendNotificationSync);
    EXPECT_TRUE (p.microPitch && p.granular && p.halfTime && p.bypassed);
    EXPECT_EQ (p.mix.load(), 40.0f);

    // Switched off without notification, as the main window's REVERT does.
    r.microPitchButton.setToggleState (false, juce::dontSendNotification);
    r.bypassButton.setToggleState (false, juce::dontSendNotification);
    EXPECT_FALSE (p.microPitch.load());
    EXPECT_FALSE (p.bypassed.load());

    r.tokenize ("a b c d e f g h");
    seedShove (4, true);
    click (r.shoveButton);
    r.timerCallback();
    r.verbDrive = 0.8f;
    const auto requests = p.engineResetRequests.load();

    r.resetEngineState();
    expectAtRest (r.engineTargets, "targets");
    expectAtRest (r.engineParams, "params");
    expectAtRest (p.loadEngineParams(), "published");
    EXPECT_EQ (r.verbDrive.load(), 0.0f);
    EXPECT_EQ (p.engineResetRequests.load(), requests + 1);
}

TEST (ReaderPanel, HudButtonShowsAndHidesTheDisplay)
{
    GoldHeadsUpDisplay hud;
    DictionaryReader r (&hud);
    hud.setVisible (true);

    click (r.hudButton);
    EXPECT_FALSE (hud.isVisible());
    EXPECT_TRUE (hud.closedByUser);
    click (r.hudButton);
    EXPECT_TRUE (hud.isVisible());
    EXPECT_FALSE (hud.closedByUser);

    DictionaryReader alone (nullptr);
    click (alone.hudButton);   // no display: nothing
}

TEST (ReaderPanel, LayoutFollowsTheWidthAndTypingMode)
{
    using R = juce::Rectangle<int>;
    struct Case
    {
        int width, height;
        bool typing;
        R load, mood, bypass, sync, mixKnob, mixLabel, text, dictionary, conditional, position, micro, halfTime, shove;
    };

    const Case cases[] = {
        { 600, 161, false, { 6, 5, 53, 20 }, { 184, 5, 50, 20 }, { 546, 5, 48, 20 }, { 476, 5, 36, 20 },
          { 422, 7, 45, 45 }, { 422, 53, 45, 12 }, {}, { 7, 134, 289, 22 }, { 300, 134, 293, 22 },
          { 13, 118, 574, 12 }, { 7, 92, 189, 22 }, { 393, 92, 189, 22 }, { 510, 24, 85, 20 } },
        { 600, 161, true, { 6, 5, 53, 20 }, { 184, 5, 50, 20 }, { 546, 5, 48, 20 }, { 476, 5, 36, 20 },
          { 422, 7, 45, 45 }, { 422, 53, 45, 12 }, { 7, 132, 586, 24 }, { 7, 108, 289, 22 }, { 300, 108, 293, 22 },
          { 13, 92, 574, 12 }, { 7, 66, 189, 22 }, { 393, 66, 189, 22 }, { 510, 24, 85, 20 } },
        { 1154, 161, false, { 6, 5, 53, 20 }, { 184, 5, 50, 20 }, { 1100, 5, 48, 20 }, { 1030, 5, 36, 20 },
          { 976, 7, 45, 45 }, { 976, 53, 45, 12 }, {}, { 7, 134, 566, 22 }, { 577, 134, 570, 22 },
          { 13, 118, 1128, 12 }, { 7, 92, 374, 22 }, { 763, 92, 374, 22 }, { 1064, 24, 85, 20 } },
    };

    for (const auto& c : cases)
    {
        DictionaryReader r (nullptr);
        r.setSize (c.width, c.height);
        if (c.typing)
            setToggle (r.typeButton, true);

        const auto where = juce::String (c.width) + (c.typing ? " typing" : "");
        EXPECT_EQ (r.loadButton.getBounds(), c.load) << where;
        EXPECT_EQ (r.moodButton.getBounds(), c.mood) << where;
        EXPECT_EQ (r.bypassButton.getBounds(), c.bypass) << where;
        EXPECT_EQ (r.syncButton.getBounds(), c.sync) << where;
        EXPECT_EQ (r.mixKnob.getBounds(), c.mixKnob) << where;
        EXPECT_EQ (r.mixLabel.getBounds(), c.mixLabel) << where;
        if (c.typing)
        {
            EXPECT_EQ (r.textInput.getBounds(), c.text) << where;
        }
        EXPECT_EQ (r.dictionaryButton.getBounds(), c.dictionary) << where;
        EXPECT_EQ (r.conditionalButton.getBounds(), c.conditional) << where;
        EXPECT_EQ (r.positionSlider.getBounds(), c.position) << where;
        EXPECT_EQ (r.microPitchButton.getBounds(), c.micro) << where;
        EXPECT_EQ (r.halfTimeButton.getBounds(), c.halfTime) << where;
        EXPECT_EQ (r.shoveButton.getBounds(), c.shove) << where;
    }

    // Far too small: nothing gets a negative size.
    DictionaryReader tiny (nullptr);
    tiny.setSize (12, 8);
    setToggle (tiny.typeButton, true);
    for (auto* child : tiny.getChildren())
        EXPECT_TRUE (child->getWidth() >= 0 && child->getHeight() >= 0) << child->getName();
}
