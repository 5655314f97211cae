#include "effects/stereoutility/StereoUtilityMax.h"

#include "effects/stereoutility/StereoUtilityMaxLayout.h"

StereoUtilityMax::StereoUtilityMax (HeadsUpDisplay* hudToFeed)
    : ProcessorPanel (33), hud (hudToFeed)
{
    setLookAndFeel (&silverLookAndFeel);

    panelknobs::setUpHoverLabel (*this, hoverLabel, "Hover over a knob to see its value");

    const auto& table = knobTable();
    for (size_t i = 0; i < knobs.size(); ++i)
    {
        auto& k = knobs[i];
        k.setTextValueSuffix (juce::String::fromUTF8 (table[i].unit));
        k.setColour (juce::Slider::rotarySliderFillColourId, juce::Colour (0xff44aaff));
        k.setColour (juce::Slider::rotarySliderOutlineColourId, juce::Colour (0xff334455));
        panelknobs::setUp (*this, k, table[i], 0.0, knobInfo);
        k.linkMirror (&processor.parameters.knobs[i]);
    }

    leftMixKnob.setLookAndFeel (&neonGreenLookAndFeel);
    rightMixKnob.setLookAndFeel (&neonGreenLookAndFeel);

    setUpButtons();

    spectrumAnalyzer.activate();
    addAndMakeVisible (spectrumAnalyzer);
    processor.setOutputTap (this);
}

StereoUtilityMax::~StereoUtilityMax()
{
    processor.setOutputTap (nullptr);

    for (auto& k : knobs)
        k.linkMirror (nullptr);

    leftMixKnob.setLookAndFeel (nullptr);
    rightMixKnob.setLookAndFeel (nullptr);
    setLookAndFeel (nullptr);
}

void StereoUtilityMax::setUpButtons()
{
    panelknobs::setUpHeaderButtons (*this, bypassButton, hudButton, syncButton, bypassed, syncEnabled, hud);

    panelknobs::setButtonColours (bypassButton, 0xff1a1a22, 0xff442222, 0xffffffff, 0xffff6644);
    panelknobs::setButtonColours (syncButton, 0xff87ceeb, 0xff6ec6e6, 0xff000000, 0xffffff00);
    hudButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xffc0c0c0));
    hudButton.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
}

//==============================================================================
void StereoUtilityMax::prepare (double newSampleRate)
{
    processor.prepare (newSampleRate, 0);
    spectrumAnalyzer.setSampleRate (newSampleRate);
}

void StereoUtilityMax::process (juce::AudioBuffer<float>& buffer) noexcept
{
    processor.process (buffer, 0, buffer.getNumSamples());
}

void StereoUtilityMax::outputBlock (const float* left, const float* right, int numSamples) noexcept
{
    spectrumAnalyzer.pushSamples (left, right, numSamples);
}

void StereoUtilityMax::resetToNeutral()
{
    using K = Parameters::Knob;
    const auto& table = knobTable();
    const auto reset = [&] (K k) { knob (k).setValue (table[(size_t) k].defaultValue, juce::sendNotificationAsync); };

    reset (K::leftMix);
    reset (K::rightMix);
    for (int i = 0; i < numKnobs; ++i)
        if (i != (int) K::leftMix && i != (int) K::rightMix)
            reset ((K) i);
}

std::array<StereoUtilityMax::Knob*, StereoUtilityMax::numKnobs> StereoUtilityMax::getAllKnobs() noexcept
{
    return panelknobs::firstKnobs<numKnobs> (knobs);
}

StereoUtilityMax::Knob* StereoUtilityMax::findKnob (const juce::String& caption) noexcept
{
    return panelknobs::findByCaption (knobs, caption);
}

