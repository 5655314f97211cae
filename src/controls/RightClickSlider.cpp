#include "controls/RightClickSlider.h"

#include "controls/SliderRampRegistry.h"

#include <cmath>

namespace sliderdialogs
{
    double readNumber (const juce::String& text)
    {
        // The framework's conversion skips leading white space, reads the leading number and
        // gives 0 for text that starts with anything else.
        const auto value = text.getDoubleValue();
        return std::isfinite (value) ? value : 0.0;
    }

    double clampToRange (double value, double minimum, double maximum)
    {
        return value < minimum ? minimum : juce::jmin (value, maximum);
    }

    double readEndTime (const juce::String& text)
    {
        return juce::jmax (readNumber (text), 0.1);
    }

    juce::String enterValueTitle()  { return "Enter Value"; }
    juce::String enterValueLabel()  { return "Value:"; }

    juce::String enterValueMessage (const juce::String& name, double minimum, double maximum)
    {
        return name + " (" + juce::String (minimum, 1) + " - " + juce::String (maximum, 1) + ")";
    }

    juce::String enterValueText (double value)
    {
        return juce::String (value, 2);
    }

    juce::String automateTitle (const juce::String& name)   { return "Automate " + name; }
    juce::String automateMessage()                          { return "Set automation from current value to target over time"; }
    juce::String automateStartLabel()                       { return "From (current):"; }

    juce::String automateStartText (double value, const juce::String& suffix)
    {
        return juce::String (value, 2) + suffix;
    }

    juce::String automateTargetLabel (double maximum, const juce::String& suffix)
    {
        return "To (target value) [MaxValue: " + juce::String (maximum, 2) + suffix + "]:";
    }

    juce::String automateTargetText (double value)
    {
        return juce::String (value, 2);
    }

    juce::String automateEndLabel (double lengthSeconds)
    {
        return "Until (seconds, max " + juce::String (lengthSeconds, 2) + "s):";
    }

    juce::String automateEndText (double lengthSeconds)
    {
        return juce::String (lengthSeconds, 2);
    }

    juce::String noWaveformTitle()      { return "No Waveform"; }
    juce::String noWaveformMessage()    { return "Please load a WAV file first to set automation timing."; }

    juce::String enterValueItem()       { return "Enter Value..."; }
    juce::String automateItem()         { return "Automate..."; }
    juce::String clearAutomationItem()  { return "Clear Automation"; }
}

namespace
{
    std::function<double()>& audioLengthSource()
    {
        static std::function<double()> source;
        return source;
    }

    const char* const valueEditor = "value";
    const char* const startEditor = "startVal";
    const char* const targetEditor = "targetVal";
    const char* const endEditor = "endTime";

    juce::String editorText (const juce::AlertWindow& window, const char* name)
    {
        // An editor that is missing reads as empty text, hence as 0.
        return window.getTextEditorContents (name);
    }

    void addOkCancel (juce::AlertWindow& window)
    {
        window.addButton ("OK", 1, juce::KeyPress (juce::KeyPress::returnKey));
        window.addButton ("Cancel", 0, juce::KeyPress (juce::KeyPress::escapeKey));
    }
}

RightClickSlider::RightClickSlider() = default;

RightClickSlider::~RightClickSlider()
{
    // The registry keys on the address; a later slider at the same address must not inherit
    // this one's ramp, and the ramp playback must never reach a destroyed slider.
    SliderRampRegistry::getInstance().erase (this);
}

void RightClickSlider::mouseDown (const juce::MouseEvent& event)
{
    if (event.mods.isRightButtonDown())
    {
        showSliderMenu();
        return;
    }

    juce::Slider::mouseDown (event);
}

juce::PopupMenu RightClickSlider::createSliderMenu() const
{
    juce::PopupMenu menu;
    menu.addItem (enterValueId, sliderdialogs::enterValueItem());
    menu.addItem (automateId, sliderdialogs::automateItem());

    if (SliderRampRegistry::getInstance().isAutomated (this))
        menu.addItem (clearAutomationId, sliderdialogs::clearAutomationItem());

    return menu;
}

void RightClickSlider::showSliderMenu()
{
    juce::Component::SafePointer<RightClickSlider> safeThis (this);
    const auto options = juce::PopupMenu::Options().withTargetComponent (this).withMousePosition();

    createSliderMenu().showMenuAsync (options, [safeThis] (int result)
    {
        if (safeThis != nullptr)
            safeThis->handleSliderMenuResult (result);
    });
}

