#!/usr/bin/env python3
"""The choices of tools/setup.sh, and the Wine decided after it, with no network and
nothing installed: setup.sh runs on a copy of tools/ with a PATH of stubs
(setup_stub.py) for apt-get, apt-cache, apt-helper, dpkg, dpkg-query, dpkg-deb, id, node
and npm, plus the plain tools it needs. Each row is one machine and mirror; it checks
the lines printed, the Wine chosen and the calls made.

    tests/tools/setup_test.py SOURCE_DIR WORK_DIR
"""

import json
import os
import re
import shutil
import subprocess
import sys

SOURCE, WORK = sys.argv[1], sys.argv[2]
HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = ["bash", "cat", "chmod", "dirname", "grep", "mktemp", "python3", "rm", "sed", "sort",
         "tail", "tee", "tr", "uname"]
STUBS = {"apt-get": "setup_stub.py", "apt-cache": "setup_stub.py", "apt-helper": "setup_stub.py",
         "dpkg": "setup_stub.py", "dpkg-deb": "setup_stub.py", "node": "setup_stub.py",
         "npm": "setup_stub.py", "dpkg-query": "setup_stub.sh", "id": "setup_stub.sh"}


def os_codename():
    with open("/etc/os-release") as f:
        return re.search(r"^VERSION_CODENAME=(\S+)$", f.read(), re.M).group(1)


T = re.escape(os_codename())
GST = r"libgstreamer-plugins-base1\.0-0"
TWIN_URI = ("https://deb.debian.org/debian-security/pool/updates/main/g/gst-plugins-base1.0/"
            "libgstreamer-plugins-base1.0-0_1.22.0-3%2bdeb12u7_i386.deb")


def apt_get(args, status=0, output="", installs=()):
    return {"command": "apt-get", "args": args, "status": status, "output": output,
            "installs": list(installs)}


# The mirror whose i386 list of security updates is stale: the update fails, the 32-bit
# Wine as the lists have it is broken, with the point release's versions only the twin
# of the amd64 security update of gstreamer's plugins is missing.
UPDATE_FAILS = apt_get("update", 100,
                       "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/"
                       "main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). "
                       "Mirror sync in progress?\n"
                       "E: Some index files failed to download. They have been ignored, or old ones used instead.\n")
UPDATE_WORKS = apt_get("update")
PLAIN_BROKEN = apt_get("-s install --no-install-recommends wine32:i386", 100,
                       "The following packages have unmet dependencies:\n"
                       " libcurl4:i386 : Depends: libssl3:i386 (>= 3.0.0) but it is not going to be installed\n"
                       "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages.\n")
NEEDS_TWIN = apt_get("-s install --no-install-recommends -t %s wine32:i386" % T, 100,
                     "The following packages have unmet dependencies:\n"
                     " libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not going to be installed\n"
                     "E: Unable to correct problems, you have held broken packages.\n")
NOT_IN_LISTS = {"command": "apt-cache", "args": r"show %s:i386=1\.22\.0-3\+deb12u7" % GST}
IN_LISTS = dict(NOT_IN_LISTS, output="Package: libgstreamer-plugins-base1.0-0\nVersion: 1.22.0-3+deb12u7\n")
PRINT_URIS = apt_get(r"download --print-uris %s:amd64=1\.22\.0-3\+deb12u7" % GST, 0,
                     "'http://deb.debian.org/debian-security/pool/updates/main/g/gst-plugins-base1.0/"
                     "libgstreamer-plugins-base1.0-0_1.22.0-3%2bdeb12u7_amd64.deb' "
                     "libgstreamer-plugins-base1.0-0_1.22.0-3+deb12u7_amd64.deb 933792 SHA256:e602ec57\n")
FETCH_404 = {"command": "apt-helper", "args": r"download-file %s \S+" % re.escape(TWIN_URI), "status": 100,
             "output": "Err:1 %s\n  404  Not Found [IP: 203.0.113.80 443]\n"
                       "E: Failed to fetch %s  404  Not Found [IP: 203.0.113.80 443]\n" % (TWIN_URI, TWIN_URI)}
FETCH_WORKS = dict(FETCH_404, status=0, output="Get:1 %s [969 kB]\n" % TWIN_URI,
                   deb="Package: libgstreamer-plugins-base1.0-0\nVersion: 1.22.0-3+deb12u7\nArchitecture: i386")
FETCH_OTHER = dict(FETCH_WORKS, deb="Package: libgstreamer-plugins-base1.0-0\nVersion: 1.22.0-3+deb12u6\nArchitecture: i386")
# A safe plan: it adds packages and upgrades one.
SAFE_PLAN = ("Inst libssl3 [3.0.19-1~deb12u2] (3.0.20-1~deb12u2 Debian:12.15/oldstable [amd64])\n"
             "Inst wine32:i386 (8.0~repack-4 Debian:12.15/oldstable [i386])\n")
