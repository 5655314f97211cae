#include "effects/delayverb/DelayVerb.h"

const std::array<PanelKnobSpec, DelayVerb::numKnobs>& DelayVerb::knobTable() noexcept
{
    static const std::array<PanelKnobSpec, numKnobs> table {{
        { "TIME", 0.5, 5000, 250, "ms", "Delay time" },
        { "FDBK", 0, 95, 30, "%", "Feedback amount" },
        { "D L", 0, 100, 0, "%", "Delay Left mix" },
        { "D R", 0, 100, 0, "%", "Delay Right mix" },
        { "D LPF", 500, 20000, 12000, "Hz", "Feedback lowpass" },
        { "D HPF", 20, 2000, 80, "Hz", "Feedback highpass" },
        { "STEREO", 0, 50, 10, "ms", "Stereo offset" },
        { "D MOD", 0, 20, 2, "ms", "Delay modulation" },
        { "D RATE", 0.05, 10, 1, "Hz", "Mod rate" },
        { "D DUCK", 0, 24, 0, "dB", "Delay ducking" },
        { "PRE", 0, 200, 20, "ms", "Pre-delay" },
        { "DECAY", 0.1, 20, 2.5, "s", "RT60 decay time" },
        { "SIZE", 10, 100, 50, "%", "Room size" },
        { "R L", 0, 100, 0, "%", "Reverb Left mix" },
        { "R R", 0, 100, 0, "%", "Reverb Right mix" },
        { "DAMP", 0, 100, 40, "%", "HF damping" },
        { "R LO", 20, 500, 80, "Hz", "Reverb low cut" },
        { "R HI", 1000, 20000, 10000, "Hz", "Reverb high cut" },
        { "EARLY", 0, 100, 50, "%", "Early reflections" },
        { "LATE", 0, 100, 70, "%", "Late reverb level" },
        { "WIDTH", 0, 200, 100, "%", "Stereo width" },
        { "R MOD", 0, 5, 1, "ms", "Reverb modulation" },
        { "R RATE", 0.1, 3, 0.5, "Hz", "Reverb mod rate" },
        { "R DUCK", 0, 24, 0, "dB", "Reverb ducking" },
    }};
    return table;
}

DelayVerb::DelayVerb (GreenHeadsUpDisplay* hudToFeed)
    : hud (hudToFeed)
{
    panelknobs::setUpHoverLabel (*this, hoverLabel, "Hover over a knob to see its value");

    const auto& table = knobTable();
    for (size_t i = 0; i < knobs.size(); ++i)
        panelknobs::setUp (*this, knobs[i], table[i], panelknobs::wideRangeInterval (table[i]), knobInfo);

    const PanelKnobSpec note { "NOTE", 0, 5, 2, "", "1/32, 1/16, 1/8, 1/4, 1/2, 1/1" };
    const PanelKnobSpec type { "TYPE", 0, 2, 0, "", "Normal/Dotted/Triplet" };
    panelknobs::setUp (*this, noteKnob, note, 1.0, knobInfo);
    panelknobs::setUp (*this, typeKnob, type, 1.0, knobInfo);

    delayLeftKnob.linkMirror (&processor.parameters.delayLeft);
    delayRightKnob.linkMirror (&processor.parameters.delayRight);
    reverbLeftKnob.linkMirror (&processor.parameters.reverbLeft);
    reverbRightKnob.linkMirror (&processor.parameters.reverbRight);

    panelknobs::setUpHeaderButtons (*this, bypassButton, hudButton, syncButton, bypassed, syncEnabled, hud,
                                    [this] { updateSyncVisibility(); });

    updateSyncVisibility();
    startTimer (33);
}

DelayVerb::~DelayVerb()
{
    stopTimer();
}

void DelayVerb::updateSyncVisibility()
{
    const bool synced = syncEnabled.load();
    timeKnob.setVisible (! synced);
    noteKnob.setVisible (synced);
    typeKnob.setVisible (synced);
    resized();
    repaint();
}

void DelayVerb::prepare (double newSampleRate)
{
    processor.prepare (newSampleRate, 0);
}

void DelayVerb::process (juce::AudioBuffer<float>& buffer) noexcept
{
    processor.process (buffer, 0, buffer.getNumSamples());
}

float DelayVerb::getDelayLeftMix() const noexcept   { return processor.getDelayLeftMix(); }
float DelayVerb::getDelayRightMix() const noexcept  { return processor.getDelayRightMix(); }
float DelayVerb::getReverbLeftMix() const noexcept  { return processor.getReverbLeftMix(); }
float DelayVerb::getReverbRightMix() const noexcept { return processor.getReverbRightMix(); }

float DelayVerb::getSyncedDelayMs() const noexcept
{
    const auto tempo = bpm.load (std::memory_order_relaxed);
    if (tempo <= 0.0f)
        return 250.0f;

    static constexpr float noteBeats[] = { 0.125f, 0.25f, 0.5f, 1.0f, 2.0f, 4.0f };
    auto beats = noteBeats[juce::jlimit (0, 5, (int) noteKnob.getAtomicValue())];

    switch ((int) typeKnob.getAtomicValue())
    {
        case 1:  beats *= 1.5f; break;
        case 2:  beats *= 0.6666667f; break;
        default: break;
    }

    return 60.0f / tempo * 1000.0f * beats;
}

bool DelayVerb::isActive() const noexcept
{
    return processor.isActive();
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

void DelayVerb::paint (juce::Graphics& g)
{
    panelknobs::paintPanel (g, getLocalBounds(), "DELAYVERB", juce::Colour (0xff44cc66), bypassed);
}

void DelayVerb::resized()
{
    auto area = panelknobs::layoutHeader (getLocalBounds().reduced (4), hoverLabel, 300, 120,
                                          bypassButton, hudButton, syncButton);

    panelknobs::layoutKnobRow (area, knobs, { &noteKnob, &typeKnob });
}

void DelayVerb::timerCallback() {}
