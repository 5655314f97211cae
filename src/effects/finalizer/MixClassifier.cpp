// The mix classifier: the window's features and a small fully connected network whose output
// biases alone learn from confirmed verdicts.

#include "effects/finalizer/MixAnalyser.h"

#include "platform/CrtRand.h"

#include <algorithm>
#include <cmath>

namespace
{
    float melOf (float hz) noexcept { return 2595.0f * std::log10 (1.0f + hz / 700.0f); }

    float leaky (float v) noexcept { return v > 0.0f ? v : 0.01f * v; }

    /** Features enter the network in layer order: out[j] = act (bias[j] + sum_i w[i][j] in[i]). */
    std::vector<float> layer (const std::vector<float>& in, const MixAnalyser::Matrix& w,
                              const std::vector<float>& bias, bool activate)
    {
        std::vector<float> out (bias);
        for (size_t i = 0; i < in.size(); ++i)
            for (size_t j = 0; j < out.size(); ++j)
                out[j] += w[i][j] * in[i];

        if (activate)
            for (auto& v : out)
                v = leaky (v);
        return out;
    }
}

//==============================================================================
FeatureExtractor::FeatureExtractor()
{
    const float lo = melOf (20.0f), hi = melOf (20000.0f);
    for (size_t k = 0; k < bandEdgesHz.size(); ++k)
        bandEdgesHz[k] = 700.0f * (std::pow (10.0f, (lo + (float) k * (hi - lo) / 33.0f) / 2595.0f) - 1.0f);
}

float FeatureExtractor::zeroCrossingRate (const float* samples, int frameCount) noexcept
{
    if (frameCount <= 0)
        return 0.0f;

    int crossings = 0;
    for (int t = 1; t < frameCount; ++t)
        if ((samples[t] >= 0.0f) != (samples[t - 1] >= 0.0f))
            ++crossings;
    return (float) crossings / (float) frameCount;
}

float FeatureExtractor::channelCorrelation (const float* left, const float* right, int frameCount) noexcept
{
    float lr = 0.0f, ll = 0.0f, rr = 0.0f;
    for (int t = 0; t < frameCount; ++t)
    {
        lr += left[t] * right[t];
        ll += left[t] * left[t];
        rr += right[t] * right[t];
    }
    const float norm = std::sqrt (ll * rr);
    return norm > 0.0001f ? lr / norm : 1.0f;
}

void FeatureExtractor::measureBands (const float* left, const float* right, int frameCount)
{
    // The low half carries the window's level; the high half weights the sample-to-sample
    // change more the higher the band, a cheap stand-in for rising frequency content.
    float levelSum = 0.0f;
    for (int t = 0; t < frameCount; ++t)
    {
        const float mid = (left[t] + right[t]) * 0.5f;
        levelSum += mid * mid;
    }
    const float n = (float) frameCount;
    const float low = std::sqrt (levelSum / n);
    std::fill (bandEnergies.begin(), bandEnergies.begin() + 16, low);

    for (int j = 16; j < numBands; ++j)
    {
        const auto w = (float) (j - 15);
        float sum = 0.0f, previous = 0.0f;
        for (int t = 0; t < frameCount; ++t)
        {
            const float mid = (left[t] + right[t]) * 0.5f;
            const float step = std::abs (mid - previous) * w;
            sum += step * step;
            previous = mid;
        }
        bandEnergies[(size_t) j] = std::sqrt (sum / n);
    }

    const float largest = *std::max_element (bandEnergies.begin(), bandEnergies.end());
    if (largest > 0.001f)
        for (auto& e : bandEnergies)
            e /= largest;
}

void FeatureExtractor::describeSpectrum (float& centroid, float& spread, float& flatness, float& rollOff) const
{
    float total = 0.0f, weighted = 0.0f;
    for (int j = 0; j < numBands; ++j)
    {
        total += bandEnergies[(size_t) j];
        weighted += bandEnergies[(size_t) j] * bandEdgesHz[(size_t) j + 1];
    }

    centroid = total > 0.001f ? weighted / total : 1000.0f;
    spread = 1000.0f;
    if (total > 0.001f)
    {
        float variance = 0.0f;
        for (int j = 0; j < numBands; ++j)
        {
            const float d = bandEdgesHz[(size_t) j + 1] - centroid;
            variance += bandEnergies[(size_t) j] * d * d;
        }
        spread = std::sqrt (variance / total);
    }

    int counted = 0;
    float sum = 0.0f, logSum = 0.0f;
    for (auto e : bandEnergies)
    {
        if (e > 0.0001f)
        {
            ++counted;
            sum += e;
            logSum += std::log (e);
        }
    }
    const float mean = counted > 0 ? sum / (float) counted : 0.0f;
    flatness = counted > 0 && mean > 0.0001f ? std::exp (logSum / (float) counted) / mean : 0.0f;

    rollOff = 20000.0f;
    float running = 0.0f;
    for (int j = 0; j < numBands; ++j)
    {
        running += bandEnergies[(size_t) j];
        if (running >= 0.85f * total)
        {
            rollOff = bandEdgesHz[(size_t) j + 1];
            break;
        }
    }
}