WITH_TWIN = r"-t %s wine32:i386 \S+/libgstreamer-plugins-base1\.0-0_i386\.deb" % T
WITH_LISTED_TWIN = r"-t %s wine32:i386 %s:i386=1\.22\.0-3\+deb12u7" % (T, GST)


def plan(args, output=SAFE_PLAN):
    return [apt_get("-s install --no-install-recommends " + args, 0, output),
            apt_get("install -y --no-install-recommends --no-remove " + args, 0, installs=["wine32:i386"])]


FELL_BACK = "setup.sh: the 32-bit Wine, wine32:i386, cannot be installed: %s; TapTally takes the 64-bit way"
WINE32 = "Wine: the 32-bit TapTally.exe under 32-bit Wine (this machine runs 32-bit x86 programs)"
WINE64 = ("Wine: the 64-bit TapTally.exe under 64-bit Wine (this machine runs 32-bit x86 programs, but its "
          "32-bit Wine, wine32:i386, is not installed)")
INSTALLS_WINE32 = r"apt-get install -y .*wine32:i386.*"

# name, machine, expected. A machine: absent packages, uid, rules, web (None, "stale" or
# "fresh"), commands missing from PATH, environment. Expected: exit status, lines said,
# the Wine, calls made (regexes) and calls not made.
ROWS = [
    ("stale i386 list, the twin cannot be fetched: 64-bit Wine",
     dict(absent=["wine32:i386", "valgrind"], architectures=[],
          rules=[UPDATE_FAILS, apt_get("install -y --no-install-recommends valgrind", installs=["valgrind"]),
                 PLAIN_BROKEN, NEEDS_TWIN, NOT_IN_LISTS, PRINT_URIS, FETCH_404]),
     dict(status=0, tier="64",
          says=["setup.sh: installing valgrind wine32:i386",
                "setup.sh: some package lists could not be fetched (above); going on with those apt has",
                "setup.sh: wine32:i386 as the package lists have it: libcurl4:i386 : Depends: libssl3:i386 "
                "(>= 3.0.0) but it is not going to be installed; trying the versions of the %s point release"
                % os_codename(),
                "setup.sh: fetching libgstreamer-plugins-base1.0-0 1.22.0-3+deb12u7 for i386, missing from the "
                "package lists, from " + TWIN_URI,
                FELL_BACK % ("the i386 twin of libgstreamer-plugins-base1.0-0 1.22.0-3+deb12u7 could not be "
                             "fetched: Failed to fetch %s 404 Not Found [IP: 203.0.113.80 443]" % TWIN_URI),
                WINE64],
          calls=[r"dpkg --add-architecture i386", r"apt-get install -y --no-install-recommends valgrind"],
          no_calls=[INSTALLS_WINE32])),
    ("stale i386 list, the twin fetched over https: 32-bit Wine",
     dict(absent=["wine32:i386"],
          rules=[UPDATE_FAILS, PLAIN_BROKEN, NEEDS_TWIN, NOT_IN_LISTS, PRINT_URIS, FETCH_WORKS] + plan(WITH_TWIN)),
     dict(status=0, tier="32", says=["setup.sh: installing wine32:i386", WINE32],
          calls=[r"dpkg-deb -f \S+_i386\.deb Package Version Architecture",
                 r"apt-get install -y --no-install-recommends --no-remove " + WITH_TWIN],
          no_calls=[r"dpkg --add-architecture.*"])),
    ("the twin fetched is another version: 64-bit Wine",
     dict(absent=["wine32:i386"],
          rules=[UPDATE_FAILS, PLAIN_BROKEN, NEEDS_TWIN, NOT_IN_LISTS, PRINT_URIS, FETCH_OTHER] + plan(WITH_TWIN)),
     dict(status=0, tier="64",
          says=[FELL_BACK % ("%s is not libgstreamer-plugins-base1.0-0 1.22.0-3+deb12u7 for i386" % TWIN_URI),
                WINE64],
          no_calls=[INSTALLS_WINE32])),
    ("the twin is in the lists: asked for at its version",
     dict(absent=["wine32:i386"], rules=[UPDATE_WORKS, PLAIN_BROKEN, NEEDS_TWIN, IN_LISTS] + plan(WITH_LISTED_TWIN)),
     dict(status=0, tier="32", says=[WINE32],
          calls=[r"apt-get install -y --no-install-recommends --no-remove " + WITH_LISTED_TWIN],
          no_calls=[r"apt-helper.*", r"apt-get download.*"])),
    ("the point release's versions alone do: 32-bit Wine",
     dict(absent=["wine32:i386"], rules=[UPDATE_FAILS, PLAIN_BROKEN] + plan("-t %s wine32:i386" % T)),
     dict(status=0, tier="32", says=[WINE32], no_calls=[r"apt-helper.*", r"apt-get download.*"])),
    ("the lists as they are do: no point release asked for",
     dict(absent=["wine32:i386"], rules=[UPDATE_WORKS] + plan("wine32:i386")),
     dict(status=0, tier="32", says=[WINE32], no_calls=[r".* -t .*"])),
    ("a plan that downgrades is refused: 64-bit Wine",
     dict(absent=["wine32:i386"],
          rules=[UPDATE_FAILS, PLAIN_BROKEN] + plan(
              "-t %s wine32:i386" % T,
              "Inst libssl3 [3.0.22-1~deb12u2] (3.0.20-1~deb12u2 Debian:12.15/oldstable [amd64])\n")),
     dict(status=0, tier="64",
          says=[FELL_BACK % "it would downgrade libssl3 from 3.0.22-1~deb12u2 to 3.0.20-1~deb12u2", WINE64],
          no_calls=[INSTALLS_WINE32])),
    ("a plan that removes is refused: 64-bit Wine",
     dict(absent=["wine32:i386"],
          rules=[UPDATE_WORKS, PLAIN_BROKEN] + plan("-t %s wine32:i386" % T,
                                                    "Remv libwine [8.0~repack-4]\n" + SAFE_PLAN)),
     dict(status=0, tier="64", says=[FELL_BACK % "it would remove libwine", WINE64],
          no_calls=[INSTALLS_WINE32])),
    ("the install itself fails: 64-bit Wine with apt's reason",
     dict(absent=["wine32:i386"],
          rules=[UPDATE_WORKS] + [
              rule for args in ("wine32:i386", "-t %s wine32:i386" % T) for rule in (
                  apt_get("-s install --no-install-recommends " + args, 0, SAFE_PLAN),
                  apt_get("install -y --no-install-recommends --no-remove " + args, 100,
                          "E: Failed to fetch http://deb.debian.org/debian/pool/main/w/wine/"
                          "wine32_8.0~repack-4_i386.deb  Connection timed out\n"))]),
     dict(status=0, tier="64",
          says=[FELL_BACK % ("Failed to fetch http://deb.debian.org/debian/pool/main/w/wine/"
                             "wine32_8.0~repack-4_i386.deb Connection timed out"), WINE64])),
    ("not root, only the 32-bit Wine missing: 64-bit Wine",
     dict(absent=["wine32:i386"], uid=1000),
     dict(status=0, tier="64",
          says=[FELL_BACK % "installing it needs root (run 'sudo tools/setup.sh')", WINE64],
          no_calls=[r"apt-get.*", r"dpkg --add-architecture.*"])),
    ("not root, other packages missing: setup fails",
     dict(absent=["wine32:i386", "cppcheck"], uid=1000),
     dict(status=1, tier=None,
          says=["setup.sh: these packages are missing and installing them needs root: run 'sudo tools/setup.sh'"],
          no_calls=[r"apt-get.*"])),
    ("a package that cannot be installed ends setup",
     dict(absent=["valgrind"],
          rules=[UPDATE_FAILS, apt_get("install -y --no-install-recommends valgrind", 100,
                                       "E: Unable to locate package valgrind\n")]),
     dict(status=100, tier=None, says=["E: Unable to locate package valgrind"])),
    ("nothing missing: nothing installed, a node of the user's own kept",
     dict(absent=["nodejs", "npm"], web="fresh"),
     dict(status=0, tier="32", says=[WINE32], exact=True,
          no_calls=[r"apt-get.*", r"apt-cache.*", r"dpkg --add-architecture.*", r"npm.*"])),
    ("TAPTALLY_WINE=64: no i386 asked for",
     dict(absent=["wine32:i386"], architectures=[],
          env={"TAPTALLY_WINE": "64", "TAPTALLY_WINE_WANTED": None}),
     dict(status=0, tier="64", says=["Wine: the 64-bit TapTally.exe under 64-bit Wine (TAPTALLY_WINE=64 asks for it)"],
          exact=True, no_calls=[r"apt-get.*", r"dpkg --add-architecture.*"])),
    ("no node or npm on PATH: Debian's installed",
     dict(absent=["nodejs", "npm"], without=["node", "npm"],
          rules=[UPDATE_WORKS, apt_get("install -y --no-install-recommends nodejs npm", installs=["nodejs", "npm"])]),
     dict(status=0, tier="32", says=["setup.sh: installing nodejs npm", WINE32],
          calls=[r"apt-get install -y --no-install-recommends nodejs npm"])),
    ("npm packages older than the lock file: npm ci, as any user",
     dict(absent=[], uid=1000, web="stale"),
     dict(status=0, tier="32", says=["setup.sh: installing the web page's npm packages (npm ci in web/)", WINE32],
          calls=[r"npm ci", r"  \(npm in web\)"], no_calls=[r"apt-get.*"])),
    ("no npm packages yet: npm ci",
     dict(absent=[], web="none yet"),
     dict(status=0, tier="32", calls=[r"npm ci"])),
]


