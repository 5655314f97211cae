#include "effects/finalizer/FinalizerPanel.h"

#include "effects/finalizer/TavroFinalizer.h"

namespace
{
    const juce::Colour captionBlue (0xff88ccff);

    void styleSectionLabel (juce::Label& label, const juce::String& text)
    {
        label.setText (text, juce::dontSendNotification);
        label.setFont (juce::Font ("Times New Roman", 11.0f, juce::Font::bold | juce::Font::italic));
        label.setColour (juce::Label::textColourId, captionBlue);
        label.setJustificationType (juce::Justification::centredRight);
    }
}

FinalizerPanel::FinalizerPanel (TavroFinalizer* finalizerToSteer)
    : finalizer (finalizerToSteer)
{
    startTimer (33);

    addAndMakeVisible (widthScope);
    addAndMakeVisible (messagePanel);

    titleLabel.setText ("FINALIZER", juce::dontSendNotification);
    titleLabel.setFont (juce::Font ("Times New Roman", 16.0f, juce::Font::bold | juce::Font::italic));
    titleLabel.setColour (juce::Label::textColourId, captionBlue);
    titleLabel.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (titleLabel);

    buildToneKnobs();
    addAndMakeVisible (waveformView);
    buildBandSection();
    buildCharacterKnobs();
    buildButtons();

    statusLabel.setText ("No file loaded", juce::dontSendNotification);
    statusLabel.setFont (juce::Font ("Consolas", 11.0f, juce::Font::plain));
    statusLabel.setColour (juce::Label::textColourId, juce::Colour (0xffaaaaaa));
    addAndMakeVisible (statusLabel);
}

FinalizerPanel::~FinalizerPanel()
{
    stopTimer();

    for (auto* child : getChildren())
        child->setLookAndFeel (nullptr);
}

void FinalizerPanel::styleKnob (juce::Slider& knob, const juce::String& caption, double min, double max,
                                double step, double doubleClickValue)
{
    knob.setLookAndFeel (&knobLookAndFeel);
    knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    knob.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    knob.setRange (min, max, step);
    knob.setDoubleClickReturnValue (true, doubleClickValue);
    knob.setName (caption);
    addAndMakeVisible (knob);
}

void FinalizerPanel::buildToneKnobs()
{
    struct Tone { const char* caption; double min; };
    const Tone tones[] = { { "SUB", -6.0 }, { "BODY", -6.0 }, { "PRES", -6.0 }, { "AIR", -6.0 }, { "TAME", -6.0 }, { "TILT", -6.0 } };
    const auto knobs = toneKnobs();

    for (size_t i = 0; i < knobs.size(); ++i)
    {
        auto& knob = *knobs[i];
        styleKnob (knob, tones[i].caption, tones[i].min, i == 4 ? 0.0 : 6.0, 0.01, 0.0);

        if (finalizer == nullptr)
            continue;

        std::atomic<float>* const gains[] = { &finalizer->subDb, &finalizer->bodyDb, &finalizer->presenceDb,
                                              &finalizer->airDb, &finalizer->tameDb, &finalizer->tiltDb };
        knob.linkMirror (gains[i]);

        // The gain is already in place through the mirror; the sections follow at once so the
        // next block hears it.
        knob.onValueChange = [this]
        {
            finalizer->updateToneCurve();
            finalizer->updateEqCoefficients();
        };
    }
}

