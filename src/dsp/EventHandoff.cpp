#include "dsp/EventHandoff.h"

void EventHandoff::initSlots (Slots& slots) noexcept
{
    for (auto& slot : slots)
        slot = Event {};
}

void EventHandoff::clear() noexcept
{
    initSlots (incoming);
    initSlots (outgoing);
    written.store (0);
    read.store (0);
    dropped.store (0);
}
