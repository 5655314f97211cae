#include <gtest/gtest.h>

#include "controls/RightClickSlider.h"
#include "main/MainComponentTestAccess.h"
#include "support/MessagePump.h"

#include <memory>

TEST (MainComponentStart, ControlsComeUpIdle)
{
    MainComponent mc;
    mc.setSize (1200, 800);
    MainComponentTestAccess access (mc);

    EXPECT_FALSE (access.playButton().isEnabled());
    EXPECT_FALSE (access.stopButton().isEnabled());
    EXPECT_FALSE (access.bpmDetectButton().isEnabled());
    EXPECT_TRUE (access.child ("loadButton").isEnabled());

    for (auto* toggle : access.offToggles())
        EXPECT_FALSE (toggle->getToggleState()) << toggle->getButtonText();

    EXPECT_EQ (access.bpmEditor().getText(), "---");
    EXPECT_EQ (access.fileLabel().getText(), "No file loaded");
    EXPECT_EQ (access.masterProLevel(), 18);

    const char* captions[] = { "Distortion Suite", "STEREO UTILITY MAX", "DELAYVERB", "ATOMIZER",
                               "MULTI EFFECT IMAGER", "TIMEPRO", "DICTIONARY READER", "SMART EQ", "FINALIZER" };
    const auto buttons = mc.getPanelButtons();
    for (size_t i = 0; i < buttons.size(); ++i)
    {
        EXPECT_EQ (buttons[i]->getButtonText(), captions[i]);
        EXPECT_TRUE (buttons[i]->isVisible()) << captions[i];
    }

    for (auto& p : access.panels())
    {
        EXPECT_EQ (*p.state, MainComponent::panelHidden);
        EXPECT_FALSE (p.panel->isVisible());
        if (p.hud != nullptr)
        {
            EXPECT_FALSE (p.hud->isVisible());
        }
    }
    EXPECT_FALSE (access.finalizerHud().isVisible());
    EXPECT_EQ (access.finalizerHud().getWidth(), 260);
    EXPECT_EQ (access.finalizerHud().getHeight(), 280);
    EXPECT_FALSE (access.child ("recordingWindow").isVisible());

    EXPECT_EQ (access.routing().mode, RoutingMode::Serial);
    ASSERT_EQ (access.routing().serialOrder.size(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ (access.routing().serialOrder[i], i);
    EXPECT_EQ (access.routing().groups.size(), 9);
}

TEST (MainComponentStart, TempoEditorTakesSixDigitsOrPointsAtMost)
{
    MainComponent mc;
    MainComponentTestAccess access (mc);
    auto& editor = access.bpmEditor();

    struct Case { const char* typed; const char* result; };
    const Case cases[] = { { "128.5", "128.5" }, { "12a3.4567", "123.45" }, { "-90 bpm", "90" }, { "1234567", "123456" } };

    for (const auto& c : cases)
    {
        editor.setText ({}, juce::dontSendNotification);
        editor.insertTextAtCaret (c.typed);
        EXPECT_EQ (editor.getText(), c.result) << c.typed;
    }
}

TEST (MainComponentStart, FlacFilesOpenThroughTheFirstRegistration)
{
    MainComponent mc;
    MainComponentTestAccess access (mc);
    auto& formats = access.formatManager();

    int flacIndex = -1, flacCount = 0;
    for (int i = 0; i < formats.getNumKnownFormats(); ++i)
    {
        if (formats.getKnownFormat (i)->canHandleFile (juce::File ("/tmp/x.flac")))
        {
            ++flacCount;
            if (flacIndex < 0)
                flacIndex = i;
        }
    }

    EXPECT_EQ (flacCount, 2);
    EXPECT_EQ (formats.findFormatForFileExtension (".flac"), formats.getKnownFormat (flacIndex));
    EXPECT_EQ (formats.getDefaultFormat()->getFormatName(), "WAV file");
}

TEST (MainComponentStart, InstancePointerAndAudioLengthFollowTheComponent)
{
    EXPECT_EQ (MainComponent::getAudioLengthSeconds(), 0.0);
    {
        auto mc = std::make_unique<MainComponent>();
        EXPECT_EQ (MainComponent::mainComponentInstance, mc.get());
        EXPECT_EQ (MainComponent::getAudioLengthSeconds(), 0.0);
        EXPECT_EQ (RightClickSlider::getAudioLengthSeconds(), 0.0);
    }
    EXPECT_EQ (MainComponent::mainComponentInstance, nullptr);
    EXPECT_EQ (RightClickSlider::getAudioLengthSeconds(), 0.0);
}

TEST (MainComponentStart, FreezeTogglesLockTextAndColours)
{
    MainComponent mc;
    MainComponentTestAccess access (mc);
    auto& button = access.freezeButton();
    access.stopMainTimer();   // otherwise a tick while the click is delivered pulses the colour

    button.triggerClick();
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_TRUE (access.frozen());
    EXPECT_TRUE (access.randomiser().freezeLock);
    EXPECT_TRUE (button.getToggleState());
    EXPECT_EQ (button.getButtonText(), "FROZEN");
    EXPECT_EQ (button.findColour (juce::TextButton::buttonOnColourId), juce::Colour (0xff00ffff));
    EXPECT_EQ (button.findColour (juce::TextButton::textColourOnId), juce::Colour (0xff000000));

    mc.toggleFreeze();
    EXPECT_FALSE (access.frozen());
    EXPECT_FALSE (access.randomiser().freezeLock);
    EXPECT_FALSE (button.getToggleState());
    EXPECT_EQ (button.getButtonText(), "FREEZE");
    EXPECT_EQ (button.findColour (juce::TextButton::buttonColourId), juce::Colour (0xff222222));
    EXPECT_EQ (button.findColour (juce::TextButton::textColourOffId), juce::Colour (0xff00ccff));
}
