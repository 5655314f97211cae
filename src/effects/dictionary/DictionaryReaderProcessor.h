#pragma once

#include "effects/PassThroughProcessor.h"

#include <atomic>

/** What the reader's sound reads, as relaxed atomics any thread may store whole. */
struct DictionaryReaderParameters
{
    std::atomic<bool> bypassed { false };
    std::atomic<bool> reading { false };
    std::atomic<int> wordCount { 0 };
};

/** The sound of the dictionary reader. Its engines are not built yet: blocks pass through. */
class DictionaryReaderProcessor final : public PassThroughProcessor
{
public:
    /** Not bypassed, reading, and a text loaded. */
    bool isActive() const noexcept override
    {
        return ! parameters.bypassed.load (std::memory_order_relaxed)
            && parameters.reading.load (std::memory_order_relaxed)
            && parameters.wordCount.load (std::memory_order_relaxed) > 0;
    }

    DictionaryReaderParameters parameters;
};
