#include <gtest/gtest.h>

#include "controls/RightClickSlider.h"
#include "controls/SliderRampRegistry.h"
#include "support/MessagePump.h"

namespace
{
    struct MixKnob : public ::testing::Test
    {
        MixKnob()
        {
            knob.setRange (0.0, 100.0);
            knob.setValue (50.0, juce::dontSendNotification);
            knob.setTextValueSuffix ("%");
            knob.setName ("MIX");
        }

        ~MixKnob() override
        {
            SliderRampRegistry::getInstance().clear();
            RightClickSlider::setAudioLengthSource (nullptr);
        }

        void typeIntoEnterValue (const juce::String& text, int result = 1)
        {
            auto dialog = knob.createEnterValueDialog();
            dialog->getTextEditor ("value")->setText (text);
            knob.onEnterValueDialogResult (result, *dialog);
        }

        void automate (const juce::String& target, const juce::String& endTime, int result = 1)
        {
            const auto valueWhenOpened = knob.getValue();
            auto dialog = knob.createAutomateDialog (12.34);
            dialog->getTextEditor ("targetVal")->setText (target);
            dialog->getTextEditor ("endTime")->setText (endTime);
            knob.onAutomateDialogResult (result, *dialog, valueWhenOpened, knob.getTextValueSuffix());
        }

        const SliderRamp* ramp() const { return SliderRampRegistry::getInstance().find (&knob); }

        RightClickSlider knob;
    };

    juce::MouseEvent pressAt (juce::Component& c, juce::Point<float> pos, juce::ModifierKeys mods)
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), pos, mods,
                                 juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f,
                                 &c, &c, now, pos, now, 1, false);
    }
}

TEST (SliderDialogs, TextsAreBuiltExactly)
{
    using namespace sliderdialogs;
    EXPECT_EQ (enterValueTitle(), "Enter Value");
    EXPECT_EQ (enterValueMessage ("MIX", 0.0, 100.0), "MIX (0.0 - 100.0)");
    EXPECT_EQ (enterValueMessage ("IN", -48.0, 48.0), "IN (-48.0 - 48.0)");
    EXPECT_EQ (enterValueText (42.5), "42.50");
    EXPECT_EQ (automateTitle ("MIX"), "Automate MIX");
    EXPECT_EQ (automateMessage(), "Set automation from current value to target over time");
    EXPECT_EQ (automateStartLabel(), "From (current):");
    EXPECT_EQ (automateStartText (50.0, "%"), "50.00%");
    EXPECT_EQ (automateTargetLabel (100.0, "%"), "To (target value) [MaxValue: 100.00%]:");
    EXPECT_EQ (automateEndLabel (12.34), "Until (seconds, max 12.34s):");
    EXPECT_EQ (automateEndText (12.34), "12.34");
    EXPECT_EQ (noWaveformTitle(), "No Waveform");
    EXPECT_EQ (noWaveformMessage(), "Please load a WAV file first to set automation timing.");
}

TEST (SliderDialogs, NumbersAreReadAsTheFrameworkReadsThem)
{
    const struct { const char* text; double number; double endTime; } cases[] =
    {
        { "42.5%",  42.5,  42.5 },
        { "  7",    7.0,   7.0 },
        { "-3",     -3.0,  0.1 },
        { "abc",    0.0,   0.1 },
        { "",       0.0,   0.1 },
        { "0",      0.0,   0.1 },
        { "-5",     -5.0,  0.1 },
        { "1e999",  0.0,   0.1 },     // would be infinite: read as no number
    };

    for (const auto& c : cases)
    {
        EXPECT_DOUBLE_EQ (sliderdialogs::readNumber (c.text), c.number) << c.text;
        EXPECT_DOUBLE_EQ (sliderdialogs::readEndTime (c.text), c.endTime) << c.text;
    }
}

TEST_F (MixKnob, EnterValueClampsToTheRangeAndNotifies)
{
    int callbacks = 0;
    knob.onValueChange = [&] { ++callbacks; };

    auto dialog = knob.createEnterValueDialog();
    EXPECT_EQ (dialog->getName(), "Enter Value");
    EXPECT_EQ (dialog->getTextEditorContents ("value"), "50.00");

    const struct { const char* typed; double expected; } cases[] =
    {
        { "150", 100.0 }, { "-3", 0.0 }, { "abc", 0.0 }, { "42.5%", 42.5 },
    };

    for (const auto& c : cases)
    {
        typeIntoEnterValue (c.typed);
        EXPECT_DOUBLE_EQ (knob.getValue(), c.expected) << c.typed;
        EXPECT_FLOAT_EQ (knob.getAtomicValue(), (float) c.expected) << "the audio thread's copy follows at once";
    }

    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_GT (callbacks, 0);

    typeIntoEnterValue ("10", 0);
    EXPECT_DOUBLE_EQ (knob.getValue(), 42.5) << "Cancel changes nothing";
}

