#include <gtest/gtest.h>

#include "main/PresetFile.h"

#include <sys/stat.h>

// The preset file on its own: the exact text written in both forms, what reading accepts and
// refuses, and that writing never leaves a damaged or half-written file behind.

namespace
{
    juce::File data (const char* name)
    {
        return juce::File (TAVRO_TEST_DATA_DIR).getChildFile ("presets").getChildFile (name);
    }

    juce::MemoryBlock bytesOf (const juce::File& file)
    {
        juce::MemoryBlock block;
        file.loadFileAsData (block);
        return block;
    }

    /** A folder of its own for one test, removed afterwards. */
    struct Scratch
    {
        Scratch() { folder.createDirectory(); }
        ~Scratch() { folder.deleteRecursively(); }
        juce::File folder = juce::File::createTempFile ("presets");
    };

    std::optional<presetfile::Loaded> loadText (const std::string& text)
    {
        return presetfile::fromJson (presetfile::parse (text.data(), text.size()));
    }
}

TEST (PresetFile, BothFormsMatchTheirGoldenFilesByteForByte)
{
    Scratch scratch;

    // The dialog's one-line form, with the values of the documented example.
    presetfile::State dialog { 50.0f, 25.0f, 18, 40.0f, 10.0f, 5.0f, 0.5f, -0.25f, 128.0f, false };
    const auto dialogFile = scratch.folder.getChildFile ("dialog.tavro");
    ASSERT_TRUE (presetfile::write (dialogFile, presetfile::toText (presetfile::toJson (dialog), true)));
    EXPECT_EQ (bytesOf (dialogFile), bytesOf (data ("dialog.tavro")));

    // The quick preset's form: CR LF, two-space indentation, nothing after the closing brace.
    // Values go through a float, so 100/3 is written as the float the knob holds.
    presetfile::State quick { 100.0f / 3.0f, 0.0f, 19, 100.0f, 0.1f, 99.9f, -1.5f, 1.0f, 0.0f, true };
    const auto quickFile = scratch.folder.getChildFile ("quick.tavro");
    ASSERT_TRUE (presetfile::write (quickFile, presetfile::toText (presetfile::toJson (quick), false)));
    EXPECT_EQ (bytesOf (quickFile), bytesOf (data ("quick.tavro")));

    // The golden files themselves say what the forms are.
    const auto dialogText = data ("dialog.tavro").loadFileAsString();
    EXPECT_FALSE (dialogText.containsAnyOf ("\r\n"));
    const auto quickText = data ("quick.tavro").loadFileAsString();
    EXPECT_TRUE (quickText.contains ("\"toneMax\": 33.33333206176758,"));
    EXPECT_TRUE (quickText.endsWith ("true\r\n}"));
    EXPECT_EQ (quickText.replace ("\r\n", "").indexOfChar ('\n'), -1);
}

TEST (PresetFile, ReadsEveryValueBackAsTheKnobsTakeIt)
{
    presetfile::State s { 100.0f / 3.0f, 12.5f, 7, 40.0f, 0.1f, 99.9f, -1.5f, 0.75f, 140.5f, true };

    for (bool oneLine : { true, false })
    {
        const auto text = presetfile::toText (presetfile::toJson (s), oneLine).toStdString();
        const auto p = loadText (text);
        ASSERT_TRUE (p.has_value());
        EXPECT_EQ (p->toneMax, s.toneMax);
        EXPECT_EQ (p->spatialMax, s.spatialMax);
        EXPECT_EQ (p->masterPro, s.masterPro);
        EXPECT_EQ (p->texturePro, s.texturePro);
        EXPECT_EQ (p->metaControl, s.metaControl);
        EXPECT_EQ (p->mathControl, s.mathControl);
        EXPECT_EQ (p->pitch, s.pitch);
        EXPECT_EQ (p->pan, s.pan);
        EXPECT_EQ (p->bpm, std::optional<float> (s.bpm));
        EXPECT_EQ (p->freeze, std::optional<bool> (true));
    }
}

