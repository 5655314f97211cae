#pragma once

#include "app/QuitSignals.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

/** The process shell: one top-level window whose content owns everything else. */
class PallentApplication : public juce::JUCEApplication
{
public:
    /** Builds the window's content; tests swap it to exercise the failure paths. */
    using ContentFactory = std::function<std::unique_ptr<juce::Component>()>;

    class MainWindow : public juce::DocumentWindow
    {
    public:
        explicit MainWindow (const juce::String& name, const ContentFactory& makeContent = {});
        void closeButtonPressed() override;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

    PallentApplication() = default;
    ~PallentApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;
    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;

    MainWindow* getMainWindow() const noexcept { return mainWindow.get(); }

    /** The content every new main window gets; empty means MainComponent. */
    static ContentFactory& contentFactory();

    /** The texts of the two start-failure boxes: a title and a message. */
    struct AlertText { juce::String title, message; };
    static AlertText initialisationError (const std::exception* error);
    static AlertText windowCreationError (const std::exception* error);

    /** The one line printed when there is no display to open the window on. */
    static const char* noDisplayMessage();

private:
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<QuitSignals> quitSignals;
};
