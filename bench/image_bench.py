"""Partition image benchmark: korvex-cli image save/restore against the tools a user would
otherwise pick, on the same bytes, in one run. Builds a disk image (255 heads x 63 sectors)
whose first partition holds mixed content (text, zeros, random and binary-like runs) and whose
second partition of the same size is the restore target, then times every command several
times with GNU time and prints medians, ratios against the targets and peak memory.

Like with like: every command starts from the same page-cache state (its input read once just
before, nothing dirty left by the preparation), writes a fresh output file (a save) or the same
reused target (a restore) and flushes it (our save and restore fsync, so dd runs with
conv=fsync; plain dd is shown for reference); dd moves one cylinder per transfer as we do, and
reads and writes at byte offsets (iflag=skip_bytes,count_bytes, oflag=seek_bytes,
conv=notrunc); and since the first command after heavy writes finds the disk busiest, every
other run lets dd go first. The restore is timed with its check before the first write (against
NAME.sha256, and by decompressing every block when the checksum file is gone) and without it
(--no-verify), so that the check's cost shows."""
import argparse
import hashlib
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile

HEADS, SECTORS = 255, 63
CYLINDER_BYTES = HEADS * SECTORS * 512
MIB = 1024 * 1024


def compressed_bound(block_bytes):
    return block_bytes + block_bytes // 100 + 600


def text_pool(rng, size):
    syllables = ["ka", "ter", "lin", "ost", "mar", "ei", "sch", "ung", "ber", "da", "ne", "ro", "ful", "is",
                 "ent", "al", "pro", "ver", "ge", "zu", "an", "tion", "el", "ho", "st"]
    words = ["".join(rng.choice(syllables) for _ in range(rng.randint(1, 4))) for _ in range(3000)]
    lines, total = [], 0
    while total < size:
        line = " ".join(rng.choices(words, k=rng.randint(6, 14))).capitalize() + ".\n"
        lines.append(line)
        total += len(line)
    return "".join(lines).encode()[:size]


def binary_pool(size):
    """Executables and libraries of this machine, in name order: real machine code and tables."""
    data = bytearray()
    for folder in ("/usr/bin", "/usr/lib/x86_64-linux-gnu"):
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if os.path.isfile(path) and not os.path.islink(path):
                with open(path, "rb") as f:
                    if f.read(4) == b"\x7fELF":
                        f.seek(0)
                        data += f.read()
            if len(data) >= size:
                return bytes(data[:size])
    return bytes(data)


def write_partition_data(image, offset, size, raw_copy):
    """Mixed runs of 256 KiB to 8 MiB: about 30 % text, 25 % zeros, 20 % random, 25 % binary."""
    rng = random.Random(20041215)
    text = text_pool(rng, 8 * MIB)
    binary = binary_pool(32 * MIB)
    kinds = ["text", "zeros", "random", "binary"]
    with open(image, "r+b") as disk, open(raw_copy, "wb") as raw:
        disk.seek(offset)
        written = 0
        while written < size:
            n = min(rng.randint(256 * 1024, 8 * MIB), size - written)
            kind = rng.choices(kinds, weights=[30, 25, 20, 25])[0]
            if kind == "zeros":
                chunk = bytes(n)
            elif kind == "random":
                chunk = rng.randbytes(n)
            else:
                pool = text if kind == "text" else binary
                chunk = bytearray()
                while len(chunk) < n:
                    start = rng.randrange(len(pool))
                    chunk += pool[start:start + n - len(chunk)]
                chunk = bytes(chunk)
            disk.write(chunk)
            raw.write(chunk)
            written += n


def make_disk(folder, partition_sectors):
    first = SECTORS
    second = first + partition_sectors
    total = second + partition_sectors + HEADS * SECTORS
    image = os.path.join(folder, "disk.img")
    with open(image, "wb") as f:
        f.truncate(total * 512)
        mbr = bytearray(512)
        for index, start in enumerate((first, second)):
            entry = 446 + 16 * index
            mbr[entry + 4] = 0x83
            mbr[entry + 8:entry + 12] = start.to_bytes(4, "little")
            mbr[entry + 12:entry + 16] = partition_sectors.to_bytes(4, "little")
        mbr[510:512] = b"\x55\xaa"
        f.write(mbr)
    return image, first, second


