"""Checks the exerciser's own judgement of windows against a stand-in for the application,
under the X server of run-under-xvfb.sh:
    exerciser_test.py
Each launch of the stand-in shows one top-level window, a popup or an ordinary one, as the
environment says; launches follow each other until one window id has been a popup in one and
an ordinary window in another, as the application's launches get them. Then a stand-in shows a tray icon whose click opens a panel,
or opens nothing, as an application whose panel no longer opens: the exerciser's check of
the click must pass the one and report the other as a fault. Exits 0 when every judgement
held, 1 when one did not, 77 when a tool it needs is missing.
"""

import ctypes
import os
import shutil
import stat
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import exerciser  # noqa: E402

_CW_OVERRIDE_REDIRECT = 1 << 9
_PROP_MODE_REPLACE = 0
_XA_ATOM = 4
_XA_CARDINAL = 6
_BUTTON_PRESS = 4
_BUTTON_PRESS_MASK = 1 << 2


class _WindowAttributes(ctypes.Structure):
    _fields_ = [
        ("background_pixmap", ctypes.c_ulong), ("background_pixel", ctypes.c_ulong),
        ("border_pixmap", ctypes.c_ulong), ("border_pixel", ctypes.c_ulong),
        ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
        ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
        ("event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int), ("colormap", ctypes.c_ulong), ("cursor", ctypes.c_ulong),
    ]


def stand_in(kind):
    """Shows one 200 x 100 window of the given kind ("popup" or "window"), or a 22 x 22 icon
    whose click opens a panel ("tray") or nothing ("stuck tray"), and waits to be ended."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XCreateSimpleWindow.restype = ctypes.c_ulong
    x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + [ctypes.c_uint] * 3 + [
        ctypes.c_ulong] * 2
    x.XChangeWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_void_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                  ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
    x.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XStoreName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_char_p]
    x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    display = x.XOpenDisplay(None)

    def window(left, top, width, height, override_redirect=False):
        made = x.XCreateSimpleWindow(display, x.XDefaultRootWindow(display), left, top, width, height, 0, 0, 0)
        attributes = _WindowAttributes(override_redirect=int(override_redirect))
        x.XChangeWindowAttributes(display, made, _CW_OVERRIDE_REDIRECT, ctypes.byref(attributes))
        pid = ctypes.c_ulong(os.getpid())
        x.XChangeProperty(display, made, x.XInternAtom(display, b"_NET_WM_PID", 0), _XA_CARDINAL, 32,
                          _PROP_MODE_REPLACE, ctypes.byref(pid), 1)
        return made

    if kind in ("popup", "window"):
        x.XMapWindow(display, window(100, 100, 200, 100, override_redirect=kind == "popup"))
        x.XSync(display, 0)
        while True:
            time.sleep(60)
    icon = window(1000, 0, 22, 22)
    x.XSelectInput(display, icon, _BUTTON_PRESS_MASK)
    x.XMapWindow(display, icon)
    panel = window(800, 30, 200, 100)
    x.XStoreName(display, panel, b"vantora")
    utility = ctypes.c_ulong(x.XInternAtom(display, b"_NET_WM_WINDOW_TYPE_UTILITY", 0))
    x.XChangeProperty(display, panel, x.XInternAtom(display, b"_NET_WM_WINDOW_TYPE", 0), _XA_ATOM, 32,
                      _PROP_MODE_REPLACE, ctypes.byref(utility), 1)
    x.XSync(display, 0)
    event = (ctypes.c_long * 24)()
    while True:
        x.XNextEvent(display, event)
        if ctypes.cast(event, ctypes.POINTER(ctypes.c_int))[0] == _BUTTON_PRESS and kind == "tray":
            x.XMapWindow(display, panel)
            x.XSync(display, 0)


def main():
    for tool in ("xdotool", "xwininfo"):
        if not shutil.which(tool):
            print("exerciser_test: %s is not installed" % tool, file=sys.stderr)
            return 77
    folder = tempfile.mkdtemp()
    try:
        # Started as the application is, with a launch's flags, which it does not read.
        launcher = os.path.join(folder, "stand-in")
        with open(launcher, "w") as script:
            script.write('#!/bin/sh\nexec "%s" "%s" --stand-in\n' % (sys.executable, os.path.abspath(__file__)))
        os.chmod(launcher, stat.S_IRWXU)
        driver = exerciser.Exerciser(launcher, 1, os.path.join(folder, "app.log"))
        driver.started = time.monotonic()
        failures = []
        # The point is a popup and an ordinary window under one id, as the application's
        # launches get it. The server gives a new client the slot its last one let go, unless a
        # short-lived client of the driver's (xwininfo, xdotool) took it first on a loaded
        # machine: launches go on, in pairs, until one id has shown both kinds.
        kinds_by_id = {}
        launch = 0
        while launch < 12 and not any(len(kinds) == 2 for kinds in kinds_by_id.values()):
            kind = "popup" if launch % 2 == 0 else "window"
            launch += 1
            os.environ["EXERCISER_TEST_KIND"] = kind
            driver.start()
            shown = driver.windows()
            for window in shown:
                kinds_by_id.setdefault(window[0], set()).add(kind)
                if driver.is_menu(window[0]) != (kind == "popup"):
                    failures.append("launch %d: the %s %#x was taken for a%s" % (
                        launch, kind, window[0], " menu" if kind == "window" else "n ordinary window"))
            driver.stop()
            # The server gives the next launch the ids of the last only once it has let the
            # last one go, which a loaded machine may take a while to do.
            deadline = time.monotonic() + 30
            while any(driver.display.geometry(window[0]) for window in shown) and time.monotonic() < deadline:
                time.sleep(0.05)
        if not any(len(kinds) == 2 for kinds in kinds_by_id.values()):
            failures.append("%d launches got the windows %s, never a popup and a window under one id" % (
                launch, sorted(map(hex, kinds_by_id))))
        for kind, opens in (("tray", True), ("stuck tray", False)):
            os.environ["EXERCISER_TEST_KIND"] = kind
            driver.start()
            try:
                checked = driver.checked_tray_click()
                if not checked:
                    failures.append("%s: the click on the icon was not checked" % kind)
                elif not opens:
                    failures.append("%s: a click on the icon that opened nothing passed the check" % kind)
            except exerciser.Fault as fault:
                if opens:
                    failures.append("%s: a click on the icon that opened the panel was taken for a fault: %s" % (
                        kind, fault))
            driver.stop()
        for failure in failures:
            print("FAILED: " + failure, file=sys.stderr)
        return 1 if failures else 0
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    if sys.argv[1:2] == ["--stand-in"]:
        stand_in(os.environ["EXERCISER_TEST_KIND"])
    sys.exit(main())
