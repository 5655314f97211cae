#pragma once

#include "recording/CaptureMeterState.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

/** The recording panel's capture path, apart from its window: the in-memory stereo take, the
    input gain, the meter feed, the silence watch and the take's playback into the output.

    Threads. The audio thread runs `pushSamples` and `mixPlayback` and is the only writer of the
    take's samples, its length and the playback position. The message thread starts and ends
    takes and playback through requests the audio thread takes at its next block, and reads the
    length through `takeLength`:
    - the take's storage is sized once, on the message thread, before the first take begins,
      and never changes afterwards, so the audio thread never allocates or resizes it;
    - the length is published together with the number of the take it belongs to, so a block
      that was already running when a new take began can neither undo the new take's empty
      start nor leave the two channels at different lengths;
    - the end of playback is left as an atomic notice that the panel's timer takes. */
class TakeCapture
{
public:
    /** Samples per channel a take can hold: 300 s at 48 kHz. */
    static constexpr std::size_t maxTakeFrames = 14'400'000;

    /** Longer blocks than this (or than the announced block size) are taken in chunks. */
    static constexpr int minimumWorkFrames = 8192;

    /** `capacityFrames` below the cap only for tests that need a small take. */
    explicit TakeCapture (std::size_t capacityFrames = maxTakeFrames);

    /** Device start, no block in flight: work buffers for the announced block size. */
    void prepare (int blockSize);

    //==============================================================================
    // Message thread.

    /** Sizes the take to its cap; does nothing once it has been sized. */
    void reserveTake();

    bool takeReserved() const noexcept { return reserved.load (std::memory_order_acquire); }

    /** Empties the take and starts appending to it from the audio thread's next block. */
    void beginTake();

    /** Stops appending; the audio thread may finish the block it is in, past the length read
        after this call. */
    void endTake() noexcept;

    /** Frames of the current take that the audio thread has published, 0 right after a begin
        until the audio thread has taken it. */
    std::size_t takeLength() const noexcept;

    /** Starts playback from the take's first sample. */
    void startPlayback() noexcept;
    void stopPlayback() noexcept;

    /** True once after the audio thread has played the take to its end. */
    bool takePlaybackEndedNotice() noexcept { return playbackEnded.exchange (false, std::memory_order_acq_rel); }

    /** The take's samples; valid below the length just read. */
    const float* leftSamples() const noexcept { return takeLeft.data(); }
    const float* rightSamples() const noexcept { return takeRight.data(); }

    //==============================================================================
    // Audio thread.

    /** One block of the chosen source: gain, take, meter and silence watch. The samples
        themselves are not changed. */
    void pushSamples (const float* left, const float* right, int numSamples) noexcept;

    /** Adds the take to the output while playback runs, and ends playback at the take's end. */
    void mixPlayback (float* left, float* right, int numSamples) noexcept;

    //==============================================================================
    // Shared values (threading: M1 scalars unless said otherwise).

    std::atomic<bool> isRecording { false };      // message thread writes
    std::atomic<bool> countdownActive { false };  // message thread writes; nothing is appended while set
    std::atomic<float> inputGain { 1.0f };        // linear
    std::atomic<float> smartGainAmount { 0.0f };  // 0..1
    std::atomic<int> silentTicks { 0 };           // the timer counts up, a loud enough block resets it
    std::atomic<bool> isPlayingTake { false };    // the message thread sets it, the audio thread clears it at the end
    std::atomic<std::uint64_t> playbackPosition { 0 };   // audio thread writes

    CaptureMeterState* meter = nullptr;   // set once before the device opens

private:
    void captureChunk (const float* left, const float* right, int count, float& peakL, float& peakR,
                       double& sumL, double& sumR) noexcept;
    void takeTakeRequest() noexcept;

    static std::uint64_t pack (std::uint32_t take, std::size_t frames) noexcept
    {
        return ((std::uint64_t) take << 32) | (std::uint64_t) frames;
    }

    const std::size_t capacity;
    std::vector<float> takeLeft, takeRight;
    std::atomic<bool> reserved { false };

    // The take the message thread asked for last, and the (take, length) pair the audio thread
    // published last.
    std::atomic<std::uint32_t> requestedTake { 0 };
    std::atomic<std::uint64_t> publishedLength { 0 };
    std::uint32_t audioTake = 0;     // audio thread only
    std::size_t audioFrames = 0;     // audio thread only

    std::atomic<bool> playbackRestart { false }, playbackEnded { false };

    std::vector<float> workLeft, workRight;
};
