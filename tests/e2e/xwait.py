"""What the scripted session needs of the X server beyond xdotool: wait
until a pixel of the screen shows a colour, and ask a window to close as
a window manager's close button does (there is no window manager under
Xvfb). Waits end on the condition; the time limit only bounds a failure.

  xwait.py pixel X Y RRGGBB      wait until the screen shows RRGGBB at X, Y
  xwait.py close WINDOW          send WM_DELETE_WINDOW to WINDOW
  xwait.py gone WINDOW           wait until WINDOW is no longer mapped
  xwait.py focus WINDOW          wait until WINDOW has the keyboard focus
"""
import sys
import time

from Xlib import X, display, error, protocol

LIMIT = 120.0  # seconds; generous, for valgrind-slow or busy machines


def pixel_at(screen, x, y):
    image = screen.root.get_image(x, y, 1, 1, X.ZPixmap, 0xFFFFFFFF)
    blue, green, red = image.data[0], image.data[1], image.data[2]
    return "%02x%02x%02x" % (red, green, blue)


def wait_pixel(dpy, x, y, want):
    screen = dpy.screen()
    deadline = time.monotonic() + LIMIT
    seen = pixel_at(screen, x, y)
    while seen != want.lower():
        if time.monotonic() > deadline:
            sys.exit("pixel %d,%d is #%s, not #%s" % (x, y, seen, want))
        time.sleep(0.02)
        seen = pixel_at(screen, x, y)


def close(dpy, window_id):
    window = dpy.create_resource_object("window", window_id)
    protocols = dpy.intern_atom("WM_PROTOCOLS")
    delete = dpy.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event, event_mask=X.NoEventMask)
    # A round trip, not a mere flush: an X server that finds a client
    # already gone when it gets round to it (a busy machine) drops what
    # that client sent last, unread. The reply comes once the server has
    # carried out the request.
    dpy.sync()


def wait_gone(dpy, window_id):
    window = dpy.create_resource_object("window", window_id)
    deadline = time.monotonic() + LIMIT
    while True:
        try:
            if window.get_attributes().map_state != X.IsViewable:
                return
        except error.BadWindow:
            return
        if time.monotonic() > deadline:
            sys.exit("window %d is still shown" % window_id)
        time.sleep(0.02)


def wait_focus(dpy, window_id):
    deadline = time.monotonic() + LIMIT
    while getattr(dpy.get_input_focus().focus, "id", None) != window_id:
        if time.monotonic() > deadline:
            sys.exit("window %d never had the focus" % window_id)
        time.sleep(0.02)


def main():
    dpy = display.Display()
    command = sys.argv[1]
    if command == "pixel":
        wait_pixel(dpy, int(sys.argv[2]), int(sys.argv[3]), sys.argv[4].lstrip("#"))
    elif command == "close":
        close(dpy, int(sys.argv[2]))
    elif command == "gone":
        wait_gone(dpy, int(sys.argv[2]))
    elif command == "focus":
        wait_focus(dpy, int(sys.argv[2]))
    else:
        sys.exit("unknown command " + command)


if __name__ == "__main__":
    main()
