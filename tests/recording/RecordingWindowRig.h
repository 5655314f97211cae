#pragma once

#include "recording/RecordingWindow.h"

#include <memory>
#include <stdexcept>
#include <vector>

// A shown 900 x 500 recording panel with a fake input device and its alerts collected instead
// of shown. The panel's own timer is stopped: tests call timerCallback themselves.
struct RecordingWindowRig
{
    struct Alert
    {
        juce::MessageBoxIconType icon;
        juce::String title, message;
    };

    RecordingWindowRig()
    {
        window->stopTimer();
        window->setBounds (0, 0, 900, 500);
        window->setVisible (true);
        window->inputDeviceProbe = [this]
        {
            if (probeThrows)
                throw std::runtime_error ("device busy");
            return device;
        };
        window->showAlert = [this] (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message)
        {
            alerts.push_back ({ icon, title, message });
        };
    }

    void ticks (int n)
    {
        for (int i = 0; i < n; ++i)
            window->timerCallback();
    }

    /** `frames` of a constant signal through the capture path, in blocks of up to 8192. */
    void pushFrames (size_t frames, float value = 0.1f)
    {
        const std::vector<float> block (8192, value);

        while (frames > 0)
        {
            const auto n = (int) std::min<size_t> (frames, block.size());
            window->pushSamples (block.data(), block.data(), n);
            frames -= (size_t) n;
        }
    }

    juce::String recordText() const { return window->recordButton.getButtonText(); }
    juce::String status() const { return window->statusLabel.getText(); }

    RecordingWindow::InputDeviceReport device { true, true, "Test Input", 2, 44100.0 };
    bool probeThrows = false;
    std::vector<Alert> alerts;
    std::unique_ptr<RecordingWindow> window = std::make_unique<RecordingWindow>();
};
