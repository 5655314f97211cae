#pragma once

#include "controls/ParamSlider.h"

#include <functional>
#include <memory>

/** Texts and number reading of the knob dialogs, kept free of any window so they can be
    checked on their own. */
namespace sliderdialogs
{
    /** Reads the leading number of a typed text; text that does not start with a number
        reads 0 (so does anything that would not be a finite number). */
    double readNumber (const juce::String& text);

    /** Below the minimum gives the minimum, otherwise the smaller of value and maximum. */
    double clampToRange (double value, double minimum, double maximum);

    /** A typed end time: at least 0.1 s, never limited to the file's length. */
    double readEndTime (const juce::String& text);

    // "Enter Value..." dialog
    juce::String enterValueTitle();                                          // "Enter Value"
    juce::String enterValueMessage (const juce::String& name, double minimum, double maximum);
    juce::String enterValueLabel();                                          // "Value:"
    juce::String enterValueText (double value);                              // two decimals, no suffix

    // "Automate..." dialog
    juce::String automateTitle (const juce::String& name);                   // "Automate MIX"
    juce::String automateMessage();
    juce::String automateStartLabel();                                       // "From (current):"
    juce::String automateStartText (double value, const juce::String& suffix);
    juce::String automateTargetLabel (double maximum, const juce::String& suffix);
    juce::String automateTargetText (double value);
    juce::String automateEndLabel (double lengthSeconds);
    juce::String automateEndText (double lengthSeconds);

    // Warning when nothing is loaded
    juce::String noWaveformTitle();
    juce::String noWaveformMessage();

    // Menu
    juce::String enterValueItem();                                           // "Enter Value..."
    juce::String automateItem();                                             // "Automate..."
    juce::String clearAutomationItem();                                      // "Clear Automation"
}

/** The effect panels' knob: a slider whose right button opens a menu to type an exact value,
    set up a timed ramp ("automation") or remove that ramp. Any other press is the slider's own.
    Its ramps live in SliderRampRegistry; destroying the knob removes its entry there. */
class RightClickSlider : public ParamSlider
{
public:
    enum MenuIds
    {
        enterValueId = 1,
        automateId = 2,
        clearAutomationId = 3
    };

    RightClickSlider();
    ~RightClickSlider() override;

    void mouseDown (const juce::MouseEvent& event) override;

    /** Opens the right-click menu asynchronously at the mouse. */
    void showSliderMenu();

    /** The menu as it would be shown now: two items, three while the knob has a ramp. */
    juce::PopupMenu createSliderMenu() const;

    /** Carries out a menu choice (0 or an unknown id does nothing). */
    void handleSliderMenuResult (int result);

    /** Opens the "Enter Value" dialog asynchronously. */
    void showEnterValueDialog();

    /** Opens the "Automate" dialog, or the "No Waveform" warning while nothing is loaded. */
    void showAutomateDialog();

    /** The dialogs as built by the two calls above, without entering the modal state. */
    std::unique_ptr<juce::AlertWindow> createEnterValueDialog() const;
    std::unique_ptr<juce::AlertWindow> createAutomateDialog (double lengthSeconds) const;

    /** Result handlers of the two dialogs; they read the window's editors but do not delete it.
        The automate handler gets the value and suffix captured when its dialog opened. */
    void onEnterValueDialogResult (int result, juce::AlertWindow& window);
    void onAutomateDialogResult (int result, juce::AlertWindow& window,
                                 double valueWhenOpened, const juce::String& suffixWhenOpened);

    /** Where the "Automate..." dialog learns the loaded audio's length in seconds (0 or less:
        nothing loaded). The main component installs it and removes it when it goes away. */
    static void setAudioLengthSource (std::function<double()> source);
    static double getAudioLengthSeconds();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RightClickSlider)
};
