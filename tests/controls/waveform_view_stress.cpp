#include <gtest/gtest.h>

#include "controls/WaveformSpectrogram.h"
#include "controls/WaveformTestFiles.h"
#include "controls/WaveformView.h"
#include "support/MessagePump.h"

// Views are loaded, reloaded and destroyed while their spectrogram threads run and their
// results are in flight. A view that reports a spectrogram must show its current file's,
// never a stale one.
TEST (WaveformViewStress, ReloadAndDestroyWhileBuilding)
{
    const juce::File files[] =
    {
        waveformtest::sineWav ("stressA.wav", 3.0, 44100.0, 2),
        waveformtest::sineWav ("stressB.wav", 1.0, 22050.0, 1),
    };
    const int expectedWidth[] = { spectrogram::frameCount (3 * 44100), spectrogram::frameCount (22050) };

    juce::Random random (42);
    int checked = 0;

    // A fixed number of rounds, not a time budget: a slow build (a sanitizer, a loaded machine)
    // does more waiting, never fewer checks.
    for (int round = 0; round < 60; ++round)
    {
        auto view = std::make_unique<WaveformView>();
        view->setSize (300, 120);

        int current = round % 2;
        view->loadFile (files[current]);

        for (int step = 0; step < 4; ++step)
        {
            // Deliver whatever has arrived so far; how far the worker got is the stress.
            for (int pass = random.nextInt (3); --pass >= 0;)
                ASSERT_TRUE (test_support::runPendingMessages (1));

            if (view->isSpectrogramReady())
            {
                EXPECT_EQ (view->getSpectrogramImage().getWidth(), expectedWidth[current]);
                ++checked;
            }

            if (random.nextBool())
            {
                current = 1 - current;
                view->loadFile (files[current]);
            }
            else
            {
                view->handleViewMenuResult (WaveformView::toggleSpectrogramId, 0.0);
            }
        }

        // Every other round waits for the current file's spectrogram, whatever the toggles
        // left running, so the check above is certain to run; the others destroy the view
        // mid-build or with a result still queued.
        if (round % 2 == 0)
        {
            if (! view->isSpectrogramReady())
                view->generateSpectrogram();

            ASSERT_TRUE (test_support::pumpUntil ([&] { return view->isSpectrogramReady(); }, 60000));
            EXPECT_EQ (view->getSpectrogramImage().getWidth(), expectedWidth[current]);
            ++checked;
        }

        view.reset();
    }

    // Let anything still queued find its view gone.
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_GE (checked, 30);

    for (const auto& f : files)
        f.deleteFile();
}
