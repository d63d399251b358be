"""Drives the real application with random but valid input from a fixed seed:
    exerciser.py <vantora> <seconds> <seed> <log file>

Runs inside the session app-under-x11.sh prepares (X server, window manager, tray host,
private folders and session bus). Starts the application with one of its looking-around
launches, then sends what a user could: clicks, drags and the wheel inside the application's
windows (the tray icon's among them), Tab, Space, Return, Escape and the arrows, Ctrl+, and
Ctrl+R, now and then Ctrl+Q, after which it starts the application again, in another launch.

Now and then it starts the application a second time while it runs, which shows the
panel.

After the actions whose outcome is certain it checks that outcome: a click on the tray icon
with the panel hidden (however soon after it went, no menu or modal window in the way) shows
the panel, and so does Show in the icon's menu; a second launch ends at once and shows the
panel; on the focused panel one of
these opened: Escape, pressed up to four times (each goes back a level: a recording, a
light's page, the shortcuts page, the pairing screen's search), hides it; a click on another
program's window hides it for good, also right after Show and after Ctrl+, ; the recorded
all-lights shortcut, held a moment as a slow hand does, leaves it shown, the show-or-hide one
hides it; Ctrl+Q ends the application.

Fails on any exit it did not ask for, on any sanitizer report, on an event loop that does
not answer a _NET_WM_PING within 5 seconds, and on a checked outcome that does not come
within its bound; it then prints the seed, the last actions and the end of the
application's output. Exits 0 when the time is up without a fault.
"""

import collections
import json
import os
import random
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xwindows  # noqa: E402

# Launches that need no bridge, each with the windows it opens: the panel in the tray, the
# panel opened by itself, and the preview and example windows.
LAUNCHES = [
    # No bridge yet: the welcome window, and the pairing screen in the panel.
    ([], 1),
    (["--demo"], 6),
    (["--demo", "--many-lights"], 2),
    (["--demo", "--dark"], 1),
    (["--menu-preview"], 2),
    (["--shortcut-preview"], 2),
    (["--preview-window"], 1),
    (["--motion-preview"], 1),
    (["--brightness-preview"], 1),
]
KEYS = ["Tab", "shift+Tab", "space", "Return", "Escape", "Up", "Down", "Left", "Right"]
SANITIZER_REPORTS = ["ERROR: AddressSanitizer", "AddressSanitizer:DEADLYSIGNAL", "runtime error:",
                     "ERROR: LeakSanitizer", "UndefinedBehaviorSanitizer"]
HERE = os.path.dirname(os.path.abspath(__file__))
# Leaks are looked for at every exit, but for those of the desktop libraries themselves.
SANITIZER_OPTIONS = {
    "ASAN_OPTIONS": "detect_leaks=1",
    "LSAN_OPTIONS": "suppressions=" + os.path.join(HERE, "..", "support", "leak-suppressions.txt"),
    "UBSAN_OPTIONS": "print_stacktrace=1",
}
ANSWER_LIMIT = 5.0
QUIT_LIMIT = 10.0
STARTUP_LIMIT = 30.0
# How long the panel has to show or hide once asked, on a loaded machine with the sanitizers.
SHOW_LIMIT = 5.0
ESCAPES = 4
# The shortcuts app-under-x11.sh stores for the exercise, as the shortcuts page would, with
# the keys that press them; a check presses one only while it is still stored so.
SHORTCUTS = {
    "showVantora": ('{"carbonKeyCode":40,"carbonModifiers":6144}', "k"),
    "toggleHomeLights": ('{"carbonKeyCode":37,"carbonModifiers":6144}', "l"),
}
# Longer than the pause after which Qt reports a lost focus as a deactivation, as a slow hand
# (or a screen reader's grab of the keyboard) holds a shortcut; shorter than the key repeat.
SHORTCUT_HOLD = 0.6


class Fault(Exception):
    pass


def xdotool(*arguments):
    return subprocess.run(["xdotool", *map(str, arguments)], capture_output=True, text=True).stdout


