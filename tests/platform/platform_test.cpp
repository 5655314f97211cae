#include <gtest/gtest.h>

#include "platform/AudioFormats.h"
#include "platform/CrtRand.h"
#include "platform/FileNames.h"
#include "platform/Folders.h"
#include "platform/Fonts.h"
#include "platform/KeyState.h"

#include <thread>

TEST (CrtRand, ReproducesTheFixedSequence)
{
    std::thread ([] {
        const int firstTen[] = { 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464 };
        for (int expected : firstTen)
            EXPECT_EQ (platform::crtRand(), expected);

        int value = 0;
        for (int i = 11; i <= 100000; ++i)
        {
            value = platform::crtRand();
            ASSERT_GE (value, 0);
            ASSERT_LE (value, platform::crtRandMax);
            if (i == 1000)
            {
                EXPECT_EQ (value, 12249);
            }
            if (i == 10000)
            {
                EXPECT_EQ (value, 18796);
            }
        }
        EXPECT_EQ (value, 1629);

        platform::crtSrand (12345);
        EXPECT_EQ (platform::crtRand(), 7584);
    }).join();
}

TEST (CrtRand, EachThreadStartsItsOwnSequence)
{
    std::thread ([] {
        EXPECT_EQ (platform::crtRand(), 41);
        EXPECT_EQ (platform::crtRand(), 18467);

        int firstOnNewThread = -1;
        std::thread ([&] { firstOnNewThread = platform::crtRand(); }).join();
        EXPECT_EQ (firstOnNewThread, 41);

        EXPECT_EQ (platform::crtRand(), 6334);
    }).join();
}

TEST (FileNames, SplitsAtEitherSeparator)
{
    struct Case { const char* path; const char* name; const char* extension; };
    const Case cases[] = {
        { "/a.b/song.WAV",       "song.WAV",  ".wav" },
        { "/a.b/song",           "song",      ""     },
        { "C:\\x\\pic.png",      "pic.png",   ".png" },
        { "plain.flac",          "plain.flac", ".flac" },
        { "/dir/archive.tar.gz", "archive.tar.gz", ".gz" },
        { "",                    "",          ""     },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (platform::fileNameOf (c.path), juce::String (c.name)) << c.path;
        EXPECT_EQ (platform::extensionOf (c.path), juce::String (c.extension)) << c.path;
    }
}

TEST (Folders, LiveUnderHomeAndAreCreatedOnDemand)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    const auto documents = platform::documentsFolder();

    EXPECT_TRUE (documents.isAChildOf (home)) << documents.getFullPathName();
    documents.deleteRecursively();
    EXPECT_EQ (platform::chooserStart (documents), home);

    ASSERT_TRUE (platform::ensureFolder (documents));
    EXPECT_TRUE (documents.isDirectory());
    EXPECT_EQ (platform::chooserStart (documents), documents);

    EXPECT_TRUE (platform::musicFolder().isAChildOf (home));
    EXPECT_EQ (platform::tempFolder().getFullPathName(), juce::String (std::getenv ("TMPDIR")));
}

TEST (KeyState, TestsCanScriptHeldKeys)
{
    platform::setKeyDownQuery ([] (int code) { return code == 'Z'; });
    EXPECT_TRUE (platform::isKeyDown ('Z'));
    EXPECT_FALSE (platform::isKeyDown ('S'));
    platform::setKeyDownQuery ({});
}

TEST (AudioFormats, EveryRoadKnowsTheSameFormats)
{
    juce::AudioFormatManager manager;
    platform::registerAudioFormats (manager);

    for (const char* extension : { ".wav", ".aiff", ".flac", ".ogg", ".mp3" })
        EXPECT_NE (manager.findFormatForFileExtension (extension), nullptr) << extension;
}

TEST (Fonts, NamedFamiliesDrawWithInstalledFaces)
{
    struct Row { const char* family; juce::StringArray candidates; };
    const Row rows[] = {
        { "Times New Roman", { "Liberation Serif", "Nimbus Roman", "DejaVu Serif" } },
        { "Arial",           { "Liberation Sans", "Nimbus Sans", "DejaVu Sans" } },
        { "Courier New",     { "Liberation Mono", "Nimbus Mono PS", "DejaVu Sans Mono" } },
        { "Consolas",        { "Liberation Mono", "DejaVu Sans Mono" } },
        { "Segoe UI Symbol", { "DejaVu Sans" } },
    };

    const auto installed = juce::Font::findAllTypefaceNames();

    for (const auto& row : rows)
    {
        juce::String expected;
        for (const auto& candidate : row.candidates)
            if (installed.contains (candidate)) { expected = candidate; break; }

        ASSERT_TRUE (expected.isNotEmpty()) << "no installed face for " << row.family;
        EXPECT_EQ (platform::resolveFontFamily (row.family), expected);

        for (int style : { (int) juce::Font::plain, (int) juce::Font::bold, (int) juce::Font::italic, juce::Font::bold | juce::Font::italic })
        {
            juce::Font font (row.family, 14.0f, style);
            auto typeface = font.getTypefacePtr();
            ASSERT_NE (typeface, nullptr);
            EXPECT_EQ (typeface->getName(), expected) << row.family << " style " << style;
            EXPECT_GT (font.getStringWidth ("Hg"), 0) << row.family << " style " << style;
        }
    }

    EXPECT_EQ (platform::resolveFontFamily ("Some Unknown Face"), "Some Unknown Face");
}
