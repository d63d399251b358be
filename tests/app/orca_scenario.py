#!/usr/bin/env python3
"""What Orca, the screen reader, says while a person drives the real application by keys alone.

Run by accessibility-under-x11.sh: orca_scenario.py <vantora binary> <private home>. Starts
Orca without a voice, its debug log on a terminal (so that each line arrives as Orca writes
it), and the app, then presses keys with xdotool and waits for the lines Orca logs as spoken
("SPEECH OUTPUT: '…'"). Prints what failed and exits 1, 77 when Orca is not installed, or 0.
"""

import json
import os
import pty
import re
import shutil
import subprocess
import sys
import threading
import time

APP, HOME = sys.argv[1], sys.argv[2]
QT_VERSION = tuple(int(part) for part in os.environ["VANTORA_QT_VERSION"].split(".")[:2])
FAILURES = []
# "SPEECH OUTPUT: 'Quit menu item.'", then the voice Orca would use: " voice=…", "{…}".
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: voice=\S+)? ?(?:\{.*\})?$")


def fail(text):
    FAILURES.append(text)
    print("FAILED: " + text, file=sys.stderr)


def within(seconds, check):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        result = check()
        if result:
            return result
        time.sleep(0.05)
    return None


class Orca:
    """Orca on the session's accessibility bus, and every line it has spoken so far."""

    def __init__(self):
        self.lines = []
        self.spoken = []
        self.lock = threading.Lock()
        # Orca opens its debug file with Python's default buffering, which is line by line
        # on a terminal only. The terminal stays open here too, or it would hang up before
        # Orca opens it.
        self.reader, self.writer = pty.openpty()
        self.log = open(os.path.join(HOME, "orca.log"), "a")
        # Orca logs what it says with or without a voice; a speech server that refuses to
        # start leaves it without one.
        voiceless = dict(os.environ, SPEECHD_CMD="/bin/false")
        command = ["orca", "--debug-file", os.ttyname(self.writer)]
        # Orca refuses to start beside another Orca of the same user, as a machine that runs
        # tests side by side may have: as root it runs in a process namespace of its own.
        private = ["unshare", "--pid", "--fork", "--mount-proc", "--kill-child"]
        if os.geteuid() == 0 and shutil.which("unshare") and subprocess.run(
                private + ["true"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0:
            command = private + command
        elif subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"], stdout=subprocess.DEVNULL).returncode == 0:
            # The person's own screen reader: never replaced by a test.
            print("SKIP: Orca runs already for this user, and it allows one per user")
            sys.exit(77)
        self.process = subprocess.Popen(command, env=voiceless, stdout=self.log, stderr=subprocess.STDOUT)
        threading.Thread(target=self.read, daemon=True).start()
        # Orca 43 and Orca 48 name their start differently.
        if not self.wait_for_started(30):
            sys.exit("Orca did not start")

    def read(self):
        pending = b""
        while True:
            try:
                chunk = os.read(self.reader, 65536)
            except OSError:
                return
            if not chunk:
                return
            pending += chunk
            *complete, pending = pending.split(b"\n")
            with self.lock:
                for raw in complete:
                    line = raw.decode("utf-8", "replace").rstrip("\r")
                    self.lines.append(line)
                    self.log.write(line + "\n")
                    spoken = SPOKEN.search(line)
                    if spoken:
                        self.spoken.append(spoken.group(1))

    def wait_for_started(self, seconds):
        started = ("ORCA: Starting registry", "ORCA: Starting Atspi main event loop")
        return within(seconds, lambda: any(text in line for line in self.snapshot()[0] for text in started))

    def snapshot(self):
        with self.lock:
            return list(self.lines), list(self.spoken)

    def mark(self):
        return len(self.snapshot()[1])

    def said_since(self, mark):
        return self.snapshot()[1][mark:]

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.writer)
        self.log.flush()


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "80", *names], check=True)


class Scenario:
    """Steps of keys, each waiting for the lines Orca should say."""

    def __init__(self, orca):
        self.orca = orca

    def expect(self, what, pressed, *wanted, once=None, since=None, seconds=10):
        """Presses `pressed` and waits until spoken lines match the patterns of `wanted` in
        order; fails when they did not come, or when two lines said the same text matching `once`.
        Counts the lines from `since` (a mark taken before something other than keys started
        the step) or from the keys. Returns the lines said."""
        mark = self.orca.mark() if since is None else since
        if pressed:
            keys(*pressed)

        def heard_all():
            # Orca 48 says in one line what Orca 43 says in two: the patterns follow each other
            # in the lines read as one text, each anchored to the start of a line where it says so.
            said = self.orca.said_since(mark)
            text = "\n".join(said)
            position = 0
            for pattern in wanted:
                found = re.compile(pattern, re.M).search(text, position)
                if found is None:
                    return None
                position = found.end()
            return said

        said = within(seconds, heard_all)
        if said is None:
            fail("%s: Orca said %s, wanted %s" % (what, self.orca.said_since(mark), list(wanted)))
            return self.orca.said_since(mark)
        if once:
            heard = [found.group() for found in (re.search(once, line) for line in said) if found]
            if len(heard) != len(set(heard)):
                fail("%s: Orca said some more than once: %s" % (what, said))
        return said

    def hold_until_heard(self, key, echo):
        """Presses `key` and lets it up once Orca has said it (`echo`), as a person's key
        stays down while a reader takes it; returns a mark taken before. A window that a
        menu's entry opens as the key comes up then comes after Orca took the key: Orca 48
        takes a key it gets after the window came for one pressed in that window, and moves
        to the window's focus without a word."""
        mark = self.orca.mark()
        subprocess.run(["xdotool", "keydown", key], check=True)
        within(5, lambda: any(re.fullmatch(echo, line) for line in self.orca.said_since(mark)))
        subprocess.run(["xdotool", "keyup", key], check=True)
        return mark

    def move_to(self, what, key, pattern, limit=40):
        """Presses `key` until Orca says a line matching `pattern`; the steps between may say
        anything."""
        for _ in range(limit):
            mark = self.orca.mark()
            keys(key)
            if within(3, lambda: any(re.search(pattern, line) for line in self.orca.said_since(mark))):
                return True
        fail("%s: %s never reached %r" % (what, key, pattern))
        return False


