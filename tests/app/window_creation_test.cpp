#include <gtest/gtest.h>

#include "app/PallentApplication.h"
#include "main/MainComponent.h"
#include "support/MessagePump.h"

#include <stdexcept>

namespace
{
    juce::AlertWindow* findAlert (const juce::String& title)
    {
        auto& desktop = juce::Desktop::getInstance();
        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (auto* alert = dynamic_cast<juce::AlertWindow*> (desktop.getComponent (i)))
                if (alert->getName() == title)
                    return alert;
        return nullptr;
    }

    void dismissAlerts()
    {
        auto& desktop = juce::Desktop::getInstance();
        for (int i = desktop.getNumComponents(); --i >= 0;)
            if (auto* alert = dynamic_cast<juce::AlertWindow*> (desktop.getComponent (i)))
                alert->exitModalState (0);
        EXPECT_TRUE (test_support::runPendingMessages());
    }
}

TEST (WindowCreation, FailingContentLeavesAWindowAndAWarning)
{
    struct Case
    {
        PallentApplication::ContentFactory factory;
        const char* message;
    };

    const Case cases[] = {
        { [] () -> std::unique_ptr<juce::Component> { throw std::runtime_error ("no audio today"); },
          "Failed to create window: no audio today" },
        { [] () -> std::unique_ptr<juce::Component> { throw 42; },
          "Failed to create window: Unknown error" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.message);
        std::unique_ptr<PallentApplication::MainWindow> window;
        ASSERT_NO_THROW (window = std::make_unique<PallentApplication::MainWindow> ("TavroFx", c.factory));
        EXPECT_EQ (window->getContentComponent(), nullptr);
        EXPECT_EQ (window->getName(), "TavroFx");

        juce::AlertWindow* alert = nullptr;
        test_support::pumpUntil ([&] { return (alert = findAlert ("Window Creation Error")) != nullptr; });
        ASSERT_NE (alert, nullptr);
        EXPECT_TRUE (alert->isVisible());
        dismissAlerts();
    }

    const std::runtime_error error ("disk on fire");
    EXPECT_EQ (PallentApplication::windowCreationError (&error).message, "Failed to create window: disk on fire");
    EXPECT_EQ (PallentApplication::windowCreationError (nullptr).title, "Window Creation Error");
    EXPECT_EQ (PallentApplication::initialisationError (nullptr).message, "Failed to initialize application: Unknown error");
}

TEST (WindowCreation, DefaultContentIsTheMainComponentAtTheStartSize)
{
    PallentApplication::MainWindow window ("TavroFx");
    auto* content = dynamic_cast<MainComponent*> (window.getContentComponent());
    ASSERT_NE (content, nullptr);
    EXPECT_EQ (MainComponent::mainComponentInstance, content);
    EXPECT_EQ (window.getWidth(), 1200);
    EXPECT_EQ (window.getHeight(), 800);
    EXPECT_TRUE (window.isResizable());
    EXPECT_TRUE (window.isVisible());
}
