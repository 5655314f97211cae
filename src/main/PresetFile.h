#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <optional>

/** The preset file: the six macro knobs, pitch, pan, tempo and FREEZE as one JSON object.
    Reading is strict, because a preset replaces what the user has set up: anything that is not
    a well-formed preset object with a "toneMax" property and values of the right kinds is
    refused whole, so a wrong file changes nothing. */
namespace presetfile
{
    /** What a preset stores. `masterPro` is the MasterPro knob's level 0..19. */
    struct State
    {
        float toneMax = 0.0f, spatialMax = 0.0f;
        int masterPro = 0;
        float texturePro = 0.0f, metaControl = 0.0f, mathControl = 0.0f;
        float pitch = 0.0f, pan = 0.0f, bpm = 0.0f;
        bool freeze = false;
    };

    /** What a preset gives back: the knob values, 0 for a missing key, and the tempo and FREEZE
        only when the preset has them. MasterPro is already truncated and limited to 0..19. */
    struct Loaded
    {
        float toneMax = 0.0f, spatialMax = 0.0f;
        int masterPro = 0;
        float texturePro = 0.0f, metaControl = 0.0f, mathControl = 0.0f;
        float pitch = 0.0f, pan = 0.0f;
        std::optional<float> bpm;
        std::optional<bool> freeze;
    };

    /** The twelve properties in their fixed order ("version" 1, "volume" always 100). */
    juce::var toJson (const State& state);

    /** A preset's text: on one line (the dialog's form) or one property per line with
        two-space indentation (the quick preset's form); line breaks are CR LF. */
    juce::String toText (const juce::var& preset, bool oneLine);

    /** A preset object with a "toneMax" property whose known keys hold numbers (or strings that
        are numbers) finite as floats, and a boolean or number "freeze"; nothing otherwise. */
    std::optional<Loaded> fromJson (const juce::var& json);

    /** The bytes as JSON: one object or array in UTF-8, nested at most maxDepth deep, with
        nothing but white space after it. A void var for anything else. */
    juce::var parse (const void* data, std::size_t size);

    /** A file's JSON as parse() gives it; void when the file is missing, not a plain file or
        larger than maxFileBytes. */
    juce::var readFile (const juce::File& file);

    /** Writes the text in place of the file in one step (the folder must exist). False when
        anything failed; the file is then as it was. */
    bool write (const juce::File& file, const juce::String& text);

    /** The chosen file with the extension "tavro" (kept in any case, replaced or appended otherwise). */
    juce::File withPresetExtension (const juce::File& chosen);

    /** "TavroFx_QuickPreset.tavro" in the user's Documents folder. */
    juce::File quickPresetFile();

    /** Title and message of a warning box. */
    struct Alert { juce::String title, message; };
    Alert saveFailed (const juce::File& target);
    Alert loadFailed (const juce::File& source);

    /** A preset is a few hundred bytes; larger files are not read into memory. */
    inline constexpr std::size_t maxFileBytes = 64 * 1024;

    /** A preset is flat; deeper nesting is refused before the recursive parser sees it. */
    inline constexpr int maxDepth = 16;
}