def icon_window():
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    inside = False
    for line in tree.splitlines():
        if '"panel": ("panel" "trayer")' in line:
            inside = True
        elif inside and '"vantora": ("vantora"' in line:
            return line.split()[0]
    return None


def start_app(*arguments, environment=None):
    log = open(os.path.join(HOME, "app.log"), "a")
    # In the private home: a file it saves where it stands lands there.
    process = subprocess.Popen([APP, *arguments], stdout=log, stderr=subprocess.STDOUT, env=environment, cwd=HOME)
    with open(os.path.join(HOME, "app.pid"), "w") as pid:
        pid.write(str(process.pid))
    return process


def panel(scenario):
    app = start_app("--demo")
    icon = within(20, icon_window)
    if not icon:
        sys.exit("the tray icon was not embedded")
    mark = scenario.orca.mark()
    subprocess.run(["xdotool", "mousemove", "--window", icon, "11", "11", "click", "1"], check=True)
    scenario.expect("the panel opens", (), r"^Turn all lights off (push )?button\.?$", since=mark)
    return app


def all_lights(scenario):
    """All off and All on from the panel's first control: the new state said each time, and
    the notice that comes with it (the demo holds a light that cannot be reached) read out."""
    notice = r"Unavailable lights couldn’t be changed"
    mark = scenario.orca.mark()
    scenario.expect("all lights off", ("space",), r"Turn all lights on")
    scenario.expect("the notice that comes with it", (), notice, since=mark, once=notice)
    scenario.expect("all lights on", ("space",), r"Turn all lights off")


def store_global_shortcuts():
    """Ctrl+Alt+K shows or hides the panel and Ctrl+Alt+L toggles all lights, stored as the
    shortcuts page would store them, before the app starts."""
    folder = os.path.join(os.environ["XDG_CONFIG_HOME"], "vantora")
    os.makedirs(folder, exist_ok=True)
    shortcut = '{"carbonKeyCode":%d,"carbonModifiers":6144}'
    with open(os.path.join(folder, "defaults.json"), "w") as defaults:
        json.dump({"format": 1, "values": {
            "GlobalShortcuts_showVantora": {"type": "string", "value": shortcut % 40},
            "GlobalShortcuts_toggleHomeLights": {"type": "string", "value": shortcut % 37}}}, defaults)


def panel_shown():
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^vantora$"],
                          capture_output=True, text=True).stdout.strip() != ""


def global_shortcuts(scenario):
    """The recorded shortcuts pressed with the panel shown, while Orca's key listeners take the
    keyboard for a moment: the all-lights one switches the lights and leaves the panel shown
    with the keyboard, the show-or-hide one hides it."""
    # The lights start on: the key switches them off, then on again, each said as it is done.
    for state in ("off", "on"):
        scenario.expect("the all-lights shortcut", ("ctrl+alt+l",), r"\bAll lights %s\." % state)
        # Whatever the keys set off has run by the time Orca said it, or a moment later.
        if within(1, lambda: not panel_shown()):
            fail("the all-lights shortcut hid the panel")
    focused = subprocess.run(["xdotool", "getwindowfocus", "getwindowname"], capture_output=True, text=True)
    if focused.stdout.strip() != "vantora":
        fail("after the all-lights shortcut the panel has no keyboard: %r has it" % focused.stdout.strip())
    keys("ctrl+alt+k")
    if not within(5, lambda: not panel_shown()):
        fail("the show-or-hide shortcut left the shown panel shown")


def status_notifier_item():
    """The bus name of the app's item for trays that show items over D-Bus: the connection
    that serves /StatusNotifierItem."""
    names = subprocess.run(["gdbus", "call", "--session", "--dest", "org.freedesktop.DBus", "--object-path",
                            "/org/freedesktop/DBus", "--method", "org.freedesktop.DBus.ListNames"],
                           capture_output=True, text=True).stdout
    for name in re.findall(r"'(:[0-9.]+)'", names):
        served = subprocess.run(["gdbus", "introspect", "--session", "--dest", name, "--object-path",
                                 "/StatusNotifierItem"], capture_output=True, text=True, timeout=10).stdout
        if "org.kde.StatusNotifierItem" in served:
            return name
    return None


