#include "main/chain/PanelAdapters.h"

#include "effects/finalizer/TavroFinalizer.h"

namespace paneladapters
{
    void FinalizerAdapter::process (juce::AudioBuffer<float>& buffer, int start, int n) noexcept
    {
        scratch.run (buffer, start, n, [this] (auto& b) { panel.process (b); });
    }

    bool FinalizerAdapter::isActive() const noexcept { return ! panel.bypassed.load (std::memory_order_relaxed); }
}
