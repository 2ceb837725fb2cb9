#!/usr/bin/env python3
"""Lays out the demo maker's two web servers from the stand-ins of a build.

  OUT/main/versions/<FILE>_current.txt   a version file for each of the sixteen programs,
                                         some naming their package with "@@@", some with
                                         the address written out; TWI_current.txt announces
                                         the install center's 1.3.0
  OUT/main/packages/...                  the programs' installers: the stand-in installer
                                         told which program and version to install
  OUT/main/packages/TWInstUpd130.exe     the install center's update package
  OUT/main/runtimes/, OUT/second/runtimes/  the runtime packages (tests/fixtures/packages)

The version files hold full addresses, so the servers' base addresses are given.

usage: demo-site.py FIXTURES_DIR OUT_DIR MAIN_BASE_URL
"""
import os
import shutil
import sys

# (list text, version file prefix, version, whether the address uses the placeholder)
PROGRAMS = [
    ("ShelfCat2", "SHC2", "2.4.1", True),
    ("TickPlot", "TKP", "1.9.3", False),
    ("Callclock", "CALLCLK", "1.1.0", True),
    ("Nudge Me Now", "NMN2", "2.0.7", False),
    ("Tracer2", "TRC2", "2.3.0b", True),
    ("qPage", "QPG", "1.6.2", False),
    ("qBorrow", "QBRW", "1.2.5", True),
    ("qSite", "QSITE", "3.1.0", False),
    ("qMirror", "QMIRROR", "1.4.4", True),
    ("qPost", "QPS", "2.2.0", False),
    ("qTune", "QTUNE", "1.0.9", True),
    ("qVoice", "QVC1", "1.5.1", False),
    ("qVoice2", "QVC2", "2.1.3", True),
    ("qAirway", "QAW", "1.3.0", False),
    ("qAlarm", "QALM", "1.7.2", True),
    ("qNovel4", "QNV4", "4.0.2", True),
]


def version_digits(version):
    """1.2.0b gives 120b: the parts written together, as the placeholder stands for."""
    return "".join(version.split("."))


def installer(fixtures, program, version):
    with open(os.path.join(fixtures, "programs", "StandInInstaller.exe"), "rb") as f:
        data = f.read()
    line = "\r\nTWI-STANDIN-INSTALLER program=%s;version=%s;exit=0;seconds=2\r\n" % (program, version)
    return data + line.encode("ascii")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("ascii"))


def main():
    fixtures, out, main_base = sys.argv[1], sys.argv[2], sys.argv[3]
    for server in ("main", "second"):
        shutil.copytree(os.path.join(fixtures, "servers", server), os.path.join(out, server),
                        dirs_exist_ok=True)
    main = os.path.join(out, "main")
    for program, prefix, version, placeholder in PROGRAMS:
        if placeholder:
            package = prefix + "_" + version_digits(version) + ".exe"
            address = main_base + "packages/" + prefix + "_@@@.exe"
        else:
            package = prefix + "_setup.exe"
            address = main_base + "packages/" + package
        write(os.path.join(main, "packages", package), installer(fixtures, program, version))
        write(os.path.join(main, "versions", prefix + "_current.txt"),
              "%s\r\n%s\r\nRelease notes for %s %s.\r\n" % (version, address, program, version))
    shutil.copyfile(os.path.join(fixtures, "update", "TWInstUpd.exe"),
                    os.path.join(main, "packages", "TWInstUpd130.exe"))
    write(os.path.join(main, "versions", "TWI_current.txt"),
          "1.3.0\r\n%spackages/TWInstUpd@@@.exe\r\nThe install center 1.3.0.\r\n" % main_base)
    return 0


if __name__ == "__main__":
    sys.exit(main())