def shown_after_icon_hides(scenario, rounds=6):
    """Round after round, the person reads the panel a moment, hides it by its icon (a click,
    or a tray host's activation, which no reader sees as input), waits, then shows it by the
    show-or-hide shortcut: read each time as a window newly active, with the control that has
    the keyboard."""
    icon, item = icon_window(), status_notifier_item()
    if item is None:
        fail("the app's item is not on the bus")
        return
    hidings = {
        "a click on its icon": ["xdotool", "mousemove", "--window", icon, "11", "11", "click", "1"],
        "the tray host's activation": ["gdbus", "call", "--session", "--dest", item, "--object-path",
                                       "/StatusNotifierItem", "--method", "org.kde.StatusNotifierItem.Activate",
                                       "0", "0"],
    }
    # The control that has the keyboard, wherever it was left.
    control = r"(push )?button|check box"
    for round_number in range(1, rounds + 1):
        hiding = sorted(hidings)[round_number % 2]
        if not panel_shown():
            scenario.expect("round %d: the shortcut shows the panel" % round_number, ("ctrl+alt+k",), control)
        # Longer than Orca 43 takes a change of window for the doing of the last input it saw.
        time.sleep(1.5)
        subprocess.run(hidings[hiding], check=True, capture_output=True)
        if not within(5, lambda: not panel_shown()):
            fail("round %d: %s left the panel shown" % (round_number, hiding))
            return
        time.sleep(1.5)
        scenario.expect("round %d: the panel shown by the shortcut after %s hid it" % (round_number, hiding),
                        ("ctrl+alt+k",), control)
    # The panel shown so is read on as the focus moves through it.
    scenario.expect("Tab in the panel shown again", ("Tab",), r"(push )?button|check box")


def room_slider(scenario):
    """A room's brightness: Return opens its slider, which takes a light's keys."""
    scenario.move_to("a room's brightness", "Tab", r"^Bedroom brightness (push )?button")
    help_text = r"Adjusts lights that are on"
    opened = scenario.orca.mark()
    scenario.expect("Return opens its slider", ("Return",), r"Bedroom brightness slider", help_text)
    for key, value in (("Home", 1), ("End", 100), ("Next", 90), ("Prior", 100), ("Left", 99), ("Right", 100)):
        # The slider is read once as it opens: the lines up to its first key's value count.
        said = scenario.expect("the room's slider takes " + key, (key,), r"^%d\b" % value,
                               since=None if key != "Home" else opened, once=help_text)
        if QT_VERSION >= (6, 8) and bare_numbers(said):
            fail("the room's brightness was said as a bare number or twice: %s" % said)
        if [line for line in said if re.fullmatch(r"panel\.?", line)]:
            fail("the room's slider opened inside an unnamed panel: %s" % said)
    scenario.expect("Escape closes it", ("Escape",), r"^Bedroom brightness (push )?button")


def stop_app(app):
    if app.poll() is None:
        app.terminate()
        app.wait(timeout=10)


def welcome(scenario, *arguments):
    """The welcome window of a preview whose search ends as `arguments` say."""
    mark = scenario.orca.mark()
    app = start_app("--welcome-preview", *arguments)
    scenario.expect("the welcome window opens", (), r"^Pair Bridge device (push )?button", since=mark, seconds=20)
    return app


def light_page(scenario):
    """A light's page: its brightness read with its unit, a tenth more a press of Page Up, and
    Escape back to the light's row."""
    # The light's row is near the end of the list: backwards from the top.
    scenario.move_to("a light's row", "shift+Tab", r"^Adjust Floor lamp")
    scenario.expect("the light's page", ("Return",), r"^Back to all lights")
    # Orca reads a value's text from an attribute that Qt sends from 6.8 on; before, the
    # bare number.
    percent = r"(\d+) ?(?:%|percent)" if QT_VERSION >= (6, 8) else r"(\d+) ?(?:%|percent)?"
    said = scenario.expect("its brightness", ("Tab", "Tab"), r"^Brightness slider " + percent)
    said += scenario.expect("Page Up", ("Prior",), r"^%s\.?$" % percent)
    if QT_VERSION >= (6, 8) and bare_numbers(said):
        fail("the brightness was said as a bare number or twice: %s" % said)
    values = [int(found.group(1)) for found in (re.search(percent, line) for line in said) if found]
    if len(values) < 2 or values[-1] != min(values[0] + 10, 100):
        fail("Page Up moved the brightness from %s to %s" % (values[:1], values[-1:]))
    # A value says its meaning with it: which axis of the spectrum moved, and in what unit.
    spectrum = r"Hue \d+ degrees, saturation \d+ percent"
    scenario.move_to("the colour spectrum", "Tab", r"^Colour spectrum slider")
    scenario.expect("the spectrum's hue", ("Right",), spectrum)
    scenario.expect("the spectrum's saturation", ("Up",), spectrum)
    scenario.expect("white light", ("shift+Tab", "Right"), r"^White")
    scenario.expect("the white temperature", ("Tab",), r"^White temperature slider", r"\d+ kelvin")
    scenario.expect("a warmer white", ("Right",), r"\d+ kelvin", once=r"kelvin")
    scenario.expect("back to the lights", ("Escape",), r"^Adjust Floor lamp")


