#include <gtest/gtest.h>

#include "controls/WaveformSpectrogram.h"
#include "controls/WaveformTestFiles.h"
#include "controls/WaveformView.h"
#include "support/MessagePump.h"

#include <atomic>

// The build runs on its own thread; a sanitizer build on a busy machine can take many times
// longer than a release build, and the wait ends as soon as the spectrogram is ready anyway.
static constexpr int spectrogramDeadlineMs = 60000;

namespace
{
    const juce::Colour floorColour = spectrogram::colourFor (0.0f);

    /** A reader that makes up its samples, for lengths no test wants on disk. */
    struct EndlessSilenceReader : public juce::AudioFormatReader
    {
        explicit EndlessSilenceReader (juce::int64 length) : juce::AudioFormatReader (nullptr, "generated")
        {
            sampleRate = 44100.0;
            bitsPerSample = 32;
            usesFloatingPointData = true;
            numChannels = 1;
            lengthInSamples = length;
        }

        bool readSamples (int* const* dest, int numDest, int offset, juce::int64, int num) override
        {
            ++reads;

            for (int ch = 0; ch < numDest; ++ch)
                if (dest[ch] != nullptr)
                    std::fill (dest[ch] + offset, dest[ch] + offset + num, 0);

            return true;
        }

        int reads = 0;
    };

    std::unique_ptr<WaveformView> loadedView (const juce::File& file)
    {
        auto view = std::make_unique<WaveformView>();
        view->setSize (400, 150);
        view->loadFile (file);
        return view;
    }
}

TEST (Spectrogram, FrameCountAndColourScale)
{
    EXPECT_EQ (spectrogram::frameCount (88200), 341);
    EXPECT_EQ (spectrogram::frameCount (1024), 1);
    EXPECT_EQ (spectrogram::frameCount (768), 0);
    EXPECT_EQ (spectrogram::columnCount (341), 341);
    EXPECT_EQ (spectrogram::columnCount (1000000), spectrogram::maxColumns);

    const struct { float v; juce::uint32 argb; } scale[] =
    {
        { 0.0f, 0xff0000ff }, { 0.25f, 0xff00ffff }, { 0.5f, 0xff00ff00 }, { 0.75f, 0xffffff00 }, { 1.0f, 0xffff0000 },
        { -3.0f, 0xff0000ff }, { 7.0f, 0xffff0000 },
    };

    for (const auto& c : scale)
        EXPECT_EQ (spectrogram::colourFor (c.v).getARGB(), c.argb) << c.v;
}

TEST (Spectrogram, BuiltInTheBackgroundAtOneColumnPerFrame)
{
    const auto file = waveformtest::sineWav ("spec2s.wav", 2.0, 44100.0);
    auto view = loadedView (file);

    EXPECT_FALSE (view->isSpectrogramReady()) << "loading does not wait for the spectrogram";
    ASSERT_TRUE (test_support::pumpUntil ([&] { return view->isSpectrogramReady(); }, spectrogramDeadlineMs));

    EXPECT_EQ (view->getSpectrogramImage().getWidth(), 341);
    EXPECT_EQ (view->getSpectrogramImage().getHeight(), 512);
    EXPECT_DOUBLE_EQ (view->getFileSampleRate(), 44100.0);

    // The 440 Hz tone is the loudest bin: bin 10 of 512 lands on row 501.
    const auto tone = view->getSpectrogramImage().getPixelAt (170, 511 - 10);
    EXPECT_EQ (tone.getRed(), 255);
    EXPECT_LT (tone.getGreen(), 20);

    view.reset();
    file.deleteFile();
}

TEST (Spectrogram, LongFilesFoldIntoBoundedColumnsAndKeepTheirEvents)
{
    // 60 s with one click at 30 s: more frames than the column cap.
    const auto clickAt = (juce::int64) 30 * 44100;
    const auto file = waveformtest::writeWav ("spec60s.wav", 60.0, 44100.0, 1,
                                              [clickAt] (juce::int64 i, int) { return i == clickAt ? 0.9f : 0.0f; });
    auto view = loadedView (file);
    ASSERT_TRUE (test_support::pumpUntil ([&] { return view->isSpectrogramReady(); }, spectrogramDeadlineMs));

    const auto& image = view->getSpectrogramImage();
    const auto frames = spectrogram::frameCount (60 * 44100);
    ASSERT_EQ (image.getWidth(), spectrogram::maxColumns);

    // Frames 5165..5167 contain the click; they fold into the columns around 5166 x 8192 / F.
    const auto expected = 5166.0 * spectrogram::maxColumns / frames;
    int lit = 0;

    for (int x = 0; x < image.getWidth(); ++x)
    {
        if (image.getPixelAt (x, 100) != floorColour)
        {
            ++lit;
            EXPECT_NEAR ((double) x, expected, 2.0);
        }
    }

    EXPECT_GT (lit, 0);

    view.reset();
    file.deleteFile();
}

TEST (Spectrogram, SilenceShowsTheFloorAndTooShortFilesShowNothing)
{
    const auto silent = waveformtest::writeWav ("specsilent.wav", 0.5, 44100.0, 2, [] (juce::int64, int) { return 0.0f; });
    auto view = loadedView (silent);
    ASSERT_TRUE (test_support::pumpUntil ([&] { return view->isSpectrogramReady(); }, spectrogramDeadlineMs));

    const auto& image = view->getSpectrogramImage();

    for (int x = 0; x < image.getWidth(); x += 7)
        for (int y = 0; y < image.getHeight(); y += 13)
            ASSERT_EQ (image.getPixelAt (x, y), floorColour);

    const auto tiny = waveformtest::writeWav ("spectiny.wav", 700.0 / 44100.0, 44100.0, 1, [] (juce::int64, int) { return 0.5f; });
    view->loadFile (tiny);
    EXPECT_TRUE (view->isFileLoaded());
    test_support::pumpFor (200);
    EXPECT_FALSE (view->isSpectrogramReady());

    view.reset();
    silent.deleteFile();
    tiny.deleteFile();
}

TEST (Spectrogram, AViewDestroyedMidBuildIsNeverReached)
{
    const auto file = waveformtest::sineWav ("specgone.wav", 60.0, 44100.0, 2);

    for (int i = 0; i < 3; ++i)
    {
        auto view = loadedView (file);
        view->handleViewMenuResult (WaveformView::toggleSpectrogramId, 0.0);
        view.reset();                                   // joins the worker; a posted result finds no view
        test_support::pumpFor (50);
    }

    // A reload while building drops the old result: only the new file's spectrogram arrives.
    const auto shortFile = waveformtest::sineWav ("specshort.wav", 1.0, 48000.0);
    auto view = loadedView (file);
    view->loadFile (shortFile);
    ASSERT_TRUE (test_support::pumpUntil ([&] { return view->isSpectrogramReady(); }, spectrogramDeadlineMs));
    EXPECT_EQ (view->getSpectrogramImage().getWidth(), spectrogram::frameCount (48000));
    EXPECT_DOUBLE_EQ (view->getFileSampleRate(), 48000.0);

    view.reset();
    file.deleteFile();
    shortFile.deleteFile();
}

TEST (Spectrogram, ABuildStopsWhenAsked)
{
    // Twenty minutes: a stop request ends the build within its first chunk.
    EndlessSilenceReader reader ((juce::int64) 20 * 60 * 44100);
    int polls = 0;
    const auto result = spectrogram::build (reader, [&] { return ++polls > 2; });

    EXPECT_FALSE (result.image.isValid());
    EXPECT_LE (reader.reads, 2);
}
