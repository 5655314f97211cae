#pragma once

#include "platform/AudioFileDecode.h"
#include "main/audio/MemoryPlayers.h"

#include <atomic>
#include <memory>

/** Playback of the loaded file: the normal transport (the whole file, resampled to the device
    rate) and the three memory players (varispeed, reverse, PlayRev/RevPlay), their ends, LOOP
    and the loop range.

    Threads: the decoded file is built aside on the message thread and swapped in under `lock`
    (reversed playback reads the same frames backwards: there is no second copy to build).
    Every message-thread action that changes playback (play, pause, stop, seek, mode switches,
    loads) is applied under the same lock, so the audio thread never
    sees a reset half done or a file being replaced. The audio thread only try-locks and renders
    silence for a block in which it cannot get the lock. What the timer and the buttons read
    (playing, positions) comes from relaxed mirrors that every change republishes, so polling
    never contends with the audio thread. The audio thread never posts: the end of a memory pass
    is left as a notice that the timer takes once. */
class TransportEngine
{
public:
    TransportEngine();
    ~TransportEngine();

    /** Which renderer filled the last block (tests and the benchmark look at it). */
    enum class Stage { none, transport, varispeed, reverse, playRev };

    /** What the audio thread left for the message thread when a memory pass ran out. */
    enum class EndNotice { none, memoryPlayback, playRev };

    //==============================================================================
    // Message thread: the loaded file.

    /** Replaces the playing file (null unloads it): the transport stops at 0 and the memory
        positions go to 0. The engine keeps its own reference; the old file is released here,
        on the message thread, unless someone else still holds it. */
    void setSource (SharedDecodedAudio audio);

    bool hasSource() const noexcept { return source != nullptr; }

    /** The file the engine plays, to share with the other readers of the same load. */
    const SharedDecodedAudio& getSource() const noexcept { return source; }

    bool isForwardReady() const noexcept   { return source != nullptr && source->getMemoryFrames() > 0; }
    /** Reversed playback reads the forward frames backwards: ready whenever they are. */
    bool isReversedReady() const noexcept  { return isForwardReady(); }
    int getForwardLength() const noexcept  { return source != nullptr ? source->getMemoryFrames() : 0; }
    int getReversedLength() const noexcept { return getForwardLength(); }

    /** The loaded file's length in seconds (0 without one). */
    double getLengthInSeconds() const noexcept { return source != nullptr ? source->getLengthSeconds() : 0.0; }

    //==============================================================================
    // Message thread: the transport itself.

    void start();
    void stop();
    bool isPlaying() const noexcept  { return mirror.playing.load (std::memory_order_relaxed); }

    /** The transport's read position, in seconds of the file. */
    double getCurrentPosition() const noexcept;
    void setPosition (double seconds);
    bool hasStreamFinished() const noexcept;

    /** PLAY/PAUSE: pauses a playing transport, otherwise rewinds the memory players (and a
        transport at or near its end) and starts. Returns whether it now plays. */
    bool togglePlayPause();

    /** STOP: stops and rewinds the transport and both memory players. */
    void stopAndRewind();

    /** A seek from the waveform: the transport and both memory players go to `seconds`. */
    void seek (double seconds);

    //==============================================================================
    // Message thread: modes.

    void setReverseMode (bool shouldBeOn);
    bool getReverseMode() const noexcept     { return reverseMode; }

    void setPlayRevMode (bool shouldBeOn);
    bool getPlayRevMode() const noexcept     { return playRevMode; }

    /** The PlayRev menu: 1 chooses forward-then-reverse, 2 reverse-then-forward, anything else
        keeps the order; in PlayRev mode every choice restarts the pass. */
    void choosePlayRevOrder (int menuId);
    int getPlayRevOrder() const noexcept     { return playRev.order; }

    void setPitchPlaybackRate (float rate);
    float getPitchPlaybackRate() const noexcept { return pitchPlaybackRate; }

    void setLoopEnabled (bool shouldLoop);
    bool isLoopEnabled() const noexcept      { return loopEnabled; }

