#include "platform/Folders.h"

namespace platform
{
    juce::File documentsFolder() { return juce::File::getSpecialLocation (juce::File::userDocumentsDirectory); }
    juce::File musicFolder()     { return juce::File::getSpecialLocation (juce::File::userMusicDirectory); }
    juce::File picturesFolder()  { return juce::File::getSpecialLocation (juce::File::userPicturesDirectory); }
    juce::File videosFolder()    { return juce::File::getSpecialLocation (juce::File::userMoviesDirectory); }
    juce::File tempFolder()      { return juce::File::getSpecialLocation (juce::File::tempDirectory); }

    bool ensureFolder (const juce::File& folder)
    {
        return folder.isDirectory() || folder.createDirectory().wasOk();
    }

    juce::File chooserStart (const juce::File& folder)
    {
        return folder.isDirectory() ? folder : juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    }
}
