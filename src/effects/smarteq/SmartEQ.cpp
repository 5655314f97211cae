#include "effects/smarteq/SmartEQ.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

namespace
{
    struct KnobSpec
    {
        const char* caption;
        const char* hoverKey;
        float minimum, maximum, defaultValue;
        float SmartEQ::Band::* field;
    };

    // The order is the creation order and the BandKnob enum's order.
    const KnobSpec knobSpecs[SmartEQ::numBandKnobs] = {
        { "SLP", "SLP",    6.0f,    48.0f,  12.0f, &SmartEQ::Band::slopeDbPerOct },
        { "MIX", "MIX",    0.0f,   100.0f, 100.0f, &SmartEQ::Band::mixPct },
        { "TRM", "TRM",   -6.0f,     6.0f,   0.0f, &SmartEQ::Band::trimDb },
        { "THR", "THR",  -60.0f,     0.0f, -20.0f, &SmartEQ::Band::thresholdDb },
        { "RNG", "RNG",  -24.0f,    24.0f,   0.0f, &SmartEQ::Band::dynRangeDb },
        { "ATT", "ATT",    0.1f,   100.0f,  10.0f, &SmartEQ::Band::attackMs },
        { "REL", "REL",   10.0f,  1000.0f, 100.0f, &SmartEQ::Band::releaseMs },
        { "MRT", "RTE",   0.01f,    20.0f,   1.0f, &SmartEQ::Band::motionRateHz },
        { "MDP", "DEP",    0.0f,   100.0f,   0.0f, &SmartEQ::Band::motionDepthPct },
        { "BAL", "BAL", -100.0f,   100.0f,   0.0f, &SmartEQ::Band::balancePct },
        { "DIV", "DIV",    0.0f,   100.0f,   0.0f, &SmartEQ::Band::divergencePct },
        { "PAN", "PAN", -100.0f,   100.0f,   0.0f, &SmartEQ::Band::freqPanPct },
        { "HAS", "HAAS",   0.0f,    30.0f,   0.0f, &SmartEQ::Band::haasMs },
        { "PHS", "PHASE", -180.0f, 180.0f,   0.0f, &SmartEQ::Band::phaseOffsetDeg },
        { "DTH", "DTH",  -24.0f,     0.0f,  -6.0f, &SmartEQ::Band::driveThreshDb },
        { "DRV", "DAT",    0.0f,   100.0f,   0.0f, &SmartEQ::Band::driveAmountPct },
        { "HRM", "HAR", -100.0f,   100.0f,   0.0f, &SmartEQ::Band::harmonicsPct },
        { "CHR", "CHR",    0.0f,   100.0f,  50.0f, &SmartEQ::Band::characterPct },
        { "WRM", "WRM",    0.0f,   100.0f,  50.0f, &SmartEQ::Band::warmthPct },
        { "AIR", "AIR",    0.0f,   100.0f,  50.0f, &SmartEQ::Band::airPct },
        { "DEN", "DNS",    0.0f,   100.0f,  50.0f, &SmartEQ::Band::densityPct },
        { "RG",  "RG",     0.0f,   100.0f,   0.0f, &SmartEQ::Band::randomGainPct },
        { "RF",  "RF",     0.0f,   100.0f,   0.0f, &SmartEQ::Band::randomFreqPct },
        { "RQ",  "RQ",     0.0f,   100.0f,   0.0f, &SmartEQ::Band::randomQPct },
        { "RI",  "RI",     0.0f,   100.0f,  50.0f, &SmartEQ::Band::randomIntensityPct },
    };

    struct ToggleSpec
    {
        const char* text;
        bool SmartEQ::Band::* field;
    };

