#include "main/MainComponent.h"

#include "main/MacroTargetRules.h"

#include <cmath>

// Copies the randomiser's pending groups into the effect panels. Most knob writes are silent:
// the knobs' atomic mirrors carry the values to the audio thread without running the panels'
// callbacks, so one application of up to seventy values stays cheap. The few writes that
// notify are the ones whose callbacks must follow (the mixes and times the panels derive
// other state from).

namespace
{
    constexpr auto silent = juce::dontSendNotification;
    constexpr auto notify = juce::sendNotificationSync;

    /** A silent write stores the knob's atomic mirror at once: the value listener that would
        catch a plain silent write runs only on a later pass of the message loop, and a block
        processed in between would still hear the old setting. */
    void write (ParamSlider& knob, double value, juce::NotificationType how)
    {
        if (how == juce::dontSendNotification)
            knob.setValueSilently (value);
        else
            knob.setValue (value, how);
    }

    template <typename Panel>
    void setKnob (Panel& panel, const char* caption, double value, juce::NotificationType how)
    {
        if (auto* knob = panel.findKnob (caption))
            write (*knob, value, how);
        else
            jassertfalse;   // a caption the panel does not have
    }

    template <typename Panel>
    void setKnobAbove (Panel& panel, const char* caption, float value, float tested)
    {
        if (tested > 0.01f)
            setKnob (panel, caption, value, notify);
    }

    void switchSyncOn (juce::Button& button, std::atomic<bool>& flag)
    {
        if (! button.getToggleState())
            button.setToggleState (true, notify);

        flag = true;
    }
}

void MainComponent::applyMacroTargets()
{
    if (randomiser.metaPending)
    {
        randomiser.applyMetaControl();
        randomiser.metaPending = false;
    }

    applyCrushTimingAndStereoTargets();

    if (randomiser.eqPending)
    {
        smartEq.applyMacroEq (randomiser.eqTargetAmount, randomiser.eqGains);
        randomiser.eqPending = false;
    }

    if (randomiser.spacePending)
    {
        applySpaceTargets();
        randomiser.spacePending = false;
    }

    if (randomiser.timeProPending)
    {
        applyTimeProTargets();
        randomiser.timeProPending = false;
    }
}

void MainComponent::applyCrushTimingAndStereoTargets()
{
    auto& r = randomiser;

    if (r.crushPending)
    {
        const float b = r.crushIntensity / 100.0f;
        distortionSuite.randomiserOffsetTargets[0] = 8.0f * b * b;
        distortionSuite.randomiserOffsetTargets[2] = 30.0f * b;
        distortionSuite.setMode (r.crushMode);
        r.crushPending = false;
    }

    if (r.timingPending)
    {
        r.timingPending = false;
        const float a = r.timingIntensity / 100.0f;
        const float tempoBpm = macrotargets::syncTempo (bpm.load());

        atomizer.tempoBpm = tempoBpm;
        atomizer.randomiserOffsetTargets[0] = 50.0f * a * a;
        atomizer.randomiserOffsetTargets[1] = 30.0f * a;
        atomizer.randomiserOffsetTargets[2] = 30.0f * a;

        delayVerb.randomiserOffsetTargets[1] = 40.0f * a * a;
        delayVerb.randomiserOffsetTargets[2] = 25.0f * a;
        delayVerb.randomiserOffsetTargets[0] = macrotargets::timingDelayOffsetMs (r.timingIntensity, tempoBpm);
    }

    if (r.stereoPending)
    {
        const float a = r.stereoIntensity / 100.0f;
        stereoUtilityMax.randomWidthTarget = 60.0f * a;
        stereoBalancePhase += 0.0001f;
        stereoUtilityMax.randomBalanceTarget = std::sin (stereoBalancePhase) * a * 15.0f;
        stereoUtilityMax.randomMixTarget = 20.0f * a;
        r.stereoPending = false;
        delayVerb.randomiserOffsetTargets[3] = 35.0f * a;
    }
}

