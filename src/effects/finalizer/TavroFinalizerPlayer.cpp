#include "effects/finalizer/TavroFinalizer.h"

#include "platform/AudioFileGuard.h"
#include "platform/AudioFormats.h"
#include "platform/FileNames.h"
#include "platform/Folders.h"

#include <algorithm>
#include <cmath>

TavroFinalizer::PlayerDecode TavroFinalizer::decodeForPlayer (const juce::File& file) const
{
    PlayerDecode result;
    juce::AudioFormatManager manager;
    platform::registerAudioFormats (manager);
    auto reader = platform::AudioFileGuard::openReader (manager, file);

    if (reader == nullptr)
        return result;

    result.readerFound = true;
    result.sampleRate = (int) reader->sampleRate;

    // The player plays the first two channels, so only those are kept; a failed read leaves no
    // audio, as a load that found nothing playable.
    try
    {
        const auto length = juce::jmin<std::int64_t> (reader->lengthInSamples, maxPlayerFrames);
        const int channels = juce::jmin (2, (int) reader->numChannels);

        if (channels > 0 && length > 0)
        {
            auto decoded = std::make_shared<DecodedAudio>();
            decoded->sampleRate = reader->sampleRate;
            decoded->fileChannels = (int) reader->numChannels;
            decoded->samples.setSize (channels, (int) length);
            reader->read (&decoded->samples, 0, (int) length, 0, true, channels > 1);

            for (int ch = 0; ch < channels; ++ch)
            {
                float* samples = decoded->samples.getWritePointer (ch);
                for (int f = 0; f < (int) length; ++f)
                    if (! std::isfinite (samples[f]))
                        samples[f] = 0.0f;
            }
            result.audio = std::move (decoded);
        }
    }
    catch (const std::exception&)
    {
        result.audio.reset();
    }

    return result;
}

void TavroFinalizer::loadWavePlayerFile (const juce::File& file)
{
    auto decoded = decodeForPlayer (file);

    if (! decoded.readerFound)
        return;

    wavePlayer.setSource (std::move (decoded.audio), maxPlayerFrames);
    playerSampleRate.store (decoded.sampleRate);
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
