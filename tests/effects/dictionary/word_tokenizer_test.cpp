#include <gtest/gtest.h>

#include "effects/dictionary/DictionaryReader.h"
#include "effects/dictionary/WordTokenizer.h"

namespace
{
    std::vector<juce::String> normalizedWords (const juce::String& text)
    {
        std::vector<juce::String> out;
        for (const auto& w : WordTokenizer().tokenize (text).words)
            out.push_back (w.normalized);
        return out;
    }

    ReaderWord analysed (const juce::String& text)
    {
        const auto words = WordTokenizer().tokenize (text).words;
        EXPECT_EQ (words.size(), 1u) << text;
        return words.empty() ? ReaderWord {} : words.front();
    }

    using V = std::vector<juce::String>;
}

TEST (WordTokenizer, AnalysesEachWordsShape)
{
    struct Case
    {
        const char* text;
        const char* normalized;
        ReaderWordCase wordCase;
        const char* prefix;
        const char* suffix;
        const char* root;
        ReaderPrefixClass prefixClass;
        ReaderSuffixClass suffixClass;
        const char* partOfSpeech;
        int syllables, maxRepeat;
    };

    using C = ReaderWordCase;
    using P = ReaderPrefixClass;
    using S = ReaderSuffixClass;

    const Case cases[] = {
        { "Unkindness", "unkindness", C::title,  "un",    "ness", "kind",      P::negation,  S::noun,  "NOUN", 3, 2 },
        { "swimming",   "swimming",   C::lower,  "",      "ing",  "swimm",     P::none,      S::none,  "VERB", 2, 2 },
        { "softly",     "softly",     C::lower,  "",      "ly",   "soft",      P::none,      S::adv,   "ADV",  2, 1 },
        { "seed",       "seed",       C::lower,  "",      "",     "seed",      P::none,      S::none,  "NOUN", 1, 2 },   // "ed" needs 5 letters
        { "bed",        "bed",        C::lower,  "",      "",     "bed",       P::none,      S::none,  "NOUN", 1, 1 },
        { "interplay",  "interplay",  C::lower,  "inter", "",     "play",      P::none,      S::none,  "NOUN", 3, 1 },   // before "in"
        { "undo",       "undo",       C::lower,  "",      "",     "undo",      P::none,      S::none,  "NOUN", 2, 1 },   // "un" leaves too little
        { "overpaid",   "overpaid",   C::lower,  "over",  "",     "paid",      P::intensity, S::none,  "NOUN", 3, 1 },
        { "replay",     "replay",     C::lower,  "re",    "",     "play",      P::time,      S::none,  "NOUN", 2, 1 },
        { "transport",  "transport",  C::lower,  "trans", "",     "port",      P::space,     S::none,  "NOUN", 2, 1 },
        { "singer",     "singer",     C::lower,  "",      "er",   "sing",      P::none,      S::agent, "NOUN", 2, 1 },
        { "hopeful",    "hopeful",    C::lower,  "",      "ful",  "hope",      P::none,      S::adj,   "ADJ",  3, 1 },
        { "NASA",       "nasa",       C::upper,  "",      "",     "nasa",      P::none,      S::none,  "NOUN", 2, 1 },
        { "I",          "i",          C::other,  "",      "",     "i",         P::none,      S::none,  "NOUN", 1, 1 },
        { "iPhone",     "iphone",     C::other,  "",      "",     "iphone",    P::none,      S::none,  "NOUN", 2, 1 },
        { "McDonald",   "mcdonald",   C::title,  "",      "",     "mcdonald",  P::none,      S::none,  "NOUN", 2, 1 },
        { "2024",       "2024",       C::other,  "",      "",     "2024",      P::none,      S::none,  "NOUN", 1, 1 },
        { "the",        "the",        C::lower,  "",      "",     "the",       P::none,      S::none,  "NOUN", 1, 1 },   // final e, one vowel group
        { "make",       "make",       C::lower,  "",      "",     "make",      P::none,      S::none,  "NOUN", 1, 1 },
        { "happy",      "happy",      C::lower,  "",      "",     "happy",     P::none,      S::none,  "NOUN", 2, 2 },   // y is a vowel
        { "rhythm",     "rhythm",     C::lower,  "",      "",     "rhythm",    P::none,      S::none,  "NOUN", 1, 1 },
        { "psst",       "psst",       C::lower,  "",      "",     "psst",      P::none,      S::none,  "NOUN", 1, 2 },
        { "zzzz",       "zzzz",       C::lower,  "",      "",     "zzzz",      P::none,      S::none,  "NOUN", 1, 4 },
        { "Ärger",      "ärger",      C::title,  "",      "er",   "ärg",       P::none,      S::agent, "NOUN", 1, 1 },
    };

    for (const auto& c : cases)
    {
        const auto text = juce::String::fromUTF8 (c.text);
        const auto w = analysed (text);
        EXPECT_EQ (w.text, text) << c.text;
        EXPECT_EQ (w.normalized, juce::String::fromUTF8 (c.normalized)) << c.text;
        EXPECT_EQ (w.caseClass, (int) c.wordCase) << c.text;
        EXPECT_EQ (w.allCaps, c.wordCase == C::upper) << c.text;
        EXPECT_EQ (w.prefix, c.prefix) << c.text;
        EXPECT_EQ (w.suffix, c.suffix) << c.text;
        EXPECT_EQ (w.root, juce::String::fromUTF8 (c.root)) << c.text;
        EXPECT_EQ (w.prefixClass, (int) c.prefixClass) << c.text;
        EXPECT_EQ (w.negationPrefix, c.prefixClass == P::negation) << c.text;
        EXPECT_EQ (w.intensifierPrefix, c.prefixClass == P::intensity) << c.text;
        EXPECT_EQ (w.suffixClass, (int) c.suffixClass) << c.text;
        EXPECT_EQ (w.partOfSpeech, c.partOfSpeech) << c.text;
        EXPECT_EQ (w.syllables, c.syllables) << c.text;
        EXPECT_EQ (w.maxRepeat, c.maxRepeat) << c.text;
        EXPECT_EQ (w.hasDoubleLetter, c.maxRepeat > 1) << c.text;
        EXPECT_EQ (w.length, w.normalized.length()) << c.text;
    }
}

