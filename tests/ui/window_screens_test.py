"""The three pages as a player sees them: screenshots under Xvfb, checked
against the pictures and text colours each page draws, kept as artefacts."""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vantrel_exe as vx  # noqa: E402

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


def close(a, b, tol=12):
    return all(abs(x - y) <= tol for x, y in zip(a, b))


def matching(shot, left, top, picture, region, tol=12):
    """Share of the region's pixels that equal the picture's at the same place."""
    w, h, rows = picture
    x0, y0, x1, y1 = region
    good = total = 0
    for y in range(y0, y1, 3):
        for x in range(x0, x1, 3):
            total += 1
            good += close(shot.at(left + x, top + y), rows[y][x], tol)
    return good / total


def ink(shot, left, top, rect, colour, tol=40):
    x0, y0, x1, y1 = rect
    return sum(close(shot.at(left + x, top + y), colour, tol) for y in range(y0, y1) for x in range(x0, x1))


WHITE, LIGHT_YELLOW, PALE_YELLOW = (255, 255, 255), (255, 246, 150), (254, 247, 167)


def main():
    ap = argparse.ArgumentParser()
    for a in ("--wine-run", "--exe", "--driver", "--server", "--res", "--out"):
        ap.add_argument(a, required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    pic = {n: vx.read_png(os.path.join(args.res, "skin_%d.png" % n)) for n in (154, 155, 166)}
    vx.ensure_display()
    wine = vx.Wine(args.wine_run, args.driver)
    server = vx.Server(args.server)
    try:
        # The update list answers slowly, so page 2 stays up long enough to be seen.
        server.serve_manifest(vx.manifest().replace(b"list.txt", b"list.txt?stall=25"))
        proc = wine.start(args.exe)
        lines, rc = wine.drive("wait", 30000, "rect", "visible")
        check(rc == 0 and lines[0] == "window visible", "window shown: %r" % lines)
        _, left, top, width, height = lines[1].split()
        left, top = int(left), int(top)
        check((int(width), int(height)) == (455, 325), "window is 455x325")
        check(lines[2] == "visible 1001 1003 1004 1005 1006 1007", "page 0 controls: %s" % lines[2])

        shot = vx.screenshot(os.path.join(args.out, "page0.png"))
        check(matching(shot, left, top, pic[155], (10, 40, 445, 140)) > 0.97, "page 0: banner above the welcome line")
        check(matching(shot, left, top, pic[154], (40, 200, 160, 280)) > 0.97, "page 0: background lower panel")
        check(ink(shot, left, top, (0, 146, 455, 177), LIGHT_YELLOW) > 50, "page 0: welcome line in light yellow")
        check(ink(shot, left, top, (50, 289, 150, 309), WHITE) > 20, "page 0: agreement label in white")

        lines, _ = wine.drive("click", 1007, "enabled", 1004, "enabled", 1006, "click", 1007, "enabled", 1004,
                              "enabled", 1006)
        check([l for l in lines if l.startswith("enabled")] ==
              ["enabled 1004 0", "enabled 1006 0", "enabled 1004 1", "enabled 1006 1"],
              "agreement box disables and enables both ways forward: %r" % lines)

        lines, _ = wine.drive("click", 1006, "visible", "gettext", 1011)
        check(lines[1] == "visible 1001 1003 1004 1008 1009 1010 1011", "page 1 controls: %s" % lines[1])
        check(lines[2] == "text C:\\Program Files\\星辰之门\\", "page 1: default path in the field: %s" % lines[2])
        shot = vx.screenshot(os.path.join(args.out, "page1.png"))
        check(matching(shot, left, top, pic[154], (130, 62, 440, 92)) > 0.97 and
              matching(shot, left, top, pic[154], (20, 275, 380, 322)) > 0.97, "page 1: background, no banner")
        check(ink(shot, left, top, (26, 44, 126, 61), LIGHT_YELLOW) > 20, "page 1: heading in light yellow")
        check(ink(shot, left, top, (40, 100, 100, 120), WHITE) > 20, "page 1: path label in white")
        check(ink(shot, left, top, (40, 128, 290, 148), WHITE) > 40, "page 1: space line in white")

        lines, _ = wine.drive("click", 1010, "visible")
        check(lines[1] == "visible 1001 1003 1004 1005 1006 1007", "back to page 0: %s" % lines[1])
        lines, _ = wine.drive("click", 1004, "visible")
        check(lines[1] == "visible 1000 1001 1002 1003", "page 2 controls: %s" % lines[1])
        shot = vx.screenshot(os.path.join(args.out, "page2.png"))
        check(matching(shot, left, top, pic[166], (10, 40, 445, 185)) > 0.97, "page 2: slide 0 at the top")
        check(ink(shot, left, top, (18, 232, 200, 247), PALE_YELLOW) > 20, "page 2: status text in pale yellow")
        check(ink(shot, left, top, (360, 232, 436, 247), PALE_YELLOW) > 10, "page 2: percentage in pale yellow")

        # Close on page 2 only asks the worker to stop; the window stays until it does.
        lines, _ = wine.drive("click", 1001, "state")
        check(lines[-1] == "window visible", "close on page 2 leaves the window up")
        lines, rc = wine.drive("box", 60000, "ok", "waitgone", 30000, timeout=120)
        rc, output = vx.finish(proc, timeout=60)
        check(rc == 0, "exit code 0 after the cancelled install (%d)" % rc)
        check("online_log status 0" in output, "the window saw status 0")
    finally:
        server.stop()
    print("screenshots in %s" % args.out)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