void FinalizerPanel::buildBandSection()
{
    for (size_t band = 0; band < bandNames.size(); ++band)
    {
        auto& widthKnob = bandWidthKnobs[band];
        auto& driveKnob = bandDriveKnobs[band];
        auto& modeBox = bandModeBoxes[band];

        // Widths start where the sound starts (1, unchanged); a knob at 0 would collapse its
        // band to mono the first time any of them is touched.
        styleKnob (widthKnob, bandNames[band], 0.0, 2.0, 0.01, 1.0);
        widthKnob.setValue (1.0, juce::dontSendNotification);
        styleKnob (driveKnob, bandNames[band], 0.0, 2.0, 0.01, 1.0);

        modeBox.addItem ("Mono", 1);
        modeBox.addItem ("Stereo", 2);
        modeBox.addItem ("M/S", 3);
        modeBox.setJustificationType (juce::Justification::centred);
        modeBox.setSelectedId (2, juce::dontSendNotification);
        addAndMakeVisible (modeBox);

        if (finalizer == nullptr)
            continue;

        widthKnob.linkMirror (&finalizer->bandWidth[band]);
        driveKnob.linkMirror (&finalizer->bandDrive[band]);
        widthKnob.onValueChange = [this] { refreshScopeLevels(); };
        driveKnob.onValueChange = [this] { refreshScopeLevels(); };
        modeBox.onChange = [this, band]
        {
            finalizer->bandMode[band].store (bandModeBoxes[band].getSelectedId());
            refreshScopeLevels();
        };
    }

    styleSectionLabel (widthLabel, "WIDTH");
    addAndMakeVisible (widthLabel);
    styleSectionLabel (distLabel, "DIST");
    addAndMakeVisible (distLabel);
}

void FinalizerPanel::buildCharacterKnobs()
{
    // Amounts shown in percent; the sound reads fractions.
    const auto percent = [this] (ParamSlider& knob, const char* caption, double max, double start,
                                 std::atomic<float> TavroFinalizer::* amount, float limit)
    {
        styleKnob (knob, caption, 0.0, max, 0.1, start);
        knob.setValue (start, juce::dontSendNotification);

        if (finalizer == nullptr)
            return;

        const auto write = [this, &knob, amount, limit]
        {
            (finalizer->*amount).store (juce::jlimit (0.0f, limit, (float) knob.getValue() / 100.0f));
        };
        write();
        knob.onValueChange = write;
    };

    // Knobs whose value is the parameter itself share its atomic.
    const auto direct = [this] (ParamSlider& knob, const char* caption, double min, double max, double step,
                                double start, std::atomic<float>* parameter)
    {
        styleKnob (knob, caption, min, max, step, start);
        knob.setValue (start, juce::dontSendNotification);
        if (finalizer != nullptr)
            knob.linkMirror (parameter);
    };

    percent (densityKnob, "DENSITY", 100.0, 30.0, &TavroFinalizer::densityAmount, 1.0f);
    percent (articKnob, "ARTIC", 100.0, 25.0, &TavroFinalizer::articAmount, 1.0f);
    percent (residueKnob, "RESIDUE", 100.0, 20.0, &TavroFinalizer::residueAmount, 1.0f);
    percent (motionKnob, "MOTION", 20.0, 0.0, &TavroFinalizer::motionAmount, 0.2f);

    styleSectionLabel (atomizeLabel, "ATOMIZE");
    addAndMakeVisible (atomizeLabel);

    percent (aboveKnob, "ABOVE", 100.0, 0.0, &TavroFinalizer::aboveAmount, 1.0f);
    percent (belowKnob, "BELOW", 100.0, 0.0, &TavroFinalizer::belowAmount, 1.0f);

    const auto param = [this] (std::atomic<float> TavroFinalizer::* member)
    {
        return finalizer != nullptr ? &(finalizer->*member) : nullptr;
    };
    direct (leftMixKnob, "L MIX", 0.0, 1.0, 0.001, 1.0, param (&TavroFinalizer::leftMix));
    direct (rightMixKnob, "R MIX", 0.0, 1.0, 0.001, 1.0, param (&TavroFinalizer::rightMix));
    direct (widthKnob, "WIDTH", 0.0, 3.0, 0.01, 1.0, param (&TavroFinalizer::width));
    direct (asymKnob, "ASYM", -90.0, 90.0, 0.1, 0.0, param (&TavroFinalizer::asymmetryDeg));
    direct (rotateKnob, "ROTATE", -45.0, 45.0, 0.1, 0.0, param (&TavroFinalizer::rotateDeg));

    // The scope shows the image settings whether or not there is a finalizer to steer.
    const std::pair<ParamSlider*, StereoWidthScope::Value> imageKnobs[] = {
        { &widthKnob, StereoWidthScope::width }, { &asymKnob, StereoWidthScope::asymmetry },
        { &rotateKnob, StereoWidthScope::rotation }
    };
    for (const auto& [knob, target] : imageKnobs)
        knob->onValueChange = [this, knob = knob, target = target]
        {
            widthScope.targetValues[(size_t) target] = (float) knob->getValue();
        };
}

