#include "effects/delayverb/DelayVerb.h"

#include "effects/delayverb/DelayVerbLayout.h"

DelayVerb::DelayVerb (GreenHeadsUpDisplay* hudToFeed)
    : hud (hudToFeed)
{
    setLookAndFeel (&silverLookAndFeel);
    startTimer (33);

    panPad.setOpaque (false);
    panPad.showPosition (&delayPan, &pingPong);
    panPad.onChange = [this] (float x, float y)
    {
        delayPan.store (x, std::memory_order_relaxed);
        pingPong.store (y, std::memory_order_relaxed);
    };
    addAndMakeVisible (panPad);

    panelknobs::setUpHoverLabel (*this, hoverLabel, "Hover over a knob to see its value");

    const auto& table = knobTable();
    for (size_t i = 0; i < knobs.size(); ++i)
    {
        panelknobs::setUp (*this, knobs[i], table[i], DelayVerbParameters::knobInterval (table[i]), knobInfo);
        knobs[i].linkMirror (&parameters.knobs[i]);
    }

    for (auto* mix : { &delayLeftKnob, &delayRightKnob, &reverbLeftKnob, &reverbRightKnob })
        mix->setLookAndFeel (&neonGreenLookAndFeel);

    setUpButtons();

    panelknobs::setUp (*this, noteKnob, DelayVerbParameters::noteSpec(), 1.0, knobInfo);
    panelknobs::setUp (*this, typeKnob, DelayVerbParameters::typeSpec(), 1.0, knobInfo);
    noteKnob.linkMirror (&parameters.note);
    typeKnob.linkMirror (&parameters.type);

    spectrumAnalyzer.activate();
    addAndMakeVisible (spectrumAnalyzer);
    processor.setOutputTap (this);

    updateSyncVisibility();
}

DelayVerb::~DelayVerb()
{
    processor.setOutputTap (nullptr);
    stopTimer();

    for (auto& knob : knobs)
        knob.linkMirror (nullptr);
    noteKnob.linkMirror (nullptr);
    typeKnob.linkMirror (nullptr);

    for (auto* mix : { &delayLeftKnob, &delayRightKnob, &reverbLeftKnob, &reverbRightKnob })
        mix->setLookAndFeel (nullptr);
    setLookAndFeel (nullptr);
}

void DelayVerb::setUpButtons()
{
    panelknobs::setUpHeaderButtons (*this, bypassButton, hudButton, syncButton, bypassed, syncEnabled, hud,
                                    [this] { updateSyncVisibility(); });

    panelknobs::setButtonColours (bypassButton, 0xff1a1a22, 0xff442222, 0xffffffff, 0xffff6644);
    panelknobs::setButtonColours (syncButton, 0xff1a1a22, 0xff224422, 0xffffffff, 0xff66ff66);
    hudButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xffc0c0c0));
    hudButton.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
}

void DelayVerb::updateSyncVisibility()
{
    const bool synced = syncEnabled.load (std::memory_order_relaxed);
    timeKnob.setVisible (! synced);
    noteKnob.setVisible (synced);
    typeKnob.setVisible (synced);
    resized();
    repaint();
}

//==============================================================================
void DelayVerb::prepare (double newSampleRate)
{
    processor.prepare (newSampleRate, 0);
    spectrumAnalyzer.setSampleRate (newSampleRate);
}

void DelayVerb::process (juce::AudioBuffer<float>& buffer) noexcept
{
    processor.process (buffer, 0, buffer.getNumSamples());
}

void DelayVerb::outputBlock (const float* left, const float* right, int numSamples) noexcept
{
    spectrumAnalyzer.pushSamples (left, right, numSamples);
}

std::array<DelayVerb::Knob*, DelayVerb::numKnobs> DelayVerb::getAllKnobs() noexcept
{
    return panelknobs::firstKnobs<numKnobs> (knobs);
}

DelayVerb::Knob* DelayVerb::findKnob (const juce::String& caption) noexcept
{
    if (caption == "NOTE") return &noteKnob;
    if (caption == "TYPE") return &typeKnob;
    return panelknobs::findByCaption (knobs, caption);
}

