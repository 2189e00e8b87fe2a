#!/usr/bin/env python3
"""Times vantrel-unpack.exe against tar -xf; see run."""
import os
import random
import shutil
import subprocess
import sys
import time

pack, unpack, wine_run, work, runs, native = sys.argv[1:7]
runs = int(runs)
FILES, TOTAL = 2000, 64 * 1024 * 1024

shutil.rmtree(work, ignore_errors=True)
tree = os.path.join(work, "src", "game")
rng = random.Random(5)
# Sizes spread around the mean, in 40 folders of two levels.
weights = [rng.expovariate(1.0) for _ in range(FILES)]
scale = TOTAL / sum(weights)
sizes = [int(w * scale) for w in weights]
sizes[0] += TOTAL - sum(sizes)
for i, size in enumerate(sizes):
    folder = os.path.join(tree, "d%02d" % (i % 8), "s%d" % (i % 5))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "f%04d.dat" % i), "wb") as f:
        f.write(rng.randbytes(size))
package = os.path.join(work, "game.pkg")
subprocess.run([pack, "create", package, tree], check=True, stdout=subprocess.DEVNULL)
archive = os.path.join(work, "game.tar")
subprocess.run(["tar", "-cf", archive, "-C", os.path.dirname(tree), "game"], check=True)
subprocess.run(["sync"])


def win(path):
    return "Z:" + path.replace("/", "\\")


def fresh(name):
    path = os.path.join(work, name)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


tar_times, ours, walls = [], [], []
for _ in range(runs):
    dest = fresh("tar-out")
    t = time.perf_counter()
    subprocess.run(["tar", "-xf", archive, "-C", dest], check=True)
    tar_times.append(time.perf_counter() - t)

    dest = fresh("vantrel-out")
    t = time.perf_counter()
    run = subprocess.run([wine_run, unpack, "--stats", win(package), win(dest)], stdout=subprocess.PIPE, check=True)
    walls.append(time.perf_counter() - t)
    lines = run.stdout.decode().split()
    stats, values, it = {}, [], iter(lines)
    for word in it:
        if word.isdigit():
            values.append(int(word))
        else:
            stats[word] = next(it)
    # Fixed pauses: 20 ms after each changed value of reading and deciphering,
    # 10 ms after each of writing; the phase ends (25, 50, 100) pause not.
    split = next(i for i, v in enumerate(values) if v > 50)
    sleep_ms = 20 * (split - 2) + 10 * (len(values) - split - 1)
    ours.append((float(stats["elapsed_ms"]) / 1000, sleep_ms / 1000, int(stats["peak_working_set"]),
                 int(stats["peak_pagefile"]), len(values)))

native_times = []
for _ in range(runs):
    dest = fresh("native-out")
    # The package lies in the work folder, one level above the destination.
    run = subprocess.run([native, "../game.pkg", dest], stdout=subprocess.PIPE, check=True)
    native_times.append(float(run.stdout))

# Byte-identical trees, or the figures mean nothing.
diff = subprocess.run(["diff", "-r", os.path.join(work, "tar-out", "game"), os.path.join(work, "vantrel-out")],
                      stdout=subprocess.PIPE)
if diff.returncode != 0:
    print("bench/extract: the unpacked trees differ", file=sys.stderr)
    sys.exit(1)

best = min(ours, key=lambda o: o[0] - o[1])
elapsed, sleeps, working_set, pagefile, posts = best
tar_best = min(tar_times)
size = os.path.getsize(package)
mib = 1024 * 1024
print("package: %d files, %.1f MiB; best of %d runs each" % (FILES, size / mib, runs))
print("tar -xf:                          %.3f s" % tar_best)
print("ExtractPackage (in process):      %.3f s, of which fixed progress pauses %.3f s (%d posts)"
      % (elapsed, sleeps, posts))
print("ExtractPackage without pauses:    %.3f s" % (elapsed - sleeps))
print("vantrel-unpack.exe process wall:  %.3f s (Wine start included)" % min(walls))
print("same unpacking code natively (no Wine, no pauses): %.3f s, %.2f of tar's speed"
      % (min(native_times), tar_best / min(native_times)))
# Wine keeps the commit counter low; the working set holds the body and Wine's own DLLs.
print("peak working set %.1f MiB (PeakPagefileUsage %.1f MiB); limit package + 16 MiB = %.1f MiB: %s"
      % (working_set / mib, pagefile / mib, (size + 16 * mib) / mib,
         "within" if working_set <= size + 16 * mib else "EXCEEDED"))
print("ExtractPackage vs tar -xf: %.2f" % (tar_best / (elapsed - sleeps)))
shutil.rmtree(work, ignore_errors=True)