void FinalizerPanel::buildButtons()
{
    hudButton.setClickingTogglesState (true);
    hudButton.setLookAndFeel (&metallicLookAndFeel);
    hudButton.onClick = [this]
    {
        if (onHudToggled)
            onHudToggled (hudButton.getToggleState());
    };
    addAndMakeVisible (hudButton);

    bypassButton.setClickingTogglesState (true);
    bypassButton.setLookAndFeel (&metallicLookAndFeel);
    bypassButton.onClick = [this]
    {
        if (finalizer != nullptr)
            finalizer->bypassed.store (bypassButton.getToggleState());
    };
    addAndMakeVisible (bypassButton);
}

//==============================================================================
void FinalizerPanel::refreshScopeLevels()
{
    if (finalizer == nullptr)
        return;

    const auto meters = finalizer->readMeters();
    widthScope.targetValues[StereoWidthScope::midLevel] = juce::jlimit (0.0f, 1.0f, meters.midRms);
    widthScope.targetValues[StereoWidthScope::sideLevel] = juce::jlimit (0.0f, 1.5f, meters.sideRms);
}

void FinalizerPanel::dropAnalysisMarkers (double pos)
{
    const auto f = finalizer->readMeters().features;
    if ((f.rmsLeft + f.rmsRight) * 0.5f <= 0.001f)
        return;

    const float peak = std::max (f.peakHoldLeft, f.peakHoldRight);

    if (f.clipping)
        waveformView.addAnalysisDot (pos, peak > 0.0f ? 0.95f : -0.95f, 2, 1.0f);
    if (f.phaseProblem && f.correlation < -0.2f)
        waveformView.addAnalysisTick (pos, 0.0f, 3, std::abs (f.correlation));
    if (f.overCompressed && f.crestDb < 5.0f)
        waveformView.addAnalysisDot (pos, 0.0f, 4, 1.0f - f.crestDb / 6.0f);
    if (f.dcOffset)
        waveformView.addAnalysisTick (pos, f.dcLeft > 0.0f ? 0.1f : -0.1f, 5,
                                      20.0f * std::max (std::abs (f.dcLeft), std::abs (f.dcRight)));
    if (peak > 0.9f && peak < 0.99f)
        waveformView.addAnalysisDot (pos, peak, 0, (peak - 0.9f) * 10.0f);
}

void FinalizerPanel::timerCallback()
{
    if (finalizer != nullptr)
    {
        const int rate = finalizer->playerSampleRate.load();
        const double pos = rate > 0 ? std::floor (finalizer->playPosition.load()) / rate : 0.0;
        const double len = rate > 0 ? (double) finalizer->playerLength.load() / rate : 0.0;
        waveformView.setPlayPosition (pos, len);

        refreshScopeLevels();
        dropAnalysisMarkers (pos);
    }

    for (size_t i = 0; i < widthScope.displayValues.size(); ++i)
        widthScope.displayValues[i] += (widthScope.targetValues[i] - widthScope.displayValues[i]) * 0.15f;
    widthScope.repaint();

    if (finalizer != nullptr)
        messagePanel.setText (finalizer->describeSignalCharacter());
}

bool FinalizerPanel::AIMsgPanel::setText (const juce::String& newText)
{
    if (newText == text)
        return false;

    text = newText;
    ++textChanges;
    repaint();
    return true;
}
