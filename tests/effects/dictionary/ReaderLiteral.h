#pragma once

#include "effects/dictionary/DictionaryReaderProcessor.h"
#include "platform/CrtRand.h"

#include <algorithm>
#include <cmath>
#include <vector>

// The reader's sound written the plain way: dry copies made per block, grains in a growing
// list, the Hann window from the cosine for every grain on every sample. The processor must
// give the same samples, bit for bit, for blocks it takes in one piece.
namespace reader_literal
{
    struct Settings
    {
        float mix = 1.0f;   // 0..1
        bool microPitch = false, granular = false, halfTime = false;
        ReaderEngineParams engine;
        float verbDrive = 0.0f;
    };

    class Reader
    {
    public:
        struct Grain { int start, length; float position, speed, pan; bool active; };

        explicit Reader (double rate) : sampleRate (rate)
        {
            delayL.assign ((size_t) (int) (rate * 0.035), 0.0f);
            delayR = delayL;
            grainRing.assign (2 * (size_t) (int) (rate * 4.0), 0.0f);
            halfTimeRing.assign (8192, 0.0f);
        }

        void process (float* left, float* right, int n, const Settings& s)
        {
            if (s.mix < 0.001f)
                return;

            std::vector<float> dryL (left, left + n), dryR (right, right + n);

            if (s.microPitch) microPitch (left, right, n, s.engine.mpMix, s);
            if (s.granular)   granular (left, right, n, s.engine.grMix, s);
            if (s.halfTime)   halfTime (left, right, n, s.engine.htMix, s);

            for (int i = 0; i < n; ++i)
            {
                left[i] = std::tanh (std::clamp ((1.0f - s.mix) * dryL[(size_t) i] + s.mix * left[i], -4.0f, 4.0f));
                right[i] = std::tanh (std::clamp ((1.0f - s.mix) * dryR[(size_t) i] + s.mix * right[i], -4.0f, 4.0f));
            }
        }

        std::vector<Grain> grains;

    private:
        static float lerpAt (const std::vector<float>& b, float p)
        {
            const int size = (int) b.size();
            while (p < 0.0f)
                p += (float) size;
            const int i = (int) p % size;
            const float frac = p - (float) (int) p;
            return (1.0f - frac) * b[(size_t) i] + frac * b[(size_t) ((i + 1) % size)];
        }

        void microPitch (float* left, float* right, int n, float a, const Settings& s)
        {
            const int size = (int) delayL.size();
            if (a < 0.001f || size < 4)
                return;
            const float c = s.engine.mpDetune;
            const int d = std::min (std::max (1, (int) (sampleRate * 15.0 / 1000.0)), size - 2);
            const float dL = (float) d * std::pow (2.0f, -c / 1200.0f);
            const float dR = (float) d * std::pow (2.0f, c / 1200.0f);
            for (int i = 0; i < n; ++i)
            {
                delayL[(size_t) write] = left[i];
                delayR[(size_t) write] = right[i];
                left[i] = a * lerpAt (delayL, (float) write - dL) + (1.0f - a) * left[i];
                right[i] = a * lerpAt (delayR, (float) write - dR) + (1.0f - a) * right[i];
                write = (write + 1) % size;
            }
        }

        void granular (float* left, float* right, int n, float a, const Settings& s)
        {
            const int frames = (int) grainRing.size() / 2;
            if (a < 0.001f || frames < 1000)
                return;
            const float ratio = std::pow (2.0f, s.engine.grPitch / 12.0f);
            int g = (int) (sampleRate * 40.0 / 1000.0);
            g = g < 100 ? 100 : std::min (g, frames / 2);
            const float interval = (float) (sampleRate / (15.0 + 20.0 * (double) s.verbDrive));

            for (int i = 0; i < n; ++i)
            {
                grainRing[(size_t) (2 * grainWrite)] = left[i];
                grainRing[(size_t) (2 * grainWrite + 1)] = right[i];
                grainWrite = (grainWrite + 1) % frames;
                grainClock += 1.0f;
                if (grainClock >= interval)
                {
                    grainClock -= interval;
                    const int r = platform::crtRand();
                    grains.push_back ({ (grainWrite - 2 * g + frames) % frames, g, 0.0f, ratio,
                                        0.5f + 0.3f * ((float) r / 32767.0f - 0.5f), true });
                }

                float sumL = 0.0f, sumR = 0.0f;
                for (auto& gr : grains)
                {
                    const float w = 0.5f * (1.0f - std::cos (juce::MathConstants<float>::twoPi * gr.position / (float) gr.length));
                    const int f = ((int) gr.position + gr.start) % frames;
                    sumL += (1.0f - gr.pan) * w * grainRing[(size_t) (2 * f)];
                    sumR += gr.pan * w * grainRing[(size_t) (2 * f + 1)];
                    gr.position += gr.speed;
                    if (gr.position >= (float) gr.length)
                        gr.active = false;
                }
                grains.erase (std::remove_if (grains.begin(), grains.end(), [] (const Grain& x) { return ! x.active; }),
                              grains.end());

                left[i] = 0.5f * a * sumL + (1.0f - a) * left[i];
                right[i] = 0.5f * a * sumR + (1.0f - a) * right[i];
            }
        }

        void halfTime (float* left, float* right, int n, float a, const Settings& s)
        {
            const int frames = (int) halfTimeRing.size() / 2;
            if (a < 0.001f || frames < 100)
                return;
            halfTimePhase += 0.8 / sampleRate;
            if (halfTimePhase > 1.0)
                halfTimePhase -= 1.0;
            const double speed = (1.0 + 0.005 * std::sin (2.0 * juce::MathConstants<double>::pi * halfTimePhase))
                               / (double) std::max (s.engine.htTime, 1.2f);
            const float wet = std::min (1.0f, 1.3f * a);
            const float dry = 1.0f - wet;
            for (int i = 0; i < n; ++i)
            {
                halfTimeRing[(size_t) (2 * htWrite)] = left[i];
                halfTimeRing[(size_t) (2 * htWrite + 1)] = right[i];
                htRead += speed;
                htWrite = (htWrite + 1) % frames;
                while (htRead >= frames) htRead -= frames;
                while (htRead < 0.0) htRead += frames;
                const int j0 = (int) htRead;
                const double frac = htRead - j0;
                const int j1 = (j0 + 1) % frames;
                const auto l = (float) ((1.0 - frac) * halfTimeRing[(size_t) (2 * j0)] + frac * halfTimeRing[(size_t) (2 * j1)]);
                const auto r = (float) ((1.0 - frac) * halfTimeRing[(size_t) (2 * j0 + 1)] + frac * halfTimeRing[(size_t) (2 * j1 + 1)]);
                left[i] = wet * std::tanh (1.2f * l) + dry * left[i];
                right[i] = wet * std::tanh (1.2f * r) + dry * right[i];
            }
        }

        double sampleRate;
        std::vector<float> delayL, delayR, grainRing, halfTimeRing;
        int write = 0, grainWrite = 0, htWrite = 0;
        float grainClock = 0.0f;
        double htRead = 0.0, halfTimePhase = 0.0;
    };
}
