#!/usr/bin/env bash
# Installs the Debian package into a fresh Debian 12 root made by debootstrap and tries it
# there: brenvale-cli on a document, the editor starting on the offscreen platform, the menu
# entry, the icons and the .bnv type registered by the system's triggers. It downloads a base
# system and the package's dependencies (a few minutes), so it is run by hand, as root:
#     scripts/check-deb-install.sh [BUILD_DIR]
set -euo pipefail
root_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath "${1:-$root_dir/build}")"
source "$root_dir/scripts/packages.sh"
ensure_packages debootstrap
mirror="${DEBIAN_MIRROR:-http://deb.debian.org/debian}"

work="$(mktemp -d /var/tmp/brenvale-deb-XXXXXX)"
target="$work/root"
cleanup() {
    umount "$target/proc" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/brenvale_*.deb)
echo "package: $deb"

start=$(date +%s)
debootstrap --variant=minbase bookworm "$target" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -n 20 "$work/debootstrap.log"; exit 1; }
echo "debootstrap: $(( $(date +%s) - start )) s"
mount -t proc proc "$target/proc"
cp "$deb" "$target/tmp/"
in_root() { chroot "$target" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

start=$(date +%s)
in_root apt-get update -qq
# The validators and the MIME database are there as on a desktop, so that their triggers run.
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    "/tmp/$(basename "$deb")" shared-mime-info desktop-file-utils >"$work/apt.log" 2>&1 ||
    { tail -n 30 "$work/apt.log"; exit 1; }
echo "apt-get install: $(( $(date +%s) - start )) s"

source "$(dirname "$0")/checks.sh"
CHECKS_VERBOSE=1
check "brenvale-cli --help" in_root brenvale-cli --help
cli_document() {
    printf 'Plan\r\n\tStep@07@\r\n' >"$target/tmp/plan.txt"
    in_root brenvale-cli import-text /tmp/plan.txt /tmp/plan.bnv
    in_root brenvale-cli stats /tmp/plan.bnv | grep -qx 'topics 2'
}
check "brenvale-cli works on a document" cli_document
check "every library of the editor resolves" sh -c "! chroot '$target' ldd /usr/bin/brenvale | grep 'not found'"
check "the SQLite plugin of the help resolves" sh -c "! chroot '$target' ldd /usr/lib/x86_64-linux-gnu/qt6/plugins/sqldrivers/libqsqlite.so | grep 'not found'"
editor_runs() {
    # The editor keeps running until it is closed: still running after 5 s means it started.
    local status=0
    in_root env QT_QPA_PLATFORM=offscreen HOME=/root timeout 5 brenvale /tmp/plan.bnv || status=$?
    [ "$status" -eq 124 ]
}
check "the editor starts" editor_runs
check "menu entry" in_root desktop-file-validate /usr/share/applications/brenvale.desktop
check "menu entry in the desktop database" grep -q 'application/x-brenvale=brenvale.desktop' \
    "$target/usr/share/applications/mimeinfo.cache"
check "application icon" test -f "$target/usr/share/icons/hicolor/48x48/apps/brenvale.png"
check "document icon" test -f "$target/usr/share/icons/hicolor/48x48/mimetypes/application-x-brenvale.png"
check ".bnv type registered" grep -q ':application/x-brenvale:\*\.bnv' "$target/usr/share/mime/globs2"
check "help files" test -s "$target/usr/share/brenvale/brenvale.qhc" -a -s "$target/usr/share/brenvale/brenvale.qch"
check "manual page" test -f "$target/usr/share/man/man1/brenvale-cli.1.gz"
checks_summary "deb-install"
