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

    const auto deadline = juce::Time::getMillisecondCounter() + 2000;
    juce::Random random (42);
    int checked = 0;

    for (int round = 0; juce::Time::getMillisecondCounter() < deadline; ++round)
    {
        auto view = std::make_unique<WaveformView>();
        view->setSize (300, 120);

        int current = round % 2;
        view->loadFile (files[current]);

        for (int step = 0; step < 4; ++step)
        {
            test_support::pumpFor (random.nextInt (15));

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

        view.reset();   // may land mid-build, or with a result still queued
    }

    // Let anything still queued find its view gone.
    test_support::pumpFor (50);
    EXPECT_GT (checked, 0);

    for (const auto& f : files)
        f.deleteFile();
}
