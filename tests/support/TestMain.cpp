// Test entry point: every test runs with JUCE's message manager and the application's
// default look-and-feel, and with HOME and TMPDIR in a scratch folder so nothing touches
// the user's files.
#include <gtest/gtest.h>

#include "platform/Fonts.h"
#include "platform/Locale.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <X11/Xlib.h>
#include <cstdlib>
#include <unistd.h>

namespace
{
    // Under a bare Xvfb the default Xlib handler would end the process at the first harmless
    // error from a test window; JUCE only installs its own inside a running application.
    int ignoreXError (Display*, XErrorEvent*) { return 0; }

    std::string makeScratchHome()
    {
        char pattern[] = "/tmp/tavrofx-test-XXXXXX";
        const char* made = ::mkdtemp (pattern);
        return made != nullptr ? std::string (made) : std::string ("/tmp");
    }
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    const auto home = makeScratchHome();
    ::setenv ("HOME", home.c_str(), 1);
    const auto tmp = home + "/tmp";
    juce::File (tmp).createDirectory();
    ::setenv ("TMPDIR", tmp.c_str(), 1);
    ::unsetenv ("XDG_CONFIG_HOME");

    XSetErrorHandler (ignoreXError);
    platform::initialiseLocale();

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        platform::installDefaultLookAndFeel();
        result = RUN_ALL_TESTS();
        platform::removeDefaultLookAndFeel();
    }

    juce::File (home).deleteRecursively();
    return result;
}
