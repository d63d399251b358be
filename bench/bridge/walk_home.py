"""Reads a resource-list reply as a plain client would: json.loads, then a walk over the
dicts that builds the same lights and rooms the app builds. Prints the median time of
the given number of runs in milliseconds.

    python3 walk_home.py <reply.json> <runs>
"""

import json
import statistics
import sys
import time

UNREACHABLE = {"connectivity_issue", "disconnected"}


def lights_and_rooms(reply):
    rooms, services, lights, home = [], [], [], None
    for resource in reply["data"]:
        kind = resource["type"]
        if kind == "room":
            rooms.append(resource)
        elif kind == "zigbee_connectivity":
            services.append(resource)
        elif kind == "light":
            lights.append(resource)
        elif kind == "bridge_home" and home is None:
            home = resource

    room_by_device, room_by_light = {}, {}
    for index, room in enumerate(rooms):
        for child in room.get("children") or []:
            target = room_by_device if child["rtype"] == "device" else room_by_light
            target.setdefault(child["rid"], index)
    status_by_owner = {}
    for service in services:
        owner = service.get("owner")
        if owner:
            status_by_owner.setdefault(owner["rid"], service.get("status"))

    built = []
    for light in lights:
        owner = (light.get("owner") or {}).get("rid")
        found = [i for i in (room_by_device.get(owner), room_by_light.get(light["id"])) if i is not None]
        room = rooms[min(found)] if found else None
        colour = light.get("color") or {}
        temperature = light.get("color_temperature") or {}
        schema = temperature.get("mirek_schema") or {}
        built.append({
            "id": light["id"],
            "name": ((light.get("metadata") or {}).get("name")) or "Light",
            "room_id": room["id"] if room else "unassigned",
            "room_name": ((room.get("metadata") or {}).get("name")) if room else "Other lights",
            "on": (light.get("on") or {}).get("on", False),
            "reachable": status_by_owner.get(owner) not in UNREACHABLE,
            "brightness": (light.get("dimming") or {}).get("brightness"),
            "xy": colour.get("xy"),
            "gamut": colour.get("gamut"),
            "mirek": temperature.get("mirek"),
            "range": (max(schema.get("mirek_minimum", 153), 153), min(schema.get("mirek_maximum", 500), 500)),
        })
    built.sort(key=lambda light: light["name"].casefold())

    grouped = {}
    for light in built:
        grouped.setdefault(light["room_id"], (light["room_name"], []))[1].append(light)
    return built, sorted(grouped.items(), key=lambda item: item[1][0].casefold())


def main():
    with open(sys.argv[1], "rb") as file:
        text = file.read()
    times = []
    for _ in range(int(sys.argv[2])):
        start = time.perf_counter()
        lights_and_rooms(json.loads(text))
        times.append(time.perf_counter() - start)
    print(f"{statistics.median(times) * 1000:.3f}")


if __name__ == "__main__":
    main()
