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
#include "support/MessagePump.h"

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

    /** How far to drag and turn for the gestures below: the knobs that move their value
        themselves take 0.5 per pixel and 5 per wheel step; the ones that pass the gesture to
        their slider move by the slider's own 250 pixels and 15 % per step for the full range. */
    struct Reach
    {
        float pixelsForFive, pixelsForOneMore, wheelStepsForFive;
    };

    constexpr Reach ownDrag { 10.0f, 1.0f, 1.0f };
    constexpr Reach sliderDrag { 12.5f, 2.5f, 1.0f / 3.0f };

    juce::MouseEvent wheelEventOn (juce::Component& c)
    {
        return mouseAt (c, 0.0f, juce::ModifierKeys());
    }

    template <typename Knob>
    void checkMacroKnobGestures (const char* name, double step, Reach drag, Reach wheel)
    {
        SCOPED_TRACE (name);
        Knob knob;
        int calls = 0;
        knob.onValueChange = [&] (float) { ++calls; };

        // A drag reports the value it reached (on a later message where the knob posts it).
        knob.mouseDown (mouseAt (knob, 100.0f));
        knob.mouseDrag (mouseAt (knob, 100.0f - drag.pixelsForFive));
        EXPECT_DOUBLE_EQ (knob.slider.getValue(), 5.0);
        ASSERT_TRUE (test_support::runPendingMessages());
        EXPECT_EQ (calls, 1);
        knob.mouseDrag (mouseAt (knob, 100.0f - drag.pixelsForFive - drag.pixelsForOneMore));
        EXPECT_DOUBLE_EQ (knob.slider.getValue(), step < 1.0 ? 5.5 : 6.0);
        knob.mouseUp (mouseAt (knob, 100.0f - drag.pixelsForFive - drag.pixelsForOneMore));
        const auto afterDrag = knob.slider.getValue();

        juce::MouseWheelDetails details {};
        details.deltaY = wheel.wheelStepsForFive;
        knob.mouseWheelMove (wheelEventOn (knob), details);
        EXPECT_DOUBLE_EQ (knob.slider.getValue(), afterDrag + 5.0);

        // No drag without a left press.
        knob.mouseDown (mouseAt (knob, 100.0f, juce::ModifierKeys::rightButtonModifier));
        knob.mouseDrag (mouseAt (knob, 0.0f, juce::ModifierKeys::rightButtonModifier));
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
    checkMacroKnobGestures<OblivionKnob> ("ToneMax", 0.1, ownDrag, ownDrag);
    checkMacroKnobGestures<TextureProKnob> ("TexturePro", 0.1, ownDrag, ownDrag);
    checkMacroKnobGestures<SpatialMaxKnob> ("SpatialMax", 0.1, ownDrag, ownDrag);
    checkMacroKnobGestures<MathControlKnob> ("MathControl", 1.0, sliderDrag, sliderDrag);
    checkMacroKnobGestures<MetaControlKnob> ("MetaControl", 1.0, sliderDrag, ownDrag);
}
