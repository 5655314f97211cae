#include "main/chain/PanelAdapters.h"

#include "effects/finalizer/TavroFinalizer.h"
#include "effects/smarteq/SmartEQ.h"

namespace paneladapters
{
    void SmartEQAdapter::process (juce::AudioBuffer<float>& buffer, int start, int n) noexcept
    {
        if (n <= 0 || buffer.getNumChannels() <= 0)
            return;

        auto* left = buffer.getWritePointer (0, start);
        auto* right = buffer.getNumChannels() > 1 ? buffer.getWritePointer (1, start) : left;
        panel.process (left, right, n);
    }

    bool SmartEQAdapter::isActive() const noexcept { return panel.isActive(); }

    void FinalizerAdapter::process (juce::AudioBuffer<float>& buffer, int start, int n) noexcept
    {
        scratch.run (buffer, start, n, [this] (auto& b) { panel.process (b); });
    }

    bool FinalizerAdapter::isActive() const noexcept { return ! panel.bypassed.load (std::memory_order_relaxed); }
}