def recorder(scenario):
    """The shortcuts page: each step of recording, clearing and cancelling heard once."""
    field = r"^Show or hide app (shortcut )?(read only )?text"
    scenario.expect("the shortcuts page", ("ctrl+comma",), r"Back to lights", r"Keyboard shortcuts")
    scenario.expect("Tab into a field", ("Tab",), field, r"^Press Shortcut\.?$", once=r"Press Shortcut")
    scenario.expect("a recorded shortcut", ("ctrl+alt+p",), r"Ctrl\+Alt\+P", once=r"Ctrl\+Alt\+P")
    scenario.expect("its clear button", ("Tab",), r"^Clear Show or hide app shortcut (push )?button")
    scenario.expect("clearing it", ("space",), field, r"Press Shortcut", once=r"^Press Shortcut")
    scenario.expect("recording again", ("ctrl+alt+p",), r"Ctrl\+Alt\+P")
    scenario.expect("a new recording", ("space",), r"Press Shortcut")
    scenario.expect("Backspace empties the field", ("BackSpace",), r"Press Shortcut")
    scenario.expect("Space while it waits", ("space",), r"Press Shortcut")
    scenario.expect("Escape cancels", ("Escape",), r"Record Shortcut")
    scenario.expect("a new recording", ("space",), r"Press Shortcut")
    scenario.expect("Shift+Tab while recording", ("shift+Tab",), r"^Back to lights")
    scenario.expect("Tab back into the field", ("Tab",), field, r"^Press Shortcut\.?$", once=r"Press Shortcut")
    # The toggle colours are one stop, entered on the chosen colour; an arrow chooses the next.
    scenario.move_to("the toggle colours", "Tab", r"^Amber toggles")
    scenario.expect("the next colour", ("Right",), r"^Aqua toggles", r"\bselected radio button")
    scenario.expect("out of the colours", ("Tab",), r"^Back to lights")
    # Back on the light's row, where the page was opened from.
    scenario.expect("back to the lights", ("Escape",), r"^Adjust Floor lamp")


def settings_menu(scenario, app):
    """The gear's menu: its entries and check items as they are arrowed onto and toggled."""
    scenario.move_to("the settings menu", "Tab", r"^vantora Settings .*button")
    scenario.expect("Return opens the menu", ("Return",), r"^About vantora")
    # Over the menu's entries nothing else is read: no window coming back behind them.
    said = scenario.expect("the first check item", ("Down", "Down", "Down"), r"^Start at Login")
    if [line for line in said if re.search(r"\bframe\b", line)]:
        fail("the open menu read a window over its entries: %s" % said)
    scenario.expect("the second check item", ("Down",), r"^Hide unavailable devices")
    scenario.expect("a check item toggled", ("Return",), r"^vantora Settings", r"Hide unavailable devices, checked")
    scenario.expect("the menu opens again", ("space",), r"^About vantora")
    # A window the menu opens is read with its explanation, the focus going straight to it;
    # closed, the menu opens again on its first entry.
    for entry, moves, *wanted in (
            ("the update check", ("Down",), r"This build doesn’t check for updates",
             r"names no place to check for updates"),
            ("About", (), r"^About vantora", r"Version \d")):
        opened = scenario.orca.mark()
        if moves:
            keys(*moves)
        scenario.hold_until_heard("Return", r"return ?")
        scenario.expect(entry, (), *wanted, since=opened)
        shown = scenario.orca.mark()
        scenario.expect("back from " + entry, ("Escape",), r"^vantora Settings")
        said = scenario.orca.snapshot()[1][opened:shown]
        if [line for line in said if re.search(r"^vantora Settings", line)]:
            fail("%s opened through the gear: %s" % (entry, said))
        scenario.expect("the menu after " + entry, ("space",), r"^About vantora")
    scenario.expect("Quit from the open menu", ("ctrl+q",))
    if within(10, lambda: app.poll() is not None) is None:
        fail("Ctrl+Q with the menu open did not quit")


def linux_keys_in_panel(scenario):
    """From the panel's first control, keys as on Linux: Return presses a button as Space
    does; a menu opened by a key says its first entry, Space chooses an entry, and Escape says
    the control the focus goes back to."""
    scenario.expect("Return presses a button", ("Return",), r"Turn all lights on")
    scenario.expect("Return presses it again", ("Return",), r"Turn all lights off")
    for key in ("Menu", "shift+F10"):
        scenario.expect("the context menu by " + key, (key,), r"^Refresh lights")
        scenario.expect("Escape from the context menu opened by " + key, ("Escape",), r"^Turn all lights off")
    scenario.move_to("the settings menu", "Tab", r"^vantora Settings .*button")
    scenario.expect("the gear's menu", ("space",), r"^About vantora")
    scenario.expect("Escape from the gear's menu", ("Escape",), r"^vantora Settings")
    for state in ("checked", "not checked"):
        # Keys typed ahead of Orca can leave the open menu unsaid, and the gear is then no news
        # to it as the menu closes: the menu is heard open first.
        scenario.expect("the gear's menu again", ("space",), r"^About vantora")
        scenario.expect("Space chooses an entry", ("Down", "Down", "Down", "Down", "space"),
                        r"^vantora Settings", r"Hide unavailable devices, %s" % state)
    scenario.move_to("back to the panel's first control", "shift+Tab", r"^Turn all lights off")


def refresh_said_once(scenario):
    """Refresh lights, from the panel's menu and by Ctrl+R: what came of it said once."""
    for what, pressed in (("Refresh lights from the menu", ("Menu", "Return")), ("Ctrl+R", ("ctrl+r",))):
        said_once(scenario, what, pressed, r"Lights refreshed", r"Lights refreshed")


