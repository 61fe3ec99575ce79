#!/usr/bin/env python3
"""Stands in for apt-get, apt-cache, apt-helper, dpkg, dpkg-deb, node and npm in the test
of tools/setup.sh (one symlink per command; dpkg-query and id are setup_stub.sh). Logs
every call, answers from the row's rules, and installs nothing: an install takes the
row's packages off its list of absent ones.

STUB_DIR names the row's folder: scenario.json (the rules), state.json (the foreign
architectures) and absent.txt (the packages not installed) are read from it, calls.log
is written into it.
"""

import json
import os
import re
import sys

DIR = os.environ["STUB_DIR"]


def load(name):
    with open(os.path.join(DIR, name)) as f:
        return json.load(f)


def main():
    command = os.path.basename(sys.argv[0])
    args = sys.argv[1:]
    with open(os.path.join(DIR, "calls.log"), "a") as log:
        log.write(" ".join([command] + args) + "\n")
    scenario = load("scenario.json")
    state = load("state.json")

    if command == "dpkg" and args == ["--print-foreign-architectures"]:
        print("\n".join(state["architectures"]))
        return 0
    if command == "dpkg" and len(args) == 2 and args[0] == "--add-architecture":
        state["architectures"].append(args[1])
        save(state)
        return 0
    if command == "dpkg" and args[:1] == ["--compare-versions"]:
        # A pure comparison: the real one.
        import subprocess
        return subprocess.run(["/usr/bin/dpkg"] + args).returncode
    if command == "dpkg-deb" and args[:1] == ["-f"]:
        with open(args[1]) as deb:
            sys.stdout.write(deb.read())
        return 0
    if command == "npm":
        with open(os.path.join(DIR, "calls.log"), "a") as log:
            log.write("  (npm in %s)\n" % os.path.relpath(os.getcwd(), os.path.join(DIR, "repo")))
        return 0

    line = " ".join(args)
    for rule in scenario.get("rules", []):
        if rule["command"] == command and re.fullmatch(rule["args"], line):
            if rule.get("installs"):
                with open(os.path.join(DIR, "absent.txt")) as f:
                    absent = f.read().split()
                with open(os.path.join(DIR, "absent.txt"), "w") as f:
                    f.write("".join(p + "\n" for p in absent if p not in rule["installs"]))
            if "deb" in rule:  # apt-helper download-file URI FILE
                with open(args[2], "w") as deb:
                    deb.write(rule["deb"])
            sys.stdout.write(rule.get("output", ""))
            return rule.get("status", 0)
    with open(os.path.join(DIR, "calls.log"), "a") as log:
        log.write("E: the stub has no rule for: %s %s\n" % (command, line))
    sys.stderr.write("E: the stub has no rule for: %s %s\n" % (command, line))
    return 100


def save(state):
    with open(os.path.join(DIR, "state.json"), "w") as f:
        json.dump(state, f)


if __name__ == "__main__":
    sys.exit(main())
