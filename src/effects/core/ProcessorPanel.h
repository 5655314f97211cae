#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** What every effect panel that owns its processor does the same way: it holds the processor
    as a base, so the processor exists before any of the panel's own fields that refer into its
    parameters; it forwards prepare, the activity test and the rate; and it runs the panel's
    refresh timer from construction to destruction. The panel keeps its own process() (the
    callers differ in how they hand samples over) and its timerCallback. */
template <typename Processor>
class ProcessorPanel : public juce::Component,
                       private juce::Timer
{
public:
    ~ProcessorPanel() override { stopTimer(); }

    void prepare (double newSampleRate) { processor.prepare (newSampleRate, 0); }

    Processor& getProcessor() noexcept { return processor; }

    /** The chain's activity test, answered by the processor. */
    bool isActive() const noexcept { return processor.isActive(); }

    double getSampleRate() const noexcept { return processor.getSampleRate(); }

protected:
    explicit ProcessorPanel (int timerIntervalMs) { startTimer (timerIntervalMs); }

    Processor processor;

private:
    JUCE_DECLARE_NON_COPYABLE (ProcessorPanel)
};
