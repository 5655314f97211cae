#include "effects/finalizer/TavroFinalizer.h"

#include "platform/AudioFormats.h"
#include "platform/FileNames.h"
#include "platform/Folders.h"

#include <algorithm>
#include <cmath>

audiofile::LoadResult TavroFinalizer::decodeForPlayer (const juce::File& file) const
{
    juce::AudioFormatManager manager;
    platform::registerAudioFormats (manager);
    return audiofile::decode (manager, file, maxPlayerFrames);
}

void TavroFinalizer::loadWavePlayerFile (const juce::File& file)
{
    auto decoded = decodeForPlayer (file);

    if (! decoded.foundReader())
        return;

    // A file the reader accepted but that holds nothing playable still replaces the old audio.
    wavePlayer.setSource (std::move (decoded.audio), maxPlayerFrames);
    if (decoded.sampleRate > 0.0)
        playerSampleRate.store ((int) decoded.sampleRate);
}

void TavroFinalizer::loadWavePlayerFile (const juce::File& file, SharedDecodedAudio decoded)
{
    if (decoded == nullptr)
    {
        loadWavePlayerFile (file);
        return;
    }

    // The main window's copy is read in place: nothing is decoded or copied a second time.
    wavePlayer.setSource (std::move (decoded), maxPlayerFrames);
}

void TavroFinalizer::openLoadChooser()
{
    // The previous chooser goes with its dialog; the callback cannot outlive this finalizer,
    // which owns the chooser.
    loadChooser = std::make_unique<juce::FileChooser> ("Load Pre-Master Audio", platform::musicFolder(),
                                                       "*.wav;*.aiff;*.aif;*.flac;*.mp3;*.ogg", true);
    loadChooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                              [this] (const juce::FileChooser& chooser) { loadChosenFile (chooser); });
}

void TavroFinalizer::loadChosenFile (const juce::File& file)
{
    if (file.getFullPathName().isEmpty() || ! file.existsAsFile())
        return;

    // Name, overview and callback follow only a file the player can actually play, so a failed
    // choice never labels the old audio with the new name.
    auto decoded = decodeForPlayer (file);
    if (decoded.audio == nullptr)
        return;

    loadedFileName = platform::fileNameOf (file.getFullPathName());
    waveOverview = buildOverview (*decoded.audio, std::min<std::int64_t> (decoded.audio->getLength(), maxPlayerFrames));

    wavePlayer.setSource (std::move (decoded.audio), maxPlayerFrames);
    playButton.setToggleState (false, juce::dontSendNotification);

    mixAnalyser.resetForNewFile();
    issueMarkers.clear();
    repaint();

    if (onFileLoaded)
        onFileLoaded (file);
}

std::vector<float> TavroFinalizer::buildOverview (const DecodedAudio& audio, std::int64_t frames)
{
    // Whole segments only: a file shorter than the overview draws flat, and the frames past
    // the last whole segment are not drawn.
    std::vector<float> overview ((size_t) overviewPoints, 0.0f);
    const auto segment = frames / overviewPoints;
    if (segment <= 0)
        return overview;

    for (int ch = 0; ch < audio.getNumChannels(); ++ch)
    {
        const float* samples = audio.samples.getReadPointer (ch);
        for (int k = 0; k < overviewPoints; ++k)
        {
            const auto begin = (std::int64_t) k * segment;
            const auto range = juce::FloatVectorOperations::findMinAndMax (samples + begin, (int) segment);
            overview[(size_t) k] = std::max ({ overview[(size_t) k], std::abs (range.getStart()), std::abs (range.getEnd()) });
        }
    }
    return overview;
}
