/* Sends WM_DELETE_WINDOW to a window, as a window manager's close button does; bare Xvfb
   has no window manager to do it for the smoke test. Usage: wm_delete WINDOW_ID
   "wm_delete --intern" creates the protocol atoms and keeps its connection open until it is
   killed: JUCE looks them up without creating them when a window opens, so on a server without
   a window manager they must exist first, and Xvfb forgets atoms when its last client leaves. */
#include <unistd.h>
#include <string.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        fprintf (stderr, "usage: %s WINDOW_ID\n", argv[0]);
        return 2;
    }

    Display* display = XOpenDisplay (NULL);
    if (display == NULL)
    {
        fprintf (stderr, "cannot open display\n");
        return 1;
    }

    const Atom protocols = XInternAtom (display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom (display, "WM_DELETE_WINDOW", False);
    XInternAtom (display, "WM_TAKE_FOCUS", False);

    if (strcmp (argv[1], "--intern") == 0)
    {
        XFlush (display);
        for (;;)
            pause();
    }

    const Window window = (Window) strtoul (argv[1], NULL, 0);
    XEvent event = { 0 };
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long) deleteWindow;
    event.xclient.data.l[1] = CurrentTime;

    XSendEvent (display, window, False, NoEventMask, &event);
    XFlush (display);
    XCloseDisplay (display);
    return 0;
}
