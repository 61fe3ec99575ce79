#!/usr/bin/env python3
"""Runs every native test of a build under valgrind's memcheck, one process per test as
ctest runs them, two at a time. A test fails when it fails on its own or when memcheck
finds an invalid read or write, a use of an undefined value or a definite or indirect
leak. Prints the report of each failing test and exits non-zero if any failed.

    tools/valgrind_tests.py [build directory, default build/native]
"""

import concurrent.futures
import json
import os
import subprocess
import sys
import time

VALGRIND = [
    "valgrind", "--quiet", "--error-exitcode=99", "--leak-check=full",
    "--show-leak-kinds=definite,indirect", "--errors-for-leak-kinds=definite,indirect",
    "--child-silent-after-fork=yes",
]
TIMEOUT_S = 900
JOBS = int(os.environ.get("JOBS", "2"))


def native_tests(build):
    listing = subprocess.run(["ctest", "--test-dir", build, "-L", "native",
                              "--show-only=json-v1"], check=True, stdout=subprocess.PIPE,
                             universal_newlines=True).stdout
    tests = []
    for test in json.loads(listing)["tests"]:
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        env = dict(os.environ)
        for setting in properties.get("ENVIRONMENT", []):
            name, _, value = setting.partition("=")
            env[name] = value
        tests.append((test["name"], test["command"], properties.get("WORKING_DIRECTORY"), env))
    return tests


def run(test):
    name, command, directory, env = test
    start = time.monotonic()
    try:
        result = subprocess.run(VALGRIND + command, cwd=directory, env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                universal_newlines=True, timeout=TIMEOUT_S)
        status, output = result.returncode, result.stdout
    except subprocess.TimeoutExpired as expired:
        status, output = "timeout", expired.stdout or ""
    return name, status, output, time.monotonic() - start


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join("build", "native")
    tests = native_tests(build)
    if not tests:
        raise SystemExit("no native tests in %s" % build)
    failed = []
    with concurrent.futures.ThreadPoolExecutor(JOBS) as pool:
        for name, status, output, seconds in pool.map(run, tests):
            verdict = "ok" if status == 0 else "FAILED (%s)" % status
            print("%-90s %s %6.1fs" % (name, verdict, seconds), flush=True)
            if status != 0:
                failed.append(name)
                print(output[-20000:])
    print("%d of %d tests clean under valgrind" % (len(tests) - len(failed), len(tests)))
    if failed:
        print("failed: " + " ".join(failed))
        sys.exit(1)


if __name__ == "__main__":
    main()
