#!/usr/bin/env python3
"""Makes the archives the zip extraction tests read, with Info-ZIP zip and Python's
zipfile, into OUTDIR. Next to each archive's entries, the bytes they must give are kept
as plain files under OUTDIR/expected/ so the tests compare real bytes.

    make_archives.py OUTDIR            every archive
    make_archives.py --big-only OUTDIR the 100 MB archive only (for the benchmark)
    BIG_MB=25 make_archives.py --big-only OUTDIR   another size
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import zipfile
import zlib

WHEN = (2010, 6, 15, 12, 0, 0)  # every entry's DOS time unless said otherwise


def text_lines(count, seed):
    rnd = random.Random(seed)
    words = ["alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel"]
    return "".join("line %d: %s\n" % (i, " ".join(rnd.choice(words) for _ in range(8)))
                   for i in range(count)).encode()


def random_bytes(count, seed):
    return random.Random(seed).randbytes(count)


def put(zf, name, data, method=zipfile.ZIP_DEFLATED, when=WHEN, system=None):
    info = zipfile.ZipInfo(name, date_time=when)
    info.compress_type = method
    if system is not None:
        info.create_system = system
    info.external_attr = (0o40755 << 16) | 0x10 if name.endswith("/") else 0o644 << 16
    zf.writestr(info, data)


def keep(out, relative, data):
    path = os.path.join(out, "expected", relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def patch_name(path, old, new):
    """Replaces an entry name's bytes (same length) in the local and central headers."""
    assert len(old) == len(new)
    data = open(path, "rb").read()
    assert data.count(old) == 2
    open(path, "wb").write(data.replace(old, new))


# Traditional (PKWARE) zip encryption, to give encrypted entries a fixed header.
def _crc_table():
    table = []
    for n in range(256):
        c = n
        for _ in range(8):
            c = (c >> 1) ^ 0xEDB88320 if c & 1 else c >> 1
        table.append(c)
    return table


_CRC = _crc_table()


