#include "main/MainComponent.h"

#include "controls/RampPlayback.h"
#include "main/ui/MainTimerSteps.h"
#include "main/ui/OwnedMenu.h"
#include "platform/FileNames.h"

#include <cmath>

// Loading a file, play, pause and stop, the playback modes, the tempo fan-out and the controls
// that feed the transport and the output stages. Message thread throughout; the transport
// engine hands every change to the audio thread whole.

//==============================================================================
void MainComponent::loadAudioFile (const juce::File& file)
{
    if (file.getFullPathName().isEmpty() || ! file.existsAsFile())
        return;

    const bool wasReady = audioReady.exchange (false);

    // The old file stops and goes before the new one is read, as the user asked for a change.
    transport.setSource (nullptr);
    clearAllRamps();

    auto decoded = audiofile::decode (formatManager, file);

    if (decoded.audio == nullptr)
    {
        forgetLoadedFile();
        audioReady = wasReady;
        return;
    }

    // One decoded copy, read-only from here on, shared by every reader of the file.
    const SharedDecodedAudio audio = std::move (decoded.audio);
    loadedFile = file;
    loadedFileSampleRate = audio->sampleRate;
    loadedFileSeconds = audio->getLengthSeconds();
    loadedFileExists = true;
    transport.setSource (audio);

    playButton.setEnabled (true);
    stopButton.setEnabled (true);
    bpmDetectButton.setEnabled (true);
    playButton.setButtonText ("PLAY");

    fileLabel.setText (platform::fileNameOf (file.getFullPathName()), juce::dontSendNotification);

    bpmEditor.setText ("---", juce::dontSendNotification);
    bpm = 0.0f;
    waveformView.regionSelectMode = false;
    waveformView.repaint();

    loopRangeActive = false;
    loopStart = loopEnd = 0.0;
    transport.setLoopRange (false, 0.0, 0.0);
    loopButton.setButtonText ("LOOP");

    for (auto* view : { &waveformView, &finalizerPanel.waveformView })
    {
        view->loadFile (file, audio);
        view->setPlayPosition (0.0, loadedFileSeconds);
    }

    finalizer.loadWavePlayerFile (file, audio);
    finalizerPanel.slavedToMain = true;
    finalizerPanel.titleLabel.setText ("FINALIZER (SLAVED)", juce::dontSendNotification);

    pitchKnob.setValue (0.0f);
    transport.setPitchPlaybackRate (1.0f);
    waveformView.setPlaybackSpeed (1.0f);
    waveformView.repaint();

    audioReady = wasReady;
}

void MainComponent::forgetLoadedFile()
{
    // A refused file leaves no file at all, rather than the old one's name, length and copies
    // over a transport that can no longer play it.
    loadedFile = juce::File();
    loadedFileSeconds = 0.0;
    loadedFileExists = false;

    fileLabel.setText ("No file loaded", juce::dontSendNotification);
    playButton.setButtonText ("PLAY");
    playButton.setEnabled (false);
    stopButton.setEnabled (false);
    bpmDetectButton.setEnabled (false);
    waveformView.loadFile (juce::File());
}

bool MainComponent::loadReversedBuffer()
{
    // Reversed playback reads the one decoded copy backwards; there is nothing to build.
    return transport.isReversedReady();
}

//==============================================================================
void MainComponent::playButtonClicked()
{
    playButton.setButtonText (transport.togglePlayPause() ? "PAUSE" : "PLAY");
}

void MainComponent::stopButtonClicked()
{
    transport.stopAndRewind();
    waveformView.setPlayPosition (0.0, loadedFileSeconds);
    playButton.setButtonText ("PLAY");
}

bool MainComponent::isPlaying() const
{
    return transport.isPlaying();
}

double MainComponent::getPlaybackPosition() const
{
    return transport.getPlaybackPosition();
}

void MainComponent::finishMemoryPlayback()
{
    // The audio thread stopped the transport at the end; a PLAY pressed since then stands.
    if (! transport.isPlaying())
        playButton.setButtonText ("PLAY");
}

void MainComponent::finishPlayRev()
{
    transport.finishPlayRevPass();
    finishMemoryPlayback();
}

void MainComponent::pollTransportNotices()
{
    switch (transport.takeEndNotice())
    {
        case TransportEngine::EndNotice::memoryPlayback: finishMemoryPlayback(); break;
        case TransportEngine::EndNotice::playRev:        finishPlayRev(); break;
        case TransportEngine::EndNotice::none:           break;
    }

    // The audio thread cannot look at the disk; the finalizer's player needs to know whether
    // the main file is still there.
    loadedFileExists = loadedFile.getFullPathName().isNotEmpty() && loadedFile.existsAsFile();
    transport.setLoopSelectionShown (waveformView.selectionActive);

    // Shortcuts and other code may change these without going through their click handlers.
    transport.setLoopEnabled (loopButton.getToggleState());
    recordingWindowShown = recordingWindow.isVisible();
}

//==============================================================================
void MainComponent::revButtonClicked()
{
    transport.setReverseMode (revButton.getToggleState());
}