    const ToggleSpec toggleSpecs[SmartEQ::numBandToggles] = {
        { "Link Stereo", &SmartEQ::Band::linkStereo },
        { "Link Stereo", &SmartEQ::Band::linkStereo2 },
        { "Mid",         &SmartEQ::Band::midMode },
        { "Side",        &SmartEQ::Band::sideMode },
        { "Enable",      &SmartEQ::Band::enabled },
        { "Solo",        &SmartEQ::Band::solo },
        { "Dyn",         &SmartEQ::Band::dynamicOn },
        { "Motion",      &SmartEQ::Band::motionOn },
        { "BPM",         &SmartEQ::Band::syncBpm },
        { "Drive",       &SmartEQ::Band::driveOn },
        { "Soft",        &SmartEQ::Band::softClip },
        { "Tube",        &SmartEQ::Band::tubeMode },
        { "Lock B",      &SmartEQ::Band::lockBand },
        { "Lock F",      &SmartEQ::Band::lockFreq },
        { "Lock G",      &SmartEQ::Band::lockGain },
        { "Vocal",       &SmartEQ::Band::vocalMode },
        { "Drum",        &SmartEQ::Band::drumMode },
        { "Bass",        &SmartEQ::Band::bassMode },
    };

    const char* const macroCaptionTexts[SmartEQ::numMacroKnobs] = { "DYN", "SAT", "WID", "LFO" };

    struct BandDefaults
    {
        std::int32_t type;
        float frequencyHz;
        juce::uint32 colour;
    };

    const BandDefaults bandDefaults[SmartEQ::numBands] = {
        { smarteq::lowCut,    48.0f,    0xffff00ff },
        { smarteq::bell,      120.0f,   0xff00ffff },
        { smarteq::bell,      450.0f,   0xffffff00 },
        { smarteq::bell,      1400.0f,  0xff00ff00 },
        { smarteq::bell,      4000.0f,  0xff0088ff },
        { smarteq::highShelf, 10000.0f, 0xffff8800 },
    };

    const juce::Colour panelBackground { 0xffd4d4d4 };
    const juce::Colour statusBackground { 0xff87ceeb };

    smarteq::BandParams toParams (const SmartEQ::Band& b) noexcept
    {
        smarteq::BandParams p;
        p.enabled = b.enabled;
        p.filterType = b.filterType;
        p.frequencyHz = b.frequencyHz;
        p.gainLeftDb = b.gainLeftDb;
        p.gainRightDb = b.gainRightDb;
        p.q = b.q;
        p.mixPct = b.mixPct;
        p.dynamicOn = b.dynamicOn;
        p.thresholdDb = b.thresholdDb;
        p.ratio = b.ratio;
        p.attackMs = b.attackMs;
        p.releaseMs = b.releaseMs;
        p.saturationPct = b.saturationPct;
        p.driveOn = b.driveOn;
        p.softClip = b.softClip;
        p.tubeMode = b.tubeMode;
        p.driveThreshDb = b.driveThreshDb;
        p.driveAmountPct = b.driveAmountPct;
        p.harmonicsPct = b.harmonicsPct;
        p.widthPct = b.widthPct;
        p.motionOn = b.motionOn;
        p.syncBpm = b.syncBpm;
        p.motionRateHz = b.motionRateHz;
        p.motionDepthPct = b.motionDepthPct;
        p.motionRateWrites = b.motionRateWrites;
        p.warmthPct = b.warmthPct;
        p.airPct = b.airPct;
        p.densityPct = b.densityPct;
        p.midMode = b.midMode;
        p.sideMode = b.sideMode;
        p.solo = b.solo;
        p.vocalMode = b.vocalMode;
        p.drumMode = b.drumMode;
        p.bassMode = b.bassMode;
        p.b0 = b.b0;
        p.b1 = b.b1;
        p.b2 = b.b2;
        p.a1 = b.a1;
        p.a2 = b.a2;
        return p;
    }

    int clampBand (int b) noexcept { return juce::jlimit (0, SmartEQ::numBands - 1, b); }
}

