#include "effects/atomizer/AtomizerProcessor.h"

#include <algorithm>

void AtomizerProcessor::prepare (double sampleRate, int maximumBlockSize)
{
    PassThroughProcessor::prepare (sampleRate, maximumBlockSize);
    const auto length = (size_t) (1024 + (int) (0.02 * sampleRate));
    delayLeft.assign (length, 0.0f);
    delayRight.assign (length, 0.0f);
}

void AtomizerProcessor::reset()
{
    std::fill (delayLeft.begin(), delayLeft.end(), 0.0f);
    std::fill (delayRight.begin(), delayRight.end(), 0.0f);
}
