#pragma once

#include <juce_core/juce_core.h>

// Paths reach us from the file system, from dropped files and from stored texts that may
// carry either separator, so names and extensions are split at the last '/' or '\'.
namespace platform
{
    /** The text after the last '/' or '\' (the whole text when there is none). */
    juce::String fileNameOf (const juce::String& path);

    /** The lower-case extension with its dot (".wav"), or an empty string. Only a dot
        after the last separator counts, so "/a.b/song" has none. */
    juce::String extensionOf (const juce::String& path);
}
