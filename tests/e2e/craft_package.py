#!/usr/bin/env python3
# Kamishibai: writes a saver with a hand-made package, names taken exactly as given (the packer
# refuses names that are not plain file names; the tests need such packages anyway).
#
#   craft_package.py PLAYER OUT [--settings] [--bgm NAME] [--entry NAME SOUND-NAME PICTURE]...
#
# Each entry's picture bytes come from the file PICTURE; a sound holds the bytes of its own
# name; the music holds b"music".
import argparse
import struct


def text(value):
    data = value.encode()
    return struct.pack("<H", len(data)) + data


def byte_array(data):
    if not data:
        return struct.pack("<h", 0)
    return struct.pack("<hii", 1, len(data), 0) + data


def entry(name, sound, picture):
    with open(picture, "rb") as f:
        picture_bytes = f.read()
    return (text(name) + text(sound) + struct.pack("<iiiii", 1000, 24, 24, 1, 0)
            + struct.pack("<hh", 0, 0) + byte_array(picture_bytes)
            + byte_array(sound.encode() if sound else b""))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("player")
    parser.add_argument("out")
    parser.add_argument("--settings", action="store_true")
    parser.add_argument("--bgm", default="")
    parser.add_argument("--entry", nargs=3, action="append", default=[])
    args = parser.parse_args()

    entries = [entry(*e) for e in args.entry]
    package = struct.pack("<iiihi", 250, 250, 0, -1 if args.settings else 0, len(entries))
    package += text(args.bgm) + byte_array(b"music" if args.bgm else b"")
    package += struct.pack("<hii", 1, len(entries), 0) if entries else struct.pack("<h", 0)
    package += b"".join(entries)
    package += struct.pack("<i", len(package) + 4)
    with open(args.player, "rb") as f:
        player = f.read()
    with open(args.out, "wb") as f:
        f.write(player + package)


main()
