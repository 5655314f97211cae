#pragma once

#include "main/chain/EffectChain.h"

#include <array>

// Effects whose output is exact arithmetic on their input (y = x * gain + offset, or silence),
// so that routing results can be compared with ==.
namespace chain_test
{
    struct FakeEffect
    {
        bool active = false;
        float gain = 1.0f;
        float offset = 0.0f;
        bool clearsBuffer = false;
    };

    class FakeHost : public EffectHost
    {
    public:
        std::array<FakeEffect, numEffects> effects {};

        // What the last processEffect calls saw, in fixed storage so the audio path stays
        // allocation-free under the trap.
        struct Call
        {
            int id = -1;
            const juce::AudioBuffer<float>* buffer = nullptr;
            int startSample = 0, numSamples = 0, numChannels = 0;
        };

        std::array<Call, 64> calls {};
        int numCalls = 0;

        FakeEffect& operator[] (int id) { return effects[(size_t) id]; }

        bool isEffectActive (int id) const noexcept override
        {
            return isValidEffectId (id) && effects[(size_t) id].active;
        }

        void processEffect (int id, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override
        {
            if (! isValidEffectId (id))
                return;

            if (numCalls < (int) calls.size())
                calls[(size_t) numCalls] = { id, &buffer, startSample, numSamples, buffer.getNumChannels() };
            ++numCalls;

            const auto& fx = effects[(size_t) id];

            if (fx.clearsBuffer)
            {
                buffer.clear (startSample, numSamples);
                return;
            }

            for (int c = 0; c < buffer.getNumChannels(); ++c)
            {
                auto* d = buffer.getWritePointer (c, startSample);
                for (int i = 0; i < numSamples; ++i)
                    d[i] = d[i] * fx.gain + fx.offset;
            }
        }

        /** The same arithmetic on one sample, for reference results. */
        float apply (int id, float x) const noexcept
        {
            const auto& fx = effects[(size_t) id];
            return fx.clearsBuffer ? 0.0f : x * fx.gain + fx.offset;
        }
    };

    /** Reference result of a routing for one input sample, written straight from the rules. */
    inline float routeSample (const RoutingState& state, const FakeHost& host, float x)
    {
        // A set with no active member passes its input on.
        auto meanOf = [&] (const auto& ids, float in)
        {
            float sum = 0.0f;
            int n = 0;
            for (auto id : ids)
                if (host.isEffectActive (id)) { sum += host.apply (id, in); ++n; }
            if (n == 0)
                return in;
            return sum * (1.0f / (float) n);
        };

        switch (state.mode)
        {
            case RoutingMode::Serial:
                for (auto id : state.serialOrder)
                    if (host.isEffectActive (id))
                        x = host.apply (id, x);
                return x;

            case RoutingMode::Parallel:
            {
                std::array<int, numEffects> all {};
                for (int i = 0; i < numEffects; ++i) all[(size_t) i] = i;
                return meanOf (all, x);
            }

            case RoutingMode::CustomPro:
                for (const auto& group : state.groups)
                    x = meanOf (group, x);
                return x;
        }

        return x;
    }
}