TEST (PresetFile, ConvertsValuesAsTheKnobsReadThem)
{
    struct Case { const char* json; int masterPro; float pan; std::optional<float> bpm; std::optional<bool> freeze; };
    const Case cases[] = {
        { R"({"toneMax": 1, "masterPro": 25})",            19, 0.0f, {}, {} },
        { R"({"toneMax": 1, "masterPro": 7.9})",            7, 0.0f, {}, {} },
        { R"({"toneMax": 1, "masterPro": -3})",             0, 0.0f, {}, {} },
        { R"({"toneMax": 1, "masterPro": -0.9})",           0, 0.0f, {}, {} },
        { R"({"toneMax": 1, "masterPro": 1e30})",          19, 0.0f, {}, {} },
        // A missing key reads as 0: no "pan" centres the pan.
        { R"({"toneMax": 1, "pan": -0.5})",                 0, -0.5f, {}, {} },
        { R"({"toneMax": 1})",                              0, 0.0f, {}, {} },
        // A string holding a number counts as that number.
        { R"({"toneMax": 1, "pan": " 0.25 ", "bpm": "90"})", 0, 0.25f, 90.0f, {} },
        { R"({"toneMax": 1, "bpm": 128, "freeze": false})", 0, 0.0f, 128.0f, false },
        { R"({"toneMax": 1, "freeze": 1})",                 0, 0.0f, {}, true },
        // "version" and "volume" are never read, whatever they hold.
        { R"({"toneMax": 1, "version": "x", "volume": [], "extra": {}})", 0, 0.0f, {}, {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.json);
        const auto p = loadText (c.json);
        ASSERT_TRUE (p.has_value());
        EXPECT_EQ (p->toneMax, 1.0f);
        EXPECT_EQ (p->masterPro, c.masterPro);
        EXPECT_EQ (p->pan, c.pan);
        EXPECT_EQ (p->bpm, c.bpm);
        EXPECT_EQ (p->freeze, c.freeze);
    }
}

TEST (PresetFile, RefusesWhatIsNotAPresetWhole)
{
    const std::string deep = std::string (40, '[') + std::string (40, ']');
    const std::string hugeDeep = std::string (200000, '[');

    const std::string cases[] = {
        "",
        "   ",
        "42",
        "\"toneMax\"",
        "[]",
        R"([{"toneMax": 1}])",
        "{}",
        R"({"spatialMax": 50})",
        R"({"toneMax": 50, "spatialMax": 25)",              // truncated
        R"({"toneMax": 50, "spatialMax": 2)",
        R"({"toneMax": 50} {"toneMax": 60})",               // something after the object
        R"({"toneMax": 50}x)",
        std::string ("{\"toneMax\": 50}\0", 16),
        R"({"toneMax": 50, "pan": "left"})",                // wrongly typed values
        R"({"toneMax": "12abc"})",
        R"({"toneMax": true})",
        R"({"toneMax": null})",
        R"({"toneMax": [50]})",
        R"({"toneMax": 50, "pitch": {}})",
        R"({"toneMax": 50, "bpm": "fast"})",
        R"({"toneMax": 50, "freeze": "yes"})",
        R"({"toneMax": 50, "freeze": null})",
        R"({"toneMax": 1e39})",                             // not finite as a float
        R"({"toneMax": 50, "mathControl": -1e300})",
        "{\"toneMax\": 50, \"name\": \"\xff\xfe\"}",         // not UTF-8
        "{\"toneMax\": 50, \"x\": " + deep + "}",
        hugeDeep,
    };

    for (const auto& text : cases)
    {
        SCOPED_TRACE (text.substr (0, 60));
        EXPECT_FALSE (loadText (text).has_value());
    }

    // Brackets inside strings are only text, and a byte-order mark is allowed.
    EXPECT_TRUE (loadText (R"({"toneMax": 50, "note": "[[[[{{{{\"]]]"})").has_value());
    EXPECT_TRUE (loadText ("\xef\xbb\xbf{\"toneMax\": 50}").has_value());
}

TEST (PresetFile, ReadsOnlySmallPlainFiles)
{
    Scratch scratch;
    const auto good = scratch.folder.getChildFile ("good.tavro");
    good.replaceWithText (R"({"toneMax": 50})");
    EXPECT_TRUE (presetfile::fromJson (presetfile::readFile (good)).has_value());

    // A valid preset padded past the size limit is not read at all.
    const auto padded = scratch.folder.getChildFile ("padded.tavro");
    padded.replaceWithText (R"({"toneMax": 50})" + juce::String::repeatedString (" ", (int) presetfile::maxFileBytes));
    EXPECT_TRUE (presetfile::readFile (padded).isVoid());

    EXPECT_TRUE (presetfile::readFile (scratch.folder.getChildFile ("missing.tavro")).isVoid());
    EXPECT_TRUE (presetfile::readFile (scratch.folder).isVoid());
    EXPECT_TRUE (presetfile::readFile (juce::File()).isVoid());

    // A pipe with nobody writing to it would block a plain read forever.
    const auto pipe = scratch.folder.getChildFile ("pipe.tavro");
    ASSERT_EQ (::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    EXPECT_TRUE (presetfile::readFile (pipe).isVoid());
}

TEST (PresetFile, WritingReplacesTheFileInOneStepOrNotAtAll)
{
    Scratch scratch;
    const auto target = scratch.folder.getChildFile ("keep.tavro");
    target.replaceWithText ("old contents");
    ASSERT_EQ (::chmod (target.getFullPathName().toRawUTF8(), 0640), 0);

    ASSERT_TRUE (presetfile::write (target, "new\ncontents"));
    EXPECT_EQ (target.loadFileAsString(), "new\ncontents");

    // Only the target is left in the folder (no hidden temporary file either), with the
    // permissions the user gave it.
    EXPECT_EQ (scratch.folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*").size(), 1);
    struct stat info {};
    ASSERT_EQ (::stat (target.getFullPathName().toRawUTF8(), &info), 0);
    EXPECT_EQ (info.st_mode & 0777, 0640u);

    // A link is written through: the file it names changes, the link stays a link.
    const auto link = scratch.folder.getChildFile ("link.tavro");
    ASSERT_TRUE (target.createSymbolicLink (link, false));
    ASSERT_TRUE (presetfile::write (link, "through the link"));
    EXPECT_TRUE (link.isSymbolicLink());
    EXPECT_EQ (target.loadFileAsString(), "through the link");

    // Targets that cannot be written: a folder (with its contents) stays as it was, and a
    // missing folder is not created.
    const auto folderTarget = scratch.folder.getChildFile ("folder.tavro");
    folderTarget.getChildFile ("inside.txt").create();
    EXPECT_FALSE (presetfile::write (folderTarget, "x"));
    EXPECT_TRUE (folderTarget.getChildFile ("inside.txt").existsAsFile());

    const auto missingFolder = scratch.folder.getChildFile ("nowhere").getChildFile ("p.tavro");
    EXPECT_FALSE (presetfile::write (missingFolder, "x"));
    EXPECT_FALSE (missingFolder.getParentDirectory().exists());

    const auto underAFile = target.getChildFile ("p.tavro");
    EXPECT_FALSE (presetfile::write (underAFile, "x"));
    EXPECT_EQ (target.loadFileAsString(), "through the link");

    EXPECT_EQ (scratch.folder.findChildFiles (juce::File::findFiles, false, ".*").size(), 0);
}

TEST (PresetFile, ChosenNamesGetThePresetExtension)
{
    const juce::File folder ("/presets");
    const std::pair<const char*, const char*> cases[] = {
        { "my.json", "my.tavro" },
        { "my.TAVRO", "my.TAVRO" },
        { "my.tavro", "my.tavro" },
        { "my", "my.tavro" },
        { "my.set.json", "my.set.tavro" },
    };

    for (const auto& [chosen, written] : cases)
        EXPECT_EQ (presetfile::withPresetExtension (folder.getChildFile (chosen)), folder.getChildFile (written)) << chosen;
}
