#include "main/MainComponent.h"

#include "controls/RampPlayback.h"
#include "controls/SliderRampRegistry.h"

// The main window's housekeeping tick, every 33 ms (50 ms while METER shows levels). Steps
// that count ticks (the preset flash, the glide, the MIDI lamp) therefore run slower in real
// time while METER is on.

void MainComponent::timerCallback()
{
    // What the audio thread left behind since the last tick: ended passes first, so that the
    // PLAY caption below already sees them.
    pollTransportNotices();

    // 1. A success colour on the preset button lasts 16 ticks.
    if (presetFlash.tick (presetButton.findColour (juce::TextButton::buttonColourId)))
        presetButton.setColour (juce::TextButton::buttonColourId, juce::Colour (MainTimerSteps::presetNormalColour));

    // 2. FREEZE pulses between magenta and white.
    if (frozen.load())
    {
        freezePulsePhase = MainTimerSteps::nextFreezePhase (freezePulsePhase);
        freezeButton.setColour (juce::TextButton::buttonOnColourId, MainTimerSteps::freezeColour (freezePulsePhase));
        freezeButton.repaint();
    }

    // 3. Pitch glide.
    if (pitchGlideActive)
    {
        const auto step = MainTimerSteps::pitchGlideStep (pitchKnob.getValue(), pitchGlideTarget, pitchGlideRate);

        if (step.finished)
            pitchGlideActive = false;

        pitchKnob.setValue (step.value);
    }

    // 4, 5. The randomiser steps only while the transport plays; the MetaControl energy always.
    const bool transportPlaying = transport.isPlaying();
    randomiser.enabled = transportPlaying;

    if (transportPlaying)
    {
        randomiser.step();
        applyMacroTargets();
    }

    randomiser.updateMetaEnergy();
    metaControlKnob.energy = randomiser.energyReadout();
    metaControlKnob.coupling = randomiser.couplingReadout();

    // 6. Korrupt engine.
    if (korruptEngine.active.load())
        korruptEngine.timerTick();

    // 7. MIDI activity lamp.
    switch (midiActivityLamp.tick (midiActivity.exchange (false)))
    {
        case MainTimerSteps::MidiLamp::Change::lightOn:
            midiActivityLabel.setColour (juce::Label::backgroundColourId, juce::Colour (MainTimerSteps::midiLampOnColour));
            break;

        case MainTimerSteps::MidiLamp::Change::lightOff:
            midiActivityLabel.setColour (juce::Label::backgroundColourId, juce::Colour (MainTimerSteps::midiLampOffColour));
            break;

        case MainTimerSteps::MidiLamp::Change::none:
            break;
    }

    // 8. METER readout.
    if (levelMeter.isEnabled())
        meterButton.setButtonText (MainTimerSteps::meterCaption (levelMeter.getPeakLeft(), levelMeter.getPeakRight()));

    // 9. Knob and pan ramps follow the playback time.
    if (isPlaying())
    {
        const double t = getPlaybackPosition();

        if (! SliderRampRegistry::getInstance().isEmpty())
            applySliderRamps (t);

        applyPanRamp (t);
    }

    // 10. Play heads and the PLAY/PAUSE caption.
    const double displaySeconds = transport.getDisplayPosition();

    if (isPlaying())
    {
        waveformView.setPlayPosition (displaySeconds, loadedFileSeconds);

        if (finalizerPanel.slavedToMain)
            finalizerPanel.waveformView.setPlayPosition (displaySeconds, loadedFileSeconds);

        playButton.setButtonText ("PAUSE");

        if (portionsActive)
            stepLoopPortions (displaySeconds);
    }
    else
    {
        playButton.setButtonText ("PLAY");
    }

    // 11. Keyboard sampler note markers.
    if (keysOn.load() && samplerLength.load (std::memory_order_relaxed) > 0 && loadedFileSeconds > 0.0)
        updateSamplerMarkers();
}

void MainComponent::applyPanRamp (double playSeconds)
{
    if (const auto step = panRampStepAt (panRamp, playSeconds, panKnob.getPan()))
    {
        panKnob.setPan ((float) step->pan);
        outputGainLeft = step->gainLeft;
        outputGainRight = step->gainRight;
        panKnob.repaint();
    }
}