void MainComponent::playRevButtonClicked()
{
    const bool on = playRevButton.getToggleState();
    transport.setPlayRevMode (on);

    if (on)
        playRevButton.setButtonText (transport.getPlayRevOrder() == 1 ? "REVPLAY" : "PLAYREV");
}

juce::String MainComponent::playRevMenuItemText (int itemId, int order)
{
    const bool ticked = (itemId == 1 && order == 0) || (itemId == 2 && order == 1);
    const auto text = itemId == 1 ? juce::String::fromUTF8 ("PlayRev (Forward \xe2\x86\x92 Reverse)")
                                  : juce::String::fromUTF8 ("RevPlay (Reverse \xe2\x86\x92 Forward)");
    return ticked ? juce::String::fromUTF8 ("\xe2\x9c\x93 ") + text : text;
}

void MainComponent::showPlayRevMenu()
{
    juce::PopupMenu menu;
    menu.addSectionHeader ("PlayRev Mode");
    menu.addItem (1, playRevMenuItemText (1, transport.getPlayRevOrder()));
    menu.addItem (2, playRevMenuItemText (2, transport.getPlayRevOrder()));

    showOwnedMenu (std::move (menu), playRevButton, *this, &MainComponent::handlePlayRevMenuResult);
}

void MainComponent::handlePlayRevMenuResult (int id)
{
    if (id == 1)
        playRevButton.setButtonText ("PLAYREV");
    else if (id == 2)
        playRevButton.setButtonText ("REVPLAY");

    transport.choosePlayRevOrder (id);
}

//==============================================================================
void MainComponent::setBpm (float newBpm)
{
    beatClock.setTargetTempo (juce::jlimit (BeatClock::minTempo, BeatClock::maxTempo, newBpm));

    stereoUtilityMax.bpm = newBpm;
    delayVerb.bpm = newBpm;
    atomizer.tempoBpm = newBpm;
    imager.bpm = newBpm;

    if (imager.tempoSyncEnabled.load())
        imager.updateTempoSync();

    timePro.bpm = newBpm;
    dictionaryReader.bpm = newBpm;
    chainTempo = newBpm;
    stutterKnob.tempoBpm = newBpm;
    randomiser.setTempo (newBpm);
}

//==============================================================================
void MainComponent::volumeChanged (float value)
{
    float gain = value <= 100.0f ? value / 100.0f : 1.0f + 3.0f * (value - 100.0f) / 100.0f;

    if (value < 0.0f)
        gain = 0.0f;

    gain = juce::jlimit (0.0f, 4.0f, gain);
    volumeGain = std::isfinite (gain) ? gain : 1.0f;
}

void MainComponent::applyPitch (float octaves, bool preserveLength)
{
    const float ratio = juce::jlimit (0.25f, 4.0f, std::pow (2.0f, octaves));

    if (preserveLength)
    {
        transport.setPitchPlaybackRate (1.0f);
        pitchRatio = ratio;
        pitchSpectralProcessor.setPitchShift (juce::jlimit (-24.0f, 24.0f, 12.0f * octaves));
        pitchSpectralProcessor.enabled = std::abs (12.0f * octaves) > 0.01f;
        waveformView.setPlaybackSpeed (1.0f);

        if (finalizerPanel.slavedToMain)
            finalizerPanel.waveformView.setPlaybackSpeed (1.0f);
    }
    else
    {
        transport.setPitchPlaybackRate (ratio);
        pitchRatio = 1.0f;
        pitchSpectralProcessor.enabled = false;
        waveformView.setPlaybackSpeed (juce::jlimit (0.1f, 4.0f, ratio));

        if (finalizerPanel.slavedToMain)
            finalizerPanel.waveformView.setPlaybackSpeed (ratio);
    }

    waveformView.repaint();

    if (finalizerPanel.slavedToMain)
        finalizerPanel.waveformView.repaint();
}

void MainComponent::pitchChanged (float octaves)
{
    applyPitch (octaves, pitchKnob.getPreserveLength());
}

void MainComponent::pitchModeChanged (bool preserveLength)
{
    applyPitch (pitchKnob.getValue(), preserveLength);
}

void MainComponent::panChanged (float pan)
{
    outputGainLeft = pan <= 0.0f ? 1.0f : 1.0f - pan;
    outputGainRight = pan >= 0.0f ? 1.0f : 1.0f + pan;
}

void MainComponent::widthChanged (float width)
{
    stereoWidth = width;
}

void MainComponent::meterButtonClicked()
{
    const bool on = meterButton.getToggleState();
    levelMeter.setEnabled (on);
    startTimer (MainTimerSteps::periodMs (on));

    if (! on)
        meterButton.setButtonText ("METER");
}

void MainComponent::waveformSeek (double seconds)
{
    transport.seek (seconds);
}

void MainComponent::waveformLoopRange (double start, double end)
{
    if (end > start + 0.01)
    {
        loopStart = start;
        loopEnd = end;
        loopRangeActive = true;
    }
    else
    {
        loopRangeActive = false;
    }

    transport.setLoopRange (loopRangeActive, loopStart, loopEnd);
    transport.setLoopSelectionShown (waveformView.selectionActive);
}