def timed(command, stdout=None, stdin=None):
    """Runs command under GNU time: (seconds, peak resident kB)."""
    with tempfile.NamedTemporaryFile("r") as report:
        out = open(stdout, "wb") if stdout else subprocess.DEVNULL
        inp = open(stdin, "rb") if stdin else subprocess.DEVNULL
        try:
            done = subprocess.run(["/usr/bin/time", "-f", "%e %M", "-o", report.name] + command, stdout=out,
                                  stdin=inp, stderr=subprocess.PIPE)
        finally:
            if stdout:
                out.close()
            if stdin:
                inp.close()
        if done.returncode != 0:
            sys.exit(f"failed: {' '.join(command)}\n{done.stderr.decode(errors='replace')}")
        seconds, kilobytes = report.read().split()
        return float(seconds), int(kilobytes)


def digest(path, offset, size):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        f.seek(offset)
        left = size
        while left:
            chunk = f.read(min(left, 16 * MIB))
            h.update(chunk)
            left -= len(chunk)
    return h.hexdigest()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--mib", type=int, default=1024, help="size of the partition")
    parser.add_argument("--threads", type=int, default=os.cpu_count())
    parser.add_argument("--dir", default=None, help="work folder (default: a new one in /var/tmp)")
    parser.add_argument("--parts", default="compressed,raw",
                        help="what to time: compressed (bzip2 and its peers), raw (against dd), or both")
    args = parser.parse_args()

    n = args.threads
    cli = os.path.abspath(args.cli)
    folder = args.dir or tempfile.mkdtemp(prefix="korvex-bench-", dir="/var/tmp")
    os.makedirs(folder, exist_ok=True)
    env_home = os.path.join(folder, "home")
    os.environ["KORVEX_HOME"] = env_home
    sectors = args.mib * MIB // 512
    image, first, second = make_disk(folder, sectors)
    raw = os.path.join(folder, "part.raw")
    write_partition_data(image, first * 512, sectors * 512, raw)
    source_digest = digest(raw, 0, sectors * 512)
    disk = image + f"@{HEADS}x{SECTORS}"
    f = lambda name: os.path.join(folder, name)

    def korvex(*command):
        return [cli, "--disk", disk, "--yes", "image"] + list(command)

    def warm(path, offset=0, size=None):
        """Reads the bytes once, so that the next command finds them in the page cache."""
        with open(path, "rb") as source:
            source.seek(offset)
            left = os.path.getsize(path) - offset if size is None else size
            while left:
                left -= len(source.read(min(left, 16 * MIB))) or left

    def fresh_output(*names):
        """A save writes a new file: the old one goes first (outside the timing), as for dd."""
        for name in names:
            for path in [f(name)] + [p for p in os.listdir(folder) if p.startswith(name + ".")]:
                full = path if os.path.isabs(path) else f(path)
                if os.path.exists(full):
                    os.remove(full)
        os.sync()
        warm(image, first * 512, sectors * 512)

    def clear_target():
        """Zeroes the target and flushes it, so every restore writes it anew with nothing dirty."""
        with open(image, "r+b") as disk_file:
            disk_file.seek(second * 512)
            left = sectors * 512
            while left:
                step = min(left, 16 * MIB)
                disk_file.write(bytes(step))
                left -= step
            disk_file.flush()
            os.fsync(disk_file.fileno())

    def restore_from(*inputs):
        clear_target()
        for name in inputs:
            for path in [f(name)] + [f(p) for p in sorted(os.listdir(folder)) if p.startswith(name + ".")]:
                warm(path)

    def check_target(label):
        if digest(image, second * 512, sectors * 512) != source_digest:
            sys.exit(f"{label}: the restored partition differs from the source")

    cylinder = f"bs={CYLINDER_BYTES}"
    dd_read = ["iflag=skip_bytes,count_bytes", f"skip={first * 512}", f"count={sectors * 512}"]
    dd_write = ["oflag=seek_bytes", f"seek={second * 512}"]
    target = "0:p@%d" % second
    results = {}

    def record(name, measurement):
        results.setdefault(name, []).append(measurement)

    def restore(name, pim, *extra, label=None):
        restore_from(pim)
        record(name, timed(korvex("restore", target, f(pim), "--threads", str(n), *extra)))
        check_target(label or name)

    for run in range(args.runs):
        print(f"run {run + 1} of {args.runs}", file=sys.stderr, flush=True)
        if "compressed" in args.parts:
            fresh_output("t1.pim")
            record("save -c t1", timed(korvex("save", "0:p@%d" % first, f("t1.pim"), "--compress", "--threads", "1")))
            fresh_output("tn.pim")
            record(f"save -c t{n}", timed(korvex("save", "0:p@%d" % first, f("tn.pim"), "--compress", "--threads",
                                                 str(n))))
            if subprocess.run(["cmp", "-s", f("t1.pim"), f("tn.pim")]).returncode != 0:
                sys.exit(f"the images of 1 and {n} threads differ")
            for name, tool, out in (("bzip2 -1", ["bzip2", "-1"], "b.bz2"), ("pbzip2 -1 -p2", ["pbzip2", "-1", "-p2"], "p.bz2"),
                                    ("lbzip2 -1 -n2", ["lbzip2", "-1", "-n2"], "l.bz2")):
                fresh_output(out)
                warm(raw)
                record(name, timed(tool + ["-c", raw], stdout=f(out)))
            # Compressed restore: with the check against NAME.sha256 (the default), without any
            # check, and with the check by decompression (the checksum file moved away).
            restore_from("t1.pim")
            record("restore -c t1", timed(korvex("restore", target, f("t1.pim"), "--threads", "1")))
            check_target("restore t1")
            restore(f"restore -c t{n}", "tn.pim")
            restore(f"restore -c t{n} --no-verify", "tn.pim", "--no-verify")
            os.rename(f("tn.pim.sha256"), f("sums.keep"))
            restore(f"restore -c t{n} check by bzip2", "tn.pim")
            os.rename(f("sums.keep"), f("tn.pim.sha256"))
            for name, tool, source in (("bzip2 -d", ["bzip2", "-d"], "b.bz2"), ("pbzip2 -d -p2", ["pbzip2", "-d", "-p2"], "p.bz2"),
                                       ("lbzip2 -d -n2", ["lbzip2", "-d", "-n2"], "l.bz2")):
                fresh_output("out.raw")
                warm(f(source))
                record(name, timed(tool + ["-c", f(source)], stdout=f("out.raw")))
        if "raw" in args.parts:
            # Uncompressed save and restore against dd with one cylinder per transfer. The
            # first command after heavy writes (the compressed half, a deleted file's discard)
            # finds the disk busiest, so every other run lets dd go first.
            def save_ours():
                fresh_output("raw.pim")
                record(f"save raw t{n}", timed(korvex("save", "0:p@%d" % first, f("raw.pim"), "--threads", str(n))))

            def save_dd():
                for label, conv in (("dd save fsync", ["conv=fsync"]), ("dd save", [])):
                    fresh_output("dd.raw")
                    record(label, timed(["dd", f"if={image}", f"of={f('dd.raw')}", cylinder] + dd_read + conv +
                                        ["status=none"]))

            def restore_ours():
                restore(f"restore raw t{n}", "raw.pim")
                restore(f"restore raw t{n} --no-verify", "raw.pim", "--no-verify")

            def restore_dd():
                for label, conv in (("dd restore fsync", "conv=notrunc,fsync"), ("dd restore", "conv=notrunc")):
                    restore_from("dd.raw")
                    record(label, timed(["dd", f"if={f('dd.raw')}", f"of={image}", cylinder] + dd_write +
                                        [conv, "status=none"]))
                    check_target(label)

            saves, restores = (save_ours, save_dd), (restore_ours, restore_dd)
            if run % 2 == 1:
                saves, restores = saves[::-1], restores[::-1]
            for step in saves + restores:
                step()

    med = {name: statistics.median(s for s, _ in values) for name, values in results.items()}
    peak = {name: max(k for _, k in values) for name, values in results.items()}

    print(f"\nPartition of {args.mib} MiB, {args.runs} runs, {n} threads, work folder {folder}")
    if "compressed" in args.parts:
        sizes = {name: os.path.getsize(f(file)) for name, file in
                 (("pim", "t1.pim"), ("bzip2", "b.bz2"), ("pbzip2", "p.bz2"), ("lbzip2", "l.bz2"))}
        print(f"Output sizes: .pim {sizes['pim'] / MIB:.1f} MiB, bzip2 {sizes['bzip2'] / MIB:.1f} MiB, "
              f"pbzip2 {sizes['pbzip2'] / MIB:.1f} MiB, lbzip2 {sizes['lbzip2'] / MIB:.1f} MiB")
    print("\n| command | median s | MB/s | peak RSS MiB |")
    print("|---|---:|---:|---:|")
    for name in results:
        print(f"| {name} | {med[name]:.2f} | {args.mib / med[name]:.0f} | {peak[name] / 1024:.1f} |")

    def ratio(theirs, ours):
        """Their time over ours from the medians, and the median of the ratios of each run (the two
        commands of a run follow each other closely, so that ratio suffers least from other load)."""
        if theirs not in med or ours not in med:
            return None
        per_run = [t / o for (t, _), (o, _) in zip(results[theirs], results[ours])]
        return med[theirs] / med[ours], statistics.median(per_run)

    ratios = [
        (f"compressed save t{n} vs t1", ratio("save -c t1", f"save -c t{n}"), 1.9),
        (f"compressed save t{n} vs pbzip2 -p2", ratio("pbzip2 -1 -p2", f"save -c t{n}"), 1.2),
        (f"restore t{n} vs t1", ratio("restore -c t1", f"restore -c t{n}"), 1.85),
        (f"restore t{n} (checked) vs pbzip2 -d -p2", ratio("pbzip2 -d -p2", f"restore -c t{n}"), 1.0),
        (f"restore t{n} --no-verify vs pbzip2 -d -p2", ratio("pbzip2 -d -p2", f"restore -c t{n} --no-verify"), None),
        (f"restore t{n} checked by bzip2 vs pbzip2 -d -p2", ratio("pbzip2 -d -p2", f"restore -c t{n} check by bzip2"),
         None),
        ("uncompressed save vs dd conv=fsync", ratio("dd save fsync", f"save raw t{n}"), 0.95),
        ("uncompressed restore --no-verify vs dd conv=fsync", ratio("dd restore fsync", f"restore raw t{n} --no-verify"),
         0.95),
        ("uncompressed restore (checked) vs dd conv=fsync", ratio("dd restore fsync", f"restore raw t{n}"), None),
        ("uncompressed save vs plain dd", ratio("dd save", f"save raw t{n}"), None),
        ("uncompressed restore --no-verify vs plain dd", ratio("dd restore", f"restore raw t{n} --no-verify"), None),
        (f"compressed save t{n} vs lbzip2 -n2", ratio("lbzip2 -1 -n2", f"save -c t{n}"), None),
        (f"restore t{n} vs lbzip2 -d -n2", ratio("lbzip2 -d -n2", f"restore -c t{n}"), None),
    ]
    print("\n| ratio (higher is better for us) | medians | per run (median) | target | met |")
    print("|---|---:|---:|---:|---|")
    for label, value, goal in ratios:
        if value is None:
            continue
        verdict = "" if goal is None else ("yes" if min(value) >= goal else "no")
        print(f"| {label} | {value[0]:.2f} | {value[1]:.2f} | {'' if goal is None else f'>= {goal}'} | {verdict} |")

    print("\nThe check before the first write (median restore seconds; checked minus --no-verify):")
    for kind, checked, unchecked in ((f"compressed t{n}, NAME.sha256", f"restore -c t{n}", f"restore -c t{n} --no-verify"),
                                     (f"compressed t{n}, by bzip2", f"restore -c t{n} check by bzip2",
                                      f"restore -c t{n} --no-verify"),
                                     (f"uncompressed t{n}, NAME.sha256", f"restore raw t{n}", f"restore raw t{n} --no-verify")):
        if checked in med and unchecked in med:
            print(f"  {kind}: {med[checked]:.2f} s against {med[unchecked]:.2f} s, +{med[checked] - med[unchecked]:.2f} s")
    if "compressed" in args.parts:
        buffers = 2 * n + 2
        bound_mib = buffers * compressed_bound(CYLINDER_BYTES) / MIB
        print(f"\nPeak memory: save -c t{n} {peak[f'save -c t{n}'] / 1024:.1f} MiB, restore -c t{n} "
              f"{peak[f'restore -c t{n}'] / 1024:.1f} MiB; {buffers} buffers of one cylinder "
              f"(bound {compressed_bound(CYLINDER_BYTES)} bytes) = {bound_mib:.1f} MiB")
    if not args.dir:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
