#include "controls/ParamSlider.h"

ParamSlider::ParamSlider()
{
    getValueObject().addListener (this);
    storeMirror();
}

ParamSlider::ParamSlider (SliderStyle style, TextEntryBoxPosition textBoxPosition)
    : juce::Slider (style, textBoxPosition)
{
    getValueObject().addListener (this);
    storeMirror();
}

ParamSlider::~ParamSlider()
{
    getValueObject().removeListener (this);
}

void ParamSlider::setValueSilently (double newValue)
{
    setValue (newValue, juce::dontSendNotification);
    storeMirror();
}

void ParamSlider::valueChanged()
{
    storeMirror();
}

void ParamSlider::valueChanged (juce::Value&)
{
    storeMirror();
}

void ParamSlider::linkMirror (std::atomic<float>* target) noexcept
{
    linked = target;
    storeMirror();
}

void ParamSlider::storeMirror() noexcept
{
    const auto value = (float) getValue();
    mirror.store (value, std::memory_order_relaxed);
    if (linked != nullptr)
        linked->store (value, std::memory_order_relaxed);
}

//==============================================================================
void ParamToggle::setToggleStateAndMirror (bool shouldBeOn, juce::NotificationType notification)
{
    mirror.store (shouldBeOn, std::memory_order_relaxed);
    setToggleState (shouldBeOn, notification);
}

void ParamToggle::clicked()
{
    juce::ToggleButton::clicked();
    mirror.store (getToggleState(), std::memory_order_relaxed);
}

void ParamToggle::buttonStateChanged()
{
    juce::ToggleButton::buttonStateChanged();
    mirror.store (getToggleState(), std::memory_order_relaxed);
}
