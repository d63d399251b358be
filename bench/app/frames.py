"""Counts the frames a window shows: how often its content changes, as the X server's
Damage extension reports it, over a number of seconds.
    frames.py <window> <seconds>     prints the count
A change is reported once until it has been taken note of, so frames that come faster than
this program reads may count as one; a count is never too high."""

import ctypes
import ctypes.util
import select
import sys
import time

_REPORT_NON_EMPTY = 3


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("pad", ctypes.c_long * 24)]


def _load(name):
    path = ctypes.util.find_library(name)
    if not path:
        raise RuntimeError("lib" + name + " is not installed")
    return ctypes.CDLL(path)


def count_frames(window, seconds):
    x11, damage = _load("X11"), _load("Xdamage")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    for function in ("XPending", "XNextEvent", "XConnectionNumber", "XFlush", "XSync", "XCloseDisplay"):
        getattr(x11, function).argtypes = [ctypes.c_void_p] + ([ctypes.c_void_p] if function == "XNextEvent" else [])
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    damage.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                             ctypes.POINTER(ctypes.c_int)]
    damage.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
    damage.XDamageCreate.restype = ctypes.c_ulong
    damage.XDamageSubtract.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong]

    display = x11.XOpenDisplay(None)
    if not display:
        raise RuntimeError("cannot open the X display")
    event_base, error_base = ctypes.c_int(), ctypes.c_int()
    if not damage.XDamageQueryExtension(display, ctypes.byref(event_base), ctypes.byref(error_base)):
        raise RuntimeError("the X server has no Damage extension")
    handle = damage.XDamageCreate(display, window, _REPORT_NON_EMPTY)
    x11.XSync(display, 0)
    # Creating the damage object reports what the window already shows: not a frame.
    time.sleep(0.1)
    while x11.XPending(display):
        x11.XNextEvent(display, ctypes.byref(_Event()))
    damage.XDamageSubtract(display, handle, 0, 0)
    x11.XFlush(display)

    frames = 0
    deadline = time.monotonic() + seconds
    connection = x11.XConnectionNumber(display)
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            break
        select.select([connection], [], [], left)
        noticed = False
        while x11.XPending(display):
            event = _Event()
            x11.XNextEvent(display, ctypes.byref(event))
            noticed = noticed or event.type == event_base.value
        if noticed:
            frames += 1
            damage.XDamageSubtract(display, handle, 0, 0)
            x11.XFlush(display)
    x11.XCloseDisplay(display)
    return frames


if __name__ == "__main__":
    print(count_frames(int(sys.argv[1], 0), float(sys.argv[2])))