//==============================================================================
void DelayVerb::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe8e8e8), 0.0f, 0.0f,
                                             juce::Colour (0xffb8b8b8), 0.0f, (float) h, false));
    g.fillRoundedRectangle (0.0f, 0.0f, (float) w, (float) h, 4.0f);

    g.setColour (juce::Colour (0xff666666));
    g.drawRoundedRectangle (1.0f, 1.0f, (float) w - 2.0f, (float) h - 2.0f, 4.0f, 1.5f);

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font ("Times New Roman", 9.0f, juce::Font::bold));
    g.drawFittedText ("DELAY\nVERB", 4, 4, juce::jmax (0, juce::jmin (w, 50) - 8), juce::jmax (0, h - 8),
                      juce::Justification::centred, 2, 0.0f);

    if (bypassed.load (std::memory_order_relaxed))
    {
        g.setColour (juce::Colour (0x88ff4444));
        g.fillRoundedRectangle (2.0f, 2.0f, (float) w - 4.0f, (float) h - 4.0f, 3.0f);
        g.setColour (juce::Colours::white);
        g.setFont (juce::Font ("Times New Roman", 14.0f, juce::Font::bold | juce::Font::italic));
        g.drawText ("BYPASSED", getLocalBounds(), juce::Justification::centred, true);
    }
}

void DelayVerb::resized()
{
    const auto l = DelayVerbLayout::compute (getWidth(), getHeight());

    hoverLabel.setBounds (l.hoverLabel);
    spectrumAnalyzer.setBounds (l.spectrum);
    panPad.setBounds (l.pad);
    delayLeftKnob.setBounds (l.delayLeft);
    delayRightKnob.setBounds (l.delayRight);
    reverbLeftKnob.setBounds (l.reverbLeft);
    reverbRightKnob.setBounds (l.reverbRight);
    syncButton.setBounds (l.sync);
    hudButton.setBounds (l.hud);
    bypassButton.setBounds (l.bypass);

    using P = DelayVerbParameters;
    const bool synced = syncEnabled.load (std::memory_order_relaxed);
    size_t cell = 0;
    if (synced)
    {
        noteKnob.setBounds (l.rows[0][cell++]);
        typeKnob.setBounds (l.rows[0][cell++]);
    }
    else
    {
        timeKnob.setBounds (l.rows[0][cell++]);
    }

    for (auto k : { P::feedback, P::delayLowpass, P::delayHighpass, P::stereo, P::delayMod, P::delayRate, P::delayDuck })
        knobs[(size_t) k].setBounds (l.rows[0][cell++]);

    const P::Knob rows[2][6] = { { P::preDelay, P::decay, P::size, P::damp, P::reverbLow, P::reverbHigh },
                                 { P::early, P::late, P::width, P::reverbMod, P::reverbRate, P::reverbDuck } };
    for (size_t r = 0; r < 2; ++r)
        for (size_t i = 0; i < 6; ++i)
            knobs[(size_t) rows[r][i]].setBounds (l.rows[r + 1][i]);
}

//==============================================================================
void DelayVerb::timerCallback()
{
    repaint();
    updateHud();
    updateHoverLabel();
}

bool DelayVerb::hovered (const juce::Component& c) const
{
    return panelknobs::countsAsHovered (c, isHovered);
}

void DelayVerb::updateHud()
{
    if (hud == nullptr)
        return;

    for (auto* knob : getAllKnobs())
    {
        if (hovered (*knob))
        {
            const auto& info = knobInfo[knob];
            hud->setInfo ("DELAYVERB", info.name, juce::String (knob->getValue(), 1) + info.unit, info.description);
            return;
        }
    }

    if (hovered (noteKnob))
        hud->setInfo ("DELAYVERB", "NOTE DIVISION", delayverb::noteName ((float) noteKnob.getValue()), "BPM-synced delay time");
    else if (hovered (typeKnob))
        hud->setInfo ("DELAYVERB", "NOTE TYPE", delayverb::typeName ((float) typeKnob.getValue()),
                      "Normal/Dotted/Triplet modifier");
}

void DelayVerb::updateHoverLabel()
{
    juce::String text;

    if (hovered (noteKnob))
    {
        text = juce::String ("NOTE: ") + delayverb::noteName ((float) noteKnob.getValue());
        const auto tempo = bpm.load (std::memory_order_relaxed);
        if (tempo > 0.0f)
            text << " (" << juce::String (getSyncedDelayMs(), 1) << "ms @ " << juce::String (tempo, 1) << " BPM)";
    }
    else if (hovered (typeKnob))
    {
        static const char* const typeTexts[] = { "Normal", "Dotted (1.5x)", "Triplet (2/3x)" };
        text = juce::String ("TYPE: ") + typeTexts[delayverb::typeIndex ((float) typeKnob.getValue())];
    }
    else
    {
        for (auto* knob : getAllKnobs())
        {
            if (hovered (*knob))
            {
                const auto& info = knobInfo[knob];
                text = info.name + ": " + juce::String (knob->getValue(), 2) + info.unit + " / "
                       + juce::String (knob->getMaximum()) + info.unit;
                break;
            }
        }
    }

    if (text.isNotEmpty())
        hoverLabel.setText (text, juce::dontSendNotification);
}
