#include <gtest/gtest.h>

#include "main/MainComponentChainAccess.h"
#include "support/MessagePump.h"
#include "support/RealtimeTrap.h"

namespace
{
    using Rect = juce::Rectangle<int>;

    std::unique_ptr<MainComponent> makeMain (int width = 1200, int height = 800)
    {
        auto mc = std::make_unique<MainComponent>();
        mc->shutdownAudio();     // tests drive the audio side themselves
        mc->setSize (width, height);
        return mc;
    }

    juce::AudioBuffer<float> makeBlock (int n)
    {
        juce::AudioBuffer<float> b (2, n);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < n; ++i)
                b.setSample (c, i, 0.25f * std::sin (0.05f * (float) (i + 7 * c)));
        return b;
    }

    bool sameSamples (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
    {
        for (int c = 0; c < a.getNumChannels(); ++c)
            for (int i = 0; i < a.getNumSamples(); ++i)
                if (a.getSample (c, i) != b.getSample (c, i))
                    return false;
        return true;
    }
}

//==============================================================================
TEST (MainComponentChain, RoutingMenusPublishToTheChain)
{
    auto mc = makeMain();
    MainComponentChainAccess access (*mc);
    mc->prepareToPlay (512, 44100.0);

    // Nothing active: every routing leaves the block as it was.
    access.keepChainOut();

    for (int item : { 1, 2, 3, 30, 32 })
    {
        SCOPED_TRACE (item);
        access.handleRoutingMenuResult (item);

        auto block = makeBlock (512);
        const auto dry = makeBlock (512);
        access.runEffectChain (block, 0, 512);

        EXPECT_TRUE (access.chain().routingInUse() == access.routing());
        EXPECT_TRUE (sameSamples (block, dry));
    }

    // Editors publish too: the chain's next block runs the edited order.
    access.handleRoutingMenuResult (2);
    access.handleRoutingMenuResult (20);
    access.handleSerialOrderResult (803);
    auto block = makeBlock (64);
    access.runEffectChain (block, 0, 64);
    EXPECT_EQ (access.chain().routingInUse().serialOrder[0], 8);

    access.handleRoutingMenuResult (3);
    access.handleGroupEditorResult (400 + 1000 * 0);    // nothing to split: still republished as is
    access.handleGroupEditorResult (1000 * 1 + 100 + 0); // Distortion Suite joins group 2
    access.runEffectChain (block, 0, 64);
    EXPECT_EQ (access.chain().routingInUse().groups[0].size(), 2);
}

TEST (MainComponentChain, RealEffectsRunInEveryRoutingWithoutAllocating)
{
    auto mc = makeMain();
    MainComponentChainAccess access (*mc);
    mc->prepareToPlay (512, 48000.0);

    // The start state: Smart EQ bands and the finalizer active.
    EXPECT_TRUE (access.isEffectActive (7));
    EXPECT_TRUE (access.isEffectActive (8));

    for (int item : { 1, 2, 3 })
    {
        SCOPED_TRACE (item);
        access.handleRoutingMenuResult (item);

        auto block = makeBlock (512);
        access.runEffectChain (block, 0, 512);          // warm-up takes the routing

        for (int n : { 64, 512, 9000 })
        {
            auto big = makeBlock (9000);
            {
                testing_rt::RealtimeScope scope;
                access.runEffectChain (big, 0, n);
                if (testing_rt::trapAvailable())
                {
                    EXPECT_TRUE (scope.counts().clean()) << n;
                }
            }

            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < n; ++i)
                    ASSERT_TRUE (std::isfinite (big.getSample (c, i)));
        }
    }
}

//==============================================================================
TEST (MainComponentTimer, MeterReadoutAndTimerPeriod)
{
    auto mc = makeMain();
    MainComponentChainAccess access (*mc);
    EXPECT_EQ (access.timerInterval(), 33);

    access.meterButton().triggerClick();
    EXPECT_TRUE (test_support::runPendingMessages());
    ASSERT_TRUE (access.meterButton().getToggleState());
    EXPECT_EQ (access.timerInterval(), 50);

    juce::AudioBuffer<float> half (2, 256);
    for (int i = 0; i < 256; ++i)
    {
        half.setSample (0, i, i % 2 == 0 ? 0.5f : -0.5f);
        half.setSample (1, i, 0.1f);
    }
    access.levelMeter().measure (half, 0, 256);
    access.tick();
    EXPECT_EQ (access.meterButton().getButtonText(), "-6.0dB");

    juce::AudioBuffer<float> silence (2, 256);
    silence.clear();
    access.levelMeter().measure (silence, 0, 256);
    access.tick();
    EXPECT_EQ (access.meterButton().getButtonText(), "-INF");

    access.meterButton().triggerClick();
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_EQ (access.timerInterval(), 33);
    EXPECT_EQ (access.meterButton().getButtonText(), "METER");

    // With METER off the caption stays, whatever the meter holds.
    access.tick();
    EXPECT_EQ (access.meterButton().getButtonText(), "METER");
}