//==============================================================================
SmartEQ::SmartEQ()
{
    startTimerHz (120);

    for (int b = 0; b < numBands; ++b)
    {
        band (b).filterType = bandDefaults[b].type;
        band (b).frequencyHz = bandDefaults[b].frequencyHz;
        band (b).colour = juce::Colour (bandDefaults[b].colour);
    }

    for (int b = 0; b < numBands; ++b)
        buildBandControls (b);

    for (int b = 0; b < numBands; ++b)
    {
        for (int g = 0; g < 6; ++g)
        {
            auto& button = groupButtons[(size_t) (b * 6 + g)];
            button.setButtonText (juce::String (g + 1));
            button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff87ceeb));
            button.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff5fa8d3));
            button.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
            button.setColour (juce::TextButton::textColourOnId, juce::Colours::black);
            addChildComponent (button);

            auto& label = groupLabels[(size_t) (b * 6 + g)];
            label.setText ("Grp" + juce::String (g + 1), juce::dontSendNotification);
            label.setFont (juce::Font ("Times New Roman", 7.0f, juce::Font::italic));
            label.setColour (juce::Label::textColourId, juce::Colours::black);
            label.setJustificationType (juce::Justification::centred);
            addChildComponent (label);
        }
    }

    buildGlobalControls();

    {
        const PublishBatch batch (*this);
        for (int b = 0; b < numBands; ++b)
            updateFilters (b);
    }

    // The audio side starts on the constructed set, so even a block that finds the lock
    // busy before its first copy runs on real settings. No audio thread runs yet.
    processor.prepare (processor.getSampleRate(), 512);

    setVisible (false);
}

SmartEQ::~SmartEQ()
{
    stopTimer();
}