class _Keys:
    def __init__(self, password):
        self.k = [0x12345678, 0x23456789, 0x34567890]
        for c in password:
            self.update(c)

    def update(self, byte):
        k0, k1, k2 = self.k
        k0 = _CRC[(k0 ^ byte) & 0xFF] ^ (k0 >> 8)
        k1 = ((k1 + (k0 & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        k2 = _CRC[(k2 ^ (k1 >> 24)) & 0xFF] ^ (k2 >> 8)
        self.k = [k0, k1, k2]

    def stream(self):
        t = (self.k[2] | 2) & 0xFFFF
        return ((t * (t ^ 1)) >> 8) & 0xFF

    def decrypt(self, data):
        out = bytearray()
        for c in data:
            p = c ^ self.stream()
            self.update(p)
            out.append(p)
        return bytes(out)

    def encrypt(self, data):
        out = bytearray()
        for p in data:
            out.append(p ^ self.stream())
            self.update(p)
        return bytes(out)


# Every password the tests answer with.
TRIED_PASSWORDS = [b"secret", b"guess", b"one", b"two", b"a", b"b", b"c", b"d", b"e", b"f",
                   b"x", b"y", b"z"]


def fix_encryption_headers(path, passwords):
    """Gives each encrypted entry of `path` (made by zip -P, whose 12-byte header is
    random) a header of fixed bytes that no other password of the tests passes: the
    header's last byte is all a reader checks a password by, so a random header lets
    one wrong password in 256 pass the check, and the entry then fails to inflate.
    `passwords`: each entry's password by name."""
    data = bytearray(open(path, "rb").read())
    with zipfile.ZipFile(path) as zf:
        infos = [i for i in zf.infolist() if i.flag_bits & 1]
    for info in infos:
        password = passwords[info.filename]
        at = info.header_offset
        name_len, extra_len = struct.unpack_from("<HH", data, at + 26)
        dos_time = struct.unpack_from("<H", data, at + 10)[0]
        start = at + 30 + name_len + extra_len
        end = start + info.compress_size
        plain = _Keys(password).decrypt(bytes(data[start:end]))
        check = (dos_time >> 8) if info.flag_bits & 8 else (info.CRC >> 24)
        wrong = [p for p in TRIED_PASSWORDS if p != password]
        for seed in range(1000):
            header = random.Random(seed).randbytes(11) + bytes([check & 0xFF])
            cipher_header = _Keys(password).encrypt(header)
            if all(_Keys(p).decrypt(cipher_header)[11] != (check & 0xFF) for p in wrong):
                break
        data[start:end] = _Keys(password).encrypt(header + plain[12:])
    open(path, "wb").write(bytes(data))


def small_archives(out):
    readme = text_lines(2000, 1)
    data = random_bytes(100_000, 2)
    hello = b"hello, stored world\r\n"
    keep(out, "readme.txt", readme)
    keep(out, "data.bin", data)
    keep(out, "hello.txt", hello)

    with zipfile.ZipFile(os.path.join(out, "deflated.zip"), "w") as zf:
        put(zf, "readme.txt", readme)
        put(zf, "sub/", b"", zipfile.ZIP_STORED)
        put(zf, "sub/deep/", b"", zipfile.ZIP_STORED)
        put(zf, "sub/deep/data.bin", data)
    with zipfile.ZipFile(os.path.join(out, "stored.zip"), "w") as zf:
        put(zf, "hello.txt", hello, zipfile.ZIP_STORED)
        put(zf, "sub/deep/data.bin", data, zipfile.ZIP_STORED)

    # Freshen and update: each entry is dated 2010; the tests date the files on disk.
    with zipfile.ZipFile(os.path.join(out, "dated.zip"), "w") as zf:
        for name in ("older.txt", "newer.txt", "absent.txt"):
            put(zf, name, b"from the archive: " + name.encode() + b"\n")

    with zipfile.ZipFile(os.path.join(out, "spaces.zip"), "w") as zf:
        put(zf, "my folder/a file name.txt", b"spaces\n")

    # Names that try to leave the target folder.
    with zipfile.ZipFile(os.path.join(out, "unsafe.zip"), "w") as zf:
        put(zf, "../up.txt", b"up\n")
        put(zf, "sub/../../up2.txt", b"up2\n")
        put(zf, "/abs.txt", b"abs\n")
        put(zf, "C:/drive.txt", b"drive\n")
        put(zf, "..\\back.txt", b"back\n")
        put(zf, "ok.txt", b"ok\n")

    # One entry whose stored bytes no longer match its CRC.
    bad_plain = b"the bad entry, as it was written\n"
    bad_damaged = b"THE bad entry, as it was written\n"
    with zipfile.ZipFile(os.path.join(out, "badcrc.zip"), "w") as zf:
        put(zf, "good1.txt", b"good one\n", zipfile.ZIP_STORED)
        put(zf, "bad.txt", bad_plain, zipfile.ZIP_STORED)
        put(zf, "good2.txt", text_lines(50, 3))
    keep(out, "good2.txt", text_lines(50, 3))
    path = os.path.join(out, "badcrc.zip")
    blob = open(path, "rb").read()
    open(path, "wb").write(blob.replace(bad_plain, bad_damaged))
    with open(os.path.join(out, "badcrc.expected.txt"), "w") as f:
        f.write(" bad CRC %08x  (should be %08x)\n" % (zlib.crc32(bad_damaged),
                                                    zlib.crc32(bad_plain)))

    # Traditional encryption, made by Info-ZIP zip: a deflated text and stored noise.
    work = os.path.join(out, "work")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    with open(os.path.join(work, "secret.txt"), "wb") as f:
        f.write(readme)
    with open(os.path.join(work, "noise.bin"), "wb") as f:
        f.write(data)
    enc = os.path.join(out, "encrypted.zip")
    for old in (enc, os.path.join(out, "mixedpw.zip")):
        if os.path.exists(old):
            os.remove(old)
    for name in ("secret.txt", "noise.bin"):  # the entries' times, and so the archive, fixed
        os.utime(os.path.join(work, name), (1276603200, 1276603200))
    subprocess.run(["zip", "-q", "-P", "secret", enc, "secret.txt"], cwd=work, check=True)
    subprocess.run(["zip", "-q", "-0", "-P", "secret", enc, "noise.bin"], cwd=work, check=True)
    # Different passwords per entry, and one entry without any.
    mixed = os.path.join(out, "mixedpw.zip")
    with open(os.path.join(work, "one.txt"), "wb") as f:
        f.write(b"first password\n")
    with open(os.path.join(work, "two.txt"), "wb") as f:
        f.write(b"second password\n")
    with open(os.path.join(work, "open.txt"), "wb") as f:
        f.write(b"no password\n")
    for name in ("one.txt", "two.txt", "open.txt"):
        os.utime(os.path.join(work, name), (1276603200, 1276603200))
    subprocess.run(["zip", "-q", "-P", "one", mixed, "one.txt"], cwd=work, check=True)
    subprocess.run(["zip", "-q", "-P", "two", mixed, "two.txt"], cwd=work, check=True)
    subprocess.run(["zip", "-q", mixed, "open.txt"], cwd=work, check=True)
    fix_encryption_headers(enc, {"secret.txt": b"secret", "noise.bin": b"secret"})
    fix_encryption_headers(mixed, {"one.txt": b"one", "two.txt": b"two"})
    # Piped into zip, the entry's sizes follow its data (bit 3): the password check
    # byte is then the time's high byte.
    with open(os.path.join(work, "secret.txt"), "rb") as source:
        subprocess.run(["zip", "-q", "-P", "secret", os.path.join(out, "streamed.zip"), "-"],
                       cwd=work, stdin=source, check=True)
    fix_encryption_headers(os.path.join(out, "streamed.zip"), {"-": b"secret"})
    shutil.rmtree(work)

    # Not archives, or no longer.
    whole = open(os.path.join(out, "deflated.zip"), "rb").read()
    open(os.path.join(out, "truncated.zip"), "wb").write(whole[: len(whole) // 2])
    open(os.path.join(out, "empty.zip"), "wb").close()
    open(os.path.join(out, "program.exe"), "wb").write(
        b"MZ\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff" + random_bytes(30_000, 4))
    open(os.path.join(out, "notes.txt"), "wb").write(b"just some text, not an archive\n")

    # A method this library does not read, beside one it does.
    with zipfile.ZipFile(os.path.join(out, "lzma.zip"), "w") as zf:
        put(zf, "packed.txt", b"lzma\n" * 100, zipfile.ZIP_LZMA)
        put(zf, "plain.txt", b"plain\n", zipfile.ZIP_STORED)

    # Names: UTF-8 (bit 11), and code page 437 from a DOS-made entry.
    with zipfile.ZipFile(os.path.join(out, "names.zip"), "w") as zf:
        put(zf, "caf\u00e9/na\u00efve \u20ac.txt", b"utf-8 name\n")
        put(zf, "DOSNAME.TXT", b"cp437 name\n", system=0)
    patch_name(os.path.join(out, "names.zip"), b"DOSNAME.TXT", b"\x8eRGERNA.TXT")

    # An entry marked as text (internal attribute bit 0) with Unix line ends.
    with zipfile.ZipFile(os.path.join(out, "lines.zip"), "w") as zf:
        info = zipfile.ZipInfo("unix.txt", date_time=WHEN)
        info.internal_attr = 1
        zf.writestr(info, b"one\ntwo\r\nthree\n")

    # Zip64 records on a small entry.
    with zipfile.ZipFile(os.path.join(out, "zip64.zip"), "w") as zf:
        info = zipfile.ZipInfo("wide.txt", date_time=WHEN)
        info.compress_type = zipfile.ZIP_DEFLATED
        with zf.open(info, "w", force_zip64=True) as entry:
            entry.write(readme)


def big_archive(out):
    """About 100 MB: text and random data, deflated, in a few entries."""
    megabytes = int(os.environ.get("BIG_MB", "100"))
    half = megabytes * 1024 * 1024 // 2
    path = os.path.join(out, "big.zip")
    if os.path.exists(path) and os.path.exists(path + ".size") and \
            open(path + ".size").read() == str(megabytes):
        return
    os.makedirs(os.path.join(out, "expected", "big"), exist_ok=True)
    with zipfile.ZipFile(path + ".tmp", "w", compresslevel=6) as zf:
        pieces = [("big/text.txt", lambda i: text_lines(200_000, 100 + i)),
                  ("big/random.bin", lambda i: random_bytes(8 * 1024 * 1024, 200 + i))]
        for name, make in pieces:
            info = zipfile.ZipInfo(name, date_time=WHEN)
            info.compress_type = zipfile.ZIP_DEFLATED
            written = 0
            with zf.open(info, "w", force_zip64=True) as entry, \
                    open(os.path.join(out, "expected", name), "wb") as copy:
                i = 0
                while written < half:
                    chunk = make(i)[: half - written]
                    entry.write(chunk)
                    copy.write(chunk)
                    written += len(chunk)
                    i += 1
    os.replace(path + ".tmp", path)
    open(path + ".size", "w").write(str(megabytes))


def main():
    args = sys.argv[1:]
    big_only = args and args[0] == "--big-only"
    out = args[-1]
    os.makedirs(out, exist_ok=True)
    if not big_only:
        small_archives(out)
    big_archive(out)


if __name__ == "__main__":
    main()
