#include "effects/finalizer/TavroFinalizer.h"

#include <cmath>

namespace
{
    struct TabHelp { const char* range; const char* description; };
    const TabHelp tabHelp[] = {
        { "Module Tab", "Controls: All processing - EQ, dynamics, stereo, saturation, limiter" },
        { "Module Tab", "Metering: LUFS loudness, spectrum analyzer, correlation" },
        { "Module Tab", "WavePlayer: Audio player, recorder, file browser, transport" },
    };
}

void TavroFinalizer::timerCallback()
{
    animationTime += 0.001f;

    tickPlayer();

    decayPeak (peakLeft, peakDecayPerTick);
    decayPeak (peakRight, peakDecayPerTick);

    ageIssueMarkers();
    analysePlaybackWindow();

    if (hud != nullptr && hud->isVisible())
        feedHud();

    repaint();
}

void TavroFinalizer::tickPlayer()
{
    if (wavePlayer.takeEnded())
        playButton.setToggleState (false, juce::dontSendNotification);

    // While the audio thread renders the player it owns the position. Device blocks arrive
    // many ticks apart, so the tick takes the position back only after renders have been
    // absent for longer than any block lasts.
    const auto calls = wavePlayer.renderCallCount();
    if (calls != renderCallsSeen)
    {
        renderCallsSeen = calls;
        ticksSinceRender = 0;
    }
    else if (ticksSinceRender < renderOwnershipTicks)
    {
        ++ticksSinceRender;
    }
    const bool rendering = ticksSinceRender < renderOwnershipTicks;

    if (rendering || ! playing.load() || playerLength.load() <= 0)
        return;

    if (! wavePlayer.advanceWithoutRender ((double) (playerSampleRate.load() / 1000)))
        playButton.setToggleState (false, juce::dontSendNotification);
}

void TavroFinalizer::ageIssueMarkers()
{
    for (size_t i = 0; i < issueMarkers.size();)
    {
        auto& marker = issueMarkers[i];
        marker.rise += 0.008f;
        marker.life -= 0.001f;

        if (marker.life <= 0.0f)
            issueMarkers.erase (issueMarkers.begin() + (std::ptrdiff_t) i);
        else
            ++i;
    }
}

void TavroFinalizer::feedHud()
{
    const float m = juce::jmax (peakLeft.load(), peakRight.load());
    const float truePeakDb = m > 0.0f ? juce::jmax (20.0f * std::log10 (m), -100.0f) : -100.0f;

    hud->integratedLufs = integratedLufs;
    hud->shortTermLufs = shortTermLufs;
    hud->momentaryLufs = momentaryLufs;
    hud->truePeakDb = truePeakDb;
    hud->loudnessRange = loudnessRange;
    hud->repaint();

    for (const auto& [component, info] : helpTexts)
    {
        if (component != nullptr && component->isVisible() && component->isMouseOver (true))
        {
            hud->setHoverText (info.name, info.unit, info.description);
            return;
        }
    }

    for (size_t i = 0; i < viewTabs.size(); ++i)
    {
        if (viewTabs[i].isMouseOver (false))
        {
            hud->setHoverText (viewTabs[i].getButtonText(), tabHelp[i].range, tabHelp[i].description);
            return;
        }
    }

    hud->hoverActive = false;
    hud->repaint();
}
