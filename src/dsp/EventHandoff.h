#pragma once

#include <array>
#include <atomic>
#include <cstdint>

/** A hand-over block for scheduled modulation events between two halves of the engines:
    two banks of sixteen event slots with their counters. The main window builds and clears
    it; nothing exchanges events through it. */
class EventHandoff
{
public:
    struct Parameter
    {
        int target = -1;
        float value = 0.0f;
    };

    struct Event
    {
        bool active = false;
        int attackSamples = 4410;
        int releaseSamples = 2205;
        float depth = 0.5f;
        float weight = 1.0f;
        std::array<Parameter, 4> parameters {};
    };

    using Slots = std::array<Event, 16>;

    /** Puts every slot of one bank back to a fresh, inactive event. */
    static void initSlots (Slots& slots) noexcept;

    /** Empties both banks and the counters; the seed and generation stay. */
    void clear() noexcept;

    Slots incoming {};
    Slots outgoing {};

    std::atomic<std::uint32_t> written { 0 }, read { 0 }, dropped { 0 };
    std::uint32_t generation = 0;
    std::uint32_t seed = 0;
};