def linux_keys_in_welcome(scenario):
    """The welcome window from its pill, by keys as on Linux: its context menu says its first
    entry and Escape the pill; Return starts the search, opens the address sheet, reads the
    address typed whole as the focus comes back to it, and on the sheet's Cancel closes it
    unconnected; Escape from the gear's menu says the gear."""
    scenario.expect("the context menu by the Menu key", ("Menu",), r"^Enter Bridge IP address")
    scenario.expect("Escape from the context menu", ("Escape",), r"^Pair Bridge device")
    scenario.expect("Return on the pill", ("Return",), r"Searching for your Hue Bridge", r"Nothing found",
                    seconds=20)
    scenario.move_to("the address button", "Tab", r"^Enter IP address")
    scenario.expect("Return opens the address sheet", ("Return",), r"^Connect with an IP address dialog")
    scenario.expect("an address typed", ("1", "0", "period", "0", "period", "0", "period", "9"), r"9")
    scenario.move_to("the sheet's Cancel", "Tab", r"^Cancel (push )?button")
    scenario.expect("the address read whole as the focus comes back", ("shift+Tab",), r"^Bridge IP address",
                    r"10\.0\.0\.9", once=r"10\.0\.0\.9")
    scenario.move_to("the sheet's Cancel again", "Tab", r"^Cancel (push )?button")
    mark = scenario.orca.mark()
    scenario.expect("Return on Cancel", ("Return",), r"^Enter IP address")
    if within(2, lambda: [line for line in scenario.orca.said_since(mark) if re.search(r"Connecting|Couldn", line)]):
        fail("Return on the address sheet's Cancel connected: %s" % scenario.orca.said_since(mark))
    scenario.move_to("the welcome window's settings", "Tab", r"^vantora Settings .*button")
    scenario.expect("the gear's menu", ("Return",), r"^About vantora")
    scenario.expect("Escape from the gear's menu", ("Escape",), r"^vantora Settings")
def bare_numbers(said):
    """Lines that read a value as a number alone, without its unit or axis, or twice: the number
    as its own line, after the slider's name and role, or (as Orca 48 reads a value it can count)
    after the value's text as its place in the range ("2700 kelvin 59 percent", "72 percent 72
    percent")."""
    return [line for line in said if re.fullmatch(r"\d+\.?", line.strip()) or re.search(r"\bslider \d+\.?$", line)
            or re.search(r"\b(?:kelvin|percent)\.? \d+ percent\.?$", line)
            or re.search(r"\b\d+\.? \d+ percent\.?$", line)]


def values_said_once(scenario):
    """The white temperature and the colour spectrum (the light left in white light): each
    value said once, with its unit and axis, as the focus arrives and as keys move it; never
    the bare number beside it."""
    scenario.expect("the light's page again", ("Return",), r"^Back to all lights")
    # Orca 43 says the choice's name alone, Orca 48 with its state and role.
    colour = r"^Colour(?: (?:not )?selected radio button)?\.?$"
    scenario.move_to("the colour's kind", "Tab", colour)
    spectrum = r"Hue \d+ degrees, saturation \d+ percent"
    for what, pressed, wanted in (
            ("the white temperature's focus", ("Tab",), (r"^White temperature slider", r"\d+ kelvin")),
            ("a warmer white", ("Right",), (r"\d+ kelvin",)),
            ("colour light", ("shift+Tab", "space"), (colour,)),
            ("the spectrum's focus", ("Tab",), (r"^Colour spectrum slider", spectrum)),
            ("the spectrum's hue", ("Right",), (spectrum,)),
            ("the spectrum's saturation", ("Down",), (spectrum,))):
        said = scenario.expect(what, pressed, *wanted, once=r"\d+ kelvin|Hue \d+")
        if bare_numbers(said):
            fail("%s was said as a bare number too: %s" % (what, said))
    scenario.expect("back to the lights", ("Escape",), r"^Adjust Floor lamp")


def settings_said_once(scenario):
    """Start at Login in the demonstration, which changes nothing of the desktop's: read once,
    in the state it stays in. About reads its version with the build."""
    scenario.move_to("the settings menu", "Tab", r"^vantora Settings .*button")
    scenario.expect("its menu", ("Return",), r"^About vantora")
    said = scenario.expect("Start at Login chosen", ("Down", "Down", "Down", "Return"),
                           r"Start at Login, not checked", once=r"Start at Login, (not )?checked")
    if [line for line in said if re.search(r"Start at Login, checked", line)]:
        fail("Start at Login said a state it did not keep: %s" % said)
    scenario.expect("the menu again", ("Return",), r"^About vantora")
    opened = scenario.hold_until_heard("Return", r"return ?")
    scenario.expect("About", (), r"^About vantora", r"Version \d\S*, Build \w+", since=opened)
    scenario.expect("back from About", ("Escape",), r"^vantora Settings")


def start_at_login_refused(scenario):
    """Start at Login over another program's autostart entry, in a launch that may change it:
    the alert that says why is all that is read, the entry's state never."""
    folder = os.path.join(os.environ["XDG_CONFIG_HOME"], "autostart")
    os.makedirs(folder, exist_ok=True)
    entry = os.path.join(folder, "org.vantora.Vantora.desktop")
    with open(entry, "w") as other:
        other.write("[Desktop Entry]\nType=Application\nName=Another tool\nExec=/bin/true\n")
    mark = scenario.orca.mark()
    app = start_app()
    scenario.expect("the welcome window opens", (), r"^Pair Bridge device (push )?button", since=mark, seconds=20)
    scenario.move_to("the settings menu", "Tab", r"^vantora Settings .*button")
    scenario.expect("its menu", ("Return",), r"^About vantora")
    scenario.expect("Start at Login", ("Down", "Down", "Down"), r"^Start at Login")
    said = scenario.expect("Start at Login refused", ("Return",), r"Couldn’t change Start at Login",
                           r"starts another program")
    if [line for line in said if re.search(r"\bchecked\b", line)]:
        fail("Start at Login refused said a state before its alert: %s" % said)
    os.remove(entry)
    return app


