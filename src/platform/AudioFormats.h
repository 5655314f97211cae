#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

namespace platform
{
    /** Registers WAV, AIFF, FLAC, Ogg Vorbis and MP3, so every road that opens audio files
        accepts the same ones. */
    void registerAudioFormats (juce::AudioFormatManager& manager);
}