TEST (WordTokenizer, FlagsLettersDigitsAndVowelEnds)
{
    const auto quickly = analysed ("Quickly");
    EXPECT_TRUE (quickly.hasQ);
    EXPECT_TRUE (quickly.hasY);
    EXPECT_FALSE (quickly.hasX || quickly.hasZ || quickly.hasW || quickly.hasV || quickly.hasDigit);
    EXPECT_FALSE (quickly.startsWithVowel);
    EXPECT_FALSE (quickly.endsWithVowel);

    const auto mixed = analysed ("Ovoxwz7a");
    EXPECT_TRUE (mixed.hasX && mixed.hasW && mixed.hasZ && mixed.hasV && mixed.hasDigit);
    EXPECT_TRUE (mixed.startsWithVowel);   // the normalized 'o'
    EXPECT_TRUE (mixed.endsWithVowel);

    EXPECT_FALSE (analysed (juce::String::fromUTF8 ("Ärger")).startsWithVowel);   // only the plain vowels count
}

TEST (WordTokenizer, HashesTheCodePointsWithFnv1a)
{
    const auto a = analysed ("a");
    EXPECT_EQ (a.hash, 0xe40c292cu);
    EXPECT_EQ (a.hashNibble, 0xc);
    EXPECT_FLOAT_EQ (a.hashBytes[0], 0x2c / 255.0f);
    EXPECT_FLOAT_EQ (a.hashBytes[3], 0xe4 / 255.0f);

    EXPECT_EQ (analysed ("Foobar").hash, 0xbf9cf968u);   // of the normalized spelling

    // Code points, not UTF-8 bytes: one step for "ä".
    const auto umlaut = analysed (juce::String::fromUTF8 ("ä"));
    EXPECT_EQ (umlaut.hash, (0x811c9dc5u ^ 0xe4u) * 16777619u);
}

