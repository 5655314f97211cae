#include "effects/finalizer/TavroFinalizer.h"

namespace
{
    const juce::Colour defaultButtonColour (0xff2a3a4a);

    void styleToggle (juce::TextButton& button, const juce::String& text, juce::Colour onColour,
                      juce::Colour offColour = defaultButtonColour)
    {
        button.setButtonText (text);
        button.setClickingTogglesState (true);
        button.setColour (juce::TextButton::buttonColourId, offColour);
        button.setColour (juce::TextButton::buttonOnColourId, onColour);
    }

    void styleButton (juce::TextButton& button, const juce::String& text, juce::Colour colour = defaultButtonColour,
                      juce::Colour textColour = juce::Colours::white)
    {
        button.setButtonText (text);
        button.setColour (juce::TextButton::buttonColourId, colour);
        button.setColour (juce::TextButton::textColourOffId, textColour);
    }

    enum class Box { text, popup, none };

    void styleRotary (juce::Slider& slider, juce::Component& popupParent, Box box, const juce::String& suffix = {})
    {
        slider.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        if (box == Box::text)
        {
            slider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 50, 14);
            slider.setTextValueSuffix (suffix);
        }
        else
        {
            slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
            slider.setPopupDisplayEnabled (true, true, &popupParent, 2000);
        }
    }

    void styleLinear (juce::Slider& slider, bool textBox, const juce::String& suffix = {})
    {
        slider.setSliderStyle (juce::Slider::LinearHorizontal);
        if (textBox)
        {
            slider.setTextBoxStyle (juce::Slider::TextBoxRight, false, 50, 14);
            slider.setTextValueSuffix (suffix);
        }
        else
        {
            slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        }
    }

    // Initial values notify asynchronously, so each callback runs once on the first pass of
    // the message loop whenever the start value differs from the slider's own 0.
    void setUp (juce::Slider& slider, double min, double max, double step, double value,
                std::function<void (double)> onChange)
    {
        slider.setRange (min, max, step);
        slider.setValue (value, juce::sendNotificationAsync);
        if (onChange)
            slider.onValueChange = [&slider, cb = std::move (onChange)] { cb (slider.getValue()); };
    }

    void setUpBox (juce::ComboBox& box, std::initializer_list<const char*> items, int selectedId,
                   std::function<void (int)> onChange)
    {
        int id = 1;
        for (auto* item : items)
            box.addItem (item, id++);
        box.setSelectedId (selectedId, juce::sendNotificationAsync);
        box.onChange = [&box, cb = std::move (onChange)] { cb (box.getSelectedId()); };
    }
}

