#include "platform/AudioFormats.h"

namespace platform
{
    void registerAudioFormats (juce::AudioFormatManager& manager)
    {
        if (manager.getNumKnownFormats() == 0)
            manager.registerBasicFormats();
    }
}