def address_help_once(scenario):
    """The IP address sheet's help, said once as it opens."""
    scenario.move_to("the address button", "Tab", r"^Enter IP address")
    scenario.expect("the address sheet's help", ("space",), r"^Connect with an IP address dialog",
                    r"Bridge IP address", r"Find your Bridge’s IP address", once=r"Find your Bridge’s IP address")
    scenario.expect("the address sheet closes again", ("Escape",), r"^Enter IP address")


def address_checked_in_sheet(scenario):
    """An address that is no IP address, sent by Return in the field and by Connect: "Check IP
    address" said once with what to type, the keys back in the field where it is corrected, and
    nothing searched."""
    check = r"Check IP address\. Enter the Bridge’s IP address, such as 192\.168\.1\.20"

    def checked(what, pressed, *wanted):
        mark = scenario.orca.mark()
        scenario.expect(what, pressed, *wanted, check, since=mark)
        said = quiet_since(scenario, mark)
        if len([line for line in said if re.search(check, line)]) != 1 or \
                [line for line in said if re.search(r"Searching for your|Try again", line)]:
            fail("%s: Orca said %s" % (what, said))

    scenario.move_to("the address button", "Tab", r"^Enter IP address")
    scenario.expect("the address sheet", ("space",), r"^Connect with an IP address dialog")
    scenario.expect("a name typed", tuple("bridge"), r"^e")
    checked("a name sent by Return", ("Return",))
    # Typed over the name, which the field holds selected.
    scenario.expect("no IPv4 address typed", ("3", "0", "0", "period", "1", "period", "2", "period", "3"), r"^3")
    scenario.move_to("the sheet's Connect", "Tab", r"^Connect (push )?button")
    checked("no IPv4 address sent by Connect", ("space",), r"^Bridge IP address")
    scenario.expect("the address sheet closes", ("Escape",), r"^Enter IP address")


def tab_to(scenario, what, pattern, limit=60):
    """Presses Tab until a stop read as `pattern`, going on as soon as Orca has read each
    stop; returns what it said of that stop, or None."""
    for _ in range(limit):
        mark = scenario.orca.mark()
        keys("Tab")
        # Every stop is read: the next Tab waits for it, or a lagging Orca skips stops.
        if not within(10, lambda: [line for line in scenario.orca.said_since(mark) if not re.fullmatch(r"tab ?", line)]):
            continue
        # The stop's description follows its name in a line of its own.
        time.sleep(0.4)
        said = scenario.orca.said_since(mark)
        if [line for line in said if re.search(pattern, line)]:
            return said
    fail("%s: Tab never reached %r" % (what, pattern))
    return None


def many_lights(scenario):
    """Fifteen lights, a plug among them that cannot be reached: Tab reaches it, said as its
    switch, unavailable, and why. A room's slider closes as Tab leaves it: the next time Tab
    comes round, the room's button is read, not its slider."""
    mark = scenario.orca.mark()
    # Settings of its own: the gear's menu earlier hid unavailable devices.
    config = os.path.join(HOME, "many-lights-config")
    os.makedirs(config, exist_ok=True)
    app = start_app("--demo", "--many-lights", environment=dict(os.environ, XDG_CONFIG_HOME=config))
    icon = within(20, icon_window)
    if not icon:
        sys.exit("the tray icon was not embedded")
    subprocess.run(["xdotool", "mousemove", "--window", icon, "11", "11", "click", "1"], check=True)
    scenario.expect("the panel of fifteen lights", (), r"^Turn all lights off (push )?button\.?$", since=mark)
    mark = scenario.orca.mark()
    tab_to(scenario, "the unreachable plug", r"^Smart plug, Kitchen")
    scenario.expect("the unreachable plug's reason", (), r"^Smart plug, Kitchen check box", r"unreachable",
                    since=mark)
    tab_to(scenario, "a room's brightness", r"^Bedroom brightness (push )?button")
    scenario.expect("its slider", ("Return",), r"^Bedroom brightness slider")
    scenario.expect("Tab leaves the slider", ("Tab",), r"(push )?button|check box")
    said = tab_to(scenario, "the room's brightness again", r"^Bedroom brightness", limit=80)
    if said and [line for line in said if re.search(r"^Bedroom brightness slider", line)]:
        fail("Tab came back to the room's slider, still open: %s" % said)
    return app


def quiet_since(scenario, mark, seconds=1.5, limit=8):
    """What Orca said since `mark` once it has said nothing more for `seconds` (`limit` at most):
    a line said twice may come a moment after the first, and only silence tells it did not."""
    said, still = scenario.orca.said_since(mark), time.monotonic()
    end = still + limit
    while time.monotonic() < end and time.monotonic() - still < seconds:
        time.sleep(0.1)
        now = scenario.orca.said_since(mark)
        if len(now) != len(said):
            said, still = now, time.monotonic()
    return said


def said_once(scenario, what, pressed, wanted, counted):
    """Presses `pressed` and waits for `wanted`, then for Orca to go quiet: of the lines said,
    one matches `counted`."""
    mark, failed = scenario.orca.mark(), len(FAILURES)
    scenario.expect(what, pressed, wanted, since=mark)
    if len(FAILURES) > failed:
        return
    said = quiet_since(scenario, mark)
    if len([line for line in said if re.search(counted, line)]) != 1:
        fail("%s: Orca said %r other than once: %s" % (what, counted, said))


