#!/usr/bin/env python3
"""scripts/sign-release on a small server folder, checked with the real tools:
sha256sum for the hashes, openssl for the signatures (with the public half derived from
the key), a second run for idempotence, and the refusals of a missing key or folder.

usage: sign_release_test.py SIGN_RELEASE TEST_KEY
"""
import os
import subprocess
import sys
import tempfile
import unittest

SIGN_RELEASE = TEST_KEY = None


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def sha256sum(path):
    return subprocess.run(["sha256sum", path], check=True, capture_output=True,
                          text=True).stdout.split()[0]


def snapshot(folder):
    """Every file's bytes and modification time."""
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            files[os.path.relpath(path, folder)] = (read(path), os.stat(path).st_mtime_ns)
    return files


def make_server(folder):
    write(os.path.join(folder, "packages", "QVC2_213.exe"), b"installer 2.1.3" * 1000)
    write(os.path.join(folder, "packages", "QPG_setup.exe"), b"installer of qPage")
    write(os.path.join(folder, "packages", "TWInstUpd130.exe"), b"update package")
    # A placeholder address, a written-out one with an old sha256 line to replace,
    # one whose package is elsewhere, and one with LF line ends and no last line end.
    write(os.path.join(folder, "versions", "QVC2_current.txt"),
          b"2.1.3\r\nhttp://127.0.0.1:8080/packages/QVC2_@@@.exe\r\nRelease notes.\r\n")
    write(os.path.join(folder, "versions", "QPG_current.txt"),
          b"1.6.2\r\nhttp://127.0.0.1:8080/maker/packages/QPG_setup.exe\r\nsha256 "
          + b"0" * 64 + b"\r\nNotes.\r\n")
    write(os.path.join(folder, "versions", "QTUNE_current.txt"),
          b"1.0.9\r\nhttp://elsewhere.example/QTUNE_109.exe\r\n")
    write(os.path.join(folder, "versions", "TWI_current.txt"),
          b"1.3.0\nhttp://127.0.0.1:8080/packages/TWInstUpd@@@.exe")
    write(os.path.join(folder, "runtimes", "MSCOMCTL.zip"), b"common controls")
    write(os.path.join(folder, "runtimes", "WINXP", "RICHED.zip"), b"rich edit")
    write(os.path.join(folder, "runtimes", "SAPI", "sapi5.zip"), b"speech")


class SignRelease(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory(prefix="twi-sign-release-")
        self.server = os.path.join(self.scratch.name, "server")
        make_server(self.server)
        self.public_pem = os.path.join(self.scratch.name, "test.pub.pem")
        subprocess.run(["openssl", "pkey", "-in", TEST_KEY, "-pubout", "-out", self.public_pem],
                       check=True)

    def tearDown(self):
        self.scratch.cleanup()

    def sign(self, key=None, folder=None):
        return subprocess.run([SIGN_RELEASE, key or TEST_KEY, folder or self.server],
                              capture_output=True, text=True)

    def openssl_verifies(self, path, signature_path):
        run = subprocess.run(["openssl", "pkeyutl", "-verify", "-rawin", "-pubin", "-inkey",
                              self.public_pem, "-in", path, "-sigfile", signature_path],
                             capture_output=True, text=True)
        return run.returncode == 0

    def version(self, name):
        return read(os.path.join(self.server, "versions", name))

    def test_writes_hash_lines_signatures_and_the_list(self):
        run = self.sign()
        self.assertEqual(run.returncode, 0, run.stderr)
        packages = os.path.join(self.server, "packages")
        expected = {
            "QVC2_current.txt": [b"2.1.3", b"http://127.0.0.1:8080/packages/QVC2_@@@.exe",
                                 b"sha256 " + sha256sum(os.path.join(packages, "QVC2_213.exe")).encode(),
                                 b"Release notes."],
            "QPG_current.txt": [b"1.6.2", b"http://127.0.0.1:8080/maker/packages/QPG_setup.exe",
                                b"sha256 " + sha256sum(os.path.join(packages, "QPG_setup.exe")).encode(),
                                b"Notes."],
            "QTUNE_current.txt": [b"1.0.9", b"http://elsewhere.example/QTUNE_109.exe"],
        }
        for name, lines in expected.items():
            with self.subTest(name):
                data = self.version(name)
                self.assertEqual(data, b"".join(line + b"\r\n" for line in lines))
        # LF kept; the second line gets its line end before the sha256 line.
        self.assertEqual(self.version("TWI_current.txt"),
                         b"1.3.0\nhttp://127.0.0.1:8080/packages/TWInstUpd@@@.exe\nsha256 "
                         + sha256sum(os.path.join(packages, "TWInstUpd130.exe")).encode() + b"\n")
        self.assertIn("QTUNE_current.txt", run.stderr)
        runtimes = os.path.join(self.server, "runtimes")
        listing = read(os.path.join(runtimes, "SHA256SUMS")).decode()
        names = ["MSCOMCTL.zip", "SAPI/sapi5.zip", "WINXP/RICHED.zip"]
        self.assertEqual(listing, "".join("%s  %s\n" % (sha256sum(os.path.join(runtimes, n)), n)
                                          for n in names))
        check = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=runtimes,
                               capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        signed = [os.path.join(self.server, "versions", n) for n in
                  ("QVC2_current.txt", "QPG_current.txt", "QTUNE_current.txt", "TWI_current.txt")]
        signed.append(os.path.join(runtimes, "SHA256SUMS"))
        for path in signed:
            with self.subTest(path):
                self.assertEqual(len(read(path + ".sig")), 64)
                self.assertTrue(self.openssl_verifies(path, path + ".sig"))
        # The check can fail: a changed file no longer verifies.
        with open(signed[0], "ab") as f:
            f.write(b" ")
        self.assertFalse(self.openssl_verifies(signed[0], signed[0] + ".sig"))

    def test_a_second_run_changes_nothing(self):
        self.assertEqual(self.sign().returncode, 0)
        before = snapshot(self.server)
        run = self.sign()
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(snapshot(self.server), before)

    def test_a_changed_package_updates_its_line_and_signature(self):
        self.assertEqual(self.sign().returncode, 0)
        package = os.path.join(self.server, "packages", "QPG_setup.exe")
        write(package, b"installer of qPage, rebuilt")
        self.assertEqual(self.sign().returncode, 0)
        version = os.path.join(self.server, "versions", "QPG_current.txt")
        lines = read(version).split(b"\r\n")
        self.assertEqual(lines[2], b"sha256 " + sha256sum(package).encode())
        self.assertEqual(sum(1 for line in lines if line.startswith(b"sha256")), 1)
        self.assertTrue(self.openssl_verifies(version, version + ".sig"))

    def test_refusals(self):
        missing = os.path.join(self.scratch.name, "missing")
        empty = os.path.join(self.scratch.name, "empty")
        os.makedirs(empty)
        cases = [
            ("missing key", dict(key=missing), "no key file"),
            ("a public key as the key", dict(key=self.public_pem), "not an unencrypted PEM private key"),
            ("missing folder", dict(folder=missing), "no folder"),
            ("a folder with nothing to sign", dict(folder=empty), "nothing to sign"),
        ]
        for name, arguments, message in cases:
            with self.subTest(name):
                run = self.sign(**arguments)
                self.assertEqual(run.returncode, 2)
                self.assertIn(message, run.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.server, "runtimes", "SHA256SUMS")))


if __name__ == "__main__":
    SIGN_RELEASE, TEST_KEY = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
