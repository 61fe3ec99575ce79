#!/usr/bin/env python3
"""Checks that the TapTally.exe inside a release zip starts under Wine of its word size:
unpacks the zip into a fresh folder, starts the exe with the session helpers of the Wine
tests (private display and prefix of build/windows/wine, or of build/windows64/wine for
the -win64 zip), waits for its main window and the end of the start-up calibration, and
ends it with the X key.

    tools/package_starts.py build/TapTally-<version>-win32.zip
    tools/package_starts.py build/TapTally-<version>-win64.zip
"""

import argparse
import os
import sys
import tempfile
import zipfile

# The helpers are imported from the source tree, which must stay free of Python caches.
sys.dont_write_bytecode = True
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))
import harness  # noqa: E402
import program  # noqa: E402


def main():
    package = os.path.abspath(sys.argv[1])
    bits = 64 if package.endswith("-win64.zip") else 32
    build = os.path.join(ROOT, "build", "windows64" if bits == 64 else "windows")
    with tempfile.TemporaryDirectory() as folder:
        with zipfile.ZipFile(package) as archive:
            archive.extract("TapTally.exe", folder)
        args = argparse.Namespace(
            exe=os.path.join(folder, "TapTally.exe"),
            probe=os.path.abspath(os.path.join(build, "tests", "wine", "probe.exe")),
            work=os.path.join(build, "wine"), artifacts=os.path.join(build, "artifacts"),
            helper=[], bits=bits)
        print("under %d-bit Wine: TapTally.exe of %s" % (bits, os.path.basename(package)))
        with harness.Session("package", args) as session:
            checks = harness.Checks(session)
            app = program.Program(session, folder="TapTallyPackage")
            checks.true("main window of the packaged exe", app.window["visible"])
            app.wait_until_settled()
            checks.equal("boxes after the start", app.boxes_after(1.0), [])
            app.exit_by_key(checks)
            return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
