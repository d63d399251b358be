"""What the X11 tests ask the X server directly, through libX11 (no Python binding needed):
whether a window's event loop still answers a _NET_WM_PING, and a digest of a window's
pixels. Usable as a module or from a shell:
    xwindows.py ping <window> [timeout seconds]     exit 0 when answered, 1 when not
    xwindows.py settled <window> [timeout seconds]  waits until what the window shows holds
                                                    still for a tenth of a second and across
                                                    two turns of its event loop, and prints
                                                    its digest; exit 1 when it never does
    xwindows.py luminance <window>                  prints how light the window looks on
                                                    average, from 0 (black) to 1 (white)
    xwindows.py grab-keyboard <seconds>             holds the keyboard for that long, as a
                                                    screen reader's key listener does for a
                                                    moment; prints "grabbed" once it holds it
"""

import ctypes
import hashlib
import os
import select
import sys
import time

_CLIENT_MESSAGE = 33
_STRUCTURE_NOTIFY_MASK = 1 << 17
_Z_PIXMAP = 2
_GRAB_MODE_ASYNC = 1
_ALREADY_GRABBED = 1
_CURRENT_TIME = 0


class _ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", _ClientMessage), ("pad", ctypes.c_long * 24)]


class _Image(ctypes.Structure):
    _fields_ = [
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int),
        ("data", ctypes.POINTER(ctypes.c_ubyte)),
        ("byte_order", ctypes.c_int),
        ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int),
        ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int),
        ("bits_per_pixel", ctypes.c_int),
    ]


def _library():
    lib = ctypes.CDLL("libX11.so.6")
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    lib.XDefaultRootWindow.restype = ctypes.c_ulong
    lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    lib.XInternAtom.restype = ctypes.c_ulong
    lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    lib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    lib.XFlush.argtypes = [ctypes.c_void_p]
    lib.XPending.argtypes = [ctypes.c_void_p]
    lib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    lib.XConnectionNumber.argtypes = [ctypes.c_void_p]
    lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    lib.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
    lib.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                          ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_void_p]
    lib.XGetImage.restype = ctypes.POINTER(_Image)
    lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                              ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    lib.XGetWMProtocols.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p, ctypes.c_void_p]
    lib.XFree.argtypes = [ctypes.c_void_p]
    lib.XSetErrorHandler.restype = ctypes.c_void_p
    lib.XGrabPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_uint, ctypes.c_int,
                                 ctypes.c_int, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong]
    lib.XUngrabPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    lib.XGrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_ulong]
    lib.XUngrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    return lib


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class Display:
    """One connection to the X server of $DISPLAY. Errors about windows that went away
    meanwhile (the application may end at any moment) are ignored."""

    def __init__(self):
        self._x = _library()
        # Kept referenced: libX11 calls it for as long as the connection lives.
        self._ignore_errors = _ERROR_HANDLER(lambda display, error: 0)
        self._x.XSetErrorHandler(self._ignore_errors)
        self._display = self._x.XOpenDisplay(None)
        if not self._display:
            raise RuntimeError("cannot open the X display " + os.environ.get("DISPLAY", "(unset)"))
        self._root = self._x.XDefaultRootWindow(self._display)
        self._protocols = self._x.XInternAtom(self._display, b"WM_PROTOCOLS", 0)
        self._ping = self._x.XInternAtom(self._display, b"_NET_WM_PING", 0)
        # Replies to pings are sent to the root window, to whoever listens for its structure.
        self._x.XSelectInput(self._display, self._root, _STRUCTURE_NOTIFY_MASK)
        self._stamp = 0

    def close(self):
        self._x.XCloseDisplay(self._display)

    def answers_pings(self, window):
        """Whether the window's client says it answers _NET_WM_PING."""
        atoms = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_int()
        if not self._x.XGetWMProtocols(self._display, window, ctypes.byref(atoms), ctypes.byref(count)):
            return False
        found = any(atoms[i] == self._ping for i in range(count.value))
        self._x.XFree(atoms)
        return found

    def ping(self, window, timeout, give_up=lambda: False):
        """Sends a _NET_WM_PING to the window and waits up to `timeout` seconds for its
        client's event loop to send it back, asking `give_up` every tenth of a second
        meanwhile. True when it answered."""
        self._stamp += 1
        stamp = self._stamp
        event = _Event()
        event.client.type = _CLIENT_MESSAGE
        event.client.window = window
        event.client.message_type = self._protocols
        event.client.format = 32
        event.client.data[0] = self._ping
        event.client.data[1] = stamp
        event.client.data[2] = window
        self._x.XSendEvent(self._display, window, 0, 0, ctypes.byref(event))
        self._x.XFlush(self._display)
        deadline = time.monotonic() + timeout
        while True:
            while self._x.XPending(self._display):
                reply = _Event()
                self._x.XNextEvent(self._display, ctypes.byref(reply))
                message = reply.client
                if (reply.type == _CLIENT_MESSAGE and message.message_type == self._protocols
                        and message.data[0] == self._ping and message.data[1] == stamp
                        and message.data[2] == window):
                    return True
            left = deadline - time.monotonic()
            if left <= 0 or give_up():
                return False
            select.select([self._x.XConnectionNumber(self._display)], [], [], min(left, 0.1))

    def pointer_grabbed(self):
        """Whether another client holds the pointer (a menu, or a window manager's move that
        carries a window along with the pointer)."""
        grabbed = self._x.XGrabPointer(self._display, self._root, 0, 0, _GRAB_MODE_ASYNC, _GRAB_MODE_ASYNC, 0, 0,
                                       _CURRENT_TIME) == _ALREADY_GRABBED
        self._x.XUngrabPointer(self._display, _CURRENT_TIME)
        self._x.XSync(self._display, 0)
        return grabbed

    def grab_keyboard(self, seconds):
        """Holds the keyboard for `seconds`. False when another client holds it."""
        if self._x.XGrabKeyboard(self._display, self._root, 0, _GRAB_MODE_ASYNC, _GRAB_MODE_ASYNC,
                                 _CURRENT_TIME) != 0:
            return False
        self._x.XSync(self._display, 0)
        print("grabbed", flush=True)
        time.sleep(seconds)
        self._x.XUngrabKeyboard(self._display, _CURRENT_TIME)
        self._x.XSync(self._display, 0)
        return True

    def geometry(self, window):
        """The window's (x, y, width, height) on the screen, or None when it is gone."""
        root = ctypes.c_ulong()
        x, y = ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
        if not self._x.XGetGeometry(self._display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                                    ctypes.byref(width), ctypes.byref(height), ctypes.byref(border),
                                    ctypes.byref(depth)):
            return None
        child = ctypes.c_ulong()
        if not self._x.XTranslateCoordinates(self._display, window, self._root, 0, 0, ctypes.byref(x),
                                             ctypes.byref(y), ctypes.byref(child)):
            return None
        return x.value, y.value, width.value, height.value

    def picture(self, window):
        """What the window shows, or None when it cannot be read (unmapped)."""
        geometry = self.geometry(window)
        if geometry is None:
            return None
        image = self._x.XGetImage(self._display, window, 0, 0, geometry[2], geometry[3], ~0 & 0xFFFFFFFF,
                                  _Z_PIXMAP)
        self._x.XSync(self._display, 0)
        if not image:
            return None
        contents = image.contents
        picture = Picture(contents.width, contents.height, contents.bytes_per_line, contents.bits_per_pixel // 8,
                          ctypes.string_at(contents.data, contents.bytes_per_line * contents.height))
        self._x.XFree(contents.data)
        self._x.XFree(image)
        return picture

    def digest(self, window):
        """A digest of what the window shows, or None when it cannot be read."""
        picture = self.picture(window)
        return hashlib.sha1(picture.pixels).hexdigest() if picture else None


