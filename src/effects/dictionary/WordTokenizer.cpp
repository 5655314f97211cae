#include "effects/dictionary/WordTokenizer.h"

#include <algorithm>
#include <initializer_list>

namespace
{
    // A token is cut at these; nothing quotes them.
    const char* const breakCharacters = " ,.;:!?\"'()-[]{}/*\\";

    // Taken out of a token's normalized spelling (all of them also cut tokens, but a caller
    // may hand analyzeWord a record of its own).
    const char* const strippedCharacters = ".,;:!?\"'()-";

    bool isOneOf (const juce::String& s, std::initializer_list<const char*> list)
    {
        for (auto* entry : list)
            if (s == entry)
                return true;
        return false;
    }

    bool contains (const std::vector<juce::String>& list, const juce::String& s)
    {
        return std::find (list.begin(), list.end(), s) != list.end();
    }

    bool isAsciiVowelOfEitherCase (juce::juce_wchar c)
    {
        return c != 0 && juce::String ("aeiouAEIOU").containsChar (c);
    }

    bool isSyllableVowel (juce::juce_wchar c)
    {
        return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y';
    }

    std::vector<juce::juce_wchar> codePoints (const juce::String& s)
    {
        std::vector<juce::juce_wchar> points;
        for (auto p = s.getCharPointer(); ! p.isEmpty();)
            points.push_back (p.getAndAdvance());
        return points;
    }

    ReaderWordCase caseOf (const juce::String& text)
    {
        bool anyUpper = false, anyLower = false;
        for (auto p = text.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = p.getAndAdvance();
            anyUpper = anyUpper || juce::CharacterFunctions::isUpperCase (c);
            anyLower = anyLower || juce::CharacterFunctions::isLowerCase (c);
        }

        if (anyUpper && anyLower)
            return juce::CharacterFunctions::isUpperCase (text[0]) ? ReaderWordCase::title : ReaderWordCase::other;
        if (anyUpper)
            return text.length() >= 2 ? ReaderWordCase::upper : ReaderWordCase::other;
        return anyLower ? ReaderWordCase::lower : ReaderWordCase::other;
    }

    int countSyllables (const std::vector<juce::juce_wchar>& chars)
    {
        int count = 0;
        for (size_t i = 0; i < chars.size(); ++i)
            if (isSyllableVowel (chars[i]) && (i == 0 || ! isSyllableVowel (chars[i - 1])))
                ++count;

        // A silent final e ("make") adds no syllable, unless it is the only vowel ("the").
        if (! chars.empty() && chars.back() == 'e' && count > 1)
            --count;

        return std::max (1, count);
    }

    juce::String partOfSpeechFor (const juce::String& suffix)
    {
        if (suffix == "ly")
            return "ADV";
        if (isOneOf (suffix, { "tion", "sion", "ment", "ness", "ity" }))
            return "NOUN";
        if (isOneOf (suffix, { "ing", "ed" }))
            return "VERB";
        if (isOneOf (suffix, { "ful", "less", "ous", "ive", "al", "able" }))
            return "ADJ";
        return "NOUN";
    }

    ReaderSuffixClass suffixClassFor (const juce::String& suffix)
    {
        // Later lists win; several of these endings are not searched for and never occur, the
        // lists say what a suffix would mean.
        auto result = ReaderSuffixClass::none;
        if (isOneOf (suffix, { "tion", "sion", "ment", "ness", "ity" }))   result = ReaderSuffixClass::noun;
        if (isOneOf (suffix, { "ful", "less", "ous", "ive", "al" }))       result = ReaderSuffixClass::adj;
        if (isOneOf (suffix, { "ize", "ify", "ate", "en" }))               result = ReaderSuffixClass::verb;
        if (isOneOf (suffix, { "er", "or", "ist", "ant" }))                result = ReaderSuffixClass::agent;
        if (suffix == "ly")                                                result = ReaderSuffixClass::adv;
        return result;
    }
}

//==============================================================================
WordTokenizer::WordTokenizer()
    : prefixes { "un", "re", "pre", "dis", "mis", "non", "anti", "trans", "inter", "hyper", "sub", "super",
                 "ultra", "mega", "over", "under", "out", "up", "down", "de", "in", "im", "ir", "il", "en",
                 "em", "ex", "bio", "auto", "tele", "semi", "mono", "bi", "tri", "multi", "poly", "neo",
                 "pseudo", "proto", "micro", "macro" },
      suffixes { "tion", "sion", "ment", "ness", "ly", "able", "ible", "ism", "ist", "ize", "ify", "ful",
                 "less", "ing", "ed", "er", "est", "ous", "ive", "al", "ial", "ical", "ure", "ence", "ance",
                 "ity", "ty", "dom", "ship", "hood", "ward", "wise", "like", "ling", "let", "ette" },
      negationPrefixes { "un", "in", "im", "ir", "il", "non", "dis", "mis" },
      intensifierPrefixes { "hyper", "super", "ultra", "mega", "over" }
{
}

juce::String WordTokenizer::findPrefix (const juce::String& normalizedWord) const
{
    const int length = normalizedWord.length();
    for (const auto& p : prefixes)
        if (p.length() + 2 < length && normalizedWord.startsWith (p))
            return p;
    return {};
}

