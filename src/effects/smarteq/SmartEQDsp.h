#pragma once

#include "dsp/Biquad.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The Smart EQ's sound, free of any component: the settings the audio thread reads (one
// plain struct per band, copied whole from the panel), the coefficient design and the
// block renderer with its own filter, detector and oscillator state.
namespace smarteq
{
    constexpr int numBands = 6;

    enum FilterType : std::int32_t
    {
        bell = 0,
        lowShelf = 1,
        highShelf = 2,
        lowCut = 3,
        highCut = 4,
        notch = 5
    };

    /** What the renderer needs of one band. Trivially copyable so that a whole set can be
        published to the audio thread in one copy. */
    struct BandParams
    {
        bool enabled = true;
        std::int32_t filterType = bell;
        float frequencyHz = 1000.0f;
        float gainLeftDb = 0.0f, gainRightDb = 0.0f;
        float q = 1.0f;
        float mixPct = 100.0f;

        bool dynamicOn = false;
        float thresholdDb = -20.0f, ratio = 2.0f, attackMs = 10.0f, releaseMs = 100.0f;

        float saturationPct = 0.0f;
        bool driveOn = false, softClip = false, tubeMode = false;
        float driveThreshDb = -6.0f, driveAmountPct = 0.0f, harmonicsPct = 0.0f;

        float widthPct = 100.0f;

        bool motionOn = false, syncBpm = false;
        float motionRateHz = 1.0f, motionDepthPct = 0.0f;
        // Bumped by every message-side write of the rate, so the renderer can tell a fresh
        // setting from the 2 Hz it stores itself while BPM sync runs.
        std::uint32_t motionRateWrites = 0;

        float warmthPct = 50.0f, airPct = 50.0f, densityPct = 50.0f;
        bool midMode = false, sideMode = false, solo = false;
        bool vocalMode = false, drumMode = false, bassMode = false;

        // Biquad coefficients, already divided by a0.
        float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
    };

    struct Snapshot
    {
        std::array<BandParams, numBands> bands {};
        double sampleRate = 44100.0;
    };

    /** Fills b0..a2 of `band` from its type, frequency, Q and the mean of its two gains. */
    void computeCoefficients (BandParams& band, double sampleRate) noexcept;

    /** Per-block values read from the global controls. */
    struct GlobalParams
    {
        float globalMix = 1.0f;  // 0..1
        float outGain = 1.0f;    // linear
        bool mono = false;
    };

    /** Renderer state that only the audio thread touches. */
    struct BandState
    {
        dsp::BiquadState<dsp::BiquadForm::transposed> filterLeft, filterRight;
        float envelopeDb = 0.0f;
        float motionPhase = 0.0f;
        float motionRateHz = 1.0f;
        std::uint32_t seenRateWrites = 0;
        bool rateSeen = false;
    };

    /** Renders the six bands over a block, one band at a time over short stretches, so each
        band's filter, detector and oscillator stay in registers and its per-sample work runs in
        tight loops. Every value is the one the plain per-sample reading gives, bit for bit. A
        stretch in which a band's output turns non-finite is run again for that band from its
        saved state, sample by sample, so it resets at the very sample where it overflowed. */
    class Renderer
    {
    public:
        /** Processes the block in place. Non-finite input samples are read as 0. */
        void process (const Snapshot& snapshot, const GlobalParams& globals,
                      float* left, float* right, int numSamples) noexcept;

        const BandState& state (int band) const noexcept { return states[(std::size_t) band]; }

        /** Filters, detectors and oscillator phases back to rest. The motion rate a band
            stored under BPM sync is a setting, not state, and stays. */
        void clearState() noexcept
        {
            for (auto& st : states)
            {
                st.filterLeft.clear();
                st.filterRight.clear();
                st.envelopeDb = 0.0f;
                st.motionPhase = 0.0f;
            }
        }

    private:
        std::array<BandState, numBands> states {};
    };
}
