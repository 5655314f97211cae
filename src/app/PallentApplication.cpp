#include "app/PallentApplication.h"

#include "main/MainComponent.h"
#include "platform/Fonts.h"
#include "platform/Locale.h"

#include <cstdio>

namespace
{
    juce::String describe (const std::exception* error)
    {
        return error != nullptr ? juce::String (error->what()) : juce::String ("Unknown error");
    }

    void showWarning (const PallentApplication::AlertText& text)
    {
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, text.title, text.message);
    }

    std::unique_ptr<juce::Component> makeMainComponent()
    {
        return std::make_unique<MainComponent>();
    }
}

PallentApplication::ContentFactory& PallentApplication::contentFactory()
{
    static ContentFactory factory;
    return factory;
}

PallentApplication::AlertText PallentApplication::initialisationError (const std::exception* error)
{
    return { "Initialization Error", "Failed to initialize application: " + describe (error) };
}

PallentApplication::AlertText PallentApplication::windowCreationError (const std::exception* error)
{
    return { "Window Creation Error", "Failed to create window: " + describe (error) };
}

const char* PallentApplication::noDisplayMessage()
{
    return "TavroFx cannot start: no display to open its window on (is DISPLAY set to a running X server?)";
}

//==============================================================================
PallentApplication::MainWindow::MainWindow (const juce::String& name, const ContentFactory& makeContent)
    : DocumentWindow (name,
                      juce::Desktop::getInstance().getDefaultLookAndFeel()
                          .findColour (juce::ResizableWindow::backgroundColourId),
                      DocumentWindow::allButtons)
{
    try
    {
        setUsingNativeTitleBar (true);
        setContentOwned ((makeContent ? makeContent() : makeMainComponent()).release(), true);
        setResizable (true, true);
        centreWithSize (1200, 800);
        setVisible (true);
    }
    catch (const std::exception& e)
    {
        showWarning (windowCreationError (&e));
    }
    catch (...)
    {
        showWarning (windowCreationError (nullptr));
    }
}

void PallentApplication::MainWindow::closeButtonPressed()
{
    if (auto* app = juce::JUCEApplication::getInstance())
        app->systemRequestedQuit();
}

//==============================================================================
PallentApplication::~PallentApplication()
{
    mainWindow.reset();
}

const juce::String PallentApplication::getApplicationName()    { return "TavroFx"; }
const juce::String PallentApplication::getApplicationVersion() { return "1.0.0"; }
bool PallentApplication::moreThanOneInstanceAllowed()           { return true; }

void PallentApplication::initialise (const juce::String&)
{
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
    {
        std::fprintf (stderr, "%s\n", noDisplayMessage());
        setApplicationReturnValue (1);
        quit();
        return;
    }

    // A logout or `kill` takes the same road as closing the window.
    quitSignals = std::make_unique<QuitSignals> ([this] { systemRequestedQuit(); });

    platform::initialiseLocale();
    platform::installDefaultLookAndFeel();

    try
    {
        mainWindow = std::make_unique<MainWindow> (getApplicationName(), contentFactory());
    }
    catch (const std::exception& e)
    {
        showWarning (initialisationError (&e));
    }
    catch (...)
    {
        showWarning (initialisationError (nullptr));
    }
}

void PallentApplication::shutdown()
{
    quitSignals.reset();
    mainWindow.reset();
    platform::removeDefaultLookAndFeel();
}

void PallentApplication::anotherInstanceStarted (const juce::String&) {}

void PallentApplication::systemRequestedQuit()
{
    quit();
}
