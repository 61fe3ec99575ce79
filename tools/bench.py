#!/usr/bin/env python3
"""Builds the benchmark of the native build and of the Windows build this machine can run,
runs it natively (headless stand-in) and under Wine on a private 1920 x 1080 display (the
32-bit exe under 32-bit Wine, or where 32-bit code cannot run the 64-bit exe under 64-bit
Wine, as tools/platform.sh finds), and prints one table of the figures. Where Wine cannot
run the benchmark, the table has the headless column and a line that says why.

    tools/bench.py [cycles, default 2000]

It first prints the throughput of taptally-replay (an optimised native build in
build/replay, the one tools/replay.sh uses; no Wine needed): for recordings in each format,
the processor seconds a one-hour recording of a 1000 Hz mouse takes, beside the floor
measured in the same run (reading the same file with the plainest reader of its format)
and their ratio (YAML's goal judged on two cores, as its file is read ahead in a thread of
its own), the replay's peak memory, and the live test's latency; then
the web page's figures in chromium (the time to handle one message and to draw the
screen, the page's weight gzipped).

The native column is the cost on the headless stand-in (a Debug build that draws into
memory), useful to compare changes; the Wine column is the program on a real Win32
platform. A mouse that reports 8000 times a second sends a message every 125 us; the last
line says whether under Wine the costliest message (half a press and release, or one
movement message) is handled within that time. Figures, not verdicts: it fails only when
a benchmark does not build or run.
"""

import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MESSAGE_BUDGET_US = 125.0

ROWS = [
    ("startup_first", "start-up to end of calibration, first in the process", "us"),
    ("startup_again", "start-up to end of calibration, mean of nine more", "us"),
    ("calibration_ms", "calibration total as the program measures it", "ms"),
    ("paint_1024x768", "full paint, 1024 x 768 screen", "us"),
    ("paint_1920x1080", "full paint, 1920 x 1080 screen", "us"),
    ("left", "left press and release (two messages)", "us"),
    ("middle", "middle press and release (two messages)", "us"),
    ("right", "right press and release (two messages)", "us"),
    ("move", "one movement message", "us"),
    ("value_pair", "  of it: one value pair (three per message)", "us"),
    ("bars", "  of it: the two bars", "us"),
]


REPLAY_SECONDS = "120"  # of recording at 1000 Hz, per synthetic recording
REPLAY_RUNS = "5"  # the best of these counts, for the replay and for each floor
LIVE_PRESSES = "300"  # presses whose error line the live test's latency is measured by
# Format, label, and the most the replay may take beside the reading alone. A YAML file is
# read ahead in a thread of its own, so its goal is judged on two cores: by the longer of
# the two threads' processor times.
TWO_CORES = ("yaml",)
REPLAY_FORMATS = [
    ("yaml", "libinput record (YAML)", "libyaml's event parser", 1.3),
    ("evemu", "evemu-record", "fgets + strtol of the lines", 3.0),
    ("raw", "the kernel's event records", "read of the records", None),
]
LIVE_P99_GOAL_US = 1000