def room_slider_gives_focus_back(scenario):
    """From the room's button: Tab out of its open slider goes on to the control after the
    button, as Tab from the button does, Shift+Tab back to the button, and Escape to the button
    with nothing said on the way."""
    after = r"^Bedroom lights check box"
    scenario.expect("Tab from the room's button", ("Tab",), after)
    button = r"^Bedroom brightness (push )?button"
    scenario.expect("back on the room's button", ("shift+Tab",), button)
    for key, lands in (("Tab", after), ("shift+Tab", button), ("Escape", button)):
        scenario.expect("the slider again", ("Return",), r"Bedroom brightness slider")
        said = scenario.expect("the slider left by " + key, (key,), lands)
        if [line for line in said if re.search(r"Turn all lights", line)]:
            fail("the slider left by %s passed the panel's first control: %s" % (key, said))
        if key == "Tab":
            scenario.expect("back on the room's button", ("shift+Tab",), button)


def shortcuts_page_said_once(scenario):
    """The shortcuts page: Clear says "Press Shortcut" once as the focus comes to the field, and
    Space on the chosen colour says it is chosen once."""
    scenario.expect("the shortcuts page", ("ctrl+comma",), r"Back to lights", r"Keyboard shortcuts")
    scenario.expect("Tab into a field", ("Tab",), r"^Show or hide app", r"Press Shortcut")
    scenario.expect("a recorded shortcut", ("ctrl+alt+p",), r"Ctrl\+Alt\+P")
    scenario.expect("its clear button", ("Tab",), r"^Clear Show or hide app shortcut (push )?button")
    said_once(scenario, "Clear", ("space",), r"Press Shortcut", r"Press Shortcut")
    scenario.move_to("the toggle colours", "Tab", r"^\w+ toggles")
    said_once(scenario, "Space on the chosen colour", ("space",), r"\bselected\b", r"\bselected\b")
    scenario.expect("back to the lights", ("Escape",), r"^Turn all lights|^Adjust")


def all_lights_key_said(scenario):
    """The all-lights key, the panel hidden and then shown with the focus away from All on and
    All off: each press says whether the lights are now on or off, once."""
    said_once(scenario, "the all-lights key, the panel hidden", ("ctrl+alt+l",), r"All lights (on|off)",
              r"All lights (on|off)")
    scenario.expect("the panel shown", ("ctrl+alt+k",), r"^Turn all lights")
    scenario.expect("away from All on and All off", ("Tab",), r"^vantora Settings")
    said_once(scenario, "the all-lights key, the panel shown", ("ctrl+alt+l",), r"All lights (on|off)",
              r"All lights (on|off)")
    keys("ctrl+alt+k")


def pairing_gives_focus_back(scenario):
    """Pair Bridge, then its search cancelled by Escape, by Return on Cancel or from the menu:
    the keys are back on Pair Bridge at once, never on the gear. A search that ends by itself
    leaves them on Try again, its next step."""
    scenario.move_to("the pill's button", "Tab", r"^(Pair Bridge device|Try again) (push )?button")
    for what, cancel in (("Escape", ("Escape",)), ("Return on Cancel", ("Return",)),
                         ("Cancel pairing", ("Menu", "Return"))):
        scenario.expect("Pair Bridge", ("space",), r"^Cancel (push )?button")
        said = scenario.expect("the search cancelled by " + what, cancel, r"^Pair Bridge device (push )?button",
                               seconds=5)
        if [line for line in said if re.search(r"vantora Settings", line)]:
            fail("the search cancelled by %s went by the gear: %s" % (what, said))
    mark = scenario.orca.mark()
    scenario.expect("a search that ends by itself", ("space",), r"Nothing found", since=mark, seconds=20)
    said = scenario.expect("its next step", (), r"^Try again (push )?button", since=mark)
    if [line for line in said if re.search(r"^Connection help", line)]:
        fail("the search that ended moved the focus on to Connection help: %s" % said)


def error_report_said(scenario):
    """The error report from its text: the text read line by line, and each hand-over said
    once, the focus staying on its button; the report saved where the dialog proposes."""
    # On a loaded machine Orca may still be reading the text as the key comes, and then says
    # nothing of the caret it moved: the text is heard out first.
    quiet_since(scenario, scenario.orca.mark())
    scenario.expect("the report's next line", ("Down",), r"^Report ID: ")
    scenario.expect("the report's first line", ("ctrl+Home",), r"^vantora error report")
    scenario.move_to("Copy report", "Tab", r"^Copy report (push )?button")
    for key in ("Return", "space"):
        said_once(scenario, "Copy report by " + key, (key,), r"Report copied", r"Report copied")
    scenario.move_to("Save", "Tab", r"^Save… (push )?button")
    scenario.expect("the save dialog", ("space",), r"File name")
    said_once(scenario, "the report saved", ("Return",), r"Report saved", r"Report saved")
    path = os.path.join(HOME, "vantora-error-report.txt")
    if not os.path.isfile(path):
        fail("the report was not saved at %s" % path)


def held(key, seconds):
    """`key` held as a hand holds a chord, for `seconds`."""
    subprocess.run(["xdotool", "keydown", key], check=True)
    time.sleep(seconds)
    subprocess.run(["xdotool", "keyup", key], check=True)


def hidden_by_held_key_unheard(scenario, where, rounds=4):
    """The show-or-hide key held 100 ms and 300 ms: each press hides the window, of which nothing
    is said but the keys' own echo, and the next shows it, read with its control."""
    echo = r"^(left |right )?(control|alt|shift|k)\s*$"
    for round_number in range(1, rounds + 1):
        seconds = (0.1, 0.3)[round_number % 2]
        mark = scenario.orca.mark()
        held("ctrl+alt+k", seconds)
        if not within(5, lambda: not panel_shown()):
            fail("%s, round %d: the key held %.1f s left the window shown" % (where, round_number, seconds))
            return
        said = [line for line in quiet_since(scenario, mark) if not re.fullmatch(echo, line)]
        if said:
            fail("%s, round %d: the window hidden by the key was read: %s" % (where, round_number, said))
        mark = scenario.orca.mark()
        held("ctrl+alt+k", seconds)
        scenario.expect("%s, round %d: the key held %.1f s shows the window" % (where, round_number, seconds), (),
                        r"(push )?button|check box", since=mark)


