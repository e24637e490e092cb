#!/usr/bin/env bash
# Makes the README's pictures: the main window on the demo disk set with a logical drive selected
# (docs/korvex-main.png), on a disk of 22 logical drives (docs/korvex-many-drives.png), on a
# disk whose partitions sfdisk and mkfs made (docs/korvex-volumes.png) and with a change pending
# (docs/korvex-pending.png), all four from the GUI tests that show them, and the boot menu
# preview of a disk set up with korvex-cli (docs/korvex-bootmenu.png). Builds, then runs
# everything under Xvfb with its own registry store, demo disks and images.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export KORVEX_HOME="$scratch/home" XDG_CACHE_HOME="$scratch/cache" NO_AT_BRIDGE=1 GTK_A11Y=none
cli=./build/bin/korvex-cli
$cli registry ensure-catalogue data/parts.reg
mkdir -p docs "$scratch/pictures"
# Under Xvfb without a window manager only the first window of a run is captured right: one
# test per run.
for test in WindowLayoutTest.TheDiskMapsBoxes WindowLayoutTest.TwentyTwoLogicalDrives \
            WindowLayoutTest.LabelsNameTypePartition PendingChangesTest.ThePaneLists; do
  KORVEX_DIALOG_PICTURES="$scratch/pictures" xvfb-run -a -s "-screen 0 1280x1024x24" \
    ./build/tests/korvex_gui_tests --gtest_filter="$test*" >/dev/null
done
cp "$scratch/pictures/main-demo-drive.png" docs/korvex-main.png
cp "$scratch/pictures/main-22-drives.png" docs/korvex-many-drives.png
cp "$scratch/pictures/main-formatted.png" docs/korvex-volumes.png
cp "$scratch/pictures/main-pending.png" docs/korvex-pending.png
echo "docs/korvex-main.png docs/korvex-many-drives.png docs/korvex-volumes.png docs/korvex-pending.png"

# Three partitions in the boot menu with titles and colours of their own.
disk="$scratch/menu.img"
truncate -s 64M "$disk"
printf 'label: dos\nstart=63, size=40257, type=7\nstart=40320, size=40320, type=83\nstart=80640, size=40320, type=c\n' |
  /usr/sbin/sfdisk --no-reread --no-tell-kernel -q "$disk"
$cli --disk "$disk" --yes install-engine --entry 1 2 3 >/dev/null
$cli --disk "$disk" menu title "0:p@63" "Windows 2000" >/dev/null
$cli --disk "$disk" menu title "0:p@40320" "Debian GNU/Linux" >/dev/null
$cli --disk "$disk" menu title "0:p@80640" "Daten (FAT32)" >/dev/null
$cli --disk "$disk" menu timeout 10 >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" ./build/bin/korvex "$disk" --screenshot-preview docs/korvex-bootmenu.png
echo "docs/korvex-bootmenu.png"
