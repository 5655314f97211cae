#include "effects/core/DistortionSuite.h"

namespace
{
    struct KnobSpec
    {
        const char* caption;
        double minimum, maximum, defaultValue;
        const char* suffix;
        const char* description;
    };

    // Same order as the two knob arrays: IN to WIDE, then THRS to SHPE.
    constexpr std::array<KnobSpec, 31> knobSpecs {{
        { "IN",    -48.0,    48.0,     0.0, "dB",  "Input gain staging" },
        { "DRIVE",   0.0,    16.0,     1.0, "x",   "Distortion intensity" },
        { "MIX",     0.0,   100.0,     0.0, "%",   "Dry/wet blend" },
        { "OUT",   -48.0,    24.0,     0.0, "dB",  "Output level" },
        { "SYM",    -2.0,     2.0,     0.0, "",    "Even/odd harmonic balance" },
        { "OFFS",   -2.0,     2.0,     0.0, "",    "DC offset for asymmetry" },
        { "EDGE",    0.0,    10.0,     1.0, "",    "Sharpness/nonlinearity" },
        { "KNEE",    0.0,     2.0,     0.5, "",    "Soft/hard clip blend" },
        { "EVEN",    0.0,     2.0,     0.0, "",    "Even harmonic content" },
        { "ODD",     0.0,     2.0,     0.0, "",    "Odd harmonic content" },
        { "HPF",    10.0, 10000.0,    20.0, "Hz",  "Pre-emphasis highpass" },
        { "PRES",    0.0,     4.0,     0.0, "",    "Presence/air boost" },
        { "BITS",    1.0,    24.0,    16.0, "bit", "Bit depth reduction" },
        { "RATE",  100.0, 96000.0, 44100.0, "Hz",  "Sample rate reduction" },
        { "JITR",    0.0,     1.0,     0.0, "",    "Sample timing jitter" },
        { "DTHR",    0.0,     2.0,     0.0, "",    "Dither noise amount" },
        { "FILT",   20.0, 20000.0, 20000.0, "Hz",  "Post lowpass filter" },
        { "RES",     0.1,    10.0,     0.7, "",    "Filter resonance" },
        { "DRFT",    0.0,     1.0,     0.0, "",    "Random drift amount" },
        { "WIDE",    0.0,     2.0,     1.0, "",    "Stereo spread" },
        { "THRS",  -80.0,    12.0,   -12.0, "dB",  "Compression threshold" },
        { "RAT",     1.0,   100.0,     4.0, ":1",  "Compression ratio" },
        { "ATK",     0.01, 1000.0,    10.0, "ms",  "Attack time" },
        { "REL",     0.1, 10000.0,   100.0, "ms",  "Release time" },
        { "MKUP",  -24.0,    36.0,     0.0, "dB",  "Makeup gain" },
        { "SAT",     0.0,     4.0,     0.0, "",    "Tube-style saturation" },
        { "SCHP",   10.0, 10000.0,    20.0, "Hz",  "Sidechain highpass" },
        { "SCLP",  100.0, 22050.0, 22050.0, "Hz",  "Sidechain lowpass" },
        { "LINK",    0.0,     2.0,     1.0, "",    "Stereo linking" },
        { "LIM",   -24.0,     0.0,     0.0, "dB",  "Brick wall limiter" },
        { "SHPE",    0.0,     2.0,     1.0, "",    "Release curve shape" },
    }};
}

DistortionSuite::DistortionSuite (PurpleHeadsUpDisplay* hudToFeed)
    : hud (hudToFeed)
{
    setUpKnobs();

    bypassButton.setClickingTogglesState (true);
    bypassButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff1a1a22));
    bypassButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff442222));
    bypassButton.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    bypassButton.setColour (juce::TextButton::textColourOnId, juce::Colour (0xffff6644));
    bypassButton.onClick = [this]
    {
        bypassed.store (bypassButton.getToggleState(), std::memory_order_relaxed);
        repaint();
    };
    addAndMakeVisible (bypassButton);

    hudButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xffc0c0c0));
    hudButton.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
    hudButton.onClick = [this] { toggleHud(); };
    addAndMakeVisible (hudButton);

    hoverLabel.setText ("Hover over a knob to see its value", juce::dontSendNotification);
    hoverLabel.setColour (juce::Label::backgroundColourId, juce::Colour (0xffaaddff));
    hoverLabel.setColour (juce::Label::textColourId, juce::Colours::black);
    hoverLabel.setFont (juce::Font ("Times New Roman", 12.0f, juce::Font::italic));
    hoverLabel.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (hoverLabel);

    startTimer (33);
}

