#!/usr/bin/env python3
"""The panel of the real application as a screen reader meets it, over the AT-SPI bus.

Run by accessibility-under-x11.sh: accessibility_walk.py <vantora binary> <private home>.
Starts the app with its demonstration home, opens the panel from the tray icon and moves
through it with real keys (xdotool) while reading the accessibility tree and the events a
reader hears. Prints what failed and exits 1, or exits 0.
"""

import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

APP, HOME = sys.argv[1], sys.argv[2]
QT_VERSION = tuple(int(part) for part in os.environ.get("VANTORA_QT_VERSION", "0.0").split(".")[:2])
FAILURES = []


def fail(text):
    FAILURES.append(text)
    print("FAILED: " + text, file=sys.stderr)


def pump(seconds=0.0):
    """Lets the bus deliver events for `seconds`."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def within(seconds, check):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        pump()
        result = check()
        if result:
            return result
        time.sleep(0.1)
    return None


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True)
    pump(0.35)


# --- what a reader reads --------------------------------------------------------------

def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        child = desktop.getChildAtIndex(index)
        if child is not None and child.name == "vantora":
            return child
    return None


def states(node):
    return {pyatspi.stateToString(state) for state in node.getState().getStates()}


# The bus has renamed roles over releases ("push button" reads "button" on Debian 13): the
# walk names them by their constants, a button that opens a menu counting as a button.
ROLE_NAMES = {
    pyatspi.ROLE_PUSH_BUTTON: "push button",
    pyatspi.ROLE_PUSH_BUTTON_MENU: "push button",
    pyatspi.ROLE_TOGGLE_BUTTON: "toggle button",
    pyatspi.ROLE_CHECK_BOX: "check box",
    pyatspi.ROLE_RADIO_BUTTON: "radio button",
    pyatspi.ROLE_SLIDER: "slider",
    pyatspi.ROLE_TEXT: "text",
    pyatspi.ROLE_ENTRY: "text",
    pyatspi.ROLE_MENU_ITEM: "menu item",
    pyatspi.ROLE_CHECK_MENU_ITEM: "check menu item",
    pyatspi.ROLE_POPUP_MENU: "popup menu",
    pyatspi.ROLE_MENU: "menu",
    pyatspi.ROLE_LABEL: "label",
    pyatspi.ROLE_FILLER: "filler",
    pyatspi.ROLE_PANEL: "panel",
}


def role(node):
    return ROLE_NAMES.get(node.getRole(), node.getRoleName())


def describe(node):
    if isinstance(node, Stop):
        return str(node)
    try:
        return "%s %r [%s]" % (role(node), node.name, ",".join(sorted(states(node) & {"checked", "pressed"})))
    except GLib.Error:
        return "(gone)"


def key(stop):
    """What tells two stops apart for a reader: role and name."""
    return (stop.role, stop.name)


def nodes(root, depth=0):
    """Every showing node under `root`, depth first; nodes gone meanwhile are left out."""
    if root is None or depth > 40:
        return
    yield root
    try:
        children = [root.getChildAtIndex(index) for index in range(root.childCount)]
    except GLib.Error:
        return
    for child in children:
        try:
            shown = child is not None and (depth == 0 or "showing" in states(child))
        except GLib.Error:
            shown = False
        if shown:
            yield from nodes(child, depth + 1)


class Stop:
    """A focused control as a reader heard it when it got the focus."""

    def __init__(self, node):
        self.node = node
        self.role = role(node)
        self.name = node.name
        self.states = states(node)
        self.description = node.description

    def __str__(self):
        return "%s %r [%s]" % (self.role, self.name, ",".join(sorted(self.states & {"checked", "pressed"})))


def focused():
    """The deepest focused node (Qt marks a focused control's box of buttons focused too),
    read at once."""
    app = application()
    found = None
    for node in nodes(app) if app else []:
        try:
            if "focused" in states(node):
                found = node
        except GLib.Error:
            continue
    try:
        return Stop(found) if found is not None else None
    except GLib.Error:
        return None


def value_of(node):
    try:
        return node.queryValue().currentValue
    except NotImplementedError:
        return None


def read_value(node):
    """A slider's value; a value given as its text alone ("2700 kelvin", "Hue 120 degrees, …",
    and from Qt 6.8 on "72 percent"): its first number, from the slider's description before
    Qt 6.8, from its value text from then on."""
    value = value_of(node)
    if value is None:
        if QT_VERSION < (6, 8):
            text = node.description or ""
        else:
            text = dict(attribute.split(":", 1) for attribute in node.getAttributes()).get("valuetext", "")
        number = re.search(r"\d+", text)
        return float(number.group()) if number else None
    return value


def told_values(events, name):
    """What told a reader that the value of the slider named `name` changed: value changes, or
    for a value given as text, the announcements that read the text out."""
    told = [e for e in events.of("object:property-change:accessible-value") if e[1] == name]
    if not told:
        told = ([e for e in events.of("object:state-changed:showing") if e[2] == "notification" and e[3]]
                if QT_VERSION < (6, 8) else events.of("object:announcement"))
    return told


def find(predicate):
    app = application()
    for node in nodes(app) if app else []:
        if predicate(node):
            return node
    return None


# --- what a reader hears ---------------------------------------------------------------

class Events:
    def __init__(self):
        self.heard = []
        # Each kind by its full name: the bridge sends only what a listener asked for by name.
        pyatspi.Registry.registerEventListener(
            self.hear, "focus:", "object:state-changed:focused", "object:state-changed:checked",
            "object:state-changed:pressed", "object:state-changed:expanded", "object:state-changed:showing",
            "object:property-change:accessible-name", "object:property-change:accessible-description",
            "object:property-change:accessible-value", "object:text-changed:insert", "object:text-changed:delete",
            "object:announcement", "window:activate")

    def hear(self, event):
        try:
            name = event.source.name if event.source else ""
            source_role = event.source.getRoleName() if event.source else ""
        except Exception:  # the source may be gone already
            name, source_role = "", ""
        self.heard.append((event.type, name, source_role, event.detail1, event.any_data))

    def clear(self):
        pump(0.2)
        self.heard = []

    def of(self, kind):
        return [event for event in self.heard if str(event[0]).startswith(kind)]


# --- the app ---------------------------------------------------------------------------

def icon_window():
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    inside = False
    for line in tree.splitlines():
        if '"panel": ("panel" "trayer")' in line:
            inside = True
        elif inside and '"vantora": ("vantora"' in line:
            return line.split()[0]
    return None


def start():
    log = open(os.path.join(HOME, "app.log"), "w")
    process = subprocess.Popen([APP, "--demo"], stdout=log, stderr=subprocess.STDOUT)
    with open(os.path.join(HOME, "app.pid"), "w") as pid:
        pid.write(str(process.pid))
    icon = within(20, icon_window)
    if not icon:
        sys.exit("the tray icon was not embedded")
    subprocess.run(["xdotool", "mousemove", "--window", icon, "11", "11", "click", "1"], check=True)
    if not within(10, lambda: focused()):
        sys.exit("the panel opened with nothing focused")
    return process


def panel_shown():
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^vantora$"],
                          capture_output=True, text=True).stdout.strip() != ""


def shown_and_hidden_as_a_window(events):
    """The open panel hidden by Escape and shown again by its icon: each told to a reader as a
    change of the window, not of each of its controls (over a hundred of them, which a reader
    works through before anything else)."""
    for step, act, shown in (("Escape", lambda: keys("Escape"), False),
                             ("a click on the icon", lambda: subprocess.run(
                                 ["xdotool", "mousemove", "--window", icon_window(), "11", "11", "click", "1"],
                                 check=True), True)):
        events.clear()
        act()
        if not within(10, lambda: panel_shown() == shown and (not shown or focused())):
            fail("%s did not %s the panel" % (step, "show" if shown else "hide"))
            return
        pump(1.0)
        told = [event for event in events.of("object:state-changed:showing") if event[2] != "notification"]
        if len(told) > 2:
            fail("%s told %d elements shown or hidden, not the window alone: %s"
                 % (step, len(told), sorted({"%s %r" % (event[2], event[1]) for event in told})[:10]))


def tab_cycle(limit=60):
    """The stops Tab visits from the focus, once round."""
    stops = []
    first = within(2, focused)
    if first is None:
        return stops
    stops.append(first)
    for _ in range(limit):
        keys("Tab")
        now = within(1, focused)
        if now is None:
            fail("Tab after %s left nothing focused" % describe(stops[-1]))
            return stops
        if key(now) == key(first):
            return stops
        stops.append(now)
    fail("Tab never came back to %s" % describe(first))
    return stops


# Roles a stop may have: each a control whose role carries its kind and state.
CONTROL_ROLES = {"push button", "toggle button", "check box", "radio button", "slider", "text", "entry",
                 "menu item", "check menu item", "link", "combo box", "spin button", "page tab"}

# Named stops whose role must carry their state: (name pattern, role, states that must be
# present or absent as one of the tuple's sets, "-" marking absence).
STOP_RULES = [
    (r"^vantora Settings$", "push button", set()),
    (r"^Favourite ", "check box", set()),
    (r"^(Bedroom|Kitchen|Living room) lights$", "check box", set()),
    (r"^(?!Adjust ).*, (Bedroom|Kitchen|Living room)$| power$", "check box", set()),
    (r"^Adjust ", "push button", set()),
    (r"^Back to all lights$", "push button", set()),
    (r"^Colour$|^White$", "radio button", {"checked"}),
    (r"^Relax|^Everyday|^Focus|^Energize", "radio button", {"checked"}),
    (r"^Brightness$|^White temperature$|^Colour spectrum$", "slider", set()),
    (r" shortcut$", "text", set()),
]


def check_stops(where, stops):
    seen = set()
    for stop in stops:
        text = str(stop)
        if not (stop.name or "").strip():
            fail("%s: an unnamed stop: %s" % (where, text))
        if stop.role not in CONTROL_ROLES:
            fail("%s: a stop that is no control: %s" % (where, text))
        for pattern, wanted_role, wanted_states in STOP_RULES:
            if re.search(pattern, stop.name):
                if wanted_role and stop.role != wanted_role:
                    fail("%s: %s should be a %s" % (where, text, wanted_role))
                missing = wanted_states - stop.states
                if missing:
                    fail("%s: %s lacks %s" % (where, text, ", ".join(sorted(missing))))
        if "<" in stop.description or "\u00a0" in stop.description:
            fail("%s: %s is described with markup: %r" % (where, text, stop.description))
        if stop.description and stop.description == stop.name:
            fail("%s: %s is described by its name again" % (where, text))
        seen.add(stop.name)
    return seen


def focus_on(name, limit=60):
    """Tabs on until the stop named `name` has the focus."""
    for _ in range(limit):
        now = within(1, focused)
        if now is not None and now.name == name:
            return now
        keys("Tab")
    fail("Tab never reached %r" % name)
    return None


def shown_number(pattern):
    """The number of the label that reads as `pattern` ("45%", "2700 K")."""
    label = find(lambda node: role(node) == "label" and re.fullmatch(pattern, node.name or ""))
    return float(re.match(r"\d+", label.name).group()) if label else None


def main():
    process = start()
    events = Events()
    app = application()
    if app is None:
        sys.exit("the app is not on the accessibility bus")

    shown_and_hidden_as_a_window(events)

    # Windows read as windows, never as filler.
    for index in range(app.childCount):
        window = app.getChildAtIndex(index)
        if window is not None and "showing" in states(window) and role(window) in {"filler", "panel"}:
            fail("a window reads as %s" % describe(window))

    # The panel: first focus on a control, then once round with Tab.
    home = tab_cycle()
    names = check_stops("panel", home)
    for wanted in ("Turn all lights off", "vantora Settings", "Favourite Bedroom", "Bedside lamp, Bedroom",
                   "Adjust Bedside lamp, Bedroom"):
        if wanted not in names:
            fail("the panel's Tab cycle misses %r: %s" % (wanted, [describe(stop) for stop in home]))

    # A favourite is a check box, checked while the room is one; its name stays.
    heart = focus_on("Favourite Bedroom")
    if heart is not None:
        events.clear()
        keys("space")
        now = focused()
        if now is None or "checked" not in now.states or now.name != "Favourite Bedroom":
            fail("a favourited room reads as %s" % (now or "nothing"))
        told = [e for e in events.of("object:state-changed:") if e[1] == "Favourite Bedroom"
                and e[0].split(":")[-1] in ("checked", "pressed")]
        if not told or len(told) != len({e[0] for e in told}):
            fail("favouriting told its state as %s" % told)
        keys("space")

    # One switch toggled (its room stays lit): its checked state told once, and nothing
    # renamed or described anew but the light's icon ("Light is off").
    switch = focus_on("Floor lamp, Living room")
    if switch is not None:
        events.clear()
        keys("space")
        pump(1.0)
        checked = [event for event in events.of("object:state-changed:checked") if event[1] == switch.name]
        renamed = events.of("object:property-change:accessible-name")
        described = events.of("object:property-change:accessible-description")
        if len(checked) != 1:
            fail("one toggle told the switch's state %d times" % len(checked))
        if renamed or len(described) > 1:
            fail("one toggle sent %d name and %d description changes: %s"
                 % (len(renamed), len(described), renamed + described))
        keys("space")

    # A light's page opens on its first control.
    row = focus_on("Adjust Floor lamp, Living room")
    if row is not None:
        keys("Return")
        first = within(3, lambda: (lambda node: node if node and node.name != row.name else None)(focused()))
        if first is None or first.name != "Back to all lights":
            fail("the light's page opened with %s focused" % (describe(first) if first else "nothing"))
        page = tab_cycle()
        check_stops("light page", page)

        # Values as the screen shows them.
        brightness = find(lambda node: node.name == "Brightness" and role(node) == "slider")
        shown = shown_number(r"\d+ ?%")
        if brightness is None or shown is None or read_value(brightness) != shown:
            fail("brightness reads %r while the screen shows %r" % (brightness and read_value(brightness), shown))
        spectrum = focus_on("Colour spectrum")
        spectrum = spectrum.node if spectrum else None
        if spectrum is not None:
            before = read_value(spectrum)
            events.clear()
            keys("Right", "Right")
            pump(0.5)
            told = told_values(events, "Colour spectrum")
            if before is None or read_value(spectrum) == before or len(told) != 2:
                fail("two arrows on the spectrum: value %r to %r, told %d times"
                     % (before, read_value(spectrum), len(told)))
            if events.of("object:property-change:accessible-name"):
                fail("the spectrum's arrows renamed %s" % events.of("object:property-change:accessible-name"))
        # The Colour/White choice is one group of radio buttons: an arrow picks White.
        if focus_on("Colour") is not None:
            keys("Right")
            white = within(3, lambda: (lambda node: node if node and node.name == "White" else None)(focused()))
            if white is None or white.role != "radio button" or "checked" not in white.states:
                fail("the arrow from Colour reached %s" % (describe(focused()) if focused() else "nothing"))
            # At a preset the screen shows the preset chosen ("Everyday", at 2700 K).
            temperature = within(3, lambda: find(lambda node: node.name == "White temperature"
                                                 and role(node) == "slider"))
            preset = find(lambda node: role(node) == "radio button" and "checked" in states(node)
                          and re.search(r"\d+ kelvin$", node.name or ""))
            kelvin = float(re.search(r"(\d+) kelvin$", preset.name).group(1)) if preset else None
            if temperature is None or kelvin is None or read_value(temperature) != kelvin:
                fail("white temperature reads %r while the chosen preset says %r"
                     % (temperature and read_value(temperature), kelvin))
            keys("Left")

        # Back with Return on "Back to all lights": the row comes back focused.
        focus_on("Back to all lights")
        keys("Return")
        back = within(3, lambda: (lambda node: node if node and node.name == row.name else None)(focused()))
        if back is None:
            fail("back from the light's page the focus is on %s" % (describe(focused()) if focused() else "nothing"))

    # The settings menu: in the tree under its button, announced as it opens, its settings
    # as check items.
    gear = focus_on("vantora Settings")
    events.clear()
    keys("space")
    menu = within(3, lambda: find(lambda node: role(node) in ("popup menu", "menu")
                                  and node.name == "vantora Settings"))
    if menu is None:
        fail("the open settings menu is not in the tree")
    else:
        items = {item.name: item for item in nodes(menu) if item != menu}
        for setting in ("Start at Login", "Hide unavailable devices"):
            item = items.get(setting)
            if item is None:
                fail("the menu lacks %r: %s" % (setting, sorted(items)))
            elif role(item) != "check box":
                fail("%r is no check item: %s" % (setting, describe(item)))
        if not [e for e in events.of("focus:") if e[1] == "About vantora"]:
            fail("the menu opened without its first entry focused: %s" % events.heard)
    keys("Escape")

    # The shortcut recorder: each start of a recording is read out, a recorded shortcut
    # arrives as one change of the text, and the field keeps the focus.
    keys("ctrl+comma")
    field = within(5, lambda: find(lambda node: role(node) == "text" and node.name.endswith(" shortcut")))
    if field is None:
        fail("Preferences… showed no shortcut field")
    else:
        name = field.name
        # Each field is labelled by its row's title and, from Qt 6.8 on (which has the
        # relation), described by the row's subtitle.
        qt = tuple(int(part) for part in os.environ.get("VANTORA_QT_VERSION", "0.0").split(".")[:2])
        rows = {"Show or hide app": "Open the panel from the tray.", "Toggle all lights": "Turn on or off all lights"}
        for title, subtitle in rows.items():
            row_field = find(lambda node: role(node) == "text" and node.name == title + " shortcut")
            if row_field is None:
                fail("no field for %r" % title)
                continue
            related = {relation.getRelationType(): [relation.getTarget(i).name for i in range(relation.getNTargets())]
                       for relation in row_field.getRelationSet()}
            if related.get(pyatspi.RELATION_LABELLED_BY) != [title]:
                fail("%r is labelled by %s" % (row_field.name, related.get(pyatspi.RELATION_LABELLED_BY)))
            if related.get(pyatspi.RELATION_DESCRIBED_BY, [subtitle] if qt < (6, 8) else None) != [subtitle]:
                fail("%r is described by %s" % (row_field.name, related.get(pyatspi.RELATION_DESCRIBED_BY)))
        events.clear()
        focus_on(name)
        pump(0.5)
        # Empty, the field reads as what it shows: the recording it starts is told as its text.
        told = [e for e in events.of("object:text-changed:insert") if e[1] == name and e[4] == "Press Shortcut"]
        if len(told) != 1 or find(lambda node: node.name == name and "Press Shortcut" in node.description):
            fail("starting a recording was told as %s" % told)
        events.clear()
        keys("ctrl+alt+k")
        pump(0.5)
        inserted = [e for e in events.of("object:text-changed:insert") if e[1] == name]
        deleted = [e for e in events.of("object:text-changed:delete") if e[1] == name]
        if len(inserted) != 1 or len(deleted) > 1:
            fail("the recorded shortcut arrived as %d insertions and %d deletions" % (len(inserted), len(deleted)))
        now = focused()
        if now is None or now.name != name:
            fail("after recording the focus is on %s" % (describe(now) if now else "nothing"))
        # The Escape right after recording stays with the field; the next leaves the page.
        keys("Escape")
        now = focused()
        if now is None or now.name != name:
            fail("the Escape after recording left the field for %s" % (describe(now) if now else "nothing"))
        # Emptied, the field reads as what it shows: "Press Shortcut" while it records, and
        # "Record Shortcut" once it stops.
        keys("space", "BackSpace")
        field = find(lambda node: node.name == name)
        if field is None or field.queryText().getText(0, -1) != "Press Shortcut":
            fail("the emptied field reads %r while it records" % (field.queryText().getText(0, -1) if field else None))
        keys("Escape")
        field = find(lambda node: node.name == name)
        if field is None or field.queryText().getText(0, -1) != "Record Shortcut":
            fail("the emptied field reads %r" % (field.queryText().getText(0, -1) if field else None))
    keys("Escape")
    if not within(3, lambda: find(lambda node: role(node) == "text" and node.name.endswith(" shortcut")) is None):
        fail("Escape did not leave the shortcuts page")

    # Ctrl+Q quits with the settings button focused.
    focus_on("vantora Settings")
    keys("ctrl+q")
    try:
        status = process.wait(timeout=10)
        if status != 0:
            fail("Ctrl+Q ended the app with status %d" % status)
    except subprocess.TimeoutExpired:
        fail("Ctrl+Q with the settings button focused did not quit")

    welcome_shortcuts()
    linux_keys()
    many_lights()

    if FAILURES:
        sys.exit(1)
    print("passed: accessibility")


def welcome_shortcuts():
    """Before any bridge: the gear's Preferences… pressed as a reader presses it (its action,
    no keys) closes the menu, and the shortcuts page leads back to the setup, by name."""
    log = open(os.path.join(HOME, "app.log"), "a")
    process = subprocess.Popen([APP, "--welcome-preview"], stdout=log, stderr=subprocess.STDOUT)
    with open(os.path.join(HOME, "app.pid"), "w") as pid:
        pid.write(str(process.pid))
    gear = within(20, lambda: find(lambda node: node.name == "vantora Settings" and role(node) == "push button"))
    if gear is None:
        fail("the welcome window shows no settings button")
        return
    gear.queryAction().doAction(0)
    entry = within(5, lambda: find(lambda node: node.name == "Preferences…" and role(node) == "menu item"))
    if entry is None:
        fail("the settings menu did not open from its button's action")
        return
    entry.queryAction().doAction(0)
    back = within(5, lambda: find(lambda node: role(node) == "push button" and node.name.startswith("Back to")))
    if back is None or back.name != "Back to setup":
        fail("the shortcuts page from the welcome window leads back as %s" % (describe(back) if back else "nothing"))
    # The gear reads as expanded while its menu is open (covered by the page, it is out of the tree).
    if within(3, lambda: "expanded" not in states(gear)) is None:
        fail("the settings menu stayed open over the shortcuts page")
    process.terminate()
    process.wait(timeout=10)


def launch(*arguments):
    log = open(os.path.join(HOME, "app.log"), "a")
    process = subprocess.Popen([APP, *arguments], stdout=log, stderr=subprocess.STDOUT)
    with open(os.path.join(HOME, "app.pid"), "w") as pid:
        pid.write(str(process.pid))
    return process


def focused_named(name, seconds=3):
    return within(seconds, lambda: (lambda now: now if now and now.name == name else None)(focused()))


def heard_focus_on(events, name):
    return [e for e in events.of("focus:") + events.of("object:state-changed:focused")
            if e[1] == name and (e[0] == "focus:" or e[3] == 1)]


def linux_keys():
    """Keys as on Linux, each checked by what it did: Return presses the focused button (the
    address sheet's Cancel closes it unconnected, a shortcut's clear button clears), a menu
    opened by a key is on its first entry, Space chooses an entry, and Escape from a menu puts
    the focus back on the control that had it, told to the reader."""
    events = Events()
    process = launch("--welcome-preview", "--no-bridge")
    pill = within(20, lambda: focused_named("Pair Bridge device", 1))
    if pill is None:
        fail("the welcome window opened with %s focused" % (describe(focused()) if focused() else "nothing"))
        process.terminate()
        return
    for key in ("Menu", "shift+F10"):
        events.clear()
        keys(key)
        # The context menu is a window of its own, out of the window's tree: what a reader
        # hears of it is its entry's focus.
        if not within(3, lambda: heard_focus_on(events, "Enter Bridge IP address…")):
            fail("%s opened the context menu with no entry focused: %s" % (key, events.heard))
        events.clear()
        keys("Escape")
        if focused_named("Pair Bridge device") is None or not heard_focus_on(events, "Pair Bridge device"):
            fail("Escape from the context menu left the focus on %s, told %s"
                 % (describe(focused()) if focused() else "nothing", events.heard))
    keys("Return")
    if within(20, lambda: find(lambda node: role(node) == "push button" and node.name == "Enter IP address…")) is None:
        fail("Return on the pill started no search")
    focus_on("Enter IP address…")
    keys("Return")
    if within(3, lambda: find(lambda node: node.name == "Bridge IP address" and role(node) == "text")) is None:
        fail("Return on Enter IP address… opened no sheet")
    keys("1", "0", "period", "0", "period", "0", "period", "9")
    focus_on("Cancel")
    keys("Return")
    if within(3, lambda: find(lambda node: node.name == "Bridge IP address" and role(node) == "text") is None) is None:
        fail("Return on the address sheet's Cancel left the sheet open")
    pump(1.0)
    if find(lambda node: role(node) == "push button" and node.name == "Try again") is None:
        fail("Return on the address sheet's Cancel connected: the pill reads %s"
             % [describe(node) for node in nodes(application()) if role(node) == "push button"])
    # The gear's menu: Escape back to the gear, then Space on Preferences… opens the shortcuts page.
    focus_on("vantora Settings")
    keys("space")
    if focused_named("About vantora") is None:
        fail("the gear's menu opened on %s" % (describe(focused()) if focused() else "nothing"))
    events.clear()
    keys("Escape")
    if focused_named("vantora Settings") is None or not heard_focus_on(events, "vantora Settings"):
        fail("Escape from the gear's menu left the focus on %s, told %s"
             % (describe(focused()) if focused() else "nothing", events.heard))
    keys("space", "Down", "Down")
    if focused_named("Preferences…") is None:
        fail("Down twice in the gear's menu reached %s" % (describe(focused()) if focused() else "nothing"))
    keys("space")
    if within(5, lambda: find(lambda node: role(node) == "push button" and node.name == "Back to setup")) is None:
        fail("Space on Preferences… showed no shortcuts page")
    # A recorded shortcut, cleared by Return on its clear button.
    field = within(3, lambda: find(lambda node: role(node) == "text" and node.name == "Show or hide app shortcut"))
    if field is None:
        fail("the shortcuts page has no field for showing the app")
    else:
        focus_on(field.name)
        keys("ctrl+alt+k")
        pump(0.5)
        focus_on("Clear Show or hide app shortcut")
        keys("Return")
        pump(0.5)
        field = find(lambda node: node.name == "Show or hide app shortcut" and role(node) == "text")
        text = field.queryText().getText(0, -1) if field else None
        if text not in ("Press Shortcut", "Record Shortcut"):
            fail("Return on the clear button left the field reading %r" % text)
    process.terminate()
    process.wait(timeout=10)


def many_lights():
    """Fifteen sample lights, one of them a plug that cannot be reached: Tab reaches every
    light the footer counts, the unreachable one as its switch, unavailable, saying why; a
    room's slider closes once Tab takes the focus away from it."""
    log = open(os.path.join(HOME, "app.log"), "a")
    process = subprocess.Popen([APP, "--demo", "--many-lights"], stdout=log, stderr=subprocess.STDOUT)
    with open(os.path.join(HOME, "app.pid"), "w") as pid:
        pid.write(str(process.pid))
    icon = within(20, icon_window)
    if not icon:
        fail("the tray icon of the fifteen lights was not embedded")
        return
    subprocess.run(["xdotool", "mousemove", "--window", icon, "11", "11", "click", "1"], check=True)
    if not within(10, focused):
        fail("the panel of fifteen lights opened with nothing focused")
        return
    stops = tab_cycle(limit=120)
    check_stops("fifteen lights", stops)
    lights = {re.sub(r"^Adjust ", "", stop.name) for stop in stops if re.search(r", (Living room|Bedroom|Kitchen|Office)$", stop.name)}
    footer = find(lambda node: re.search(r"^\d+ rooms?, \d+ lights?$", node.name or "") and "showing" in states(node))
    counted = int(re.search(r"(\d+) lights?$", footer.name).group(1)) if footer else None
    if counted is None or len(lights) != counted:
        fail("Tab reached %d lights of the %r counted: %s" % (len(lights), counted, sorted(lights)))
    plug = [stop for stop in stops if stop.name == "Smart plug, Kitchen"]
    if len(plug) != 1 or plug[0].role != "check box" or "enabled" in plug[0].states \
            or "unreachable" not in plug[0].description:
        fail("the unreachable plug is reached as %s" % [str(stop) for stop in plug])

    opener = focus_on("Bedroom brightness")
    if opener is not None:
        keys("Return")
        slider = within(3, lambda: (lambda node: node if node and node.role == "slider" else None)(focused()))
        if slider is None or slider.name != "Bedroom brightness":
            fail("Return on a room's brightness focused %s" % (describe(focused()) if focused() else "nothing"))
        keys("Tab")
        open_slider = lambda: find(lambda node: node.name == "Bedroom brightness" and role(node) == "slider"
                                   and "showing" in states(node))
        if within(3, lambda: open_slider() is None) is None:
            fail("the room's slider stayed open as Tab left it")
        later = tab_cycle(limit=120)
        if [stop for stop in later if stop.role == "slider"]:
            fail("Tab came back to a room's slider: %s" % [str(stop) for stop in later if stop.role == "slider"])
    process.terminate()
    process.wait(timeout=10)


main()
