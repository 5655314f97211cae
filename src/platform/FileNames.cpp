#include "platform/FileNames.h"

namespace platform
{
    juce::String fileNameOf (const juce::String& path)
    {
        const auto lastSeparator = juce::jmax (path.lastIndexOfChar ('/'), path.lastIndexOfChar ('\\'));
        return path.substring (lastSeparator + 1);
    }

    juce::String extensionOf (const juce::String& path)
    {
        const auto name = fileNameOf (path);
        const auto dot = name.lastIndexOfChar ('.');
        return dot < 0 ? juce::String() : name.substring (dot).toLowerCase();
    }
}