//==============================================================================
void SmartEQ::buildBandControls (int b)
{
    auto& c = bandControls[(size_t) b];
    auto& rec = band (b);

    c.numberLabel.setText (juce::String (b + 1), juce::dontSendNotification);
    c.numberLabel.setColour (juce::Label::textColourId, juce::Colours::black);
    c.numberLabel.setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    c.numberLabel.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (c.numberLabel);

    const char* typeNames[] = { "Bell", "LShv", "HShv", "LCut", "HCut", "Notch" };
    for (int t = 0; t < 6; ++t)
        c.typeBox.addItem (typeNames[t], t + 1);
    c.typeBox.setSelectedId (rec.filterType + 1, juce::dontSendNotification);
    c.typeBox.setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xffc0c0c0));
    c.typeBox.setColour (juce::ComboBox::textColourId, juce::Colours::black);
    c.typeBox.setColour (juce::ComboBox::outlineColourId, juce::Colour (0xff808080));
    c.typeBox.onChange = [this, b]
    {
        const int id = bandControls[(size_t) b].typeBox.getSelectedId();
        if (id > 0)
        {
            band (b).filterType = id - 1;
            updateFilters (b);
        }
    };
    addChildComponent (c.typeBox);

    auto styleEntrySlider = [] (juce::Slider& s, int textBoxWidth)
    {
        s.setSliderStyle (juce::Slider::IncDecButtons);
        s.setIncDecButtonsMode (juce::Slider::incDecButtonsDraggable_Vertical);
        s.setTextBoxStyle (juce::Slider::TextBoxLeft, false, textBoxWidth, 18);
        s.setColour (juce::Slider::textBoxTextColourId, juce::Colours::black);
        s.setColour (juce::Slider::textBoxBackgroundColourId, juce::Colour (0xffe8e8e8));
        s.setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0xff808080));
    };

    styleEntrySlider (c.frequencySlider, 55);
    c.frequencySlider.setRange (20.0, 20000.0, 0.0);
    c.frequencySlider.setSkewFactorFromMidPoint (1000.0);
    c.frequencySlider.setValue (rec.frequencyHz, juce::dontSendNotification);
    c.frequencySlider.setTextValueSuffix (" Hz");
    c.frequencySlider.setNumDecimalPlacesToDisplay (0);
    c.frequencySlider.onValueChange = [this, b]
    {
        band (b).frequencyHz = (float) bandControls[(size_t) b].frequencySlider.getValue();
        updateFilters (b);
    };
    addChildComponent (c.frequencySlider);

    for (auto* fader : { &c.gainLeftFader, &c.gainRightFader })
    {
        fader->setSliderStyle (juce::Slider::LinearVertical);
        fader->setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        fader->setRange (-15.0, 15.0, 0.1);
        fader->setValue (0.0, juce::dontSendNotification);
        fader->setTextValueSuffix (" dB");
        fader->setPopupDisplayEnabled (true, true, this, 2000);
        addAndMakeVisible (*fader);
    }
    c.gainLeftFader.setName ("GAINL");
    c.gainRightFader.setName ("GAINR");
    c.gainLeftFader.onValueChange = [this, b] { onGainFaderChanged (b, false); };
    c.gainRightFader.onValueChange = [this, b] { onGainFaderChanged (b, true); };

    styleEntrySlider (c.qSlider, 40);
    c.qSlider.setRange (0.1, 18.0, 0.1);
    c.qSlider.setValue (rec.q, juce::dontSendNotification);
    c.qSlider.onValueChange = [this, b]
    {
        band (b).q = (float) bandControls[(size_t) b].qSlider.getValue();
        updateFilters (b);
    };
    addChildComponent (c.qSlider);

    const double macroRanges[numMacroKnobs][3] = { { 0, 100, 0 }, { 0, 100, 0 }, { 0, 200, 100 }, { 0, 100, 0 } };
    for (int k = 0; k < numMacroKnobs; ++k)
    {
        auto& knob = c.macroKnobs[(size_t) k];
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        knob.setRange (macroRanges[k][0], macroRanges[k][1], 1.0);
        knob.setValue (macroRanges[k][2], juce::dontSendNotification);
        knob.setName (macroCaptionTexts[k]);
        knob.setPopupDisplayEnabled (true, true, this, 2000);
        knob.onValueChange = [this, b, k] { onMacroKnobChanged (b, (MacroKnob) k); };
        addAndMakeVisible (knob);

        auto& caption = c.macroCaptions[(size_t) k];
        caption.setText (macroCaptionTexts[k], juce::dontSendNotification);
        caption.setFont (juce::Font ("Times New Roman", 7.0f, juce::Font::italic));
        caption.setColour (juce::Label::textColourId, juce::Colours::black);
        caption.setJustificationType (juce::Justification::centred);
        addAndMakeVisible (caption);
    }

    for (int k = 0; k < numBandKnobs; ++k)
    {
        const auto& spec = knobSpecs[k];
        auto& knob = c.knobs[(size_t) k];
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        knob.setRange (spec.minimum, spec.maximum, 0.01);
        knob.setValue (spec.defaultValue, juce::dontSendNotification);
        knob.setPopupDisplayEnabled (true, true, this, 2000);
        knob.setName (spec.caption);
        knob.onValueChange = [this, b, k]
        {
            const auto& s = knobSpecs[k];
            auto& rec2 = band (b);
            rec2.*(s.field) = (float) bandControls[(size_t) b].knobs[(size_t) k].getValue();

            if (k == motionRateKnob)
            {
                ++rec2.motionRateWrites;
                processor.showMotionRate (b, rec2.motionRateHz);
            }

            if (k == slopeKnob)
                updateFilters (b);
            else
                publish();
        };
        addAndMakeVisible (knob);

        auto& caption = c.knobCaptions[(size_t) k];
        caption.setText (spec.caption, juce::dontSendNotification);
        caption.setFont (juce::Font ("Times New Roman", 6.0f, juce::Font::italic));
        caption.setColour (juce::Label::textColourId, juce::Colours::black);
        caption.setJustificationType (juce::Justification::centred);
        addAndMakeVisible (caption);
    }

    for (int t = 0; t < numBandToggles; ++t)
    {
        auto& toggle = c.toggles[(size_t) t];
        toggle.setButtonText (toggleSpecs[t].text);
        toggle.setColour (juce::ToggleButton::textColourId, juce::Colours::black);
        toggle.setColour (juce::ToggleButton::tickColourId,
                          t == linkStereoToggle ? juce::Colour (0xff0088ff) : rec.colour);
        toggle.setToggleState (rec.*(toggleSpecs[t].field), juce::dontSendNotification);
        toggle.onClick = [this, b, t] { onToggleClicked (b, (BandToggle) t); };
        addAndMakeVisible (toggle);
    }
}