class Exerciser:
    def __init__(self, app, seed, log_path):
        self.app = app
        self.seed = seed
        self.random = random.Random(seed)
        self.log_path = log_path
        self.display = xwindows.Display()
        self.actions = collections.deque(maxlen=30)
        self.counts = collections.Counter()
        # The outcomes checked, by the action that asked for them.
        self.checked = collections.Counter()
        self.screen = tuple(int(n) for n in xdotool("getdisplaygeometry").split())
        self.process = None
        self.launch = None
        self.log_offset = 0
        self.pinged = None
        self.menus = {}
        self.quit_chosen_at = None
        self.quit_expected_by = None
        self.other = None
        self.other_process = None

    # The application

    def start(self):
        flags = self.random.choices([f for f, _ in LAUNCHES], weights=[w for _, w in LAUNCHES])[0]
        self.launch = flags
        self.note("start " + " ".join(flags))
        with open(self.log_path, "ab") as log:
            self.log_offset = log.tell()
            self.process = subprocess.Popen([self.app, *flags], stdout=log, stderr=subprocess.STDOUT,
                                            env=dict(os.environ, **SANITIZER_OPTIONS))
        # The new process gets the ended one's place at the X server, and with it the same
        # window ids: what was known of those windows no longer holds.
        self.menus = {}
        self.pinged = None
        self.quit_chosen_at = None
        self.quit_expected_by = None
        deadline = time.monotonic() + STARTUP_LIMIT
        while not self.windows():
            if not self.check_running():
                raise Fault("the application ended before it showed a window")
            if time.monotonic() > deadline:
                raise Fault("no window of the application appeared within %d s" % STARTUP_LIMIT)
            time.sleep(0.1)

    def check_running(self):
        """Whether the application still runs; an end is a fault unless it was a clean one
        shortly after the exerciser may have chosen Quit."""
        if self.process.poll() is None:
            if self.quit_expected_by is not None and time.monotonic() > self.quit_expected_by:
                raise Fault("Ctrl+Q on the panel did not end the application within %d s" % QUIT_LIMIT)
            return True
        self.check_reports()
        code = self.process.returncode
        if code != 0:
            raise Fault("the application ended with %s" % describe_status(code))
        if self.quit_chosen_at is None or time.monotonic() - self.quit_chosen_at > QUIT_LIMIT:
            raise Fault("the application quit (exit code 0) without being asked")
        self.note("ended as asked")
        return False

    def check_reports(self):
        output = self.output()
        for marker in SANITIZER_REPORTS:
            if marker in output:
                raise Fault("a sanitizer report: " + marker)

    def output(self):
        with open(self.log_path, "rb") as log:
            log.seek(self.log_offset)
            return log.read().decode("utf-8", "replace")

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.other_process and self.other_process.poll() is None:
            self.other_process.kill()
            self.other_process.wait()

    def start_other_program(self):
        """Another program's window, for the person to leave the panel for: one without
        buttons, which no click ends."""
        try:
            self.other_process = subprocess.Popen(["xmessage", "-buttons", "", "-geometry", "+20+700",
                                                   "another program"], stdout=subprocess.DEVNULL,
                                                  stderr=subprocess.DEVNULL)
        except FileNotFoundError:
            return
        deadline = time.monotonic() + STARTUP_LIMIT
        while time.monotonic() < deadline:
            # xmessage does not tell its process id to the window manager.
            found = xdotool("search", "--onlyvisible", "--name", "^xmessage$").split()
            if found:
                self.other = int(found[0])
                return
            time.sleep(0.1)

    # What is on screen

    def windows(self):
        """The application's mapped windows as (id, x, y, width, height), the tray icon's
        included, leaving out the 1-pixel helpers."""
        found = []
        for window in xdotool("search", "--onlyvisible", "--pid", self.process.pid).split():
            geometry = self.display.geometry(int(window))
            if (geometry and geometry[2] > 2 and geometry[3] > 2 and geometry[0] < self.screen[0]
                    and geometry[1] < self.screen[1] and geometry[0] + geometry[2] > 0 and geometry[1] + geometry[3] > 0):
                found.append((int(window), *geometry))
        return found

    def is_menu(self, window):
        """Whether the window is a popup (a menu): a top-level window the window manager
        leaves alone. The tray icon is one too, but the tray host holds it."""
        if window not in self.menus:
            info = subprocess.run(["xwininfo", "-id", str(window), "-children", "-stats"], capture_output=True,
                                  text=True).stdout
            parent = [line for line in info.splitlines() if "Parent window id:" in line]
            self.menus[window] = ("Override Redirect State: yes" in info and len(parent) == 1
                                  and "(the root window)" in parent[0])
        return self.menus[window]

    def tray_icon(self, windows):
        """The icon: the application's small window that is not a popup (the tray host
        holds it)."""
        small = [w for w in windows if w[3] <= 48 and w[4] <= 48 and not self.is_menu(w[0])]
        return small[0] if small else None

    def window_property(self, window, name):
        return subprocess.run(["xprop", "-id", str(window), name], capture_output=True, text=True).stdout

    def panel(self, windows=None):
        """The panel beside the tray icon, when shown: the application's utility window
        named as the application is."""
        for window in self.windows() if windows is None else windows:
            if (not self.is_menu(window[0]) and xdotool("getwindowname", window[0]).strip() == "vantora"
                    and "_NET_WM_WINDOW_TYPE_UTILITY" in self.window_property(window[0], "_NET_WM_WINDOW_TYPE")):
                return window[0]
        return None

    def modal_open(self, windows):
        return any("_NET_WM_STATE_MODAL" in self.window_property(w[0], "_NET_WM_STATE") for w in windows)

    def quitting(self):
        return self.quit_chosen_at is not None and time.monotonic() - self.quit_chosen_at <= QUIT_LIMIT

    def expect(self, condition, fault, limit=SHOW_LIMIT):
        """Waits up to `limit` seconds for `condition`. True when it came; else the fault,
        when one is given, unless the application ended meanwhile, as asked. A starved
        application gets until it answers a ping: what it was asked for is done by then."""
        deadline = time.monotonic() + limit
        while not condition():
            if time.monotonic() > deadline:
                if fault is not None and self.check_running() and self.check_answers() and not condition():
                    raise Fault(fault)
                return condition()
            time.sleep(0.05)
        return True

    def check_answers(self):
        """The event loop answers a ping within ANSWER_LIMIT seconds. False when the
        application ended meanwhile, as asked."""
        for _ in range(3):
            if self.pinged is None:
                candidates = [w[0] for w in self.windows()]
                candidates += [int(w) for w in xdotool("search", "--pid", self.process.pid).split()]
                answering = [w for w in candidates if self.display.answers_pings(w)]
                if not answering:
                    return self.check_running()
                self.pinged = answering[0]
            if self.display.ping(self.pinged, ANSWER_LIMIT, give_up=lambda: self.process.poll() is not None):
                return True
            if not self.check_running():
                return False
            if self.display.digest(self.pinged) is not None or self.display.answers_pings(self.pinged):
                raise Fault("the event loop did not answer for %d s" % ANSWER_LIMIT)
            self.pinged = None  # the window went away meanwhile: ask another
        raise Fault("the event loop did not answer for %d s" % ANSWER_LIMIT)

    # Input

    def note(self, text):
        self.counts[text.split()[0]] += 1
        self.actions.append("%8.2f  %s" % (time.monotonic() - self.started, text))

    def pick_window(self, windows):
        """A window, the larger ones more often: the tray icon has actions of its own."""
        return self.random.choices(windows, weights=[w[3] * w[4] for w in windows])[0]

    def point_in(self, window):
        """A random point of the window's part on the screen."""
        _, x, y, width, height = window
        left, top = max(0, x), max(0, y)
        right, bottom = min(self.screen[0], x + width), min(self.screen[1], y + height)
        return self.random.randint(left, max(left, right - 1)), self.random.randint(top, max(top, bottom - 1))

    def target_in(self, window):
        """A point to click: mostly one where something is drawn (a control, a text, an
        icon), that is whose colour is not the window's background; now and then any."""
        candidates = [self.point_in(window) for _ in range(6)]
        picture = self.display.picture(window[0])
        if picture is None or self.random.random() < 0.2:
            return candidates[0]
        inside = [(px - window[1], py - window[2]) for px, py in candidates]
        inside = [(px, py) for px, py in inside if 0 <= px < picture.width and 0 <= py < picture.height]
        samples = collections.Counter(
            picture.pixel(self.random.randrange(picture.width), self.random.randrange(picture.height))
            for _ in range(100))
        background = samples.most_common(1)[0][0]
        for px, py in inside:
            if picture.pixel(px, py) != background:
                return window[1] + px, window[2] + py
        return candidates[0]

    def act(self):
        """One random action."""
        windows = self.windows()
        menu_open = any(self.is_menu(w[0]) for w in windows)
        icon = self.tray_icon(windows)
        choice = self.random.choices(
            ["click", "right-click", "drag", "wheel", "key", "tray", "tray-menu", "preferences", "refresh", "quit",
             "again"],
            weights=[40, 3, 8, 8, 25, 6, 2, 2, 2, 1, 1])[0]
        if not windows or (choice in ("tray", "tray-menu") and icon is None):
            choice = "key"
        if (choice in ("tray", "tray-menu") and not menu_open and self.panel(windows) is None
                and self.checked_tray_click(by_menu=choice == "tray-menu")):
            return
        if choice == "again":
            self.launch_again()
        elif choice == "click" or choice == "right-click":
            window = self.pick_window(windows)
            x, y = self.target_in(window)
            button = 1 if choice == "click" else 3
            self.note("%s at %d,%d in %#x (%dx%d)" % (choice, x, y, window[0], window[3], window[4]))
            xdotool("mousemove", x, y, "mousedown", button, "mouseup", button)
        elif choice == "drag":
            window = self.pick_window(windows)
            x, y = self.target_in(window)
            dx, dy = self.random.randint(-200, 200), self.random.randint(-200, 200)
            self.note("drag from %d,%d by %d,%d in %#x" % (x, y, dx, dy, window[0]))
            xdotool("mousemove", x, y, "mousedown", 1)
            for step in range(1, 5):
                xdotool("mousemove", min(max(0, x + dx * step // 4), self.screen[0] - 1),
                        min(max(0, y + dy * step // 4), self.screen[1] - 1))
                time.sleep(0.03)
            xdotool("mouseup", 1)
        elif choice == "wheel":
            window = self.pick_window(windows)
            x, y = self.point_in(window)
            button = self.random.choice([4, 5])
            times = self.random.randint(1, 5)
            self.note("wheel %s x%d at %d,%d" % ("up" if button == 4 else "down", times, x, y))
            xdotool("mousemove", x, y, "click", "--repeat", times, "--delay", 20, button)
        elif choice == "key":
            key = self.random.choice(KEYS)
            self.note("key " + key)
            xdotool("key", key)
        elif choice in ("tray", "tray-menu"):
            button = 1 if choice == "tray" else 3
            self.note("%s click on the tray icon" % ("left" if button == 1 else "right"))
            xdotool("mousemove", icon[1] + icon[3] // 2, icon[2] + icon[4] // 2, "mousedown", button, "mouseup", button)
        elif choice in ("preferences", "refresh", "quit"):
            key = {"preferences": "ctrl+comma", "refresh": "ctrl+r", "quit": "ctrl+q"}[choice]
            self.note("key " + key)
            xdotool("key", key)
        # A click or key in an open menu may have chosen its Quit: a clean end within
        # QUIT_LIMIT is one the exerciser asked for.
        if choice == "quit" or menu_open:
            self.quit_chosen_at = time.monotonic()

    # Actions whose outcome is certain, and their checks

    def panel_stays_hidden(self):
        """Whether the panel is hidden once whatever hid it has run (the application answers
        a ping), with no menu, modal window or grab of the pointer and no quit under way."""
        if self.quitting() or not (self.check_running() and self.check_answers()):
            return False
        windows = self.windows()
        return not (self.panel(windows) is not None or any(self.is_menu(w[0]) for w in windows)
                    or self.modal_open(windows) or self.display.pointer_grabbed())

    def checked_tray_click(self, by_menu=False):
        """A click on the icon of the hidden panel, or Show in the icon's menu, which must show
        it; then, now and then, a checked action on it. False when the outcome would not be
        certain, having done nothing."""
        if not self.panel_stays_hidden():
            return False
        windows = self.windows()
        icon = self.tray_icon(windows)
        if icon is None:
            return False
        x, y = icon[1] + icon[3] // 2, icon[2] + icon[4] // 2
        # A window dragged over the tray may cover the icon, its frame too.
        margin = 30
        if any(w[0] != icon[0] and w[1] - margin <= x < w[1] + w[3] + margin
               and w[2] - margin <= y < w[2] + w[4] + margin for w in windows):
            return False
        if by_menu:
            self.note("right click on the tray icon, the panel hidden")
            xdotool("mousemove", x, y, "click", 3)
            if not self.expect(lambda: any(self.is_menu(w[0]) for w in self.windows()), None, limit=SHOW_LIMIT):
                return True
            self.note("Show in the tray menu")
            xdotool("key", "Down", "Return")
            asked = "Show in the tray menu"
        else:
            self.note("left click on the tray icon, the panel hidden")
            xdotool("mousemove", x, y, "click", 1)
            asked = "a click on the tray icon"
        if not self.expect(lambda: self.panel() is not None,
                           "%s did not show the hidden panel within %d s" % (asked, SHOW_LIMIT)):
            return True
        self.checked["show" if by_menu else "click"] += 1
        follow = self.random.choices(["nothing", "escape", "leave", "ctrl+comma", "shortcut", "quit"],
                                     weights=[4, 3, 6 if by_menu else 2, 2, 2, 1])[0]
        panel = self.panel()
        if follow == "nothing" or panel is None:
            return True
        # The window manager gives the focus to the panel it shows; only then do keys reach it.
        if not self.expect(lambda: xdotool("getwindowfocus").strip() == str(panel), None, limit=SHOW_LIMIT):
            return True
        if follow == "escape":
            self.dismiss()
        elif follow == "leave":
            self.leave("shown by " + asked)
        elif follow == "ctrl+comma":
            self.note("key ctrl+comma on the panel just opened")
            xdotool("key", "ctrl+comma")
            if self.expect(lambda: self.panel() is None, None, limit=1.0):
                raise Fault("Ctrl+, on the shown panel hid it")
            self.leave("after Ctrl+,")
        elif follow == "shortcut":
            self.press_shortcut(self.random.choice(sorted(SHORTCUTS)))
        else:
            self.note("key ctrl+q on the panel just opened")
            xdotool("key", "ctrl+q")
            self.quit_chosen_at = time.monotonic()
            self.quit_expected_by = self.quit_chosen_at + QUIT_LIMIT
            self.checked["ctrl+q"] += 1
        return True

    def panel_settled(self, shown, fault):
        """Once the application turned its event loop after an action, whatever the action
        set off has run: the panel must then still be shown (or hidden)."""
        if self.check_answers() and (self.panel() is not None) != shown and not self.quitting():
            raise Fault(fault)

    def leave(self, how):
        """A click on another program's window, which hides the focused panel for good."""
        if self.other is None or self.modal_open(self.windows()):
            return
        geometry = self.display.geometry(self.other)
        if geometry is None:
            return
        x, y = geometry[0] + geometry[2] // 2, geometry[1] + geometry[3] // 2
        margin = 30
        if any(w[1] - margin <= x < w[1] + w[3] + margin and w[2] - margin <= y < w[2] + w[4] + margin
               for w in self.windows()):
            return
        self.note("click on another program's window, the panel %s" % how)
        xdotool("mousemove", x, y, "click", 1)
        if not self.expect(lambda: self.panel() is None,
                           "a click on another program's window did not hide the panel %s" % how):
            return
        self.panel_settled(False, "the panel %s came back after a click on another program's window" % how)
        self.checked["leave"] += 1

    def shortcut_stored(self, name):
        path = os.path.join(os.environ.get("XDG_CONFIG_HOME", ""), "vantora", "defaults.json")
        try:
            with open(path) as defaults:
                values = json.load(defaults).get("values", {})
        except (OSError, ValueError):
            return False
        return values.get("GlobalShortcuts_" + name, {}).get("value") == SHORTCUTS[name][0]

    def press_shortcut(self, name):
        """The recorded shortcut, held a moment, on the focused panel: the all-lights one
        leaves it shown, the show-or-hide one hides it."""
        if not self.shortcut_stored(name):
            return
        key = SHORTCUTS[name][1]
        self.note("shortcut ctrl+alt+%s held on the shown panel" % key)
        xdotool("keydown", "ctrl+alt+" + key)
        time.sleep(SHORTCUT_HOLD)
        xdotool("keyup", key, "keyup", "ctrl+alt")
        if name == "showVantora":
            if self.expect(lambda: self.panel() is None,
                           "the show-or-hide shortcut pressed on the shown panel did not hide it"):
                self.panel_settled(False, "the show-or-hide shortcut hid the panel, which came back")
        else:
            self.panel_settled(True, "the all-lights shortcut pressed with the panel shown hid it")
        self.checked["shortcut"] += 1

    def dismiss(self):
        """Escape on the focused panel until it hides, which it must within ESCAPES presses."""
        for press in range(1, ESCAPES + 1):
            self.note("key Escape on the panel (%d)" % press)
            xdotool("key", "Escape")
            if not self.check_answers():
                return
            if self.expect(lambda: self.panel() is None, None, limit=1.0):
                break
        else:
            if not self.expect(lambda: self.panel() is None,
                               "Escape pressed %d times on the focused panel did not hide it" % ESCAPES):
                return
        self.checked["escape"] += 1

    def launch_again(self):
        """A second launch, which hands over to the running copy and ends; the running copy
        shows its panel."""
        if self.quitting():
            return
        self.note("start again " + " ".join(self.launch))
        with open(self.log_path, "ab") as log:
            try:
                code = subprocess.run([self.app, *self.launch], stdout=log, stderr=subprocess.STDOUT,
                                      env=dict(os.environ, **SANITIZER_OPTIONS), timeout=STARTUP_LIMIT).returncode
            except subprocess.TimeoutExpired:
                raise Fault("a second launch did not end within %d s" % STARTUP_LIMIT)
        if code != 0:
            raise Fault("a second launch ended with %s" % describe_status(code))
        if self.expect(lambda: self.panel() is not None,
                       "a second launch did not show the panel within %d s" % SHOW_LIMIT):
            self.checked["second launch"] += 1

    def run(self, seconds):
        self.started = time.monotonic()
        end = self.started + seconds
        self.start_other_program()
        self.start()
        while time.monotonic() < end:
            self.act()
            time.sleep(self.random.choice([0.02, 0.05, 0.1, 0.2, 0.4]))
            if not (self.check_running() and self.check_answers()):
                self.start()
                continue
            self.check_reports()
        self.note("time is up")
        self.stop()
        self.check_reports()


def describe_status(code):
    if code < 0:
        return "signal %d" % -code
    return "exit code %d" % code


def main(arguments):
    if len(arguments) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    app, seconds, seed, log_path = arguments[0], float(arguments[1]), int(arguments[2]), arguments[3]
    exerciser = Exerciser(app, seed, log_path)
    try:
        exerciser.run(seconds)
    except Fault as fault:
        exerciser.note("FAULT: %s" % fault)
        output = exerciser.output()
        exerciser.stop()
        print("exerciser: %s (seed %d, launch %s)" % (fault, seed, " ".join(exerciser.launch or [])), file=sys.stderr)
        print("exerciser: the last actions:", file=sys.stderr)
        for line in exerciser.actions:
            print("  " + line, file=sys.stderr)
        print("exerciser: the end of the application's output:", file=sys.stderr)
        for line in output.splitlines()[-60:]:
            print("  " + line, file=sys.stderr)
        print("exerciser: again with: scripts/exercise %g %d" % (seconds, seed), file=sys.stderr)
        return 1
    print("exerciser: %g s with seed %d, no fault; %s; outcomes checked: %s" % (
        seconds, seed, ", ".join("%s %d" % item for item in sorted(exerciser.counts.items())),
        ", ".join("%s %d" % item for item in sorted(exerciser.checked.items())) or "none"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