juce::String WordTokenizer::findSuffix (const juce::String& normalizedWord, int length) const
{
    for (const auto& s : suffixes)
        if (s.length() + 2 < length && normalizedWord.endsWith (s))
            return s;
    return {};
}

void WordTokenizer::analyzeWord (ReaderWord& word) const
{
    const auto chars = codePoints (word.normalized);
    const int length = (int) chars.size();
    word.length = length;

    word.startsWithVowel = length > 0 && isAsciiVowelOfEitherCase (chars.front());
    word.endsWithVowel = length > 0 && isAsciiVowelOfEitherCase (chars.back());

    const auto wordCase = caseOf (word.text);
    word.caseClass = (std::int32_t) wordCase;
    word.allCaps = wordCase == ReaderWordCase::upper;

    word.hasHyphen = word.text.containsChar ('-');
    word.hasApostrophe = word.text.containsChar ('\'');

    word.hasDigit = word.hasX = word.hasQ = word.hasZ = word.hasY = word.hasW = word.hasV = false;
    for (auto c : chars)
    {
        word.hasDigit = word.hasDigit || juce::CharacterFunctions::isDigit (c);
        word.hasX = word.hasX || c == 'x';
        word.hasQ = word.hasQ || c == 'q';
        word.hasZ = word.hasZ || c == 'z';
        word.hasY = word.hasY || c == 'y';
        word.hasW = word.hasW || c == 'w';
        word.hasV = word.hasV || c == 'v';
    }

    word.maxRepeat = 1;
    word.hasDoubleLetter = false;
    for (int p = 1, run = 1; p < length; ++p)
    {
        if (chars[(size_t) p] == chars[(size_t) p - 1])
        {
            ++run;
            word.hasDoubleLetter = true;
            word.maxRepeat = std::max (word.maxRepeat, run);
        }
        else
        {
            run = 1;
        }
    }

    word.syllables = countSyllables (chars);

    word.prefix = findPrefix (word.normalized);
    word.suffix = findSuffix (word.normalized, length);

    const int a = word.prefix.length(), b = word.suffix.length();
    word.root = a < length - b ? word.normalized.substring (a, length - b) : word.normalized;

    auto prefixClass = ReaderPrefixClass::none;
    word.negationPrefix = word.intensifierPrefix = false;
    if (word.prefix.isNotEmpty())
    {
        if (contains (negationPrefixes, word.prefix))
        {
            prefixClass = ReaderPrefixClass::negation;
            word.negationPrefix = true;
        }
        if (contains (intensifierPrefixes, word.prefix))
        {
            prefixClass = ReaderPrefixClass::intensity;
            word.intensifierPrefix = true;
        }
        if (isOneOf (word.prefix, { "re", "pre", "post" }))
            prefixClass = ReaderPrefixClass::time;
        if (isOneOf (word.prefix, { "trans", "meta", "para", "extra" }))
            prefixClass = ReaderPrefixClass::space;
    }
    word.prefixClass = (std::int32_t) prefixClass;

    word.suffixClass = (std::int32_t) suffixClassFor (word.suffix);
    word.partOfSpeech = partOfSpeechFor (word.suffix);

    std::uint32_t hash = 0x811c9dc5u;
    for (auto c : chars)
    {
        hash ^= (std::uint32_t) c;
        hash *= 16777619u;
    }
    word.hash = hash;
    word.hashNibble = (std::int32_t) (hash & 15u);
    for (int k = 0; k < 4; ++k)
        word.hashBytes[(size_t) k] = (float) ((hash >> (8 * k)) & 255u) / 255.0f;
}

WordTokenizer::Result WordTokenizer::tokenize (const juce::String& text) const
{
    Result result;

    const auto joined = text.removeCharacters ("\r\n\t");

    juce::StringArray tokens;
    tokens.addTokens (joined, breakCharacters, {});

    int negations = 0, intensifiers = 0;
    double complexitySum = 0.0;

    for (const auto& token : tokens)
    {
        if (token.trim().isEmpty())
            continue;

        ReaderWord word;
        word.text = token;
        word.normalized = token.toLowerCase().removeCharacters (strippedCharacters);
        analyzeWord (word);

        negations += word.negationPrefix ? 1 : 0;
        intensifiers += word.intensifierPrefix ? 1 : 0;
        complexitySum += 1.0 + (word.prefix.isNotEmpty() ? 1.0 : 0.0) + (word.suffix.isNotEmpty() ? 1.0 : 0.0);

        result.words.push_back (std::move (word));
    }

    const auto n = (double) result.words.size();
    if (n > 0.0)
    {
        double meanLength = 0.0;
        for (const auto& w : result.words)
            meanLength += w.length;
        meanLength /= n;

        double squares = 0.0;
        for (const auto& w : result.words)
            squares += (w.length - meanLength) * (w.length - meanLength);

        const auto unit = [] (double v) { return (float) juce::jlimit (0.0, 1.0, v); };
        auto& s = result.statistics;
        s.negationDensity = unit (5.0 * negations / n);
        s.intensifierDensity = unit (5.0 * intensifiers / n);
        s.morphologicalComplexity = unit (complexitySum / n / 3.0);
        s.lengthVariance = unit (squares / n / 25.0);
    }

    return result;
}
