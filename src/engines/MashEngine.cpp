#include "engines/MashEngine.h"

#include <juce_audio_basics/juce_audio_basics.h>

MashEngine::MashEngine() = default;
MashEngine::~MashEngine() = default;

void MashEngine::prepare (double newSampleRate, int newBlockSize)
{
    sampleRate = newSampleRate;
    blockSize = newBlockSize;

    for (auto& slot : slots)
        slot.active = false;
}

void MashEngine::toggleEnabled() noexcept
{
    const bool wasEnabled = enabled.load (std::memory_order_relaxed);
    enabled.store (! wasEnabled, std::memory_order_relaxed);

    if (wasEnabled)
        requestSlotClear();
}

void MashEngine::serviceRequests() noexcept
{
    // A switched-off engine must not resume old events when it is switched on again, even if
    // the clear request was overtaken by a quick off-on.
    const bool clear = slotClearRequested.exchange (false, std::memory_order_acquire);

    if (clear || ! enabled.load (std::memory_order_relaxed))
        for (auto& slot : slots)
            slot.active = false;
}

void MashEngine::process (float*, float*, int)
{
    juce::ScopedNoDenormals noDenormals;
    serviceRequests();
}
