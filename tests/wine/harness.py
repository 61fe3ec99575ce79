"""Runs Windows programs under Wine on a private X display for the tests: the 32-bit exe
under 32-bit Wine, or on a machine that cannot run 32-bit code the 64-bit exe under 64-bit
Wine (--bits, which the build gives).

A Session owns one Xvfb server with a display number of its own, one Wine server for a
private prefix under the build directory, and every process started in it. The prefix
is made once (wineboot) and kept for later runs; HOME and the XDG folders point into
the work directory as well, so the desktop and programs-menu folders that Wine links
into the prefix are private too and the real user's home is never touched.

Input is real X input from xdotool; what the window system holds is read back with
probe.exe, which prints JSON.
"""

import argparse
import fcntl
import json
import os
import shutil
import signal
import subprocess
import sys
import time

SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768
PREFIX_READY = ".taptally-prefix-ready"
TIME_LIMIT_S = 240


def arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, help="the program under test")
    parser.add_argument("--probe", required=True, help="probe.exe")
    parser.add_argument("--work", required=True, help="folder for the prefix and homes")
    parser.add_argument("--artifacts", required=True, help="folder for screenshots")
    parser.add_argument("--helper", action="append", default=[], help="further test programs")
    parser.add_argument("--bits", type=int, choices=(32, 64), default=32,
                        help="the word size of the exe and so of the Wine that runs it")
    args = parser.parse_args()
    args.exe = os.path.abspath(args.exe)
    args.probe = os.path.abspath(args.probe)
    args.helper = [os.path.abspath(helper) for helper in args.helper]
    print("under %d-bit Wine: %s" % (args.bits, args.exe), flush=True)
    return args


# Debian's wine script would take the 32-bit loader whenever it is installed, even on a
# machine that cannot run it; the loader is named for the exe's word size instead.
LOADERS = {32: "/usr/lib/wine/wine", 64: "/usr/lib/wine/wine64"}