//==============================================================================
void StereoUtilityMax::paint (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    const float top = juce::jmin (h, 18.0f);
    const float stripHeight = juce::jmax (top - 2.0f, 0.0f);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffaaddff), 4.0f, 1.0f,
                                             juce::Colour (0xff88bbee), 4.0f, stripHeight + 1.0f, false));
    g.fillRoundedRectangle (4.0f, 1.0f, juce::jmax (w - 8.0f, 0.0f), stripHeight, 3.0f);
    g.setColour (juce::Colour (0xff4477aa));
    g.drawRoundedRectangle (4.0f, 1.0f, juce::jmax (w - 8.0f, 0.0f), stripHeight, 3.0f, 1.0f);

    g.setColour (juce::Colour (0x4c000000));
    g.fillRoundedRectangle (2.0f, top + 2.0f, w, h - top, 6.0f);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xfff0f0f8), 0.0f, top,
                                             juce::Colour (0xff888890), 0.0f, h, false));
    g.fillRoundedRectangle (0.0f, top, w, h - top, 6.0f);

    g.setColour (juce::Colour (0x80ffffff));
    g.fillRoundedRectangle (2.0f, top + 1.0f, w - 4.0f, 10.0f, 4.0f);

    g.setColour (juce::Colour (0xff5588aa));
    g.drawRoundedRectangle (0.0f, top, w, h - top, 6.0f, 1.5f);

    g.setColour (juce::Colour (0xff0088ff));
    g.setFont (juce::Font ("Times New Roman", 9.0f, juce::Font::bold));
    const auto titleArea = juce::Rectangle<float> (2.0f, top + 4.0f, juce::jmax (juce::jmin (w, 50.0f) - 4.0f, 0.0f),
                                                   juce::jmax (h - top - 8.0f, 0.0f)).toNearestInt();
    g.drawFittedText ("STEREO\nUTILITY\nMAX", titleArea, juce::Justification::centred, 3, 0.0f);
}

void StereoUtilityMax::resized()
{
    const auto l = StereoUtilityMaxLayout::compute (getWidth(), getHeight());

    hoverLabel.setBounds (l.hoverLabel);
    spectrumAnalyzer.setBounds (l.spectrum);
    leftMixKnob.setBounds (l.leftMix);
    rightMixKnob.setBounds (l.rightMix);
    trimKnob.setBounds (l.trim);
    syncButton.setBounds (l.sync);
    hudButton.setBounds (l.hud);
    bypassButton.setBounds (l.bypass);

    using K = Parameters::Knob;
    const K rowOne[] = { K::width, K::balance, K::monoBelow, K::lowCrossover, K::highCrossover,
                         K::lowWidth, K::midWidth, K::highWidth, K::mid, K::side };
    const K rowTwo[] = { K::levelDifference, K::timeDifference, K::iacc, K::leftDelay, K::rightDelay,
                         K::phase, K::dynamicsThreshold, K::dynamicsRatio, K::dynamicsAttack, K::dynamicsRelease };
    const K rowThree[] = { K::haas, K::pitch, K::modRate, K::modDepth, K::rotation, K::centre,
                           K::sides, K::extraction, K::room, K::early, K::diffusion, K::decor };

    for (size_t i = 0; i < std::size (rowOne); ++i)   knob (rowOne[i]).setBounds (l.rows[0][i]);
    for (size_t i = 0; i < std::size (rowTwo); ++i)   knob (rowTwo[i]).setBounds (l.rows[1][i]);
    for (size_t i = 0; i < std::size (rowThree); ++i) knob (rowThree[i]).setBounds (l.rows[2][i]);
}

//==============================================================================
void StereoUtilityMax::timerCallback()
{
    repaint();
    updateHudInfo();
    updateHoverLabel();
}

StereoUtilityMax::Knob* StereoUtilityMax::hoveredKnob()
{
    for (auto* k : getAllKnobs())
        if (panelknobs::countsAsHovered (*k, isHovered))
            return k;

    return nullptr;
}

void StereoUtilityMax::updateHudInfo()
{
    if (hud == nullptr)
        return;

    if (auto* k = hoveredKnob())
    {
        const auto& info = knobInfo[k];
        hud->setInfo ("STEREO UTILITY MAX", info.name, juce::String (k->getValue(), 1) + info.unit, info.description);
    }
}

void StereoUtilityMax::updateHoverLabel()
{
    if (auto* k = hoveredKnob())
    {
        const auto& info = knobInfo[k];
        hoverLabel.setText (info.name + ": " + juce::String (k->getValue(), 2) + info.unit + " / "
                                + juce::String (juce::roundToInt (k->getMaximum())) + info.unit,
                            juce::dontSendNotification);
    }
}
