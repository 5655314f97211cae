#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <optional>

// Small files the user keeps (presets, mappings, automation): read with a size limit so a wrong
// or endless file never fills memory or blocks, and replaced in one step so a failed or
// interrupted write never leaves a half-written file where a good one was.
namespace platform
{
    /** A plain file after following symbolic links: not a folder, pipe, socket or device. */
    bool isRegularFile (const juce::File& file);

    /** The whole file when it is a plain file of at most maxBytes; nothing when it is missing,
        not a plain file, larger, or unreadable. Never reads more than maxBytes + 1 bytes and
        never waits on a pipe. */
    std::optional<juce::MemoryBlock> readSmallFile (const juce::File& file, std::size_t maxBytes);

    /** Puts the bytes in place of the file's contents in one step: they go to a hidden file in
        the same folder, reach the disk, and that file is renamed over the target, which keeps
        its permissions. A symbolic link is written through to the file it names. The folder
        must exist. False when anything failed; the target is then as it was. */
    bool replaceFileContents (const juce::File& target, const void* data, std::size_t size);
}