def fresh_reader(readers):
    """Orca 48 remembers the objects of a program that quit as dead by their Python hash, and
    the objects of a program started soon after can get the same hashes: Orca then takes the
    new program for the dead one and ignores it until it forgets, once a minute. The scenario
    starts one program after another, so each gets an Orca of its own."""
    if readers:
        readers[-1].stop()
    readers.append(Orca())
    return Scenario(readers[-1])


def main():
    if shutil.which("orca") is None:
        print("SKIP: Orca is not installed")
        sys.exit(77)
    readers = []
    app = None
    try:
        scenario = fresh_reader(readers)
        app = panel(scenario)
        all_lights(scenario)
        linux_keys_in_panel(scenario)
        refresh_said_once(scenario)
        room_slider(scenario)
        room_slider_gives_focus_back(scenario)
        light_page(scenario)
        values_said_once(scenario)
        recorder(scenario)
        shortcuts_page_said_once(scenario)
        settings_said_once(scenario)
        settings_menu(scenario, app)
        stop_app(app)
        # The global shortcuts on a panel just opened, the recorded ones as they were.
        store_global_shortcuts()
        scenario = fresh_reader(readers)
        app = panel(scenario)
        global_shortcuts(scenario)
        all_lights_key_said(scenario)
        shown_after_icon_hides(scenario)
        stop_app(app)
        # Each step of pairing is read out once as it comes, wherever the focus is.
        once = r"Searching for your Hue Bridge|Bridge found|Nothing found|Couldn’t continue"
        scenario = fresh_reader(readers)
        app = welcome(scenario, "--no-bridge")
        scenario.expect("a search that finds nothing", ("space",), r"Searching for your Hue Bridge",
                        r"Press the large button on Hue Bridge to start the pairing", r"Nothing found",
                        r"Check your Bridge is on the same network", once=once, seconds=20)
        scenario.move_to("the address button", "Tab", r"^Enter IP address")
        scenario.expect("the address sheet", ("space",), r"^Connect with an IP address dialog", r"Bridge IP address")
        scenario.expect("the address sheet closes", ("Escape",), r"^Enter IP address")
        address_help_once(scenario)
        address_checked_in_sheet(scenario)
        scenario.move_to("the welcome window's settings", "Tab", r"^vantora Settings .*button")
        scenario.expect("Return opens its menu", ("Return",), r"^About vantora")
        scenario.expect("its menu closes", ("Escape",))
        stop_app(app)
        scenario = fresh_reader(readers)
        app = welcome(scenario, "--no-bridge")
        linux_keys_in_welcome(scenario)
        pairing_gives_focus_back(scenario)
        stop_app(app)
        # A failure to load the lights is read out as it comes, as pairing's steps are.
        scenario = fresh_reader(readers)
        mark = scenario.orca.mark()
        app = start_app("--slow-preview", "--preview-error")
        for news in (r"Something went wrong", r"Couldn’t load lights\. Try refreshing your lights again"):
            scenario.expect("a load error", (), news, since=mark, seconds=20)
        stop_app(app)
        scenario = fresh_reader(readers)
        app = welcome(scenario)
        scenario.expect("a search that finds a bridge", ("space",), r"Searching for your Hue Bridge",
                        r"Bridge found: Hue Bridge, 192\.168\.1\.20", r"Hue Bridge connected", once=once, seconds=30)
        stop_app(app)
        scenario = fresh_reader(readers)
        app = many_lights(scenario)
        stop_app(app)
        scenario = fresh_reader(readers)
        app = start_at_login_refused(scenario)
        stop_app(app)
        scenario = fresh_reader(readers)
        app = welcome(scenario, "--unexpected-error")
        scenario.expect("a search that fails", ("space",), r"Couldn’t continue",
                        r"Please try again\. You can also view the error details", once=once, seconds=20)
        scenario.move_to("the error banner's details", "Tab", r"^View details")
        scenario.expect("the error report opens", ("space",), r"^Review error report dialog", r"^Done (push )?button")
        scenario.expect("the error report's text", ("shift+Tab",) * 3, r"^Error report (read only )?(text|edit)")
        error_report_said(scenario)
        stop_app(app)
        # The show-or-hide key as a hand presses it, beside a tray and without one.
        scenario = fresh_reader(readers)
        app = panel(scenario)
        hidden_by_held_key_unheard(scenario, "beside the tray")
        stop_app(app)
        os.kill(int(os.environ["VANTORA_TEST_TRAY_PID"]), 15)
        scenario = fresh_reader(readers)
        mark = scenario.orca.mark()
        app = start_app("--demo")
        scenario.expect("the window without a tray", (), r"^Turn all lights off (push )?button", since=mark, seconds=20)
        hidden_by_held_key_unheard(scenario, "without a tray")
    finally:
        if app is not None:
            stop_app(app)
        if readers:
            readers[-1].stop()
    print("Orca said:\n  " + "\n  ".join(line for reader in readers for line in reader.said_since(0)))
    if FAILURES:
        sys.exit(1)
    print("passed: orca")


main()