def replay_section():
    replay_build = os.path.join("build", "replay")
    subprocess.run(["cmake", "-S", ".", "-B", replay_build, "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=Release"], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", replay_build, "--target", "replay_bench", "live_bench"],
                   cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    output = subprocess.run([os.path.join(replay_build, "bench", "replay_bench"),
                             REPLAY_SECONDS, REPLAY_RUNS], cwd=ROOT, check=True,
                            stdout=subprocess.PIPE, universal_newlines=True).stdout
    values = dict(line.split(" ", 1) for line in output.splitlines())
    print("replay of %s s at 1000 Hz, processor seconds per hour of recording, best of %s runs"
          % (REPLAY_SECONDS, REPLAY_RUNS))
    print("%-28s %10s %10s %7s %7s %9s  %s" % ("format", "replay", "floor", "ratio", "goal",
                                               "peak MB", "floor measured"))
    for name, label, floor, goal in REPLAY_FORMATS:
        ratio = float(values["replay_%s_ratio" % name])
        if goal is None:
            verdict = "about evemu's: %.1f s" % float(values["replay_evemu_hour_s"])
        elif name in TWO_CORES:
            longer = float(values["replay_%s_longest_thread_ratio" % name])
            verdict = "%.1fx %s on two cores (the longer thread %.2fx; the ratio beside is of " \
                      "both threads' time)" % (goal, "met" if longer <= goal else "MISSED", longer)
        else:
            verdict = "%.1fx %s" % (goal, "met" if ratio <= goal else "MISSED")
        print("%-28s %10.2f %10.2f %7.2f %7s %9.1f  %s; goal %s" % (
            label, float(values["replay_%s_hour_s" % name]),
            float(values["replay_%s_floor_hour_s" % name]), ratio,
            "-" if goal is None else "%.1f" % goal,
            float(values["replay_%s_peak_rss_mb" % name]), floor, verdict))
    print("the longer of the two threads (program, reading ahead): what two free cores would "
          "take: " + "; ".join(
              "%s %.2f s, ratio %.2f" % (
                  name, float(values["replay_%s_longest_thread_hour_s" % name]),
                  float(values["replay_%s_longest_thread_ratio" % name]))
              for name, _, _, _ in REPLAY_FORMATS))
    print("by the clock (a file is read ahead in a second thread; on a busy machine the clock "
          "also counts the others' work): " + "; ".join(
              "%s %.2f s, floor %.2f s, ratio %.2f" % (
                  name, float(values["replay_%s_wall_hour_s" % name]),
                  float(values["replay_%s_floor_wall_hour_s" % name]),
                  float(values["replay_%s_wall_ratio" % name]))
              for name, _, _, _ in REPLAY_FORMATS))
    print("button changes only (YAML): %.2f s per hour, peak %.1f MB; YAML a tenth as long: "
          "peak %.1f MB" % (float(values["replay_buttons_hour_s"]),
                            float(values["replay_buttons_peak_rss_mb"]),
                            float(values["replay_yaml_short_peak_rss_mb"])))
    print()
    live = subprocess.run([os.path.join(replay_build, "bench", "live_bench"), LIVE_PRESSES],
                          cwd=ROOT, check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          universal_newlines=True).stdout
    latency = dict(line.split(" ", 1) for line in live.splitlines())
    p99 = float(latency["live_latency_p99_us"])
    print("live test: a press written into its pipe to its error line printed, %s presses: "
          "median %s us, 99th percentile %s us (goal under %d us: %s)" % (
              LIVE_PRESSES, latency["live_latency_median_us"], latency["live_latency_p99_us"],
              LIVE_P99_GOAL_US, "met" if p99 < LIVE_P99_GOAL_US else "MISSED"))
    print()


WEB_MESSAGES = "2000"  # movement messages sent to the page, 1 ms apart
WEB_BUDGET_US = 200.0  # a fifth of a core at 1000 messages a second


def web_section():
    """TapTally's web page in chromium: the time to handle one message and to draw the
    screen, and the page's weight; skipped, saying why, where the page cannot be built
    or its browser not started."""
    try:
        subprocess.run(["tools/web.sh", "--build"], cwd=ROOT, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        output = subprocess.run(["node", os.path.join("bench", "web_bench.mjs"), WEB_MESSAGES],
                                cwd=ROOT, check=True, stdout=subprocess.PIPE,
                                universal_newlines=True, timeout=600).stdout
    except (OSError, subprocess.SubprocessError) as error:
        print("web page: no figures (%s)" % error)
        print()
        return
    web = dict(line.split(" ", 1) for line in output.splitlines())
    print("web page in chromium (screen %s, clock %s):" % (
        web["web_screen_pixels"], "5 us" if web["web_clock_isolated"] == "1" else "coarse"))
    print("  movement message, 1000 Hz: median %s us, 99th percentile %s us (%s messages; "
          "goal under %.0f us)" % (web["web_move_median_us"], web["web_move_p99_us"],
                                   web["web_move_messages"], WEB_BUDGET_US))
    print("  press or release message:  median %s us, 99th percentile %s us (%s messages)" % (
        web["web_button_median_us"], web["web_button_p99_us"], web["web_button_messages"]))
    print("  drawing the screen once:   median %s us, 99th percentile %s us" % (
        web["web_draw_median_us"], web["web_draw_p99_us"]))
    print("  page weight: %s KB, gzipped %s KB (goal under 400 KB)" % (
        web["web_page_kb"], web["web_page_gzip_kb"]))
    print()
    verdict_section()


def verdict_section():
    """The verdict of a recording dropped on the page: events per second in its worker
    against the native tool on the same file, and the worker's memory after a small and a
    200 MB recording."""
    try:
        output = subprocess.run(["node", os.path.join("bench", "verdict_bench.mjs")], cwd=ROOT,
                                check=True, stdout=subprocess.PIPE, universal_newlines=True,
                                timeout=900).stdout
    except (OSError, subprocess.SubprocessError) as error:
        print("verdict of a dropped recording: no figures (%s)" % error)
        print()
        return
    print("verdict of a dropped recording, in the page's worker (goal: within 2x of the tool):")
    for line in output.splitlines():
        print("  " + line)
    print()


def build(preset):
    subprocess.run(["cmake", "--preset", preset], cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", "--preset", preset, "--target", "taptally_bench"],
                   cwd=ROOT, check=True, stdout=subprocess.DEVNULL)


def figures(command, env=None, stderr=None):
    output = subprocess.run(command, cwd=ROOT, env=env, check=True, stdout=subprocess.PIPE,
                            stderr=stderr, universal_newlines=True).stdout
    values = {}
    for line in output.splitlines():
        name, _, value = line.partition(" ")
        values[name] = float(value)
    missing = [name for name, _, _ in ROWS if name not in values]
    if missing:
        raise SystemExit("%s printed no figure for %s" % (command[0], ", ".join(missing)))
    return values


def costliest_message(values):
    return max(max(values[b] for b in ("left", "middle", "right")) / 2, values["move"])


def wine_kind():
    """32, 64 or "none": the Wine this machine runs, as the scripts found it or find it."""
    kind = os.environ.get("TAPTALLY_WINE")
    if kind and os.environ.get("TAPTALLY_WINE_SAID"):
        return kind
    return subprocess.run(["bash", "-c", ". tools/platform.sh && wine_kind >&2 && echo $TAPTALLY_WINE"],
                          cwd=ROOT, check=True, stdout=subprocess.PIPE,
                          universal_newlines=True).stdout.strip()


def wine_figures(kind, cycles):
    """The figures under Wine, or the reason there are none."""
    if kind not in ("32", "64"):
        return None, "Wine cannot run on this machine (an x86-64 Linux machine is needed)"
    build_dir = "windows" if kind == "32" else "windows64"
    loader = "/usr/lib/wine/wine" if kind == "32" else "/usr/lib/wine/wine64"
    try:
        build(build_dir)
        env = dict(os.environ, WINEDEBUG="-all", WINELOADER=loader,
                   WINEARCH="win32" if kind == "32" else "win64",
                   WINEPREFIX=os.path.join(ROOT, "build", build_dir, "wine", "bench-prefix"))
        # Wine's own notes (a new prefix, the display going away) go to a log.
        log_path = os.path.join(ROOT, "build", build_dir, "wine", "bench.log")
        os.makedirs(os.path.dirname(log_path), exist_ok=True)
        with open(log_path, "w") as log:
            return figures(["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24", loader,
                            os.path.join("build", build_dir, "bench", "taptally_bench.exe"),
                            cycles], env, log), None
    except (OSError, subprocess.CalledProcessError, SystemExit) as error:
        return None, "the benchmark did not run under %s-bit Wine (see build/%s/wine/bench.log): %s" % (
            kind, build_dir, error)


def main():
    cycles = sys.argv[1] if len(sys.argv) > 1 else "2000"
    replay_section()
    web_section()
    build("native")
    native = figures([os.path.join("build", "native", "bench", "taptally_bench"), cycles])
    kind = wine_kind()
    wine, why_not = wine_figures(kind, cycles)
    column = "Wine %s-bit" % kind if wine else "Wine"

    print("%-56s %5s %12s %12s" % ("figure (%s cycles)" % cycles, "unit", "headless", column))
    for name, label, unit in ROWS:
        print("%-56s %5s %12.1f %12s" % (label, unit, native[name],
                                         "%.1f" % wine[name] if wine else "-"))
    if not wine:
        print("No Wine column: " + why_not)
        return
    cost = costliest_message(wine)
    print("%s-bit Wine: costliest message %.1f us, %s the %.0f us of an 8000 Hz mouse" %
          (kind, cost, "within" if cost <= MESSAGE_BUDGET_US else "OVER", MESSAGE_BUDGET_US))


if __name__ == "__main__":
    main()