void TavroFinalizer::buildControls()
{
    auto add = [this] (juce::Component& c) { addAndMakeVisible (c); };
    auto rotary = [this] (juce::Slider& s, Box box, const juce::String& suffix = {})
    {
        styleRotary (s, *this, box, suffix);
        s.setLookAndFeel (&knobLookAndFeel);
    };

    // Player transport and zoom
    styleToggle (playButton, juce::String::fromUTF8 ("\xe2\x96\xb6"), juce::Colour (0xff44aa44), juce::Colour (0xff2a4a2a));
    playButton.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    playButton.onClick = [this]
    {
        playing.store (playButton.getToggleState());
        if (! playButton.getToggleState())
            playPosition.store (0.0);
    };
    add (playButton);

    styleButton (stopButton, juce::String::fromUTF8 ("\xe2\x96\xa0"), juce::Colour (0xff4a2a2a));
    stopButton.onClick = [this]
    {
        playing.store (false);
        playButton.setToggleState (false, juce::dontSendNotification);
        playPosition.store (0.0);
        repaint();
    };
    add (stopButton);

    styleToggle (loopButton, juce::String::fromUTF8 ("\xe2\x9f\xb3"), juce::Colour (0xff4488cc));
    loopButton.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    loopButton.onClick = [this] { looping.store (loopButton.getToggleState()); };
    add (loopButton);

    styleLinear (zoomSlider, false);
    setUp (zoomSlider, 1.0, 32.0, 0.1, 1.0, [this] (double v) { zoom = (float) v; repaint(); });
    add (zoomSlider);

    // Header
    titleLabel.setText ("TAVRO FINALIZER", juce::dontSendNotification);
    titleLabel.setFont (juce::Font ("Arial", 14.0f, juce::Font::bold));
    titleLabel.setColour (juce::Label::textColourId, juce::Colour (0xff00cccc));
    titleLabel.setJustificationType (juce::Justification::centredLeft);
    add (titleLabel);

    const char* tabNames[] = { "CONTROLS", "METER", "WAV" };
    for (size_t i = 0; i < viewTabs.size(); ++i)
    {
        auto& tab = viewTabs[i];
        styleToggle (tab, tabNames[i], i == 2 ? juce::Colour (0xffcc4444) : juce::Colour (0xff00aaaa));
        tab.setRadioGroupId (999);
        tab.setColour (juce::TextButton::textColourOffId, juce::Colour (0xffaaaaaa));
        tab.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
        tab.setToggleState (i == 2, juce::dontSendNotification);
        tab.onClick = [this, i]
        {
            if (viewTabs[i].getToggleState())
            {
                setView ((int) i);
                repaint();
            }
        };
        add (tab);
    }

    styleToggle (bypassButton, "BYPASS", juce::Colour (0xff442222), juce::Colour (0xff1a2a3a));
    bypassButton.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    bypassButton.setColour (juce::TextButton::textColourOnId, juce::Colour (0xffff6644));
    bypassButton.onClick = [this] { bypassed.store (bypassButton.getToggleState()); repaint(); };
    add (bypassButton);

    styleButton (hudButton, "HUD", juce::Colour (0xff60c0c0), juce::Colours::black);
    hudButton.onClick = [this]
    {
        if (hud != nullptr)
            hud->setVisible (! hud->isVisible());
    };
    add (hudButton);

    styleButton (loadButton, "LOAD", juce::Colour (0xff2a4a3a));
    loadButton.onClick = [this] { openLoadChooser(); };
    add (loadButton);
    styleButton (exportButton, "EXPORT", juce::Colour (0xff4a2a3a));
    add (exportButton);

    // Input and filters
    rotary (inputGainSlider, Box::text, " dB");
    setUp (inputGainSlider, -18.0, 18.0, 0.1, 0.0, [this] (double v) { inputGainDb.store ((float) v); });
    add (inputGainSlider);

    dcFilterButton.setClickingTogglesState (true);
    dcFilterButton.setColour (juce::ToggleButton::tickColourId, juce::Colour (0xff00aa00));
    dcFilterButton.setToggleStateAndMirror (true, juce::dontSendNotification);
    add (dcFilterButton);

    setUpBox (subsonicBox, { "Off", "20 Hz", "30 Hz", "40 Hz" }, 1, [this] (int id)
    {
        const int values[] = { 0, 20, 30, 40 };
        subsonicHz = values[juce::jlimit (1, 4, id) - 1];
        updateSubsonicFilter();
    });
    add (subsonicBox);

    setUpBox (filterSlopeBox, { "6 dB/oct", "12 dB/oct", "24 dB/oct", "48 dB/oct" }, 3, [this] (int id)
    {
        const int values[] = { 6, 12, 24, 48 };
        filterSlope = values[juce::jlimit (1, 4, id) - 1];
        updateSubsonicFilter();
    });
    add (filterSlopeBox);

    styleToggle (phaseInvertLeftButton, juce::String::fromUTF8 ("\xc3\x98L"), juce::Colour (0xffaa0000));
    phaseInvertLeftButton.onClick = [this] { invertLeft = phaseInvertLeftButton.getToggleState(); };
    add (phaseInvertLeftButton);
    styleToggle (phaseInvertRightButton, juce::String::fromUTF8 ("\xc3\x98R"), juce::Colour (0xffaa0000));
    phaseInvertRightButton.onClick = [this] { invertRight = phaseInvertRightButton.getToggleState(); };
    add (phaseInvertRightButton);

    setUpBox (channelRoutingBox, { "Stereo", "Mono", "Swap L/R", "M/S Decode" }, 1,
              [this] (int id) { channelRouting = id - 1; });
    add (channelRoutingBox);

    // Equaliser curve
    rotary (eqSmoothingSlider, Box::text, "%");
    setUp (eqSmoothingSlider, 0.0, 100.0, 1.0, 20.0, [this] (double v) { eqSmoothing = (float) v / 100.0f; });
    add (eqSmoothingSlider);

    styleButton (resetEqButton, "RESET");
    resetEqButton.onClick = [this] { resetCurve(); };
    add (resetEqButton);

    styleToggle (linearPhaseButton, "LINEAR", juce::Colour (0xff00aaaa));
    linearPhaseButton.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    add (linearPhaseButton);

    styleButton (matchEqButton, "MATCH", juce::Colour (0xff2a4a4a));
    add (matchEqButton);
    styleButton (captureButton, "CAPTURE", juce::Colour (0xff4a2a4a));
    add (captureButton);

    setUpBox (editModeBox, { "Draw", "Point", "Sculpt" }, 1, [this] (int id) { editMode = id - 1; });
    add (editModeBox);

    rotary (brushSizeSlider, Box::popup);
    setUp (brushSizeSlider, 1.0, 16.0, 1.0, 3.0, [this] (double v) { brushSize = (float) v; });
    add (brushSizeSlider);

    // Dynamics strips and crossovers
    for (size_t k = 0; k < dynamicsStrips.size(); ++k)
    {
        auto& strip = dynamicsStrips[k];
        auto& band = dynamicsBands[k];

        strip.threshold.setSliderStyle (juce::Slider::LinearVertical);
        strip.threshold.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        strip.threshold.setPopupDisplayEnabled (true, true, this, 2000);
        strip.threshold.setLookAndFeel (&knobLookAndFeel);
        setUp (strip.threshold, -60.0, 0.0, 0.5, band.thresholdDb, [this, k] (double v) { dynamicsBands[k].thresholdDb = (float) v; });

        rotary (strip.ratio, Box::popup);
        setUp (strip.ratio, 1.0, 20.0, 0.1, band.ratio, [this, k] (double v) { dynamicsBands[k].ratio = (float) v; });
        rotary (strip.attack, Box::popup);
        setUp (strip.attack, 0.1, 100.0, 0.1, band.attackMs, [this, k] (double v) { dynamicsBands[k].attackMs = (float) v; });
        rotary (strip.release, Box::popup);
        setUp (strip.release, 10.0, 1000.0, 1.0, band.releaseMs, [this, k] (double v) { dynamicsBands[k].releaseMs = (float) v; });
        rotary (strip.makeup, Box::popup);
        setUp (strip.makeup, -12.0, 12.0, 0.1, 0.0, [this, k] (double v) { dynamicsBands[k].makeupDb = (float) v; });
        rotary (strip.transientAttack, Box::popup);
        setUp (strip.transientAttack, -100.0, 100.0, 1.0, 0.0, {});
        rotary (strip.transientSustain, Box::popup);
        setUp (strip.transientSustain, -100.0, 100.0, 1.0, 0.0, {});

        styleToggle (strip.solo, "S", juce::Colour (0xffffff00));
        strip.solo.onClick = [this, k] { dynamicsBands[k].solo = dynamicsStrips[k].solo.getToggleState(); };
        styleToggle (strip.mute, "M", juce::Colour (0xffff4444));
        strip.mute.onClick = [this, k] { dynamicsBands[k].mute = dynamicsStrips[k].mute.getToggleState(); };
        styleToggle (strip.expander, "EXP", juce::Colour (0xff00aa00));

        for (juce::Component* c : { (juce::Component*) &strip.threshold, (juce::Component*) &strip.ratio,
                                    (juce::Component*) &strip.attack, (juce::Component*) &strip.release,
                                    (juce::Component*) &strip.makeup, (juce::Component*) &strip.transientAttack,
                                    (juce::Component*) &strip.transientSustain, (juce::Component*) &strip.solo,
                                    (juce::Component*) &strip.mute, (juce::Component*) &strip.expander })
            add (*c);
    }

    for (size_t k = 0; k < crossoverSliders.size(); ++k)
    {
        auto& slider = crossoverSliders[k];
        styleLinear (slider, true, " Hz");
        slider.setRange (20.0, 20000.0, 1.0);
        slider.setSkewFactorFromMidPoint (1000.0);
        slider.setValue (dynamicsBands[k].crossoverHz, juce::sendNotificationAsync);
        slider.onValueChange = [this, k] { dynamicsBands[k].crossoverHz = (float) crossoverSliders[k].getValue(); };
        add (slider);
    }

    // Stereo
    rotary (stereoWidthSlider, Box::text, "%");
    setUp (stereoWidthSlider, 0.0, 200.0, 1.0, 100.0, [this] (double v) { stereoWidthAmount = (float) v / 100.0f; });
    add (stereoWidthSlider);

    styleToggle (monoLowButton, "MONO <120Hz", juce::Colour (0xff00aa00));
    monoLowButton.setToggleState (true, juce::dontSendNotification);
    add (monoLowButton);

    rotary (msBalanceSlider, Box::text, "%");
    setUp (msBalanceSlider, -100.0, 100.0, 1.0, 0.0, [this] (double v) { msBalance = (float) v / 100.0f; });
    add (msBalanceSlider);
    rotary (lrBalanceSlider, Box::text, "%");
    setUp (lrBalanceSlider, -100.0, 100.0, 1.0, 0.0, [this] (double v) { lrBalance = (float) v / 100.0f; });
    add (lrBalanceSlider);

    rotary (lowWidthSlider, Box::popup);
    setUp (lowWidthSlider, 0.0, 200.0, 1.0, 0.0, [this] (double v) { lowWidth = (float) v / 100.0f; });
    add (lowWidthSlider);
    rotary (midWidthSlider, Box::popup);
    setUp (midWidthSlider, 0.0, 200.0, 1.0, 100.0, [this] (double v) { midWidth = (float) v / 100.0f; });
    add (midWidthSlider);
    rotary (highWidthSlider, Box::popup);
    setUp (highWidthSlider, 0.0, 200.0, 1.0, 100.0, [this] (double v) { highWidth = (float) v / 100.0f; });
    add (highWidthSlider);

    styleLinear (lowCrossoverSlider, true, " Hz");
    setUp (lowCrossoverSlider, 20.0, 500.0, 1.0, 120.0, [this] (double v) { lowCrossoverHz = (float) v; });
    add (lowCrossoverSlider);
    styleLinear (highCrossoverSlider, true, " Hz");
    setUp (highCrossoverSlider, 1000.0, 16000.0, 100.0, 8000.0, [this] (double v) { highCrossoverHz = (float) v; });
    add (highCrossoverSlider);

    // Saturation
    rotary (driveSlider, Box::text, "%");
    setUp (driveSlider, 0.0, 100.0, 1.0, 0.0, [this] (double v) { saturationDrive = (float) v / 100.0f; });
    add (driveSlider);
    rotary (satMixSlider, Box::text, "%");
    setUp (satMixSlider, 0.0, 100.0, 1.0, 50.0, [this] (double v) { saturationMix = (float) v / 100.0f; });
    add (satMixSlider);

    const char* typeNames[] = { "TAPE", "TUBE", "TRANSISTOR" };
    for (size_t i = 0; i < satTypeButtons.size(); ++i)
    {
        auto& button = satTypeButtons[i];
        styleToggle (button, typeNames[i], juce::Colour (0xffcc8800));
        button.setRadioGroupId (888);
        button.setToggleState (i == 0, juce::dontSendNotification);
        button.onClick = [this, i] { if (satTypeButtons[i].getToggleState()) saturationType = (int) i; };
        add (button);
    }

    rotary (secondHarmonicSlider, Box::popup);
    setUp (secondHarmonicSlider, 0.0, 100.0, 1.0, 60.0, [this] (double v) { secondHarmonic = (float) v / 100.0f; });
    add (secondHarmonicSlider);
    rotary (thirdHarmonicSlider, Box::popup);
    setUp (thirdHarmonicSlider, 0.0, 100.0, 1.0, 35.0, [this] (double v) { thirdHarmonic = (float) v / 100.0f; });
    add (thirdHarmonicSlider);
    rotary (upperHarmonicsSlider, Box::popup);
    setUp (upperHarmonicsSlider, 0.0, 100.0, 1.0, 15.0, [this] (double v) { upperHarmonics = (float) v / 100.0f; });
    add (upperHarmonicsSlider);

    styleLinear (satLowCutSlider, true, " Hz");
    setUp (satLowCutSlider, 20.0, 500.0, 1.0, 80.0, [this] (double v) { satLowCutHz = (float) v; });
    add (satLowCutSlider);
    styleLinear (satHighCutSlider, true, " Hz");
    setUp (satHighCutSlider, 1000.0, 20000.0, 100.0, 8000.0, [this] (double v) { satHighCutHz = (float) v; });
    add (satHighCutSlider);

    styleToggle (multibandSatButton, "MULTI", juce::Colour (0xffcc8800));
    multibandSatButton.onClick = [this] { multibandSat = multibandSatButton.getToggleState(); };
    add (multibandSatButton);

    // Output and limiter
    rotary (ceilingSlider, Box::text, " dBTP");
    setUp (ceilingSlider, -6.0, 0.0, 0.1, -1.0, [this] (double v) { ceilingDb.store ((float) v); });
    add (ceilingSlider);
    rotary (limiterReleaseSlider, Box::text, " ms");
    setUp (limiterReleaseSlider, 10.0, 500.0, 1.0, 100.0, [this] (double v) { limiterReleaseMs = (float) v; });
    add (limiterReleaseSlider);
    rotary (lookaheadSlider, Box::text, " ms");
    setUp (lookaheadSlider, 0.0, 10.0, 0.1, 2.0, [this] (double v) { lookaheadMs = (float) v; });
    add (lookaheadSlider);
    rotary (outputGainSlider, Box::text, " dB");
    setUp (outputGainSlider, -18.0, 18.0, 0.1, 0.0, [this] (double v) { outputGainDb.store ((float) v); });
    add (outputGainSlider);

    setUpBox (characterBox, { "Transparent", "Punchy", "Aggressive", "Loud" }, 1,
              [this] (int id) { limiterCharacter = id - 1; });
    add (characterBox);

    styleToggle (linkButton, "LINK", juce::Colour (0xff00aa00));
    linkButton.setToggleState (true, juce::dontSendNotification);
    linkButton.onClick = [this] { linkChannels = linkButton.getToggleState(); };
    add (linkButton);
    styleToggle (truePeakButton, "TRUE PEAK", juce::Colour (0xff00aaaa));
    truePeakButton.setToggleState (true, juce::dontSendNotification);
    truePeakButton.onClick = [this] { truePeak = truePeakButton.getToggleState(); };
    add (truePeakButton);

    // Dither and quality
    setUpBox (ditherTypeBox, { "None", "TPDF", "POW-R 1", "POW-R 2", "POW-R 3" }, 2,
              [this] (int id) { ditherType = id - 1; });
    add (ditherTypeBox);
    setUpBox (bitDepthBox, { "16-bit", "24-bit", "32-bit float" }, 1, [this] (int id)
    {
        const int values[] = { 16, 24, 32 };
        bitDepth = values[juce::jlimit (1, 3, id) - 1];
    });
    add (bitDepthBox);

    rotary (noiseShapingSlider, Box::popup);
    setUp (noiseShapingSlider, 0.0, 100.0, 1.0, 50.0, [this] (double v) { noiseShaping = (float) v / 100.0f; });
    add (noiseShapingSlider);

    styleToggle (autoBlankButton, "AUTO BLANK", juce::Colour (0xff00aa00));
    autoBlankButton.setToggleState (true, juce::dontSendNotification);
    autoBlankButton.onClick = [this] { autoBlank = autoBlankButton.getToggleState(); };
    add (autoBlankButton);

    setUpBox (oversamplingBox, { "Off", "2x", "4x", "8x" }, 1, [this] (int id)
    {
        const int values[] = { 1, 2, 4, 8 };
        oversampling = values[juce::jlimit (1, 4, id) - 1];
    });
    add (oversamplingBox);

    // Compare and presets
    const char* slotNames[] = { "A", "B", "C", "D" };
    for (size_t i = 0; i < slotButtons.size(); ++i)
    {
        styleToggle (slotButtons[i], slotNames[i], juce::Colour (0xff00aaaa));
        slotButtons[i].setRadioGroupId (777);
        slotButtons[i].setToggleState (i == 0, juce::dontSendNotification);
        add (slotButtons[i]);
    }

    styleButton (copyButton, "COPY", juce::Colour (0xff3a3a4a));
    add (copyButton);
    styleLinear (morphSlider, false);
    setUp (morphSlider, 0.0, 100.0, 1.0, 0.0, [this] (double v) { morph = (float) v / 100.0f; });
    add (morphSlider);
    styleButton (presetsButton, "PRESETS", juce::Colour (0xff3a4a3a));
    add (presetsButton);
    styleButton (undoButton, "UNDO", juce::Colour (0xff3a3a4a));
    add (undoButton);
    styleButton (redoButton, "REDO", juce::Colour (0xff3a3a4a));
    add (redoButton);
}
