#include "main/PresetFile.h"

#include "platform/Folders.h"
#include "platform/SafeFiles.h"

#include <algorithm>
#include <cmath>

namespace presetfile
{
    namespace
    {
        // Values go through a float first, so a knob at 100/3 is written as the float it holds.
        juce::var number (float value) { return (double) value; }

        /** A property counts only when present and not a method. */
        const juce::var* find (const juce::DynamicObject& object, const char* key)
        {
            return object.hasProperty (key) ? &object.getProperty (key) : nullptr;
        }

        /** A JSON number, or a string that is one number and nothing else, as a finite float. */
        std::optional<float> asFloat (const juce::var& value)
        {
            double d = 0.0;

            if (value.isInt() || value.isInt64() || value.isDouble())
            {
                d = (double) value;
            }
            else if (value.isString())
            {
                const auto text = value.toString().trim();
                if (text.isEmpty() || ! text.containsOnly ("0123456789+-.eE") || ! text.containsAnyOf ("0123456789"))
                    return std::nullopt;
                d = text.getDoubleValue();
            }
            else
            {
                return std::nullopt;
            }

            const auto f = (float) d;
            return std::isfinite (f) ? std::optional<float> (f) : std::nullopt;
        }

        /** The key's value as a float; the fallback when the key is missing; nothing when it
            holds something else. */
        std::optional<float> readFloat (const juce::DynamicObject& object, const char* key, float fallback)
        {
            const auto* value = find (object, key);
            return value == nullptr ? std::optional<float> (fallback) : asFloat (*value);
        }

        /** Whether the bytes are one object or array nested at most maxDepth deep, with only
            white space after it and no zero byte anywhere. Strings are skipped with their
            escapes, so brackets inside them do not count. */
        bool isOneShallowValue (const char* bytes, std::size_t size)
        {
            int depth = 0;
            bool inString = false, escaped = false, closed = false;

            for (std::size_t i = 0; i < size; ++i)
            {
                const char c = bytes[i];

                if (c == '\0')
                    return false;

                if (closed)
                {
                    if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                        return false;
                }
                else if (inString)
                {
                    if (escaped)         escaped = false;
                    else if (c == '\\')  escaped = true;
                    else if (c == '"')   inString = false;
                }
                else if (c == '"')
                {
                    inString = true;
                }
                else if (c == '{' || c == '[')
                {
                    if (++depth > maxDepth)
                        return false;
                }
                else if (c == '}' || c == ']')
                {
                    if (--depth < 0)
                        return false;
                    closed = depth == 0;
                }
            }

            return closed;
        }
    }

    juce::var toJson (const State& s)
    {
        auto* object = new juce::DynamicObject();
        juce::var json (object);

        object->setProperty ("version", 1);
        object->setProperty ("toneMax", number (s.toneMax));
        object->setProperty ("spatialMax", number (s.spatialMax));
        object->setProperty ("masterPro", (double) s.masterPro);
        object->setProperty ("texturePro", number (s.texturePro));
        object->setProperty ("metaControl", number (s.metaControl));
        object->setProperty ("mathControl", number (s.mathControl));
        object->setProperty ("volume", 100.0);
        object->setProperty ("pitch", number (s.pitch));
        object->setProperty ("pan", number (s.pan));
        object->setProperty ("bpm", number (s.bpm));
        object->setProperty ("freeze", s.freeze);
        return json;
    }

    juce::String toText (const juce::var& preset, bool oneLine)
    {
        // The writer breaks lines with CR LF already; normalising keeps that true whatever it does.
        return juce::JSON::toString (preset, oneLine, 15).replace ("\r\n", "\n").replace ("\n", "\r\n");
    }

    std::optional<Loaded> fromJson (const juce::var& json)
    {
        // An array counts as an object to the framework; it is no preset.
        const auto* object = json.getDynamicObject();

        if (object == nullptr || json.isArray() || find (*object, "toneMax") == nullptr)
            return std::nullopt;

        const auto toneMax = readFloat (*object, "toneMax", 0.0f);
        const auto spatialMax = readFloat (*object, "spatialMax", 0.0f);
        const auto masterPro = readFloat (*object, "masterPro", 0.0f);
        const auto texturePro = readFloat (*object, "texturePro", 0.0f);
        const auto metaControl = readFloat (*object, "metaControl", 0.0f);
        const auto mathControl = readFloat (*object, "mathControl", 0.0f);
        const auto pitch = readFloat (*object, "pitch", 0.0f);
        const auto pan = readFloat (*object, "pan", 0.0f);

        if (! (toneMax && spatialMax && masterPro && texturePro && metaControl && mathControl && pitch && pan))
            return std::nullopt;

        Loaded p;
        p.toneMax = *toneMax;
        p.spatialMax = *spatialMax;
        // Limited before the truncation toward zero: a huge level must not reach the int.
        p.masterPro = (int) std::clamp (*masterPro, 0.0f, 19.0f);
        p.texturePro = *texturePro;
        p.metaControl = *metaControl;
        p.mathControl = *mathControl;
        p.pitch = *pitch;
        p.pan = *pan;

        if (const auto* bpm = find (*object, "bpm"))
        {
            const auto value = asFloat (*bpm);
            if (! value)
                return std::nullopt;
            p.bpm = *value;
        }

        if (const auto* freeze = find (*object, "freeze"))
        {
            if (! (freeze->isBool() || freeze->isInt() || freeze->isInt64() || freeze->isDouble()))
                return std::nullopt;
            p.freeze = (bool) *freeze;
        }

        return p;
    }

    juce::var parse (const void* data, std::size_t size)
    {
        auto bytes = static_cast<const char*> (data);

        if (size >= 3 && juce::CharPointer_UTF8::isByteOrderMark (bytes))
        {
            bytes += 3;
            size -= 3;
        }

        if (size > maxFileBytes || ! juce::CharPointer_UTF8::isValidString (bytes, (int) size)
            || ! isOneShallowValue (bytes, size))
            return {};

        juce::var json;
        if (juce::JSON::parse (juce::String::fromUTF8 (bytes, (int) size), json).failed())
            return {};

        return json;
    }

    juce::var readFile (const juce::File& file)
    {
        const auto bytes = platform::readSmallFile (file, maxFileBytes);
        return bytes ? parse (bytes->getData(), bytes->getSize()) : juce::var();
    }

    bool write (const juce::File& file, const juce::String& text)
    {
        const auto utf8 = text.toUTF8();
        return platform::replaceFileContents (file, utf8.getAddress(), utf8.sizeInBytes() - 1);
    }

    juce::File withPresetExtension (const juce::File& chosen)
    {
        return chosen.hasFileExtension ("tavro") ? chosen : chosen.withFileExtension ("tavro");
    }

    juce::File quickPresetFile()
    {
        return platform::documentsFolder().getChildFile ("TavroFx_QuickPreset.tavro");
    }

    Alert saveFailed (const juce::File& target)
    {
        return { "Save Failed", "Could not save preset to:\n" + target.getFullPathName() };
    }

    Alert loadFailed (const juce::File& source)
    {
        return { "Load Failed", "Invalid preset file:\n" + source.getFullPathName() };
    }
}
