#!/usr/bin/env python3
"""Makes the crypto tests' fixtures in OUT with the real tools:

  OUT/sample.bin, OUT/sample.bin.sha256   3 MB of made-up bytes and sha256sum's answer
  OUT/site/                               a small server folder signed by sign-release with
                                          the build's test key (versions/, packages/, runtimes/)
  OUT/other.key, OUT/other-site/          another key (made once) and the same folder signed
                                          with it
  OUT/test.pub                            the build's test public key (key file format)

usage: make_fixtures.py OUT TEST_KEY_DIR SIGN_RELEASE
"""
import hashlib
import os
import shutil
import subprocess
import sys


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def made_up_bytes(size):
    out = bytearray()
    counter = 0
    while len(out) < size:
        out += hashlib.sha256(b"twi-crypto-%d" % counter).digest()
        counter += 1
    return bytes(out[:size])


def make_site(folder):
    shutil.rmtree(folder, ignore_errors=True)
    write(os.path.join(folder, "packages", "TST_213b.exe"), made_up_bytes(70000))
    write(os.path.join(folder, "versions", "TST_current.txt"),
          b"2.1.3b\r\nhttp://127.0.0.1/packages/TST_@@@.exe\r\nRelease notes.\r\n")
    write(os.path.join(folder, "runtimes", "MSCOMCTL.zip"), made_up_bytes(5000))
    write(os.path.join(folder, "runtimes", "WINXP", "RICHED.zip"), made_up_bytes(7000)[::-1])


def main():
    out, key_dir, sign_release = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    sample = os.path.join(out, "sample.bin")
    write(sample, made_up_bytes(3 * 1024 * 1024 + 123))
    answer = subprocess.run(["sha256sum", sample], check=True, capture_output=True).stdout
    write(sample + ".sha256", answer.split()[0])
    other_key = os.path.join(out, "other.key")
    if not os.path.exists(other_key):
        subprocess.run(["openssl", "genpkey", "-algorithm", "ed25519", "-out", other_key],
                       check=True)
    for name, key in (("site", os.path.join(key_dir, "test.key")), ("other-site", other_key)):
        make_site(os.path.join(out, name))
        subprocess.run([sign_release, key, os.path.join(out, name)], check=True,
                       stdout=subprocess.DEVNULL)
    shutil.copyfile(os.path.join(key_dir, "test.pub"), os.path.join(out, "test.pub"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
