#pragma once

#include <cstddef>
#include <cstdint>

// The decode target's input: one byte that picks the file name's extension (the loader picks
// its reader by extension), then the file's bytes.
namespace decodefuzz
{
    inline constexpr const char* extensions[] = { ".wav", ".aiff", ".flac", ".ogg", ".mp3" };
    inline constexpr std::size_t extensionCount = sizeof (extensions) / sizeof (extensions[0]);

    inline const char* extensionFor (std::uint8_t selector) { return extensions[selector % extensionCount]; }
}
