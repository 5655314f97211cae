#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>

/** A slider whose value the audio thread may read. A juce::Slider keeps its value in a
    juce::Value (a var), which must not be read off the message thread, so every write is
    mirrored into an atomic that the audio thread loads instead. */
class ParamSlider : public juce::Slider,
                    private juce::Value::Listener
{
public:
    ParamSlider();
    ParamSlider (SliderStyle style, TextEntryBoxPosition textBoxPosition);
    ~ParamSlider() override;

    /** The mirrored value; safe on any thread. */
    float getAtomicValue() const noexcept { return mirror.load (std::memory_order_relaxed); }

    /** The mirror itself, for code that wants to hold on to it. */
    const std::atomic<float>& atomicValue() const noexcept { return mirror; }

    /** Sets the value without notifying listeners and updates the mirror at once. */
    void setValueSilently (double newValue);

    /** Also stores every mirrored value into `target` (an effect's parameter), starting now;
        null stops it. Message thread; the target must outlive the slider or be unlinked. */
    void linkMirror (std::atomic<float>* target) noexcept;

    /** Subclasses that override valueChanged must call this base version. */
    void valueChanged() override;

private:
    void valueChanged (juce::Value&) override;
    void storeMirror() noexcept;

    std::atomic<float> mirror { 0.0f };
    std::atomic<float>* linked = nullptr;

    static_assert (std::atomic<float>::is_always_lock_free);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParamSlider)
};

/** A toggle button whose state the audio thread may read, mirrored like ParamSlider. */
class ParamToggle : public juce::ToggleButton
{
public:
    ParamToggle() = default;
    explicit ParamToggle (const juce::String& text) : juce::ToggleButton (text) {}

    bool getAtomicState() const noexcept { return mirror.load (std::memory_order_relaxed); }
    const std::atomic<bool>& atomicState() const noexcept { return mirror; }

    /** Use this instead of Button::setToggleState so the mirror follows at once. */
    void setToggleStateAndMirror (bool shouldBeOn, juce::NotificationType notification);

    /** Also stores every mirrored state into `target` (an effect's parameter), starting now;
        null stops it. Message thread; the target must outlive the button or be unlinked. */
    void linkMirror (std::atomic<bool>* target) noexcept;

protected:
    void clicked() override;
    void buttonStateChanged() override;

private:
    void storeMirror (bool state) noexcept;

    std::atomic<bool> mirror { false };
    std::atomic<bool>* linked = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParamToggle)
};