void MainComponent::applySpaceTargets()
{
    const auto& s = randomiser.space;
    const float wet = randomiser.spaceMixTarget;

    switchSyncOn (delayVerb.syncButton, delayVerb.syncEnabled);
    setKnobAbove (delayVerb, "TIME", s.delayTime + 100.0f, s.delayTime + 100.0f);
    setKnobAbove (delayVerb, "FDBK", s.delayFeedback, s.delayFeedback);
    setKnobAbove (delayVerb, "D L", s.delayMix, s.delayMix);
    setKnobAbove (delayVerb, "D R", s.delayMix, s.delayMix);
    setKnobAbove (delayVerb, "SIZE", s.reverbSize * 100.0f, s.reverbSize);
    setKnobAbove (delayVerb, "DECAY", s.reverbDecay, s.reverbDecay);
    setKnobAbove (delayVerb, "R L", s.reverbMix, s.reverbMix);
    setKnobAbove (delayVerb, "R R", s.reverbMix, s.reverbMix);

    const std::pair<const char*, float> delayVerbSilent[] = {
        { "D HPF", s.delayHpf }, { "STEREO", s.delayStereo }, { "D MOD", s.delayModDepth },
        { "D RATE", s.delayModRate }, { "D DUCK", s.delayDuck }, { "R LO", s.reverbLoCut },
        { "R HI", s.reverbHiCut }, { "R RATE", s.reverbModRate }, { "R DUCK", s.reverbDuck } };
    for (const auto& [caption, value] : delayVerbSilent)
        setKnob (delayVerb, caption, value, silent);

    switchSyncOn (stereoUtilityMax.syncButton, stereoUtilityMax.syncEnabled);
    setKnob (stereoUtilityMax, "WIDTH", s.width, notify);
    setKnob (stereoUtilityMax, "ROT", s.rotation, notify);
    setKnobAbove (stereoUtilityMax, "L MIX", 0.5f * wet, 0.5f * wet);
    setKnobAbove (stereoUtilityMax, "R MIX", 0.5f * wet, 0.5f * wet);

    switchSyncOn (atomizer.syncButton, atomizer.sync);
    setKnobAbove (atomizer, "INTNS", s.atomIntensity, s.atomIntensity);
    setKnobAbove (atomizer, "DEPTH", s.atomDepth, s.atomDepth);
    setKnobAbove (atomizer, "FDBK", s.atomFeedback, s.atomFeedback);
    setKnobAbove (atomizer, "RATE", s.atomRate, s.atomRate);
    setKnobAbove (atomizer, "L MIX", 0.4f * wet, 0.4f * wet);
    setKnobAbove (atomizer, "R MIX", 0.4f * wet, 0.4f * wet);

    const std::pair<const char*, float> atomizerSilent[] = {
        { "EXCITE", s.atomExcite }, { "CHAR", s.atomChar }, { "STOFF", s.atomStereoOffset }, { "TONE", s.atomTone } };
    for (const auto& [caption, value] : atomizerSilent)
        setKnob (atomizer, caption, value, silent);

    const std::pair<const char*, float> stereoSilent[] = {
        { "WIDTH", s.width }, { "BAL", s.balance }, { "MONO<", s.monoFreq }, { "LO X", s.loXover },
        { "HI X", s.hiXover }, { "LO W", s.loWidth }, { "MID W", s.midWidth }, { "HI W", s.hiWidth },
        { "MID", s.midGain }, { "SIDE", s.sideGain }, { "ILD", s.ild }, { "ITD", s.itd }, { "IACC", s.iacc },
        { "L DLY", s.leftDelay }, { "R DLY", s.rightDelay }, { "PHASE", s.phaseRotation },
        { "D THR", s.dynThreshold }, { "D RAT", s.dynRatio }, { "D ATK", s.dynAttack }, { "D REL", s.dynRelease } };
    for (const auto& [caption, value] : stereoSilent)
        setKnob (stereoUtilityMax, caption, value, silent);

    delayVerb.delayPan = s.delayPan;
    delayVerb.pingPong = s.pingPong;
    delayVerb.panPad.repaint();

    const auto gains = macrotargets::panGains (s.pan);
    outputGainLeft = gains.left;
    outputGainRight = gains.right;
}

void MainComponent::applyTimeProTargets()
{
    const auto& p = randomiser.timePro;

    const std::pair<RightClickSlider*, float> knobs[] = {
        { &timePro.halfTimeKnob, p.halfTime }, { &timePro.halfSmoothKnob, p.halfSmooth },
        { &timePro.halfTransKnob, p.halfTrans }, { &timePro.halfCharKnob, p.halfChar },
        { &timePro.halfMixKnob, p.halfMix },
        { &timePro.repeatLengthKnob, p.slicerLength / 100.0f * 16.0f }, { &timePro.repeatRateKnob, p.slicerRate },
        { &timePro.repeatMixKnob, p.slicerMix }, { &timePro.repeatDecayKnob, p.stutterDecay } };
    for (const auto& [knob, value] : knobs)
        write (*knob, value, silent);

    timePro.tapeButton.setToggleState (p.tape, silent);
    timePro.tapeMode = p.tape;

    if (const float m = std::max ({ p.halfMix, p.slicerMix, p.stutterMix }); m > 0.0f)
    {
        write (timePro.mixKnob, m, silent);
        timePro.bypassed = false;
        timePro.bypassButton.setToggleState (false, silent);
        timePro.setMode (macrotargets::timeProModeFor (p.halfMix, p.slicerMix, p.stutterMix));
    }

    smartEq.applyMacroBandSettings ({ p.threshold, p.attack, p.release, p.drive, p.character, p.air, p.density,
                                      p.lfoRate, p.resIntensity, p.dynamicsOn });
}