TEST (MainComponentTimer, PresetFlashMidiLampAndPlayCaption)
{
    auto mc = makeMain();
    MainComponentChainAccess access (*mc);
    const auto colourOf = [&] { return access.presetButton().findColour (juce::TextButton::buttonColourId).getARGB(); };

    access.presetButton().setColour (juce::TextButton::buttonColourId, juce::Colour (0xff32cd32));
    for (int tick = 1; tick <= 15; ++tick)
    {
        access.tick();
        ASSERT_EQ (colourOf(), 0xff32cd32u) << tick;
    }
    access.tick();
    EXPECT_EQ (colourOf(), 0xff87ceebu);             // back to normal after 16 ticks

    const auto lampOf = [&] { return access.midiLamp().findColour (juce::Label::backgroundColourId).getARGB(); };
    access.midiActivity() = true;
    access.tick();
    EXPECT_EQ (lampOf(), 0xff00ff00u);
    EXPECT_FALSE (access.midiActivity().load());
    access.tick();
    access.tick();
    EXPECT_EQ (lampOf(), 0xff00ff00u);
    access.tick();
    EXPECT_EQ (lampOf(), 0xff333344u);

    // Stopped: the caption reads PLAY.
    access.playButton().setButtonText ("PAUSE");
    access.tick();
    EXPECT_EQ (access.playButton().getButtonText(), "PLAY");
}

TEST (MainComponentTimer, TapAppliesTheTargetTempo)
{
    auto mc = makeMain();
    MainComponentChainAccess access (*mc);

    // A first tap only starts the tap clock, so it re-applies the current target.
    access.beatClock().setTargetTempo (97.6f);
    access.tapButton().triggerClick();
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_FLOAT_EQ (access.bpm(), 97.6f);
    EXPECT_EQ (access.bpmEditor().getText(), "98");
}

//==============================================================================
TEST (MainComponentPanels, ButtonsShowAndHidePanelsWithTheirDisplaysInStackingOrder)
{
    auto mc = makeMain();
    MainComponentChainAccess access (*mc);
    auto panels = access.toggledPanels();

    // Show all eight one after another: each lands below the ones before it.
    int y = 0, hudY = 2;
    for (auto& p : panels)
    {
        p.button->onClick();
        EXPECT_EQ (*p.state, 0);
        EXPECT_TRUE (p.panel->isVisible());
        EXPECT_EQ (p.panel->getBounds(), Rect (2, y + 2, 1154, p.height));
        y += p.height + 4;

        if (p.hud != nullptr)
        {
            EXPECT_TRUE (p.hud->isVisible());
            EXPECT_EQ (p.hud->getBounds(), Rect (985, hudY, 210, 100));
            hudY += 105;
        }
    }
    EXPECT_EQ (access.effectsContent().getHeight(), y);
    EXPECT_FALSE (access.finalizerHud().isVisible());

    // Hiding DelayVerb closes its gap and empties its display.
    panels[1].hud->setInfo ("DELAYVERB", "TIME", "250 ms", "x");
    panels[1].button->onClick();
    EXPECT_EQ (*panels[1].state, -1);
    EXPECT_FALSE (panels[1].panel->isVisible() || panels[1].hud->isVisible());
    EXPECT_TRUE (panels[1].hud->title.isEmpty() && panels[1].hud->valueText.isEmpty());
    EXPECT_EQ (panels[2].panel->getY(), 2 + 165);
    EXPECT_EQ (panels[2].hud->getY(), 2 + 105);
    EXPECT_EQ (access.effectsContent().getHeight(), y - 165);

    // FINALIZER hides the finalizer's display with the panel.
    access.finalizerHud().setVisible (true);
    panels[7].button->onClick();
    EXPECT_FALSE (access.finalizerPanel().isVisible() || access.finalizerHud().isVisible());
}

TEST (MainComponentPanels, DistortionSuiteMenuShowsItFirstInTheStack)
{
    auto mc = makeMain();
    MainComponentChainAccess access (*mc);
    access.toggledPanels()[0].button->onClick();    // Stereo Utility first

    access.handleDistortionMenuResult (3);
    EXPECT_EQ (access.distortionState(), 2);
    EXPECT_EQ (access.distortionSuite().getMode(), 2);
    EXPECT_EQ (access.distortionSuite().getBounds(), Rect (2, 2, 1154, 161));
    EXPECT_EQ (access.distortionHud().getBounds(), Rect (985, 2, 210, 100));
    EXPECT_EQ (access.toggledPanels()[0].panel->getY(), 167);

    access.handleDistortionMenuResult (4);
    EXPECT_EQ (access.distortionState(), -1);
    EXPECT_FALSE (access.distortionSuite().isVisible());
    EXPECT_EQ (access.toggledPanels()[0].panel->getY(), 2);
}

TEST (MainComponentPanels, FinalizerDisplayFollowsThePanelAfterScrolling)
{
    auto mc = makeMain();
    MainComponentChainAccess access (*mc);
    auto panels = access.toggledPanels();
    panels[6].button->onClick();     // Smart EQ, so that the content scrolls
    panels[7].button->onClick();     // the finalizer panel

    auto& hud = access.finalizerHud();
    auto& panel = access.finalizerPanel();

    for (int scroll : { 0, 200 })
    {
        SCOPED_TRACE (scroll);
        access.viewport().setViewPosition (0, scroll);
        ASSERT_EQ (access.viewport().getViewPositionY(), scroll);

        panel.onHudToggle (true);
        ASSERT_TRUE (hud.isVisible());

        const auto r = mc->getLocalArea (&panel, panel.getLocalBounds());
        EXPECT_EQ (r.getY(), 341 + 2 + 495 - scroll);
        EXPECT_EQ (hud.getRight(), r.getRight() - 20);
        EXPECT_EQ (hud.getY(), r.getY() + 20);

        panel.onHudToggle (false);
        EXPECT_FALSE (hud.isVisible());
    }
}
