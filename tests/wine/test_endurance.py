#!/usr/bin/env python3
"""TapTally under a long run of mixed messages on Wine: tens of thousands of button downs
and ups, moves, resets by key and by command, and error boxes raised and answered, all
posted to the main window by probe.exe in cycles that it waits out. Each cycle's boxes
must be the ones its messages raise. Afterwards the program must still be alive and
answering, with no box open, no more graphics objects and not much more memory than
after the first round, real clicks and keys must still be timed and drawn, and the X
key must end it with status 0."""

import sys
import time

import harness
import program

# The first round meets every kind of box once: Wine keeps what a kind of box loads (its
# icon, its font) after the first showing, so the later rounds are measured against the
# figures after it. Each round is one run of the probe with a seed of its own; a cycle
# posts about 60 messages and lasts at least the trigger value.
FIRST_ROUND_CYCLES = 128
LATER_ROUND_CYCLES = [96, 96, 96]

GDI_SLACK = 3
PAGEFILE_SLACK = 512 * 1024
WORKING_SET_SLACK = 2 * 1024 * 1024

# X button numbers and the panel each one's values appear in.
BUTTON_PANELS = [(1, 0), (2, 1), (3, 2)]

BOX_KINDS = [("up before down", (11, 21, 31)), ("down before up", (12, 22, 32)),
             ("too fast", (10, 20, 30)), ("Reset notice", (0,))]


def drive(session, checks, seed, cycles, totals):
    result = session.probe("drive=%d,%d" % (seed, cycles))["drive"]
    checks.equal("cycles run in round %d" % seed, result["cycles"], cycles)
    checks.equal("problems in round %d" % seed, result["problems"], [])
    print("round %d: %d events (%d downs, %d ups, %d moves, %d resets, %d menu resets), "
          "%d boxes answered, %.1f s" % (seed, result["events"], result["downs"], result["ups"],
                                         result["moves"], result["resets"], result["notices"],
                                         result["boxes_answered"], result["elapsed_ms"] / 1000),
          flush=True)
    for key in ("events", "boxes_answered", "uncertain", "uncertain_raised"):
        totals[key] = totals.get(key, 0) + result[key]
    for code, count in result["raised"].items():
        totals["raised"][int(code)] = totals["raised"].get(int(code), 0) + count


def health(session, checks, when):
    figures = session.probe("health")["health"]
    checks.true("TapTally alive %s" % when, figures["alive"])
    checks.true("main window answers within a second %s" % when, figures["responds"])
    return figures


def gdi_objects(figures):
    """The count of graphics objects and where it comes from: GetGuiResources where it
    counts; Wine answers it with 0, so there the handle table the probe has proved it reads."""
    if figures["gui_gdi"]:
        return figures["gui_gdi"], "GetGuiResources"
    if figures["gdi_table_checked"] and figures["gdi_table"] >= 0:
        return figures["gdi_table"], "Wine's GDI handle table (GetGuiResources gives 0)"
    return None, "nowhere"


def check_growth(checks, first, last):
    gdi_first, source = gdi_objects(first)
    gdi_last, _ = gdi_objects(last)
    print("graphics objects from %s: %s after the first round, %s at the end"
          % (source, gdi_first, gdi_last))
    if checks.true("a count of graphics objects", gdi_first is not None, source):
        checks.true("graphics objects within %d of the first round's" % GDI_SLACK,
                    gdi_last <= gdi_first + GDI_SLACK, "%d -> %d" % (gdi_first, gdi_last))
    for name, slack in (("pagefile", PAGEFILE_SLACK), ("working_set", WORKING_SET_SLACK)):
        print("%s: %.2f MB after the first round, %.2f MB at the end"
              % (name, first[name] / 2**20, last[name] / 2**20))
        if checks.true("%s known" % name, first[name] > 0 and last[name] > 0):
            checks.true("%s within %d KB of the first round's" % (name, slack // 1024),
                        last[name] <= first[name] + slack,
                        "%d -> %d" % (first[name], last[name]))


def check_box_kinds(checks, totals):
    """Every kind of box was raised (a quick pair that took long may raise its box or not:
    those are counted apart)."""
    raised = totals["raised"]
    for kind, codes in BOX_KINDS:
        checks.true("some %s box raised" % kind, any(raised.get(code) for code in codes),
                    str(raised))
    print("boxes by code: %s; quick pairs too slow to be sure of: %d, of which raised: %d"
          % (dict(sorted(raised.items())), totals["uncertain"], totals["uncertain_raised"]))


def check_real_input(app, checks):
    """After the run, the R key clears the panels and real clicks fill them again."""
    app.session.key("r")
    for _, panel in BUTTON_PANELS:
        app.wait_values(panel, shown=False)
    for button, panel in BUTTON_PANELS:
        app.click_quiet_spot(button)
        app.wait_values(panel)
    checks.equal("boxes after the real clicks", app.boxes_after(0.5), [])


def main():
    args = harness.arguments()
    with harness.Session("endurance", args) as session:
        checks = harness.Checks(session)
        app = program.Program(session)
        app.wait_until_settled()
        started = time.monotonic()
        before = health(session, checks, "before the run")
        totals = {"raised": {}}

        drive(session, checks, 1, FIRST_ROUND_CYCLES, totals)
        first = health(session, checks, "after the first round")
        for seed, cycles in enumerate(LATER_ROUND_CYCLES, start=2):
            drive(session, checks, seed, cycles, totals)
        last = health(session, checks, "after the last round")
        checks.equal("boxes open after the run", app.boxes(), [])

        print("%d events, %d boxes answered in %.1f s; before the run: %s graphics objects, "
              "%.2f MB pagefile, %.2f MB working set"
              % (totals["events"], totals["boxes_answered"], time.monotonic() - started,
                 gdi_objects(before)[0], before["pagefile"] / 2**20,
                 before["working_set"] / 2**20), flush=True)
        check_growth(checks, first, last)
        check_box_kinds(checks, totals)
        check_real_input(app, checks)
        app.exit_by_key(checks)
        return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
