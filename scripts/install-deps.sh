#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Korvex need, and the German
# locale the tests use. Idempotent: what is present already is skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build      # the C++20 toolchain
  libgtest-dev libgmock-dev              # unit tests
  libbz2-dev                             # partition image compression
  libssl-dev                             # libcrypto: SHA-256 of the image files (NAME.sha256), with the CPU's SHA instructions
  nasm                                   # the real-mode loader and engine
  qemu-system-x86                        # boot tests (SeaBIOS comes with it)
  fdisk                                  # sfdisk, the peer of the table tests
  parted                                 # parted align-check: the 1 MiB alignment of new partitions
  python3 locales                        # test glue; the German locale of the size texts
  libbenchmark-dev                       # benchmarks (bench/)
  clang libclang-rt-dev                  # fuzz targets and the sanitizer build (libFuzzer, ASan, UBSan)
  # partition images and the lost-partition search: the peers that format, check and decompress
  bzip2                                  # the bzip2 program decompresses each image block
  dosfstools                             # mkfs.fat and fsck.fat for FAT12/16/32 volumes
  e2fsprogs                              # mkfs.ext4 and e2fsck for ext2/3/4 volumes
  ntfs-3g                                # mkntfs and ntfsfix for NTFS volumes
  # The window program and its tests.
  libwxgtk3.2-dev                        # wxWidgets 3.2 on GTK 3: the program korvex
  xvfb xauth                             # GUI tests, run-demo.sh and the screenshot without a display
  x11-utils                              # xdpyinfo: run-demo.sh asks whether the display answers
  fonts-dejavu-core                      # a font for the windows under Xvfb
  adwaita-icon-theme                     # GTK's symbolic icons (the arrows of drop-down lists)
  # The accessibility test: the window read through AT-SPI as a screen reader reads it.
  at-spi2-core libatk-adaptor dbus       # the accessibility bus, GTK's bridge to it, dbus-run-session
  gir1.2-atspi-2.0 python3-gi            # AT-SPI from the system's Python
  # The boot menu preview and the hex view's model:
  zlib1g-dev                             # gzip-compressed console fonts and the PNG pictures
  console-setup-linux                    # the VGA 8x16 console fonts the boot menu preview draws
  desktop-file-utils                     # desktop-file-validate checks the menu entries
  # The Debian package (scripts/make-deb.sh) and its test (ctest -L package):
  dpkg-dev                               # dpkg-shlibdeps for the package's library dependencies
  librsvg2-bin                           # rsvg-convert renders the program's icon into the hicolor sizes
  lintian                                # checks the package
  appstream                              # appstreamcli validates the AppStream file
  libxml2-utils                          # xmllint checks the polkit action against its DTD
  polkitd                                # the polkit action DTD (policyconfig-1.dtd)
  man-db                                 # man -l renders the manual pages with warnings on
)

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Size texts follow the locale's decimal separator; the tests check it with German.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the de_DE.UTF-8 locale"
  "${as_root[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
  "${as_root[@]}" locale-gen >/dev/null
fi