void SmartEQ::buildGlobalControls()
{
    addAndMakeVisible (viewButton);

    bypassButton.setClickingTogglesState (true);
    bypassButton.onClick = [this] { processor.setBypassed (bypassButton.getToggleState()); };
    addAndMakeVisible (bypassButton);

    addAndMakeVisible (hudButton);
    addAndMakeVisible (hud2Button);

    presetsButton.onClick = [this] { showPresetMenu(); };
    addAndMakeVisible (presetsButton);

    for (auto* knob : { &outputGainKnob, &globalMixKnob })
    {
        knob->setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob->setTextBoxStyle (juce::Slider::TextBoxBelow, false, 45, 14);
    }
    outputGainKnob.setRange (-18.0, 18.0, 0.1);
    outputGainKnob.setValueSilently (0.0);
    outputGainKnob.setTextValueSuffix (" dB");
    globalMixKnob.setRange (0.0, 100.0, 1.0);
    globalMixKnob.setValueSilently (100.0);
    globalMixKnob.setTextValueSuffix (" %");
    // Every write to these controls, notifying or not, reaches the processor with the mirror.
    outputGainKnob.linkMirror (&processor.globalParameters.outputGainDb);
    globalMixKnob.linkMirror (&processor.globalParameters.globalMixPct);
    addAndMakeVisible (outputGainKnob);
    addAndMakeVisible (globalMixKnob);

    monoButton.setColour (juce::ToggleButton::textColourId, juce::Colours::black);
    monoButton.linkMirror (&processor.globalParameters.mono);
    addAndMakeVisible (monoButton);

    statusLabel.setColour (juce::Label::backgroundColourId, statusBackground);
    statusLabel.setColour (juce::Label::textColourId, juce::Colours::black);
    statusLabel.setFont (juce::Font ("Times New Roman", 10.0f, juce::Font::italic));
    statusLabel.setJustificationType (juce::Justification::centredLeft);
    statusLabel.setText ("SmartEQ: 6-Band Parametric EQ", juce::dontSendNotification);
    addAndMakeVisible (statusLabel);
}

//==============================================================================
void SmartEQ::onGainFaderChanged (int b, bool rightSide)
{
    auto& c = bandControls[(size_t) b];
    auto& rec = band (b);
    lastGainEdited[(size_t) b] = rightSide ? 1 : 0;

    if (rightSide)
    {
        rec.gainRightDb = (float) c.gainRightFader.getValue();
        if (rec.linkStereo)
        {
            rec.gainLeftDb = rec.gainRightDb;
            c.gainLeftFader.setValue (rec.gainLeftDb, juce::dontSendNotification);
        }
    }
    else
    {
        rec.gainLeftDb = (float) c.gainLeftFader.getValue();
        if (rec.linkStereo)
        {
            rec.gainRightDb = rec.gainLeftDb;
            c.gainRightFader.setValue (rec.gainRightDb, juce::dontSendNotification);
        }
    }

    updateFilters (b);
}