class Picture:
    def __init__(self, width, height, bytes_per_line, bytes_per_pixel, pixels):
        self.width, self.height = width, height
        self._bytes_per_line, self._bytes_per_pixel = bytes_per_line, bytes_per_pixel
        self.pixels = pixels

    def pixel(self, x, y):
        start = y * self._bytes_per_line + x * self._bytes_per_pixel
        return self.pixels[start:start + self._bytes_per_pixel]

    def mean_luminance(self):
        """The mean of the pixels' luminance, weighted as the eye weighs red, green and blue;
        pixels of a 24-bit visual, as Xvfb's, are blue, green, red and a pad byte."""
        total = 0
        for y in range(self.height):
            row = self.pixels[y * self._bytes_per_line:y * self._bytes_per_line + self.width * 4]
            total += 0.0722 * sum(row[0::4]) + 0.7152 * sum(row[1::4]) + 0.2126 * sum(row[2::4])
        return total / (255 * self.width * self.height)


def main(arguments):
    display = Display()
    if arguments[:1] == ["ping"] and len(arguments) in (2, 3):
        timeout = float(arguments[2]) if len(arguments) == 3 else 5.0
        return 0 if display.ping(int(arguments[1], 0), timeout) else 1
    if arguments[:1] == ["settled"] and len(arguments) in (2, 3):
        window = int(arguments[1], 0)
        deadline = time.monotonic() + (float(arguments[2]) if len(arguments) == 3 else 5.0)
        before = display.digest(window)
        while before is not None and time.monotonic() < deadline:
            time.sleep(0.1)
            # A program starved of the processor in the middle of an animation shows a still
            # picture: it has settled only once it has turned its event loop (the animation's
            # due step) and again (the painting that step asked for) without a change.
            for _ in range(2):
                if not display.ping(window, max(deadline - time.monotonic(), 0)):
                    return 1
            now = display.digest(window)
            if now == before:
                print(now)
                return 0
            before = now
        return 1
    if arguments[:1] == ["luminance"] and len(arguments) == 2:
        picture = display.picture(int(arguments[1], 0))
        if picture is None:
            return 1
        print("%.3f" % picture.mean_luminance())
        return 0
    if arguments[:1] == ["grab-keyboard"] and len(arguments) == 2:
        return 0 if display.grab_keyboard(float(arguments[1])) else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
