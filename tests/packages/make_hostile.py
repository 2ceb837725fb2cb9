#!/usr/bin/env python3
"""Makes the hostile runtime packages the package tests unpack, into OUT_DIR. Each is
written byte by byte here (local headers, data, central directory), so that a header
can say what the data is not: a smaller size, a larger one, a wrong CRC. Everything
is fixed (names, times, contents, the encryption header): the same bytes every run.

    make_hostile.py FIXTURES_DIR OUT_DIR

FIXTURES_DIR holds the stand-in controls (MsComCtl.ocx) that some packages carry.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "unzip"))
from make_archives import _Keys  # traditional zip encryption  # noqa: E402

DOS_TIME = (12 << 11) | (0 << 5) | 0             # 12:00:00
DOS_DATE = ((2010 - 1980) << 9) | (6 << 5) | 15  # 2010-06-15
KB = 1024
MB = 1024 * KB
ZIP64_MARK = 0xFFFFFFFF


def deflate(data):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    return packer.compress(data) + packer.flush()


def deflate_repeated(piece, count):
    """Raw deflate of `piece` repeated `count` times, without holding the whole."""
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    parts = [packer.compress(piece) for _ in range(count)]
    return b"".join(parts) + packer.flush()


class Entry:
    """One member: its name, its stored bytes and what its headers declare."""

    def __init__(self, name, data=b"", *, stored=None, crc=None, declared=None, method=8,
                 password=None, zip64=False):
        self.name = name.encode("ascii")
        self.method = method
        if stored is None:
            stored = deflate(data) if method == 8 else data
        self.crc = zlib.crc32(data) if crc is None else crc
        self.size = len(data) if declared is None else declared
        self.flags = 0
        if password is not None:
            # A fixed encryption header whose last byte is the CRC's high byte.
            header = bytes(range(1, 12)) + bytes([self.crc >> 24])
            stored = _Keys(password).encrypt(header + stored)
            self.flags |= 1
        self.stored = stored
        self.zip64 = zip64 or self.size >= ZIP64_MARK

    def sizes(self):
        if self.zip64:
            return ZIP64_MARK, ZIP64_MARK, struct.pack("<HHQQ", 1, 16, self.size, len(self.stored))
        return len(self.stored), self.size, b""

    def local_header(self):
        compressed, size, extra = self.sizes()
        return struct.pack("<IHHHHHIIIHH", 0x04034B50, 45 if self.zip64 else 20, self.flags,
                           self.method, DOS_TIME, DOS_DATE, self.crc, compressed, size,
                           len(self.name), len(extra)) + self.name + extra

    def central_header(self, offset):
        compressed, size, extra = self.sizes()
        folder = 0x10 if self.name.endswith(b"/") else 0
        return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 45 if self.zip64 else 20,
                           45 if self.zip64 else 20, self.flags, self.method, DOS_TIME, DOS_DATE,
                           self.crc, compressed, size, len(self.name), len(extra), 0, 0, 0,
                           folder, offset) + self.name + extra


def write_zip(path, entries):
    body = bytearray()
    directory = bytearray()
    for entry in entries:
        directory += entry.central_header(len(body))
        body += entry.local_header() + entry.stored
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries),
                      len(directory), len(body), 0)
    with open(path + ".tmp", "wb") as f:
        f.write(bytes(body + directory) + end)
    os.replace(path + ".tmp", path)


def pattern(size):
    """`size` bytes of a fixed text, for contents that are not all alike."""
    line = b"the quick brown fox jumps over the lazy dog 0123456789\n"
    return (line * (size // len(line) + 1))[:size]


def control(fixtures):
    with open(os.path.join(fixtures, "MsComCtl.ocx"), "rb") as f:
        return f.read()


def packages(fixtures):
    ocx = control(fixtures)
    zeros = bytes(MB)
    return {
        # Declares 8 KB an entry, inflates to 4 MB an entry (about 70 KB in all).
        "bomb.zip": [Entry("readme.txt", pattern(KB))] + [
            Entry("bomb%02d.bin" % i, stored=deflate_repeated(zeros, 4), crc=0,
                  declared=8 * KB) for i in range(1, 17)],
        # Honest: five entries of 1 MB each (a few KB of package).
        "fivemegabytes.zip": [Entry("part%d.bin" % i, pattern(MB)) for i in range(1, 6)],
        # Honest: 1 MB, then 1 MB more behind a password ("secret").
        "twomegabytes.zip": [Entry("first.bin", pattern(MB)),
                             Entry("second.bin", pattern(MB), password=b"secret")],
        # Declares an exabyte (zip64) for 1 KB of data.
        "exabyte.zip": [Entry("MsComCtl.ocx", pattern(KB), declared=1 << 60)],
        # The control beside a folder name longer than any Windows path.
        "longfolder.zip": [Entry("MsComCtl.ocx", ocx), Entry("dir/" + "d" * 250 + "/", method=0),
                           Entry("dir/" + "d" * 250 + "/x.txt", b"deep\n")],
        # Twelve folders of 23 characters, one in another.
        "deepfolders.zip": [Entry("MsComCtl.ocx", ocx),
                            Entry("".join("%s%02d/" % ("f" * 21, i) for i in range(12)) + "x.txt",
                                  b"deep\n")],
        # A file name of 300 characters.
        "longname.zip": [Entry("MsComCtl.ocx", ocx), Entry("n" * 296 + ".txt", b"long\n")],
        # The install center's own files, as they are named and in other spellings.
        "ownfiles.zip": [Entry("MsComCtl.ocx", ocx),
                         Entry("Updater.exe", b"an updater from a package\r\n"),
                         Entry("TWINSTALLER.INI", b"MAINSERVER,http://elsewhere.example/\r\n"),
                         Entry("Help/Index.htm", b"<html>a help page from a package</html>\r\n"),
                         Entry("updater.ini", b"evil.exe\r\n"),
                         Entry("log.txt.", b"a log from a package\r\n")],
        # An entry named by a 12-character placeholder, which a test replaces by the
        # short (8.3) name that the settings file has on its disk.
        "shortname.zip": [Entry("MsComCtl.ocx", ocx),
                          Entry("SHORT~NAME.X", b"MAINSERVER,http://elsewhere.example/\r\n")],
        # The control whose CRC does not match its bytes.
        "badcrc.zip": [Entry("MsComCtl.ocx", ocx, crc=zlib.crc32(ocx) ^ 1)],
        # The control under a name that climbs out of the target folder.
        "climbing.zip": [Entry("../MsComCtl.ocx", ocx)],
    }


def main():
    fixtures, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    for name, entries in packages(fixtures).items():
        write_zip(os.path.join(out, name), entries)


if __name__ == "__main__":
    main()