void SmartEQ::onMacroKnobChanged (int b, MacroKnob which)
{
    auto& rec = band (b);
    const float x = (float) bandControls[(size_t) b].macroKnobs[(size_t) which].getValue();

    switch (which)
    {
        case dynKnob:
            rec.dynamicOn = x > 0.0f;
            rec.thresholdDb = -10.0f - 0.4f * x;
            rec.ratio = 1.0f + 0.05f * x;
            break;
        case satKnob:
            rec.saturationPct = x;
            break;
        case widKnob:
            rec.widthPct = x;
            break;
        case lfoKnob:
            rec.motionOn = x > 0.0f;
            rec.motionDepthPct = x;
            rec.motionRateHz = 0.5f + 0.05f * x;
            ++rec.motionRateWrites;
            processor.showMotionRate (b, rec.motionRateHz);
            break;
        case numMacroKnobs:
        default:
            break;
    }

    publish();
}

void SmartEQ::applyMacroBandSettings (const MacroBandSettings& settings)
{
    const std::pair<BandKnob, float> values[] = {
        { thresholdKnob, settings.thresholdDb }, { attackKnob, settings.attackMs }, { releaseKnob, settings.releaseMs },
        { driveAmountKnob, settings.drivePct }, { airKnob, settings.airPct }, { densityKnob, settings.densityPct },
        { characterKnob, settings.characterPct }, { motionRateKnob, settings.motionRateHz },
        { motionDepthKnob, settings.motionDepthPct } };

    modifyAllBands ([&] (Band& rec, int b)
    {
        auto& c = bandControls[(size_t) b];

        // The DYN knob first: its own mapping would move the threshold, which the THR value
        // below then sets as asked.
        if (settings.dynamics)
        {
            auto& dyn = c.macroKnobs[(size_t) dynKnob];
            dyn.setValue (50.0, juce::dontSendNotification);
            const auto x = (float) dyn.getValue();
            rec.dynamicOn = true;
            rec.ratio = 1.0f + 0.05f * x;
        }

        for (const auto& [k, value] : values)
        {
            auto& knob = c.knobs[(size_t) k];
            knob.setValue (value, juce::dontSendNotification);
            rec.*(knobSpecs[k].field) = (float) knob.getValue();
        }
    });

    for (int b = 0; b < numBands; ++b)
        processor.showMotionRate (b, band (b).motionRateHz);
}

void SmartEQ::setToggleSilently (int b, BandToggle which, bool state)
{
    band (b).*(toggleSpecs[which].field) = state;
    bandControls[(size_t) b].toggles[(size_t) which].setToggleState (state, juce::dontSendNotification);
}

void SmartEQ::onToggleClicked (int b, BandToggle which)
{
    auto& c = bandControls[(size_t) b];
    auto& rec = band (b);
    const bool on = c.toggles[(size_t) which].getToggleState();
    rec.*(toggleSpecs[which].field) = on;

    if (on)
    {
        switch (which)
        {
            case linkStereoToggle:
                if (lastGainEdited[(size_t) b] == 0)
                {
                    rec.gainRightDb = rec.gainLeftDb;
                    c.gainRightFader.setValue (rec.gainRightDb, juce::dontSendNotification);
                }
                else
                {
                    rec.gainLeftDb = rec.gainRightDb;
                    c.gainLeftFader.setValue (rec.gainLeftDb, juce::dontSendNotification);
                }
                updateFilters (b);
                return;

            case midToggle:   setToggleSilently (b, sideToggle, false); break;
            case sideToggle:  setToggleSilently (b, midToggle, false); break;
            case softToggle:  setToggleSilently (b, tubeToggle, false); break;
            case tubeToggle:  setToggleSilently (b, softToggle, false); break;

            case soloToggle:
                for (int other = 0; other < numBands; ++other)
                    if (other != b)
                        setToggleSilently (other, soloToggle, false);
                break;

            case vocalToggle:
                setToggleSilently (b, drumToggle, false);
                setToggleSilently (b, bassToggle, false);
                break;
            case drumToggle:
                setToggleSilently (b, vocalToggle, false);
                setToggleSilently (b, bassToggle, false);
                break;
            case bassToggle:
                setToggleSilently (b, vocalToggle, false);
                setToggleSilently (b, drumToggle, false);
                break;

            case linkStereo2Toggle: case enableToggle: case dynToggle: case motionToggle:
            case bpmToggle: case driveToggle: case lockBandToggle: case lockFreqToggle:
            case lockGainToggle: case numBandToggles:
            default:
                break;
        }
    }

    publish();
}