DistortionSuite::~DistortionSuite()
{
    stopTimer();
    setLookAndFeel (nullptr);
}

void DistortionSuite::setUpKnobs()
{
    auto knobs = std::array<Knob*, 31> {};
    for (size_t i = 0; i < mainKnobs.size(); ++i)
        knobs[i] = &mainKnobs[i];
    for (size_t i = 0; i < kompressorKnobs.size(); ++i)
        knobs[mainKnobs.size() + i] = &kompressorKnobs[i];

    for (size_t i = 0; i < knobs.size(); ++i)
    {
        auto& knob = *knobs[i];
        const auto& spec = knobSpecs[i];

        knob.setRange (spec.minimum, spec.maximum);
        knob.setValue (spec.defaultValue, juce::sendNotificationAsync);
        knob.setValueSilently (spec.defaultValue);
        knob.setTextValueSuffix (spec.suffix);
        knob.setName (spec.caption);
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        knob.setColour (juce::Slider::rotarySliderFillColourId, juce::Colour (0xff88ccff));
        knob.setColour (juce::Slider::rotarySliderOutlineColourId, juce::Colour (0xff444455));
        knob.setColour (juce::Slider::thumbColourId, juce::Colour (0xff88ccff));
        knob.setPopupDisplayEnabled (false, false, nullptr);
        knob.setDoubleClickReturnValue (true, spec.defaultValue);
        addAndMakeVisible (knob);
    }
}

std::array<DistortionSuite::Knob*, 31> DistortionSuite::getAllKnobs() noexcept
{
    return { &driveKnob, &mixKnob, &outKnob, &inKnob, &symKnob, &edgeKnob, &offsKnob, &kneeKnob,
             &evenKnob, &oddKnob, &hpfKnob, &presKnob, &bitsKnob, &rateKnob, &jitrKnob, &dthrKnob,
             &filtKnob, &resKnob, &drftKnob, &wideKnob, &thrsKnob, &ratKnob, &atkKnob, &relKnob,
             &mkupKnob, &satKnob, &schpKnob, &sclpKnob, &linkKnob, &limKnob, &shpeKnob };
}

DistortionSuite::Knob* DistortionSuite::findKnob (const juce::String& caption) noexcept
{
    for (auto* knob : getAllKnobs())
        if (knob->getName() == caption)
            return knob;

    return nullptr;
}

bool DistortionSuite::isActive() const noexcept
{
    return ! isBypassed() && mixKnob.getAtomicValue() > 0.01f;
}

void DistortionSuite::setBypassed (bool shouldBeBypassed)
{
    bypassed.store (shouldBeBypassed, std::memory_order_relaxed);
    bypassButton.setToggleState (shouldBeBypassed, juce::dontSendNotification);
    repaint();
}

void DistortionSuite::setMode (int newMode)
{
    mode.store (newMode, std::memory_order_relaxed);

    for (auto* knob : { &inKnob, &driveKnob, &mixKnob, &outKnob })
        knob->setVisible (true);

    for (size_t i = 4; i < mainKnobs.size(); ++i)
        mainKnobs[i].setVisible (newMode == distorterMode ? i < 12
                                 : newMode == bitcrushMode ? i >= 12
                                                           : false);

    for (auto& knob : kompressorKnobs)
        knob.setVisible (newMode != distorterMode && newMode != bitcrushMode);

    resized();
    repaint();
}

void DistortionSuite::toggleHud()
{
}

void DistortionSuite::prepare (double newSampleRate) noexcept
{
    sampleRate.store (newSampleRate, std::memory_order_relaxed);
}

void DistortionSuite::process (juce::AudioBuffer<float>& buffer) noexcept
{
    if (isBypassed() || buffer.getNumSamples() < 1)
        return;
}

void DistortionSuite::paint (juce::Graphics&)
{
}

void DistortionSuite::resized()
{
}

void DistortionSuite::updateHud()
{
}

void DistortionSuite::updateHoverLabel()
{
}

void DistortionSuite::timerCallback()
{
    repaint();
    updateHud();
    updateHoverLabel();
}
