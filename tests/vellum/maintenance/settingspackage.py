#!/usr/bin/python3
"""An independent reader and writer of the console's settings package,
on the standard library alone.

  settingspackage.py crc TEXT        X.25 CRC of TEXT, as 0xhhhh
  settingspackage.py read PACKAGE    one line per entry:
                                     P <ConfigName> <md5 Config> <IconName> <md5 Icon>
                                     S <IconName> <md5 Icon>
  settingspackage.py write PACKAGE   package from a manifest on standard input:
                                     {"Profiles": [{"ConfigName", "ConfigFile",
                                                    "IconName", "IconFile"}],
                                      "StampFiles": [{"IconName", "IconFile"}]}
                                     (file paths; an empty path is empty content)
"""
import base64
import hashlib
import json
import struct
import sys
import zlib

MAGIC = b"CORVAN"


def crc_x25(data):
    crc = 0xFFFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0x8408 if crc & 1 else crc >> 1
    return crc ^ 0xFFFF


def md5(data):
    return hashlib.md5(data).hexdigest()


def decode(text):
    return base64.urlsafe_b64decode(text.encode("ascii"))


def encode(data):
    return base64.urlsafe_b64encode(data).decode("ascii")


def read(path):
    with open(path, "rb") as f:
        package = f.read()
    if package[:6] != MAGIC:
        sys.exit("bad magic")
    (crc,) = struct.unpack("<H", package[6:8])
    if crc != crc_x25(package[8:]):
        sys.exit("bad checksum")
    (length,) = struct.unpack(">I", package[8:12])
    text = zlib.decompress(package[12:])
    if len(text) != length:
        sys.exit("bad length")
    doc = json.loads(text.decode("utf-8"))
    if text != json.dumps(doc, separators=(",", ":"), ensure_ascii=False).encode("utf-8"):
        sys.exit("not compact JSON")
    for p in doc["Profiles"]:
        print("P", p["ConfigName"], md5(decode(p["Config"])), p["IconName"] or "-",
              md5(decode(p["Icon"])))
    for s in doc["StampFiles"]:
        print("S", s["IconName"], md5(decode(s["Icon"])))


def content(path):
    if not path:
        return b""
    with open(path, "rb") as f:
        return f.read()


def write(path):
    manifest = json.load(sys.stdin)
    doc = {
        "Profiles": [{"ConfigName": p["ConfigName"],
                      "Config": encode(content(p["ConfigFile"])),
                      "IconName": p["IconName"],
                      "Icon": encode(content(p["IconFile"]))}
                     for p in manifest["Profiles"]],
        "StampFiles": [{"IconName": s["IconName"], "Icon": encode(content(s["IconFile"]))}
                       for s in manifest["StampFiles"]],
    }
    text = json.dumps(doc, separators=(",", ":"), ensure_ascii=False).encode("utf-8")
    body = struct.pack(">I", len(text)) + zlib.compress(text)
    with open(path, "wb") as f:
        f.write(MAGIC + struct.pack("<H", crc_x25(body)) + body)


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "crc":
        print("0x%04x" % crc_x25(sys.argv[2].encode("utf-8")))
    elif command == "read":
        read(sys.argv[2])
    elif command == "write":
        write(sys.argv[2])
    else:
        sys.exit("unknown command")