std::vector<float> FeatureExtractor::extract (const float* left, const float* right, int frameCount)
{
    if (frameCount < minFrames)
        return { featureVector.begin(), featureVector.end() };

    measureBands (left, right, frameCount);

    float centroid, spread, flatness, rollOff;
    describeSpectrum (centroid, spread, flatness, rollOff);

    float levelSum = 0.0f, peak = 0.0f;
    for (int t = 0; t < frameCount; ++t)
    {
        const float mid = (left[t] + right[t]) * 0.5f;
        levelSum += mid * mid;
        peak = std::max (peak, std::abs (mid));
    }
    const float rms = std::sqrt (levelSum / (float) frameCount);
    const float levelDb = 20.0f * std::log10 (rms + 0.0001f);
    const float peakDb = 20.0f * std::log10 (peak + 0.0001f);

    std::copy (bandEnergies.begin(), bandEnergies.begin() + 24, featureVector.begin());
    featureVector[24] = centroid / 10000.0f;
    featureVector[25] = spread / 5000.0f;
    featureVector[26] = flatness;
    featureVector[27] = rollOff / 20000.0f;
    featureVector[28] = (levelDb + 60.0f) / 60.0f;
    featureVector[29] = (peakDb - levelDb) / 20.0f;
    featureVector[30] = zeroCrossingRate (left, frameCount);
    featureVector[31] = (channelCorrelation (left, right, frameCount) + 1.0f) / 2.0f;

    return { featureVector.begin(), featureVector.end() };
}

//==============================================================================
const std::array<float, MixAnalyser::numClasses> MixAnalyser::initialOutputBias {
    -0.5f, -0.3f, -0.4f, -0.2f, -0.3f, -0.4f, -0.2f, 0.5f
};

MixAnalyser::Matrix MixAnalyser::randomWeightMatrix (int rows, int cols)
{
    // Drawn from the process's one generator, so a fresh start builds the same network.
    const float bound = std::sqrt (2.0f / (float) (rows + cols));
    Matrix m ((size_t) rows, std::vector<float> ((size_t) cols));
    for (auto& row : m)
        for (auto& w : row)
            w = ((float) platform::crtRand() / (float) platform::crtRandMax - 0.5f) * 2.0f * bound;
    return m;
}

void MixAnalyser::initialiseNetwork()
{
    weights1 = randomWeightMatrix (32, 64);
    weights2 = randomWeightMatrix (64, 32);
    weights3 = randomWeightMatrix (32, numClasses);
    bias1.assign (64, 0.0f);
    bias2.assign (32, 0.0f);
    bias3.assign (initialOutputBias.begin(), initialOutputBias.end());
}

std::vector<float> MixAnalyser::predict (const std::vector<float>& features) const
{
    if (features.size() != (size_t) FeatureExtractor::numFeatures)
        return std::vector<float> (numClasses, 0.0f);

    const auto h1 = layer (features, weights1, bias1, true);
    const auto h2 = layer (h1, weights2, bias2, true);
    auto p = layer (h2, weights3, bias3, false);

    const float top = *std::max_element (p.begin(), p.end());
    float sum = 0.0f;
    for (auto& v : p)
    {
        v = std::exp (v - top);
        sum += v;
    }
    for (auto& v : p)
        v /= sum;
    return p;
}

void MixAnalyser::learn (const std::vector<float>& features, int label)
{
    if (! learningEnabled || features.size() != (size_t) FeatureExtractor::numFeatures)
        return;

    const auto p = predict (features);
    for (int c = 0; c < numClasses; ++c)
        bias3[(size_t) c] += ((c == label ? 1.0f : 0.0f) - p[(size_t) c]) * learningRate;
}

void MixAnalyser::classify (const float* left, const float* right, int frameCount)
{
    classProbabilities = predict (featureExtractor.extract (left, right, frameCount));
    classIndex = goodBalancedClass;
    classConfidence = 0.0f;

    for (int c = 0; c < numClasses; ++c)
    {
        if (classProbabilities[(size_t) c] > classConfidence)
        {
            classIndex = c;
            classConfidence = classProbabilities[(size_t) c];
        }
    }
}
