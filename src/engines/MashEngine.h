#pragma once

#include <array>
#include <atomic>

/** The beat-slicing engine. Until its history and slice events are built it passes the
    audio through unchanged; its switch, amount, tempo and event slots are already there.

    The slots are audio-thread state: the message thread never touches them, it asks for them
    to be cleared (switching the engine off) and the audio thread does so at its next block. */
class MashEngine
{
public:
    MashEngine();
    ~MashEngine();

    void prepare (double sampleRate, int blockSize);

    /** Audio thread: processes a stereo block in place when enabled. */
    void process (float* left, float* right, int numSamples);

    /** Audio thread, every block whether or not the engine runs: takes the pending slot clear,
        and clears the slots of a switched-off engine. */
    void serviceRequests() noexcept;

    /** Message thread: the four slots go inactive at the start of the next block. */
    void requestSlotClear() noexcept { slotClearRequested.store (true, std::memory_order_release); }

    /** The menu switch: toggles `enabled`; switching off also asks for the slots to be cleared. */
    void toggleEnabled() noexcept;

    double getSampleRate() const noexcept { return sampleRate; }
    int getBlockSize() const noexcept     { return blockSize; }

    std::atomic<bool> enabled { false };
    std::atomic<float> amount { 0.0f };      // 0..1
    std::atomic<float> tempoBpm { 120.0f };

    struct Slot
    {
        bool active = false;
    };

    std::array<Slot, 4> slots {};

private:
    double sampleRate = 44100.0;
    int blockSize = 512;
    std::atomic<bool> slotClearRequested { false };
};
