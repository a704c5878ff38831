/* Asks an X window to close the way a window manager's close button does:
 * a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
 * Usage: wm_delete <window id>. Exit code 0 when the message was sent. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: wm_delete <window id>\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "wm_delete: cannot open the display\n");
    return 2;
  }
  Window window = (Window)strtoul(argv[1], NULL, 0);
  XEvent event = {0};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent ? 0 : 1;
}
