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
    storeMirror (shouldBeOn);
    setToggleState (shouldBeOn, notification);
}

void ParamToggle::linkMirror (std::atomic<bool>* target) noexcept
{
    linked = target;
    storeMirror (getToggleState());
}

void ParamToggle::clicked()
{
    juce::ToggleButton::clicked();
    storeMirror (getToggleState());
}

void ParamToggle::buttonStateChanged()
{
    juce::ToggleButton::buttonStateChanged();
    storeMirror (getToggleState());
}

void ParamToggle::storeMirror (bool state) noexcept
{
    mirror.store (state, std::memory_order_relaxed);
    if (linked != nullptr)
        linked->store (state, std::memory_order_relaxed);
}