void RightClickSlider::handleSliderMenuResult (int result)
{
    switch (result)
    {
        case enterValueId:      showEnterValueDialog(); break;
        case automateId:        showAutomateDialog(); break;
        case clearAutomationId: SliderRampRegistry::getInstance().erase (this); break;
        default:                break;
    }
}

std::unique_ptr<juce::AlertWindow> RightClickSlider::createEnterValueDialog() const
{
    auto window = std::make_unique<juce::AlertWindow> (sliderdialogs::enterValueTitle(),
                                                       sliderdialogs::enterValueMessage (getName(), getMinimum(), getMaximum()),
                                                       juce::MessageBoxIconType::NoIcon);
    window->addTextEditor (valueEditor, sliderdialogs::enterValueText (getValue()), sliderdialogs::enterValueLabel(), false);
    addOkCancel (*window);
    return window;
}

std::unique_ptr<juce::AlertWindow> RightClickSlider::createAutomateDialog (double lengthSeconds) const
{
    const auto value = getValue();
    const auto suffix = getTextValueSuffix();

    auto window = std::make_unique<juce::AlertWindow> (sliderdialogs::automateTitle (getName()),
                                                       sliderdialogs::automateMessage(),
                                                       juce::MessageBoxIconType::NoIcon);

    window->addTextEditor (startEditor, sliderdialogs::automateStartText (value, suffix),
                           sliderdialogs::automateStartLabel(), false);

    if (auto* start = window->getTextEditor (startEditor))
    {
        start->setReadOnly (true);
        start->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xffe0e0e0));
    }

    window->addTextEditor (targetEditor, sliderdialogs::automateTargetText (value),
                           sliderdialogs::automateTargetLabel (getMaximum(), suffix), false);
    window->addTextEditor (endEditor, sliderdialogs::automateEndText (lengthSeconds),
                           sliderdialogs::automateEndLabel (lengthSeconds), false);
    addOkCancel (*window);
    return window;
}

void RightClickSlider::showEnterValueDialog()
{
    auto* window = createEnterValueDialog().release();
    juce::Component::SafePointer<RightClickSlider> safeThis (this);

    window->enterModalState (true,
                             juce::ModalCallbackFunction::create ([safeThis, window] (int result)
                             {
                                 std::unique_ptr<juce::AlertWindow> owned (window);

                                 if (safeThis != nullptr)
                                     safeThis->onEnterValueDialogResult (result, *owned);
                             }),
                             false);
}

void RightClickSlider::showAutomateDialog()
{
    const auto length = getAudioLengthSeconds();

    if (! (length > 0.0))
    {
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon,
                                                sliderdialogs::noWaveformTitle(),
                                                sliderdialogs::noWaveformMessage(),
                                                "OK");
        return;
    }

    const auto valueWhenOpened = getValue();
    const auto suffixWhenOpened = getTextValueSuffix();
    auto* window = createAutomateDialog (length).release();
    juce::Component::SafePointer<RightClickSlider> safeThis (this);

    window->enterModalState (true,
                             juce::ModalCallbackFunction::create ([safeThis, window, valueWhenOpened, suffixWhenOpened] (int result)
                             {
                                 std::unique_ptr<juce::AlertWindow> owned (window);

                                 if (safeThis != nullptr)
                                     safeThis->onAutomateDialogResult (result, *owned, valueWhenOpened, suffixWhenOpened);
                             }),
                             false);
}

void RightClickSlider::onEnterValueDialogResult (int result, juce::AlertWindow& window)
{
    if (result != 1)
        return;

    const auto typed = sliderdialogs::readNumber (editorText (window, valueEditor));
    setValue (sliderdialogs::clampToRange (typed, getMinimum(), getMaximum()), juce::sendNotification);
}

void RightClickSlider::onAutomateDialogResult (int result, juce::AlertWindow& window,
                                               double valueWhenOpened, const juce::String& suffixWhenOpened)
{
    if (result != 1)
        return;

    const auto target = sliderdialogs::clampToRange (sliderdialogs::readNumber (editorText (window, targetEditor)),
                                                     getMinimum(), getMaximum());
    const auto endTime = sliderdialogs::readEndTime (editorText (window, endEditor));

    SliderRamp ramp;
    ramp.startValue = valueWhenOpened;
    ramp.targetValue = target;
    ramp.startTime = 0.0;
    ramp.endTime = endTime;
    ramp.active = true;
    ramp.suffix = suffixWhenOpened;
    SliderRampRegistry::getInstance().setRamp (this, ramp);
}

void RightClickSlider::setAudioLengthSource (std::function<double()> source)
{
    audioLengthSource() = std::move (source);
}

double RightClickSlider::getAudioLengthSeconds()
{
    const auto& source = audioLengthSource();
    return source ? source() : 0.0;
}