def wait_for(what, condition, timeout=30.0, interval=0.1):
    """Polls condition() until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TimeoutError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class Session:
    def __init__(self, name, args):
        self.name = name
        self.args = args
        self.bits = getattr(args, "bits", 32)
        self.loader = LOADERS[self.bits]
        self.work = os.path.abspath(args.work)
        self.prefix = os.path.join(self.work, "prefix")
        self.home = os.path.join(self.work, "home")
        self.artifacts = os.path.abspath(args.artifacts)
        self._forget_display()
        self.lock = None
        self.programs = []
        self.log_path = os.path.join(self.work, name + ".log")
        self.log = None

    # --- start and stop -------------------------------------------------------

    def _forget_display(self):
        """No display is held: forgets the X server and removes its pid file."""
        self.xvfb = None
        self.display = None
        try:
            os.remove(os.path.join(self.work, "xvfb.pid"))
        except OSError:
            pass

    def __enter__(self):
        os.makedirs(self.work, exist_ok=True)
        os.makedirs(self.artifacts, exist_ok=True)
        self.log = open(self.log_path, "w")
        # One session at a time uses the prefix: its Wine server is shared by every
        # program started in it.
        self.lock = open(os.path.join(self.work, "prefix.lock"), "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP, signal.SIGALRM):
            signal.signal(sig, self._interrupted)
        # Give up well before ctest would kill the test, so that the cleanup still runs.
        signal.alarm(TIME_LIMIT_S)
        try:
            self._stop_leftover_display()
            self._start_display()
            self._prepare_prefix()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _interrupted(self, signum, frame):
        print("stopped by signal %d" % signum, flush=True)
        self.close()
        sys.exit(128 + signum)

    def close(self):
        for program in self.programs:
            if program.poll() is None:
                program.kill()
        if self.display is not None:
            subprocess.run(["wineserver", "-k"], env=self.env(), stdout=self.log,
                           stderr=subprocess.STDOUT, timeout=30)
            subprocess.run(["wineserver", "-w"], env=self.env(), timeout=30)
        for program in self.programs:
            try:
                program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        self.programs = []
        if self.xvfb is not None and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        self._forget_display()
        if self.lock is not None:
            self.lock.close()
            self.lock = None
        if self.log is not None:
            self.log.close()
            self.log = None

    def _stop_leftover_display(self):
        """Stops the Xvfb of an earlier session of this work folder that was killed
        before it could clean up (its process id is kept in a file)."""
        pid_file = os.path.join(self.work, "xvfb.pid")
        try:
            with open(pid_file) as f:
                pid = int(f.read())
            with open("/proc/%d/cmdline" % pid, "rb") as f:
                command = f.read().split(b"\0")
        except (OSError, ValueError):
            return
        if command and os.path.basename(command[0]) == b"Xvfb" and b"-displayfd" in command:
            os.kill(pid, signal.SIGTERM)
        os.remove(pid_file)

    def _start_display(self):
        # Xvfb picks a free display number itself and writes it to the pipe.
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             "%dx%dx24" % (SCREEN_WIDTH, SCREEN_HEIGHT), "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=self.log, stderr=subprocess.STDOUT)
        os.close(write_end)
        with open(os.path.join(self.work, "xvfb.pid"), "w") as f:
            f.write(str(self.xvfb.pid))
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start; see " + self.log_path)
                number += chunk
        self.display = ":" + number.decode().strip()
        self.note("display " + self.display)

    def env(self):
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("WINE", "XDG_", "WAYLAND"))}
        env.update({
            "DISPLAY": self.display or "",
            "WINEPREFIX": self.prefix,
            "WINEARCH": "win32" if self.bits == 32 else "win64",
            "WINELOADER": self.loader,
            "WINEDEBUG": "-all",
            # No Mono or Gecko download offers, and no desktop entries for shortcuts.
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_DESKTOP_DIR": os.path.join(self.home, "Desktop"),
            "XDG_RUNTIME_DIR": os.path.join(self.home, ".runtime"),
        })
        return env

    def _prepare_prefix(self):
        # A Wine server left over from a killed session of this prefix would keep its
        # programs (and their old display) alive.
        subprocess.run(["wineserver", "-k"], env=self.env(), stdout=self.log,
                       stderr=subprocess.STDOUT, timeout=30)
        subprocess.run(["wineserver", "-w"], env=self.env(), timeout=30)
        if os.path.exists(os.path.join(self.prefix, PREFIX_READY)):
            return
        self.note("making the Wine prefix " + self.prefix)
        shutil.rmtree(self.prefix, ignore_errors=True)
        shutil.rmtree(self.home, ignore_errors=True)
        for folder in ("Desktop", ".config", ".local/share", ".cache", ".runtime"):
            os.makedirs(os.path.join(self.home, folder), exist_ok=True)
        os.chmod(os.path.join(self.home, ".runtime"), 0o700)
        started = time.monotonic()
        subprocess.run([self.loader, "wineboot", "--init"], env=self.env(), stdout=self.log,
                       stderr=subprocess.STDOUT, check=True, timeout=300)
        subprocess.run(["wineserver", "-w"], env=self.env(), timeout=300)
        open(os.path.join(self.prefix, PREFIX_READY), "w").close()
        self.note("prefix ready after %.1f s" % (time.monotonic() - started))

    def note(self, text):
        self.log.write("[%s] %s\n" % (time.strftime("%H:%M:%S"), text))
        self.log.flush()

    # --- programs ---------------------------------------------------------------

    def windows_path(self, path):
        """The path of a file of the prefix's C: drive or of the Linux tree, as Wine names it."""
        path = os.path.abspath(path)
        drive_c = os.path.join(self.prefix, "drive_c")
        if path.startswith(drive_c + os.sep):
            return "C:" + path[len(drive_c):].replace("/", "\\")
        return "Z:" + path.replace("/", "\\")

    def install(self, exe, folder):
        """Copies a program into a folder of the C: drive (given in Windows form below
        C:\\) and returns the Linux path of the copy; the folder starts out empty."""
        target = os.path.join(self.prefix, "drive_c", *folder.split("\\"))
        shutil.rmtree(target, ignore_errors=True)
        os.makedirs(target)
        copy = os.path.join(target, os.path.basename(exe))
        shutil.copy(exe, copy)
        return copy

    def start(self, exe, *args):
        """Starts a Windows program in the session and returns its process."""
        self.note("start %s %s" % (exe, " ".join(args)))
        program = subprocess.Popen([self.loader, exe] + list(args), env=self.env(),
                                   cwd=os.path.dirname(exe), stdout=self.log,
                                   stderr=subprocess.STDOUT)
        self.programs.append(program)
        return program

    def start_windows(self, path, cwd):
        """Starts a program by its Windows path (as a user would, from C:)."""
        self.note("start %s" % path)
        program = subprocess.Popen([self.loader, path], env=self.env(), cwd=cwd, stdout=self.log,
                                   stderr=subprocess.STDOUT)
        self.programs.append(program)
        return program

    def probe(self, *commands):
        # The output goes through a file, not a pipe: when the probe happens to be the
        # program that starts the Wine server, the server and Wine's own services inherit
        # its output and would hold a pipe open for the rest of the session.
        output = os.path.join(self.work, "probe.out")
        with open(output, "w") as f:
            result = subprocess.run([self.loader, self.args.probe] + list(commands), env=self.env(),
                                    stdout=f, stderr=self.log, timeout=60)
        with open(output) as f:
            text = f.read()
        if result.returncode != 0:
            raise RuntimeError("probe failed with status %d: %s" % (result.returncode, text))
        for line in text.splitlines():
            if line.startswith("{"):
                return json.loads(line)
        raise RuntimeError("probe printed nothing: " + text)

    # --- input and pictures -------------------------------------------------------

    def xdotool(self, *args):
        self.note("xdotool " + " ".join(str(a) for a in args))
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env(), check=True,
                       timeout=60)

    def key(self, *keys):
        self.xdotool("key", "--delay", "80", *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", "60", text)

    def click(self, x, y, button=1, repeat=1, delay_ms=100):
        self.xdotool("mousemove", x, y)
        self.xdotool("click", "--repeat", repeat, "--delay", delay_ms, button)

    def screenshot(self, name):
        path = os.path.join(self.artifacts, name + ".png")
        subprocess.run(["import", "-display", self.display, "-window", "root", path],
                       env=self.env(), check=True, timeout=60)
        self.note("screenshot " + path)
        return path

    def screen_pixels(self, name):
        """Grabs the screen: the result gives the (r, g, b) at (x, y) when called."""
        path = os.path.join(self.work, name + ".rgb")
        subprocess.run(["import", "-display", self.display, "-window", "root",
                        "-depth", "8", "rgb:" + path], env=self.env(), check=True, timeout=60)
        with open(path, "rb") as f:
            return Screen(f.read())


class Screen:
    """The pixels of one grab of the screen, 8-bit RGB, rows from the top."""

    def __init__(self, data):
        self.data = data

    def __call__(self, x, y):
        at = (y * SCREEN_WIDTH + x) * 3
        return tuple(self.data[at:at + 3])

    def region(self, left, top, right, bottom):
        """The bytes of a rectangle (right and bottom edges outside), to compare pictures."""
        return b"".join(self.data[(y * SCREEN_WIDTH + left) * 3:(y * SCREEN_WIDTH + right) * 3]
                        for y in range(top, bottom))


class Checks:
    """Collects failed checks, so that one run reports every difference it finds."""

    def __init__(self, session=None):
        self.session = session
        self.failures = []
        self.count = 0

    def equal(self, what, actual, expected):
        self.count += 1
        if actual != expected:
            self.failures.append("%s: got %r, expected %r" % (what, actual, expected))
            self._report(self.failures[-1])
        return actual == expected

    def true(self, what, condition, detail=""):
        self.count += 1
        if not condition:
            self.failures.append("%s %s" % (what, detail))
            self._report(self.failures[-1])
        return bool(condition)

    def _report(self, text):
        print("FAIL: " + text, flush=True)
        if self.session is not None and self.session.log is not None:
            self.session.note("FAIL: " + text)

    def finish(self):
        print("%d checks, %d failed" % (self.count, len(self.failures)), flush=True)
        return 1 if self.failures else 0
