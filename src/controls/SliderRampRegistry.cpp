#include "controls/SliderRampRegistry.h"

SliderRampRegistry& SliderRampRegistry::getInstance()
{
    static SliderRampRegistry instance;
    return instance;
}

const SliderRamp* SliderRampRegistry::find (const juce::Slider* slider) const
{
    const auto it = ramps.find (const_cast<juce::Slider*> (slider));
    return it != ramps.end() ? &it->second : nullptr;
}

bool SliderRampRegistry::isAutomated (const juce::Slider* slider) const
{
    const auto* ramp = find (slider);
    return ramp != nullptr && ramp->active;
}

void SliderRampRegistry::setRamp (juce::Slider* slider, const SliderRamp& ramp)
{
    if (slider != nullptr)
        ramps[slider] = ramp;
}

void SliderRampRegistry::erase (const juce::Slider* slider)
{
    ramps.erase (const_cast<juce::Slider*> (slider));
}

void SliderRampRegistry::clear()
{
    ramps.clear();
}
