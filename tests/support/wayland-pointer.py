#!/usr/bin/env python3
"""A pointer for a wlroots compositor without input devices (a headless sway): creates a
virtual pointer (zwlr_virtual_pointer_v1) on the compositor of WAYLAND_DISPLAY and plays
the steps given as arguments, then those read from standard input, one a line, answering
"ok" to each once the compositor has taken it, all through that one pointer, so that a
menu opened by one click is still there for the next:

    wayland-pointer.py WIDTH HEIGHT ["move X Y" | "click left|right" | "wait MILLISECONDS"]...

WIDTH and HEIGHT are the size of the compositor's layout, the extent of absolute motions.
Speaks the Wayland wire protocol itself: nothing beyond Python is needed."""

import os
import socket
import struct
import sys
import time

BUTTONS = {"left": 0x110, "right": 0x111, "middle": 0x112}


class Connection:
    def __init__(self):
        name = os.environ.get("WAYLAND_DISPLAY", "wayland-0")
        path = name if name.startswith("/") else os.path.join(os.environ["XDG_RUNTIME_DIR"], name)
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.connect(path)
        self.next_id = 2
        self.buffer = b""

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, object_id, opcode, payload=b""):
        header = struct.pack("<II", object_id, ((8 + len(payload)) << 16) | opcode)
        self.socket.sendall(header + payload)

    def events(self):
        """Yields (object, opcode, payload) for the events waiting, reading once."""
        self.buffer += self.socket.recv(65536)
        while len(self.buffer) >= 8:
            object_id, word = struct.unpack_from("<II", self.buffer)
            size = word >> 16
            if len(self.buffer) < size:
                break
            yield object_id, word & 0xFFFF, self.buffer[8:size]
            self.buffer = self.buffer[size:]

    def roundtrip(self, on_event=lambda *event: None):
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        while True:
            for object_id, opcode, payload in self.events():
                if object_id == callback:
                    return
                if object_id == 1 and opcode == 0:  # wl_display.error
                    raise SystemExit("wayland-pointer: the compositor reported an error")
                on_event(object_id, opcode, payload)


def string(value):
    data = value.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def read_string(payload, offset):
    (length,) = struct.unpack_from("<I", payload, offset)
    text = payload[offset + 4:offset + 4 + length - 1].decode()
    return text, offset + 4 + length + (-length % 4)


def main():
    width, height = int(sys.argv[1]), int(sys.argv[2])
    steps = sys.argv[3:]
    connection = Connection()
    registry = connection.new_id()
    connection.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
    globals_ = {}

    def on_global(object_id, opcode, payload):
        if object_id == registry and opcode == 0:
            (name,) = struct.unpack_from("<I", payload)
            interface, offset = read_string(payload, 4)
            globals_[interface] = (name, struct.unpack_from("<I", payload, offset)[0])

    connection.roundtrip(on_global)
    if "zwlr_virtual_pointer_manager_v1" not in globals_:
        raise SystemExit("wayland-pointer: the compositor offers no virtual pointers")
    name, _ = globals_["zwlr_virtual_pointer_manager_v1"]
    manager = connection.new_id()
    connection.send(registry, 0, struct.pack("<I", name) + string("zwlr_virtual_pointer_manager_v1")
                    + struct.pack("<II", 1, manager))
    pointer = connection.new_id()
    connection.send(manager, 0, struct.pack("<II", 0, pointer))  # create_virtual_pointer(seat: none)
    connection.roundtrip()
    # Clients take up the seat's new pointer before it moves.
    time.sleep(0.3)

    def now():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def all_steps():
        yield from steps
        for line in sys.stdin:
            if line.strip():
                yield line.strip()

    for step in all_steps():
        words = step.split()
        if words[0] == "move":
            x, y = int(words[1]), int(words[2])
            connection.send(pointer, 1, struct.pack("<IIIII", now(), x, y, width, height))
            connection.send(pointer, 4)  # frame
        elif words[0] == "click":
            button = BUTTONS[words[1]]
            for state in (1, 0):
                connection.send(pointer, 2, struct.pack("<III", now(), button, state))
                connection.send(pointer, 4)
                connection.roundtrip()
                time.sleep(0.05)
        elif words[0] == "wait":
            time.sleep(int(words[1]) / 1000)
        else:
            raise SystemExit(f"wayland-pointer: no such step: {step}")
        connection.roundtrip()
        print("ok", flush=True)
    connection.send(pointer, 8)  # destroy
    connection.roundtrip()


if __name__ == "__main__":
    main()
