#!/usr/bin/env python3
"""Prints a deb822 entry of the source type (deb-src) for the archive this machine
installs its release from: each enabled binary entry of /etc/apt/sources.list,
/etc/apt/sources.list.d/*.list and *.sources whose suites include the release's own
(VERSION_CODENAME of /etc/os-release) and whose components include "main", with the
same addresses, suites, components and keyring. So the project names no package
server and works with any mirror. Exits 1 when there is no such entry."""
import glob
import re
import sys


def codename():
    for line in open("/etc/os-release"):
        if line.startswith("VERSION_CODENAME="):
            return line.split("=", 1)[1].strip().strip('"')
    return ""


def deb822_entries(path):
    for block in re.split(r"\n\s*\n", open(path).read()):
        fields = {}
        for line in block.splitlines():
            if line.startswith("#") or ":" not in line or line[0].isspace():
                continue
            key, value = line.split(":", 1)
            fields[key.strip().lower()] = value.strip()
        if fields.get("enabled", "yes").lower() == "no":
            continue
        if "deb" in fields.get("types", "").split():
            yield {"uris": fields.get("uris", "").split(), "suites": fields.get("suites", "").split(),
                   "components": fields.get("components", "").split(),
                   "signed-by": fields.get("signed-by", "")}


def one_line_entries(path):
    for line in open(path):
        line = line.split("#", 1)[0].strip()
        match = re.match(r"deb\s+(\[(?P<options>[^\]]*)\]\s+)?(?P<uri>\S+)\s+(?P<suite>\S+)\s*(?P<comps>.*)", line)
        if not match:
            continue
        options = dict(o.split("=", 1) for o in (match.group("options") or "").split() if "=" in o)
        yield {"uris": [match.group("uri")], "suites": [match.group("suite")],
               "components": match.group("comps").split(), "signed-by": options.get("signed-by", "")}


def main():
    release = codename()
    entries = []
    for path in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list")):
        try:
            entries += one_line_entries(path)
        except OSError:
            pass
    for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
        entries += deb822_entries(path)
    chosen = [e for e in entries if release in e["suites"] and "main" in e["components"]]
    if not release or not chosen:
        sys.exit("deb-src-entry: no package source of the release %r with main found; "
                 "add a deb-src entry for it by hand" % release)
    blocks = []
    for entry in chosen:
        block = ["Types: deb-src", "URIs: " + " ".join(entry["uris"]), "Suites: " + release,
                 "Components: main"]
        if entry["signed-by"]:
            block.append("Signed-By: " + entry["signed-by"])
        blocks.append("\n".join(block))
    print("\n\n".join(blocks))


if __name__ == "__main__":
    main()