TEST_F (MixKnob, AutomateStoresTheRampFromTheValueWhenTheDialogOpened)
{
    auto dialog = knob.createAutomateDialog (12.34);
    EXPECT_EQ (dialog->getName(), "Automate MIX");
    EXPECT_EQ (dialog->getTextEditorContents ("startVal"), "50.00%");
    EXPECT_TRUE (dialog->getTextEditor ("startVal")->isReadOnly());
    EXPECT_EQ (dialog->getTextEditorContents ("targetVal"), "50.00");
    EXPECT_EQ (dialog->getTextEditorContents ("endTime"), "12.34");

    // The start editor is never read: typing into it changes nothing.
    dialog->getTextEditor ("startVal")->setText ("3");
    dialog->getTextEditor ("targetVal")->setText ("150");
    dialog->getTextEditor ("endTime")->setText ("99");
    knob.onAutomateDialogResult (1, *dialog, 50.0, "%");

    ASSERT_NE (ramp(), nullptr);
    EXPECT_DOUBLE_EQ (ramp()->startValue, 50.0);
    EXPECT_DOUBLE_EQ (ramp()->targetValue, 100.0);
    EXPECT_DOUBLE_EQ (ramp()->startTime, 0.0);
    EXPECT_DOUBLE_EQ (ramp()->endTime, 99.0) << "longer than the file is kept as typed";
    EXPECT_TRUE (ramp()->active);
    EXPECT_EQ (ramp()->suffix, "%");
    EXPECT_DOUBLE_EQ (knob.getValue(), 50.0) << "making a ramp does not move the knob";

    for (const auto* endText : { "0", "-5", "abc" })
    {
        automate ("20", endText);
        EXPECT_DOUBLE_EQ (ramp()->endTime, 0.1) << endText;
    }

    // A second ramp replaces the first entirely, starting from the knob's value now.
    knob.setValue (70.0);
    automate ("10", "5");
    EXPECT_DOUBLE_EQ (ramp()->startValue, 70.0);
    EXPECT_DOUBLE_EQ (ramp()->targetValue, 10.0);
    EXPECT_EQ (SliderRampRegistry::getInstance().size(), 1u);

    automate ("90", "8", 0);
    EXPECT_DOUBLE_EQ (ramp()->targetValue, 10.0) << "Cancel changes nothing";
}

TEST_F (MixKnob, MenuOffersClearingOnlyForARampedKnobAndClearsOnlyThatKnob)
{
    const auto countItems = [] (const juce::PopupMenu& menu)
    {
        juce::StringArray names;

        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            names.add (it.getItem().text);

        return names;
    };

    EXPECT_EQ (countItems (knob.createSliderMenu()), juce::StringArray ({ "Enter Value...", "Automate..." }));

    RightClickSlider other;
    other.setRange (0.0, 10.0);
    automate ("80", "10");
    SliderRampRegistry::getInstance().setRamp (&other, *ramp());

    EXPECT_EQ (countItems (knob.createSliderMenu()),
               juce::StringArray ({ "Enter Value...", "Automate...", "Clear Automation" }));

    knob.setValue (33.0);
    knob.handleSliderMenuResult (RightClickSlider::clearAutomationId);
    EXPECT_EQ (ramp(), nullptr);
    EXPECT_NE (SliderRampRegistry::getInstance().find (&other), nullptr);
    EXPECT_DOUBLE_EQ (knob.getValue(), 33.0);

    knob.handleSliderMenuResult (0);
    EXPECT_EQ (SliderRampRegistry::getInstance().size(), 1u);
}

TEST_F (MixKnob, RightPressNeverMovesTheKnobWhileALeftPressDoes)
{
    knob.setSliderStyle (juce::Slider::LinearHorizontal);
    knob.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    knob.setBounds (0, 0, 200, 20);

    knob.mouseDown (pressAt (knob, { 190.0f, 10.0f }, juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier)));
    EXPECT_DOUBLE_EQ (knob.getValue(), 50.0);
    juce::PopupMenu::dismissAllActiveMenus();
    EXPECT_TRUE (test_support::runPendingMessages());

    const auto left = pressAt (knob, { 190.0f, 10.0f }, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier));
    knob.mouseDown (left);
    knob.mouseUp (left);
    EXPECT_GT (knob.getValue(), 90.0);
}

TEST_F (MixKnob, AudioLengthComesFromTheInstalledSource)
{
    EXPECT_DOUBLE_EQ (RightClickSlider::getAudioLengthSeconds(), 0.0) << "no main component: nothing loaded";

    RightClickSlider::setAudioLengthSource ([] { return 12.34; });
    EXPECT_DOUBLE_EQ (RightClickSlider::getAudioLengthSeconds(), 12.34);
}

TEST (SliderRampRegistry, ADestroyedKnobLeavesNoEntry)
{
    auto& registry = SliderRampRegistry::getInstance();
    registry.clear();

    auto knob = std::make_unique<RightClickSlider>();
    const juce::Slider* address = knob.get();
    registry.setRamp (knob.get(), { 0.0, 1.0, 0.0, 1.0, true, {} });
    ASSERT_TRUE (registry.isAutomated (address));

    knob.reset();
    EXPECT_EQ (registry.find (address), nullptr);
    EXPECT_TRUE (registry.isEmpty());
}