TEST (WordTokenizer, SplitsAtBreakCharactersAndJoinsBrokenLines)
{
    struct Case
    {
        const char* text;
        V expected;
    };

    const Case cases[] = {
        { "don't", { "don", "t" } },
        { "well-known", { "well", "known" } },
        { "good\nday", { "goodday" } },
        { "good\r\n\tday", { "goodday" } },
        { "good \nday", { "good", "day" } },
        { "\"Stop!\" (she said) [a/b] {c*d}\\e; f: g? h,i.j", { "stop", "she", "said", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j" } },
        { "Word word WORD", { "word", "word", "word" } },
        { "", {} },
        { " ,,, ... --- ", {} },
        { "   \t\n  ", {} },
    };

    for (const auto& c : cases)
        EXPECT_EQ (normalizedWords (juce::String::fromUTF8 (c.text)), c.expected) << c.text;

    // A curly apostrophe and a dash other than the hyphen-minus stay inside the word.
    EXPECT_EQ (normalizedWords (juce::String::fromUTF8 ("don\xe2\x80\x99t a\xe2\x80\x94" "b")),
               (V { juce::String::fromUTF8 ("don\xe2\x80\x99t"), juce::String::fromUTF8 ("a\xe2\x80\x94" "b") }));

    for (const auto& w : WordTokenizer().tokenize ("don't well-known").words)
        EXPECT_FALSE (w.hasHyphen || w.hasApostrophe) << w.text;
}

TEST (WordTokenizer, StatisticsDescribeTheWholeText)
{
    // One negation and one intensifier prefix in ten words; lengths 6, 8 and eight of 3.
    const auto r = WordTokenizer().tokenize ("unkind overpaid cat dog emu fox pig rat yak bee");
    ASSERT_EQ (r.words.size(), 10u);
    EXPECT_FLOAT_EQ (r.statistics.negationDensity, 0.5f);
    EXPECT_FLOAT_EQ (r.statistics.intensifierDensity, 0.5f);
    EXPECT_FLOAT_EQ (r.statistics.morphologicalComplexity, 0.4f);
    EXPECT_NEAR (r.statistics.lengthVariance, 2.76f / 25.0f, 1e-6f);

    // Clamped to 1.
    const auto dense = WordTokenizer().tokenize ("unkind unfair");
    EXPECT_EQ (dense.statistics.negationDensity, 1.0f);
    EXPECT_EQ (dense.statistics.intensifierDensity, 0.0f);
}

TEST (WordTokenizer, ReaderRestartsAtTheFirstWordAndKeepsItsWordOnAnEmptyText)
{
    DictionaryReader reader (nullptr);
    reader.tokenize ("alpha beta gamma");
    reader.currentIndex = 2;
    reader.wordElapsed = 1.0f;
    reader.wordPhase = 3;

    reader.tokenize ("Delta, epsilon");
    EXPECT_EQ (reader.words.size(), 2u);
    EXPECT_EQ (reader.wordCount.load(), 2);
    EXPECT_EQ (reader.currentIndex, 0);
    EXPECT_EQ (reader.wordElapsed, 0.0f);
    EXPECT_EQ (reader.wordPhase, 0);
    EXPECT_EQ (reader.currentWordText, "delta");

    reader.negationDensity = 0.7f;
    reader.tokenize (" ... ");
    EXPECT_TRUE (reader.words.empty());
    EXPECT_EQ (reader.wordCount.load(), 0);
    EXPECT_EQ (reader.currentWordText, "delta");
    EXPECT_EQ (reader.negationDensity, 0.0f);
    EXPECT_EQ (reader.prefixes.size(), 41u);
    EXPECT_EQ (reader.suffixes.size(), 36u);
}