def make_machine(folder, machine):
    repo = os.path.join(folder, "repo")
    os.makedirs(os.path.join(repo, "tools"))
    for script in ("setup.sh", "platform.sh"):
        shutil.copy2(os.path.join(SOURCE, "tools", script), os.path.join(repo, "tools", script))
    web = machine.get("web")
    if web:
        os.makedirs(os.path.join(repo, "web"))
        lock = os.path.join(repo, "web", "package-lock.json")
        with open(lock, "w") as f:
            f.write("{}\n")
        if web != "none yet":
            modules = os.path.join(repo, "web", "node_modules")
            os.makedirs(modules)
            os.utime(lock, (1000000000, 1000000000))
            os.utime(modules, (1000000000 + (-10 if web == "stale" else 10),) * 2)
    path = os.path.join(folder, "bin")
    os.makedirs(path)
    for tool in TOOLS:
        os.symlink(shutil.which(tool), os.path.join(path, tool))
    for stub, script in STUBS.items():
        if stub not in machine.get("without", []):
            os.symlink(os.path.join(HERE, script), os.path.join(path, stub))
    files = {"scenario.json": json.dumps({"rules": machine.get("rules", [])}),
             "state.json": json.dumps({"architectures": machine.get("architectures", ["i386"])}),
             "absent.txt": "".join(p + "\n" for p in machine["absent"]),
             "uid.txt": "%d\n" % machine.get("uid", 0),
             "versions.txt": "libgstreamer-plugins-base1.0-0=1.22.0-3+deb12u7\n"}
    for name, text in files.items():
        with open(os.path.join(folder, name), "w") as f:
            f.write(text)
    env = {"PATH": path, "STUB_DIR": folder, "HOME": folder, "TMPDIR": folder, "LC_ALL": "C",
           "TAPTALLY_WINE_WANTED": "32", "TAPTALLY_WINE_WHY": "this machine runs 32-bit x86 programs"}
    for name, value in machine.get("env", {}).items():
        if value is None:
            env.pop(name)
        else:
            env[name] = value
    return repo, env


