"""Partition image benchmark: korvex-cli image save/restore against the tools a user would
otherwise pick, on the same bytes, in one run. Builds a disk image (255 heads x 63 sectors)
whose first partition holds mixed content (text, zeros, random and binary-like runs) and whose
second partition of the same size is the restore target, then times every command several
times with GNU time and prints medians, ratios against the targets and peak memory.

Everything is read from and written to files in the page cache of one work folder; our save and
restore flush their output (fsync), so dd is timed with conv=fsync as well (plain dd is shown
for reference)."""
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
        return [cli, "--disk", disk, "image"] + list(command)

    def check_target(label):
        if digest(image, second * 512, sectors * 512) != source_digest:
            sys.exit(f"{label}: the restored partition differs from the source")
        with open(image, "r+b") as disk_file:  # clear the target so that every restore writes it anew
            disk_file.seek(second * 512)
            left = sectors * 512
            while left:
                step = min(left, 16 * MIB)
                disk_file.write(bytes(step))
                left -= step

    dd_skip = f"skip={first * 512}"
    dd_seek = f"seek={second * 512}"
    results = {}

    def record(name, measurement):
        results.setdefault(name, []).append(measurement)

    for run in range(args.runs):
        print(f"run {run + 1} of {args.runs}", file=sys.stderr, flush=True)
        # Compressed save.
        record("save -c t1", timed(korvex("save", "0:p@%d" % first, f("t1.pim"), "--compress", "--threads", "1")))
        record(f"save -c t{n}", timed(korvex("save", "0:p@%d" % first, f("tn.pim"), "--compress", "--threads", str(n))))
        if subprocess.run(["cmp", "-s", f("t1.pim"), f("tn.pim")]).returncode != 0:
            sys.exit(f"the images of 1 and {n} threads differ")
        record("bzip2 -1", timed(["bzip2", "-1", "-c", raw], stdout=f("b.bz2")))
        record("pbzip2 -1 -p2", timed(["pbzip2", "-1", "-p2", "-c", raw], stdout=f("p.bz2")))
        record("lbzip2 -1 -n2", timed(["lbzip2", "-1", "-n2", "-c", raw], stdout=f("l.bz2")))
        # Compressed restore.
        record("restore -c t1", timed(korvex("restore", "0:p@%d" % second, f("t1.pim"), "--threads", "1")))
        check_target("restore t1")
        record(f"restore -c t{n}", timed(korvex("restore", "0:p@%d" % second, f("tn.pim"), "--threads", str(n))))
        check_target(f"restore t{n}")
        record("bzip2 -d", timed(["bzip2", "-d", "-c", f("b.bz2")], stdout=f("out.raw")))
        record("pbzip2 -d -p2", timed(["pbzip2", "-d", "-p2", "-c", f("p.bz2")], stdout=f("out.raw")))
        record("lbzip2 -d -n2", timed(["lbzip2", "-d", "-n2", "-c", f("l.bz2")], stdout=f("out.raw")))
        # Uncompressed save and restore against dd with one cylinder per transfer.
        record(f"save raw t{n}", timed(korvex("save", "0:p@%d" % first, f("raw.pim"), "--threads", str(n))))
        record("dd save fsync", timed(["dd", f"if={image}", f"of={f('dd.raw')}", f"bs={CYLINDER_BYTES}",
                                       "iflag=skip_bytes,count_bytes", dd_skip, f"count={sectors * 512}",
                                       "conv=fsync", "status=none"]))
        record("dd save", timed(["dd", f"if={image}", f"of={f('dd.raw')}", f"bs={CYLINDER_BYTES}",
                                 "iflag=skip_bytes,count_bytes", dd_skip, f"count={sectors * 512}", "status=none"]))
        record(f"restore raw t{n}", timed(korvex("restore", "0:p@%d" % second, f("raw.pim"), "--threads", str(n))))
        check_target("restore raw")
        for label, extra in (("dd restore fsync", ["conv=notrunc,fsync"]), ("dd restore", ["conv=notrunc"])):
            record(label, timed(["dd", f"if={f('dd.raw')}", f"of={image}", f"bs={CYLINDER_BYTES}", "oflag=seek_bytes",
                                 dd_seek] + extra + ["status=none"]))
            check_target(label)

    med = {name: statistics.median(s for s, _ in values) for name, values in results.items()}
    peak = {name: max(k for _, k in values) for name, values in results.items()}
    sizes = {name: os.path.getsize(f(file)) for name, file in
             (("pim", "t1.pim"), ("bzip2", "b.bz2"), ("pbzip2", "p.bz2"), ("lbzip2", "l.bz2"))}

    print(f"\nPartition of {args.mib} MiB, {args.runs} runs, {n} threads, work folder {folder}")
    print(f"Output sizes: .pim {sizes['pim'] / MIB:.1f} MiB, bzip2 {sizes['bzip2'] / MIB:.1f} MiB, "
          f"pbzip2 {sizes['pbzip2'] / MIB:.1f} MiB, lbzip2 {sizes['lbzip2'] / MIB:.1f} MiB\n")
    print("| command | median s | MB/s | peak RSS MiB |")
    print("|---|---:|---:|---:|")
    for name in results:
        print(f"| {name} | {med[name]:.2f} | {args.mib / med[name]:.0f} | {peak[name] / 1024:.1f} |")

    buffers = 2 * n + 2
    bound_mib = buffers * compressed_bound(CYLINDER_BYTES) / MIB
    ratios = [
        (f"compressed save t{n} vs t1", med["save -c t1"] / med[f"save -c t{n}"], 1.9),
        (f"compressed save t{n} vs pbzip2 -p2", med["pbzip2 -1 -p2"] / med[f"save -c t{n}"], 1.2),
        (f"restore t{n} vs t1", med["restore -c t1"] / med[f"restore -c t{n}"], 1.85),
        (f"restore t{n} vs pbzip2 -d -p2", med["pbzip2 -d -p2"] / med[f"restore -c t{n}"], 1.0),
        ("uncompressed save vs dd conv=fsync", med["dd save fsync"] / med[f"save raw t{n}"], 0.9),
        ("uncompressed restore vs dd conv=fsync", med["dd restore fsync"] / med[f"restore raw t{n}"], 0.9),
        ("uncompressed save vs plain dd", med["dd save"] / med[f"save raw t{n}"], None),
        ("uncompressed restore vs plain dd", med["dd restore"] / med[f"restore raw t{n}"], None),
        (f"compressed save t{n} vs lbzip2 -n2", med["lbzip2 -1 -n2"] / med[f"save -c t{n}"], None),
        (f"restore t{n} vs lbzip2 -d -n2", med["lbzip2 -d -n2"] / med[f"restore -c t{n}"], None),
    ]
    print("\n| ratio (higher is better for us) | value | target | met |")
    print("|---|---:|---:|---|")
    for label, value, target in ratios:
        verdict = "" if target is None else ("yes" if value >= target else "no")
        print(f"| {label} | {value:.2f} | {'' if target is None else f'>= {target}'} | {verdict} |")
    print(f"\nPeak memory: save -c t{n} {peak[f'save -c t{n}'] / 1024:.1f} MiB, restore -c t{n} "
          f"{peak[f'restore -c t{n}'] / 1024:.1f} MiB; {buffers} buffers of one cylinder "
          f"(bound {compressed_bound(CYLINDER_BYTES)} bytes) = {bound_mib:.1f} MiB")
    if not args.dir:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