//==============================================================================
void SmartEQ::prepare (double newSampleRate)
{
    processor.prepare (newSampleRate, 512);

    const PublishBatch batch (*this);
    for (int b = 0; b < numBands; ++b)
        updateFilters (b);
}

void SmartEQ::updateFilters (int b)
{
    if (b < 0 || b >= numBands)
        return;

    auto& rec = band (b);
    auto params = toParams (rec);
    smarteq::computeCoefficients (params, processor.getSampleRate());
    rec.b0 = params.b0;
    rec.b1 = params.b1;
    rec.b2 = params.b2;
    rec.a1 = params.a1;
    rec.a2 = params.a2;

    publish();
}

void SmartEQ::publish()
{
    if (batchDepth > 0)
        return;

    SmartEQProcessor::Bands next;
    for (int b = 0; b < numBands; ++b)
        next[(size_t) b] = toParams (bands[(size_t) b]);

    processor.publishBands (next);
}

//==============================================================================
void SmartEQ::setBypassed (bool shouldBeBypassed)
{
    bypassButton.setToggleState (shouldBeBypassed, juce::dontSendNotification);
    processor.setBypassed (shouldBeBypassed);
}

bool SmartEQ::isBandEnabled (int b) const
{
    return bands[(size_t) clampBand (b)].enabled;
}

void SmartEQ::setBandEnabled (int b, bool shouldBeEnabled)
{
    band (clampBand (b)).enabled = shouldBeEnabled;
    publish();
}

const SmartEQ::Band& SmartEQ::getBand (int b) const
{
    return bands[(size_t) clampBand (b)];
}

juce::Slider& SmartEQ::getMacroKnob (int b, MacroKnob which)
{
    return bandControls[(size_t) clampBand (b)].macroKnobs[(size_t) juce::jlimit (0, numMacroKnobs - 1, (int) which)];
}

juce::Slider& SmartEQ::getBandKnob (int b, BandKnob which)
{
    return bandControls[(size_t) clampBand (b)].knobs[(size_t) juce::jlimit (0, numBandKnobs - 1, (int) which)];
}

juce::ToggleButton& SmartEQ::getBandToggle (int b, BandToggle which)
{
    return bandControls[(size_t) clampBand (b)].toggles[(size_t) juce::jlimit (0, numBandToggles - 1, (int) which)];
}

juce::Slider& SmartEQ::getGainFader (int b, bool rightSide)
{
    auto& c = bandControls[(size_t) clampBand (b)];
    return rightSide ? c.gainRightFader : c.gainLeftFader;
}

juce::Slider& SmartEQ::getFrequencySlider (int b) { return bandControls[(size_t) clampBand (b)].frequencySlider; }
juce::Slider& SmartEQ::getQSlider (int b)         { return bandControls[(size_t) clampBand (b)].qSlider; }
juce::ComboBox& SmartEQ::getTypeBox (int b)       { return bandControls[(size_t) clampBand (b)].typeBox; }

float SmartEQ::getDisplayResponseDb (float frequencyHz) const
{
    float sum = 0.0f;
    for (const auto& rec : bands)
    {
        if (! rec.enabled)
            continue;

        const float octaves = std::log2 (frequencyHz / rec.frequencyHz);
        sum += std::exp (-0.5f * rec.q * octaves * octaves) * (rec.gainLeftDb + rec.gainRightDb) / 2.0f;
    }
    return juce::jlimit (-24.0f, 24.0f, sum);
}