def check_row(index, name, machine, expected):
    folder = os.path.join(WORK, "row%02d" % index)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    repo, env = make_machine(folder, machine)
    result = subprocess.run(
        [shutil.which("bash"), "-c", '. tools/platform.sh && tools/setup.sh && wine_kind && echo "tier $TAPTALLY_WINE"'],
        cwd=repo, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, universal_newlines=True, timeout=60)
    calls = []
    if os.path.exists(os.path.join(folder, "calls.log")):
        with open(os.path.join(folder, "calls.log")) as f:
            calls = f.read().splitlines()
    lines = result.stdout.splitlines()
    tier = lines.pop()[5:] if lines and lines[-1].startswith("tier ") else None
    faults = []
    if result.returncode != expected["status"]:
        faults.append("exit status %d, not %d" % (result.returncode, expected["status"]))
    if tier != expected["tier"]:
        faults.append("Wine %s, not %s" % (tier, expected["tier"]))
    for line in expected.get("says", []):
        if line not in lines:
            faults.append("did not say: " + line)
    if expected.get("exact") and lines != expected["says"]:
        faults.append("said more than %s" % expected["says"])
    if sum(line.startswith("Wine: ") for line in lines) > 1:
        faults.append("named the Wine more than once")
    for pattern in expected.get("calls", []):
        if not any(re.fullmatch(pattern, call) for call in calls):
            faults.append("no call " + pattern)
    for pattern in expected.get("no_calls", []) + [r".*the stub has no rule.*"]:
        for call in calls + lines:
            if re.fullmatch(pattern, call):
                faults.append("unexpected: " + call)
    if faults:
        print("FAILED %s:\n  %s\n  output:\n    %s\n  calls:\n    %s" % (
            name, "\n  ".join(faults), "\n    ".join(result.stdout.splitlines()), "\n    ".join(calls)))
        return False
    print("ok     " + name)
    return True


def main():
    failed = [name for index, (name, machine, expected) in enumerate(ROWS)
              if not check_row(index, name, machine, expected)]
    print("%d of %d rows passed" % (len(ROWS) - len(failed), len(ROWS)))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
