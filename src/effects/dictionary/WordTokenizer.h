#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>
#include <vector>

/** How a written word is cased. */
enum class ReaderWordCase : std::int32_t { lower = 0, title = 1, upper = 2, other = 3 };

/** What a word's prefix says about its meaning. */
enum class ReaderPrefixClass : std::int32_t { none = 0, negation = 1, time = 2, intensity = 3, space = 4 };

/** What a word's suffix says about its role. */
enum class ReaderSuffixClass : std::int32_t { none = 0, noun = 1, adj = 2, verb = 3, agent = 4, adv = 5 };

/** One word of a text as the reader hears it: its spelling and what its shape suggests. */
struct ReaderWord
{
    juce::String text;          // as split from the text, in its written case
    juce::String normalized;    // lower case, punctuation removed
    juce::String prefix, root, suffix;
    juce::String partOfSpeech;  // "NOUN", "VERB", "ADJ" or "ADV"

    std::int32_t length = 0;    // characters of normalized
    std::int32_t syllables = 1;

    bool startsWithVowel = false, endsWithVowel = false, allCaps = false;
    bool negationPrefix = false, intensifierPrefix = false;
    bool hasDoubleLetter = false, hasDigit = false, hasHyphen = false, hasApostrophe = false;
    bool hasX = false, hasQ = false, hasZ = false, hasY = false, hasW = false, hasV = false;

    std::int32_t maxRepeat = 1;
    std::int32_t caseClass = (std::int32_t) ReaderWordCase::other;
    std::int32_t prefixClass = (std::int32_t) ReaderPrefixClass::none;
    std::int32_t suffixClass = (std::int32_t) ReaderSuffixClass::none;

    std::uint32_t hash = 0;     // FNV-1a over the code points of normalized
    std::int32_t hashNibble = 0;
    std::array<float, 4> hashBytes {};
};

/** Figures over a whole text that colour how every word of it is played; each 0 to 1. */
struct ReaderTextStatistics
{
    float negationDensity = 0.0f;
    float intensifierDensity = 0.0f;
    float morphologicalComplexity = 0.0f;
    float lengthVariance = 0.0f;
};

/** Splits a text into words and analyses each one. Message thread; stateless apart from its
    affix lists, which never change. Case tests and lower-casing follow the process's wide
    character classification (set to a Unicode-aware locale at start). */
class WordTokenizer
{
public:
    struct Result
    {
        std::vector<ReaderWord> words;
        ReaderTextStatistics statistics;
    };

    /** The words of `text` in reading order and their statistics. Line breaks and tabs are
        dropped before splitting, so a word broken across two lines reads as one. */
    Result tokenize (const juce::String& text) const;

    /** Fills every field of `word` from its text and normalized spelling. */
    void analyzeWord (ReaderWord& word) const;

    /** The first listed prefix that leaves at least three characters of the word; else empty. */
    juce::String findPrefix (const juce::String& normalizedWord) const;

    /** Searched in order: the first match wins. */
    const std::vector<juce::String> prefixes, suffixes, negationPrefixes, intensifierPrefixes;

    WordTokenizer();

private:
    juce::String findSuffix (const juce::String& normalizedWord, int length) const;
};