//==============================================================================
void SmartEQ::timerCallback()
{
    repaint();
}

void SmartEQ::paint (juce::Graphics& g)
{
    g.fillAll (panelBackground);

    const auto area = getLocalBounds().reduced (4);
    const int columnsWidth = area.getWidth() - 64;
    const int top = area.getY() + 26;
    for (int b = 0; b < numBands; ++b)
    {
        const int x = area.getX() + columnsWidth * b / numBands;
        const int w = columnsWidth * (b + 1) / numBands - columnsWidth * b / numBands;
        g.setColour (band (b).colour.withAlpha (0.35f));
        g.fillRect (x + 1, top, w - 2, 3);
        g.setColour (juce::Colours::grey);
        g.drawRect (x, top, w, area.getBottom() - top);
    }
}

void SmartEQ::resized()
{
    auto area = getLocalBounds().reduced (4);

    auto header = area.removeFromTop (22);
    for (auto* button : { &presetsButton, &hud2Button, &hudButton, &bypassButton, &viewButton })
    {
        button->setBounds (header.removeFromRight (64).reduced (2, 1));
    }
    statusLabel.setBounds (header.reduced (2, 1));
    area.removeFromTop (4);

    auto globals = area.removeFromRight (64);
    outputGainKnob.setBounds (globals.removeFromTop (64).reduced (4));
    globalMixKnob.setBounds (globals.removeFromTop (64).reduced (4));
    monoButton.setBounds (globals.removeFromTop (24).reduced (2));

    const int columnsWidth = area.getWidth();
    for (int b = 0; b < numBands; ++b)
    {
        auto& c = bandControls[(size_t) b];
        const int x = area.getX() + columnsWidth * b / numBands;
        const int w = columnsWidth * (b + 1) / numBands - columnsWidth * b / numBands;
        auto column = juce::Rectangle<int> (x, area.getY(), w, area.getHeight()).reduced (3);

        c.numberLabel.setBounds (column.removeFromTop (14));

        // Faders and the four large knobs.
        auto top = column.removeFromTop (juce::jmin (104, column.getHeight() / 4));
        c.gainLeftFader.setBounds (top.removeFromLeft (18));
        c.gainRightFader.setBounds (top.removeFromLeft (18));
        top.removeFromLeft (2);
        const int cellW = top.getWidth() / 2, cellH = top.getHeight() / 2;
        for (int k = 0; k < numMacroKnobs; ++k)
        {
            auto cell = juce::Rectangle<int> (top.getX() + (k % 2) * cellW, top.getY() + (k / 2) * cellH, cellW, cellH);
            c.macroCaptions[(size_t) k].setBounds (cell.removeFromBottom (9));
            c.macroKnobs[(size_t) k].setBounds (cell);
        }

        // The 25 small knobs in a five by five grid, then the toggles three to a row.
        const int toggleRows = (numBandToggles + 2) / 3;
        const int toggleH = juce::jlimit (10, 16, (column.getHeight() - 5 * 28) / toggleRows);
        auto toggles = column.removeFromBottom (toggleH * toggleRows);
        auto grid = column;
        const int kW = grid.getWidth() / 5, kH = grid.getHeight() / 5;
        for (int k = 0; k < numBandKnobs; ++k)
        {
            auto cell = juce::Rectangle<int> (grid.getX() + (k % 5) * kW, grid.getY() + (k / 5) * kH, kW, kH);
            c.knobCaptions[(size_t) k].setBounds (cell.removeFromBottom (8));
            c.knobs[(size_t) k].setBounds (cell);
        }

        const int tW = toggles.getWidth() / 3;
        for (int t = 0; t < numBandToggles; ++t)
            c.toggles[(size_t) t].setBounds (toggles.getX() + (t % 3) * tW, toggles.getY() + (t / 3) * toggleH, tW, toggleH);
    }
}
