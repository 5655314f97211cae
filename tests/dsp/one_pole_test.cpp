#include <gtest/gtest.h>

#include "dsp/OnePole.h"
#include "dsp/ParameterSmoother.h"

#include <cstring>
#include <limits>

namespace
{
    bool sameBits (float a, float b) { return std::memcmp (&a, &b, sizeof (float)) == 0; }
}

TEST (OnePole, FormsMatchTheirLiteralArithmeticBitForBit)
{
    juce::Random random (5);
    dsp::OnePoleLowpass<dsp::OnePoleForm::increment> inc;
    dsp::OnePoleLowpass<dsp::OnePoleForm::weighted> wtd;
    dsp::DcBlocker dc;
    float incRef = 0, wtdRef = 0, dcIn = 0, dcOut = 0;

    const float step = dsp::onePoleLowpassStep (1200.0f, 44100.0);
    const float pole = (float) dsp::onePolePole (250.0, 44100.0);
    const float alpha = dsp::onePoleHighpassAlpha (40.0f, 44100.0);

    for (int i = 0; i < 4096; ++i)
    {
        const float x = random.nextFloat() * 2.0f - 1.0f;

        incRef += step * (x - incRef);
        wtdRef = (1.0f - pole) * x + pole * wtdRef;
        const float dcRef = alpha * (x + dcOut - dcIn);
        dcIn = x;
        dcOut = dcRef;

        ASSERT_TRUE (sameBits (inc.process (x, step), incRef));
        ASSERT_TRUE (sameBits (wtd.process (x, pole), wtdRef));
        ASSERT_TRUE (sameBits (dc.process (x, alpha), dcRef));
    }
}

TEST (OnePole, CoefficientsAndResponses)
{
    const double twoPi = juce::MathConstants<double>::twoPi;
    const double rc = 1.0 / (twoPi * 100.0), dt = 1.0 / 48000.0;
    EXPECT_EQ (dsp::onePoleHighpassAlpha (100.0f, 48000.0), (float) (rc / (rc + dt)));
    EXPECT_EQ (dsp::onePoleLowpassStep (100.0f, 48000.0), (float) (dt / (rc + dt)));
    EXPECT_EQ (dsp::onePolePole (100.0, 48000.0), std::exp (-twoPi * 100.0 / 48000.0));

    // A lowpass settles on a constant input; the DC blocker removes it.
    dsp::OnePoleLowpass<dsp::OnePoleForm::weighted> lp;
    dsp::DcBlocker dc;
    float y = 0, d = 0;
    for (int i = 0; i < 48000; ++i)
    {
        y = lp.process (0.5f, (float) dsp::onePolePole (50.0, 48000.0));
        d = dc.process (0.5f, dsp::onePoleHighpassAlpha (20.0f, 48000.0));
    }
    EXPECT_NEAR (y, 0.5f, 1e-4f);
    EXPECT_NEAR (d, 0.0f, 1e-4f);

    lp.clear();
    dc.clear();
    EXPECT_EQ (lp.state, 0.0f);
    EXPECT_EQ (dc.out, 0.0f);
}

TEST (ParameterSmoother, GlidesLikeTheLiteralStepAndRefusesNonFiniteTargets)
{
    dsp::ParameterSmoother s (0.001f);
    float ref = 0.0f;
    s.setTarget (0.8f);
    for (int i = 0; i < 1000; ++i)
    {
        ref += (0.8f - ref) * 0.001f;
        ASSERT_TRUE (sameBits (s.next(), ref));
    }

    dsp::ParameterSmoother t (0.001f);
    t.setTarget (0.8f);
    EXPECT_TRUE (sameBits (t.skip (1000), ref));

    s.setTarget (std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (s.getTarget(), 0.0f);
    s.setTarget (std::numeric_limits<float>::infinity(), 0.25f);
    EXPECT_EQ (s.getTarget(), 0.25f);
    for (int i = 0; i < 20000; ++i)
        ASSERT_TRUE (std::isfinite (s.next()));
    EXPECT_NEAR (s.getCurrent(), 0.25f, 1e-4f);   // a float glide stalls once a step rounds away

    s.snapTo (-1.0f);
    EXPECT_EQ (s.getCurrent(), -1.0f);
    EXPECT_EQ (s.next(), -1.0f);
}
