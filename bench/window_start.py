"""Start-up of the window program: korvex under Xvfb on 16 image files of 26 logical drives each
(every third drive holding a file system: ext4, FAT or swap, made by their own mkfs) against the
same on 1 such disk, until the main window has painted its tree. The program writes, when
KORVEX_READY_FILE names a file, the milliseconds its start-up took once the window is painted and
idle, and how much of that went to reading the partition tables and to probing the file systems
(and reading the kernel's partition names); the script times the whole run from the process
start to that file, round by round, and prints the medians. Then it measures the CPU time the
program uses while its window stands idle for 30 seconds.

Run it under a display: bench/run-window-bench.sh starts Xvfb for it."""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MIB = 2048  # sectors
DRIVES = 26
DRIVE_MIB = 8
SFDISK = shutil.which("sfdisk") or "/usr/sbin/sfdisk"
FILE_SYSTEMS = [["mkfs.ext4", "-q", "-F", "-L", "daten{n}"], ["mkfs.fat", "-n", "FAT{n}"],
                ["mkswap", "-L", "swap{n}"]]
GOAL_SECONDS = 0.5


def tool(name):
    return shutil.which(name) or os.path.join("/usr/sbin", name)


def run(command, **kwargs):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)


def layout():
    """A Linux partition of 16 MiB, then an extended partition with 26 drives of 8 MiB."""
    lines = ["label: dos", "start=1MiB, size=16MiB, type=83", f"start=17MiB, size={DRIVES * (DRIVE_MIB + 1)}MiB, type=5"]
    for i in range(DRIVES):
        lines.append(f"start={18 + i * (DRIVE_MIB + 1)}MiB, size={DRIVE_MIB}MiB, type=83")
    return "\n".join(lines) + "\n"


def volume(folder, index, number):
    """The file system made for drive number: a file of DRIVE_MIB formatted by its mkfs."""
    path = os.path.join(folder, f"volume-{index}-{number}.img")
    with open(path, "wb") as f:
        f.truncate(DRIVE_MIB * 1024 * 1024)
    make = [part.format(n=number) for part in FILE_SYSTEMS[index]]
    run([tool(make[0])] + make[1:] + [path])
    return path


def make_disks(folder, count):
    template = os.path.join(folder, "template.img")
    with open(template, "wb") as f:
        f.truncate((18 + DRIVES * (DRIVE_MIB + 1)) * 1024 * 1024)
    run([SFDISK, "--no-reread", "--no-tell-kernel", "-q", template], input=layout().encode())
    for i in range(0, DRIVES, 3):
        path = volume(folder, (i // 3) % len(FILE_SYSTEMS), i + 5)
        run(["dd", f"if={path}", f"of={template}", "bs=1M", f"seek={18 + i * (DRIVE_MIB + 1)}", "conv=notrunc,sparse"])
        os.remove(path)
    disks = []
    for n in range(count):
        disk = os.path.join(folder, f"disk{n:02}.img")
        run(["cp", "--sparse=always", template, disk])
        disks.append(disk)
    return disks


def start_once(korvex, disks, env, ready):
    """Wall seconds from the start to the ready file, the program's own figures, and the process."""
    if os.path.exists(ready):
        os.remove(ready)
    begun = time.monotonic()
    program = subprocess.Popen([korvex] + disks, env=env)
    while not os.path.exists(ready) or os.path.getsize(ready) == 0:
        if program.poll() is not None:
            raise SystemExit(f"korvex ended with {program.returncode} before its window was ready")
        time.sleep(0.002)
    wall = time.monotonic() - begun
    figures = open(ready).read().split()
    return wall, dict(zip(figures[0::2], (float(v) for v in figures[1::2]))), program


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--korvex", default="build/bin/korvex")
    parser.add_argument("--cli", default="build/bin/korvex-cli")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--idle", type=float, default=30.0, help="seconds of idle window to measure")
    args = parser.parse_args()
    if "DISPLAY" not in os.environ:
        sys.exit("no display: run bench/run-window-bench.sh, which starts Xvfb")
    korvex = os.path.abspath(args.korvex)
    with tempfile.TemporaryDirectory(prefix="korvex-window-bench-") as folder:
        env = dict(os.environ, KORVEX_HOME=folder, XDG_CACHE_HOME=folder, NO_AT_BRIDGE="1",
                   KORVEX_READY_FILE=os.path.join(folder, "ready"))
        run([args.cli, "registry", "ensure-catalogue", "data/parts.reg"], env=env)
        disks = make_disks(folder, 16)
        print(f"{len(disks)} images of {DRIVES} logical drives, every third with a file system")
        results = {}
        for count in (1, 16):
            walls, figures = [], []
            for _ in range(args.rounds):
                wall, own, program = start_once(korvex, disks[:count], env, env["KORVEX_READY_FILE"])
                program.terminate()
                program.wait()
                walls.append(wall)
                figures.append(own)
            results[count] = (walls, figures)
            median = {key: statistics.median(f[key] for f in figures) for key in figures[0]}
            print(f"{count:2} disk(s): wall {statistics.median(walls):.3f} s (min {min(walls):.3f}), "
                  f"start-up {median['ready']:.1f} ms of which reading tables {median['load']:.1f} ms, "
                  f"probing {median['probe']:.1f} ms")
        wall16 = statistics.median(results[16][0])
        print(f"16 against 1 disk: {wall16 / statistics.median(results[1][0]):.2f} x; "
              f"goal < {GOAL_SECONDS} s for 16 disks: {'met' if wall16 < GOAL_SECONDS else 'NOT met'}")
        _, _, program = start_once(korvex, disks, env, env["KORVEX_READY_FILE"])
        time.sleep(1.0)  # the first second's late work (fonts, icons) is not idle time
        before = cpu_seconds(program.pid)
        time.sleep(args.idle)
        used = cpu_seconds(program.pid) - before
        program.terminate()
        program.wait()
        print(f"idle window, {args.idle:.0f} s: {used:.2f} s CPU ({'none' if used < 0.05 else 'SOME'})")


if __name__ == "__main__":
    main()
