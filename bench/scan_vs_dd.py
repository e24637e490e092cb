#!/usr/bin/env python3
"""Benchmark: the lost-partition search (korvex-cli scan) against reading the same image with
dd in blocks of one cylinder, in one run on the same file, with the page cache warm and cold.

Like with like: both read every byte of the same file in blocks of one cylinder, both write
their output to /dev/null, both start with the file in the same page-cache state (warm: read
once before the rounds; cold: evicted before each run with posix_fadvise DONTNEED, which fincore
confirms), and the two runs of a round follow each other in alternating order. What remains
different is the program: korvex-cli starts, loads the disk's tables and prints its hits; the
start alone (korvex-cli list on the same image) is timed too and printed.

The image (2 GiB by default) is random data with a FAT32, an ext4 and a swap volume laid out by
sfdisk, so the scan has real hits and its quick test sees noise. Prints the medians and the
ratio scan speed / dd speed (the target is at least 1.0 with a warm cache).

Usage: bench/scan_vs_dd.py [--cli build/bin/korvex-cli] [--image PATH] [--rounds 5] [--keep]
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

GIB = 1 << 30
HEADS, SECTORS = 128, 63  # the geometry the program gives an image of 2 GiB (LBA assist)
CYLINDER_BYTES = HEADS * SECTORS * 512
LAYOUT = ("label: dos\n"
          "start=1MiB, size=256MiB, type=c\n"
          "size=512MiB, type=83\n"
          "size=64MiB, type=82\n")


def run(command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, **kwargs)


def make_image(path, size):
    chunk = 16 << 20
    with open(path, "wb") as f:
        for _ in range(size // chunk):
            f.write(os.urandom(chunk))
    run(["sfdisk", "--no-reread", "--no-tell-kernel", "-q", path], input=LAYOUT.encode())
    work = os.path.dirname(path)
    for start_mib, size_mib, make in ((1, 256, ["mkfs.fat", "-F", "32", "-h", "2048"]),
                                      (257, 512, ["mkfs.ext4", "-q", "-F"]),
                                      (769, 64, ["mkswap", "-q"])):
        volume = os.path.join(work, "volume.img")
        with open(volume, "wb") as f:
            f.truncate(size_mib << 20)
        run(make + [volume])
        with open(volume, "rb") as src, open(path, "r+b") as dst:
            dst.seek(start_mib << 20)
            shutil.copyfileobj(src, dst, 16 << 20)
        os.remove(volume)
    os.sync()


def evict(path):
    with open(path, "rb") as f:
        os.posix_fadvise(f.fileno(), 0, 0, os.POSIX_FADV_DONTNEED)


def cached_share(path):
    """The share of the file in the page cache, from util-linux fincore (None when unknown)."""
    if shutil.which("fincore") is None:
        return None
    out = run(["fincore", "--bytes", "--noheadings", "--output", "RES", path], text=True).stdout.split()
    return int(out[0]) / os.path.getsize(path) if out else None


def timed(command, env=None):
    """Wall time and CPU time (user + system, all threads) of one run."""
    def cpu():
        usage = resource.getrusage(resource.RUSAGE_CHILDREN)
        return usage.ru_utime + usage.ru_stime
    begin, begin_cpu = time.perf_counter(), cpu()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    return time.perf_counter() - begin, cpu() - begin_cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", default=os.path.join(os.path.dirname(__file__), "..", "build", "bin", "korvex-cli"))
    parser.add_argument("--image", help="image to use (made when missing)")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--size-gib", type=int, default=2)
    parser.add_argument("--keep", action="store_true", help="keep a made image")
    args = parser.parse_args()

    scratch = tempfile.mkdtemp(prefix="korvex-bench-")
    image = args.image or os.path.join(scratch, "scan.img")
    if not os.path.exists(image):
        print(f"making {image} ({args.size_gib} GiB) ...", flush=True)
        make_image(image, args.size_gib * GIB)
    env = dict(os.environ, KORVEX_HOME=os.path.join(scratch, "home"))
    scan = [os.path.abspath(args.cli), "--disk", image, "scan", "0", "--json"]
    start_only = [os.path.abspath(args.cli), "--disk", image, "list", "--json"]
    dd = ["dd", f"if={image}", "of=/dev/null", f"bs={CYLINDER_BYTES}"]
    hits = subprocess.run(scan, check=True, capture_output=True, text=True, env=env).stdout.count('"kind":14')
    print(f"image {image}: {os.path.getsize(image) / GIB:.2f} GiB, {hits} file-system hits; "
          f"dd bs={CYLINDER_BYTES} (one cylinder of {HEADS} heads x {SECTORS} sectors)")
    print(f"load before: {os.getloadavg()[0]:.2f} {os.getloadavg()[1]:.2f} {os.getloadavg()[2]:.2f} on {os.cpu_count()} cores")

    target = 1.0
    ratios = {}
    for mode in ("warm", "cold"):
        times = {"dd": [], "scan": []}
        cpu = {"dd": [], "scan": []}
        residues = []
        if mode == "warm":
            timed(dd)  # fill the cache
            starts = [timed(start_only, env)[0] for _ in range(args.rounds)]
            print(f"program start (korvex-cli list on the image): {statistics.median(starts):.3f} s (median)")
        for round_number in range(args.rounds):
            order = [("dd", dd), ("scan", scan)]
            if round_number % 2:
                order.reverse()
            for name, command in order:
                if mode == "cold":
                    evict(image)
                    residues.append(cached_share(image))
                wall, seconds = timed(command, env)
                times[name].append(wall)
                cpu[name].append(seconds)
        size_mb = os.path.getsize(image) / 1e6
        dd_median, scan_median = statistics.median(times["dd"]), statistics.median(times["scan"])
        # Each round's two runs follow each other, so their ratio suffers least from the load of others.
        pair_ratio = statistics.median(d / s for d, s in zip(times["dd"], times["scan"]))
        residue = max((r for r in residues if r is not None), default=None)
        note = "" if mode == "warm" else (f"  (cached before a run: at most {residue:.1%})" if residue is not None else "")
        ratios[mode] = dd_median / scan_median
        print(f"{mode}: dd {dd_median:.3f} s ({size_mb / dd_median:.0f} MB/s)  scan {scan_median:.3f} s "
              f"({size_mb / scan_median:.0f} MB/s)  scan/dd speed: {dd_median / scan_median:.2f} of the medians, "
              f"{pair_ratio:.2f} per round (median){note}")
        print(f"  CPU time (user + system): dd {statistics.median(cpu['dd']):.3f} s, "
              f"scan {statistics.median(cpu['scan']):.3f} s (medians)")
        # Even rounds run dd first, odd rounds the scan first.
        for slot, name in ((0, "first"), (1, "second")):
            dd_slot = [t for k, t in enumerate(times["dd"]) if k % 2 == slot]
            scan_slot = [t for k, t in enumerate(times["scan"]) if k % 2 != slot]
            if dd_slot and scan_slot:
                print(f"  runs that came {name} in their round: dd {statistics.median(dd_slot):.3f} s, "
                      f"scan {statistics.median(scan_slot):.3f} s (medians)")
        print(f"  dd runs   {' '.join(f'{t:.3f}' for t in times['dd'])}")
        print(f"  scan runs {' '.join(f'{t:.3f}' for t in times['scan'])}")
    print(f"load after: {os.getloadavg()[0]:.2f} {os.getloadavg()[1]:.2f} {os.getloadavg()[2]:.2f}")
    met = "met" if ratios["warm"] >= target else "NOT met"
    print(f"ratio scan/dd speed, warm cache: {ratios['warm']:.2f} (target >= {target:.1f}: {met}); "
          f"cold cache: {ratios['cold']:.2f}")
    if args.keep and not args.image:
        print(f"kept {image}")
    else:
        shutil.rmtree(scratch)
    return 0


if __name__ == "__main__":
    sys.exit(main())
