#include <gtest/gtest.h>

#include "knobs/KorruptKnob.h"
#include "knobs/MashKnob.h"
#include "knobs/MathControlKnob.h"
#include "knobs/MetaControlKnob.h"
#include "knobs/OblivionKnob.h"
#include "knobs/PanKnob.h"
#include "knobs/PandoraKnob.h"
#include "knobs/PitchKnob.h"
#include "knobs/SpatialMaxKnob.h"
#include "knobs/TextureProKnob.h"
#include "knobs/VolumeKnob.h"

#include <vector>

namespace
{
    juce::MouseEvent mouseAt (juce::Component& c, float y, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
    {
        auto source = juce::Desktop::getInstance().getMainMouseSource();
        return juce::MouseEvent (source, { 10.0f, y }, mods, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c,
                                 juce::Time::getCurrentTime(), { 10.0f, y }, juce::Time::getCurrentTime(), 1, false);
    }

    juce::MouseWheelDetails wheelUp()
    {
        juce::MouseWheelDetails wheel {};
        wheel.deltaY = 1.0f;
        return wheel;
    }

    /** Expected values after each gesture, from the knob's value before it. */
    struct Feel
    {
        float start, afterDragUp10, afterWheelUp, rest, top;
    };

    /** Press at y 100, drag up 10 px, release, turn the wheel one step up, double-click, then
        drag far up to the limit; every change reports the value the knob then holds. */
    template <typename Knob, typename Get, typename Listen>
    void checkGestures (const char* name, Get get, Listen listen, const Feel& feel)
    {
        SCOPED_TRACE (name);
        Knob knob;
        std::vector<float> reported;
        listen (knob, [&] (float v) { reported.push_back (v); });
        EXPECT_FLOAT_EQ (get (knob), feel.start);

        knob.mouseDown (mouseAt (knob, 100.0f));
        knob.mouseDrag (mouseAt (knob, 90.0f));
        knob.mouseUp (mouseAt (knob, 90.0f));
        EXPECT_FLOAT_EQ (get (knob), feel.afterDragUp10);

        // Released: further movement is not a drag.
        knob.mouseDrag (mouseAt (knob, 0.0f));
        EXPECT_FLOAT_EQ (get (knob), feel.afterDragUp10);

        knob.mouseWheelMove (mouseAt (knob, 0.0f), wheelUp());
        EXPECT_FLOAT_EQ (get (knob), feel.afterWheelUp);

        knob.mouseDoubleClick (mouseAt (knob, 0.0f));
        EXPECT_FLOAT_EQ (get (knob), feel.rest);

        knob.mouseDown (mouseAt (knob, 100.0f));
        knob.mouseDrag (mouseAt (knob, -10000.0f));
        knob.mouseUp (mouseAt (knob, -10000.0f));
        EXPECT_FLOAT_EQ (get (knob), feel.top);

        ASSERT_EQ (reported.size(), 4u);
        EXPECT_FLOAT_EQ (reported[0], feel.afterDragUp10);
        EXPECT_FLOAT_EQ (reported[1], feel.afterWheelUp);
        EXPECT_FLOAT_EQ (reported[2], feel.rest);
        EXPECT_FLOAT_EQ (reported[3], feel.top);
    }

    template <typename Knob>
    void checkEngineKnob (const char* name)
    {
        checkGestures<Knob> (name, [] (Knob& k) { return k.getValue(); },
                             [] (Knob& k, std::function<void (float)> f) { k.onValueChange = std::move (f); },
                             { 0.0f, 10.0f, 20.0f, 0.0f, 100.0f });

        // A right press goes to the owner and starts no drag.
        Knob knob;
        int rightClicks = 0;
        knob.onRightClick = [&] { ++rightClicks; };
        knob.mouseDown (mouseAt (knob, 100.0f, juce::ModifierKeys::rightButtonModifier));
        knob.mouseDrag (mouseAt (knob, 0.0f));
        EXPECT_EQ (rightClicks, 1);
        EXPECT_EQ (knob.getValue(), 0.0f);
    }

    template <typename Knob>
    void checkMacroKnobGestures (const char* name, double step)
    {
        SCOPED_TRACE (name);
        Knob knob;
        int calls = 0;
        knob.onValueChange = [&] (float) { ++calls; };

        // A drag reports at once; 0.5 per pixel.
        knob.mouseDown (mouseAt (knob, 100.0f));
        knob.mouseDrag (mouseAt (knob, 90.0f));
        EXPECT_DOUBLE_EQ (knob.slider.getValue(), 5.0);
        EXPECT_EQ (calls, 1);
        knob.mouseDrag (mouseAt (knob, 89.0f));
        EXPECT_DOUBLE_EQ (knob.slider.getValue(), step < 1.0 ? 5.5 : 6.0);
        knob.mouseUp (mouseAt (knob, 89.0f));
        const auto afterDrag = knob.slider.getValue();

        knob.mouseWheelMove (mouseAt (knob, 0.0f), wheelUp());
        EXPECT_DOUBLE_EQ (knob.slider.getValue(), afterDrag + 5.0);

        // No drag without a left press.
        knob.mouseDown (mouseAt (knob, 100.0f, juce::ModifierKeys::rightButtonModifier));
        knob.mouseDrag (mouseAt (knob, 0.0f));
        EXPECT_DOUBLE_EQ (knob.slider.getValue(), afterDrag + 5.0);
    }
}

TEST (KnobGestures, ValueKnobsDragTurnAndReset)
{
    checkGestures<VolumeKnob> ("VOL", [] (VolumeKnob& k) { return k.getValue(); },
                               [] (VolumeKnob& k, std::function<void (float)> f) { k.onValueChange = std::move (f); },
                               { 100.0f, 108.0f, 116.0f, 100.0f, 200.0f });
    checkGestures<PanKnob> ("PAN", [] (PanKnob& k) { return k.getPan(); },
                            [] (PanKnob& k, std::function<void (float)> f) { k.onPanChange = std::move (f); },
                            { 0.0f, 0.1f, 0.2f, 0.0f, 1.0f });
    checkGestures<PitchKnob> ("PITCH", [] (PitchKnob& k) { return k.getValue(); },
                              [] (PitchKnob& k, std::function<void (float)> f) { k.onValueChange = std::move (f); },
                              { 0.0f, 0.2f, 0.45f, 0.0f, 4.0f });
}

TEST (KnobGestures, RightPressOnPanAndPitchStartsNoDrag)
{
    PanKnob pan;
    pan.mouseDown (mouseAt (pan, 100.0f, juce::ModifierKeys::rightButtonModifier));
    pan.mouseDrag (mouseAt (pan, 0.0f));
    EXPECT_EQ (pan.getPan(), 0.0f);

    PitchKnob pitch;
    int releases = 0;
    pitch.onRelease = [&] { ++releases; };
    pitch.mouseDown (mouseAt (pitch, 100.0f, juce::ModifierKeys::rightButtonModifier));
    pitch.mouseDrag (mouseAt (pitch, 0.0f));
    EXPECT_EQ (pitch.getValue(), 0.0f);

    // The owner hears of every release, dragged or not.
    pitch.mouseUp (mouseAt (pitch, 0.0f));
    EXPECT_EQ (releases, 1);
}

TEST (KnobGestures, EngineKnobsMoveInStepsOfTen)
{
    checkEngineKnob<KorruptKnob> ("KORRUPT");
    checkEngineKnob<MashKnob> ("MASH");
    checkEngineKnob<PandoraKnob> ("PANDORA");
}

TEST (KnobGestures, MacroKnobsDragAndTurn)
{
    checkMacroKnobGestures<OblivionKnob> ("ToneMax", 0.1);
    checkMacroKnobGestures<TextureProKnob> ("TexturePro", 0.1);
    checkMacroKnobGestures<SpatialMaxKnob> ("SpatialMax", 0.1);
    checkMacroKnobGestures<MathControlKnob> ("MathControl", 1.0);
    checkMacroKnobGestures<MetaControlKnob> ("MetaControl", 1.0);
}
