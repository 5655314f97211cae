#include <gtest/gtest.h>

#include "knobs/KorruptKnob.h"
#include "knobs/MasterControlKnob.h"
#include "knobs/MathControlKnob.h"
#include "knobs/MetaControlKnob.h"
#include "knobs/OblivionKnob.h"
#include "knobs/PanKnob.h"
#include "knobs/PitchKnob.h"
#include "knobs/SpatialMaxKnob.h"
#include "knobs/TextureProKnob.h"
#include "knobs/VolumeKnob.h"

namespace
{
    juce::MouseEvent rightClickOn (juce::Component& c)
    {
        auto source = juce::Desktop::getInstance().getMainMouseSource();
        return juce::MouseEvent (source, {}, juce::ModifierKeys::rightButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                 &c, &c, juce::Time::getCurrentTime(), {}, juce::Time::getCurrentTime(), 1, false);
    }

    template <typename Knob>
    void checkMacroKnob (const juce::String& shownName, bool firesRightClick)
    {
        SCOPED_TRACE (shownName.toStdString());
        Knob knob;
        int calls = 0;
        float last = -1.0f;
        knob.onValueChange = [&] (float v) { ++calls; last = v; };

        // Code that sets a value without notification refreshes the title itself.
        knob.slider.setValue (42.4, juce::dontSendNotification);
        EXPECT_EQ (calls, 0);
        knob.updateTitle();
        EXPECT_EQ (knob.titleLabel.getText(), shownName + " (42%)");

        knob.slider.setValue (80.0, juce::sendNotificationSync);
        EXPECT_EQ (calls, 1);
        EXPECT_FLOAT_EQ (last, 80.0f);
        EXPECT_EQ (knob.titleLabel.getText(), shownName + " (80%)");

        bool rightClicked = false;
        knob.onRightClick = [&] { rightClicked = true; };
        knob.mouseDown (rightClickOn (knob));
        EXPECT_EQ (rightClicked, firesRightClick);
    }
}

TEST (MacroKnobs, TitlesCallbacksAndRightClicks)
{
    checkMacroKnob<OblivionKnob> ("ToneMax", true);
    checkMacroKnob<SpatialMaxKnob> ("SpatialMax", true);
    checkMacroKnob<TextureProKnob> ("TexturePro", true);
    checkMacroKnob<MathControlKnob> ("MathControl", true);
    // MetaControl keeps its right button for a menu of its own.
    checkMacroKnob<MetaControlKnob> ("MetaControl", false);

    MathControlKnob math;
    math.slider.setValue (42.0, juce::dontSendNotification);
    math.updateTitle();
    EXPECT_EQ (math.valueLabel.getText(), "BENT 42%");
    EXPECT_EQ (MathControlKnob::getModeName (0), "CRUSH");
    EXPECT_EQ (MathControlKnob::getModeName (8), "???");
}

TEST (MacroKnobs, MasterProLevelIsClampedAndReported)
{
    MasterControlKnob knob;
    std::vector<int> reported;
    knob.onLevelChange = [&] (int level) { reported.push_back (level); };

    for (int requested : { 5, 25, -3 })
        knob.setLevel (requested);

    EXPECT_EQ (reported, (std::vector<int> { 5, 19, 0 }));
    EXPECT_EQ (knob.titleLabel.getText(), "MasterPro (0)");
    EXPECT_EQ (knob.valueLabel.getText(), "0");
}

TEST (SimpleKnobs, SettersClampAndStaySilent)
{
    int calls = 0;
    VolumeKnob volume;
    volume.onValueChange = [&] (float) { ++calls; };
    volume.setValue (250.0f);
    EXPECT_EQ (volume.getValue(), 200.0f);

    PitchKnob pitch;
    pitch.onValueChange = [&] (float) { ++calls; };
    pitch.setValue (9.0f);
    EXPECT_EQ (pitch.getValue(), 4.0f);
    pitch.setRange (12);
    EXPECT_EQ (pitch.getValue(), 1.0f);

    PanKnob pan;
    pan.onPanChange = [&] (float) { ++calls; };
    pan.setPan (-3.0f);
    EXPECT_EQ (pan.getPan(), -1.0f);

    EXPECT_EQ (calls, 0);

    KorruptKnob korrupt;
    korrupt.setValue (44.0f);
    EXPECT_EQ (korrupt.getValue(), 40.0f);
    korrupt.setValue (45.0f);
    EXPECT_EQ (korrupt.getValue(), 50.0f);
}
