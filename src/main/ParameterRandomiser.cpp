#include "main/ParameterRandomiser.h"

#include <algorithm>

namespace
{
    std::uint32_t freshSeed()
    {
        std::random_device device;
        return device();
    }
}

ParameterRandomiser::ParameterRandomiser()
    : engine (freshSeed())
{
}

float ParameterRandomiser::nextRandom()
{
    return (float) (engine() >> 8) * (1.0f / 16777216.0f);
}

void ParameterRandomiser::setEqAmount (float amount)       { eqAmount = amount; }
void ParameterRandomiser::setSpaceAmount (float amount)    { spaceAmount = amount; }
void ParameterRandomiser::setTimeProAmount (float amount)  { timeProAmount = amount; }
void ParameterRandomiser::setMasterAmount (float amount)   { masterAmount = amount; }

void ParameterRandomiser::setMetaControlValue (float value)
{
    metaControlValue = std::clamp (value, 0.0f, 100.0f);
    metaPending = true;

    if (metaControlMode == 1)
        metaCoupling = metaControlValue;
    else if (metaControlMode == 4)
        metaEnergy = std::clamp (metaEnergy + metaControlValue / 100.0f * 2.0f, 0.0f, 100.0f);
}

float ParameterRandomiser::applyMetaControl()
{
    // The modes that move targets need the generated targets, which do not exist yet.
    return 0.0f;
}

void ParameterRandomiser::step()
{
    if (freezeLock)
        return;

    ++stepCount;
}

void ParameterRandomiser::updateMetaEnergy() {}

void ParameterRandomiser::setTempo (float bpm)
{
    tempo = std::clamp (bpm, 20.0f, 300.0f);
}