    /** The loop region and whether the waveform view still shows its selection. */
    void setLoopRange (bool active, double startSeconds, double endSeconds);
    void setLoopSelectionShown (bool shown);

    //==============================================================================
    // Message thread: what the timer and the buttons read.

    double getForwardPosition() const noexcept { return mirror.forwardPosition.load (std::memory_order_relaxed); }
    double getReversePosition() const noexcept { return mirror.reversePosition.load (std::memory_order_relaxed); }
    bool isInSecondHalf() const noexcept       { return mirror.secondHalf.load (std::memory_order_relaxed); }

    /** Seconds into the current pass: PlayRev counts over twice the file, reverse counts from
        the start of the pass, varispeed over the forward copy, otherwise the transport. */
    double getPlaybackPosition() const noexcept;

    /** Where the play head sits on the file (reverse shows the file time it is playing). */
    double getDisplayPosition() const noexcept;

    /** Takes the notice of an ended memory pass; each end is reported once. */
    EndNotice takeEndNotice() noexcept { return (EndNotice) endNotice.exchange (0, std::memory_order_acq_rel); }

    /** After a PlayRev pass ended: the next pass starts with its first half. */
    void finishPlayRevPass();

    //==============================================================================
    // Device start and stop (no block in flight).

    void prepareToPlay (int blockSize, double sampleRate);
    void releaseResources();

    //==============================================================================
    // Audio thread.

    /** True while a file is loaded; the block's no-source gate reads it. */
    bool hasSourceForAudio() const noexcept { return sourceLoaded.load (std::memory_order_acquire); }

    /** Fills the block from the chosen player: PlayRev, reverse, varispeed, else the transport. */
    Stage renderBlock (const juce::AudioSourceChannelInfo& info) noexcept;

    /** After the chain: the loop range jump, or LOOP's restart at the end of the file. */
    void handleLoopAndEnd() noexcept;

    /** The transport's position in seconds as the last rendered block left it. */
    double getAudioTransportSeconds() const noexcept { return audioTransportSeconds; }

private:
    double fileRate() const noexcept  { return source != nullptr ? source->sampleRate : 0.0; }
    double transportStep() const noexcept;
    double memoryStep() const noexcept;
    bool isVarispeed() const noexcept;
    double transportSecondsLocked() const noexcept;
    bool finishedLocked() const noexcept;
    void startLocked() noexcept;
    void stopLocked() noexcept;
    void publishMirrors() noexcept;

    void renderTransport (juce::AudioBuffer<float>& out, int startSample, int numSamples) noexcept;

    juce::SpinLock lock;

    // Replaced only by the message thread under `lock`; the audio thread reads through it
    // under the try-lock and never takes a reference of its own.
    SharedDecodedAudio source;

    // Guarded by `lock`; the message thread, the only writer of the mode fields, reads those
    // directly.
    double transportPosition = 0.0;      // in file frames
    bool playing = false;
    bool fadeOutPending = false;         // a pause or stop fades the next block out
    double fadeOutPosition = 0.0;
    memoryplayer::PlayRevState playRev;  // forward and reverse positions serve every memory player
    bool reverseMode = false, playRevMode = false, loopEnabled = false;
    float pitchPlaybackRate = 1.0f;
    bool loopRangeActive = false, loopSelectionShown = false;
    double loopStart = 0.0, loopEnd = 0.0;
    double deviceSampleRate = 44100.0;

    // Audio thread only.
    double audioTransportSeconds = 0.0;

    struct Mirrors
    {
        std::atomic<bool> playing { false }, secondHalf { false };
        std::atomic<double> transportPosition { 0.0 }, forwardPosition { 0.0 }, reversePosition { 0.0 };
    };

    Mirrors mirror;
    std::atomic<bool> sourceLoaded { false };
    std::atomic<int> endNotice { 0 };

    static_assert (std::atomic<double>::is_always_lock_free);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TransportEngine)
};
