#pragma once

#include <juce_core/juce_core.h>

// The user's well-known folders, resolved through XDG (user-dirs.dirs) with the usual
// fallbacks. Writers call ensureFolder first: nothing guarantees these exist on Linux.
namespace platform
{
    juce::File documentsFolder();
    juce::File musicFolder();
    juce::File picturesFolder();
    juce::File videosFolder();
    juce::File tempFolder();

    /** Creates the folder if needed; returns false when it could not be created. */
    bool ensureFolder (const juce::File& folder);

    /** Where a file chooser starts: the folder when it exists, otherwise the home folder. */
    juce::File chooserStart (const juce::File& folder);
}
