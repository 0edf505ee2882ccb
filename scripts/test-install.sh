#!/usr/bin/env bash
# The installation and the Debian package: installs into a temporary DESTDIR and checks the
# file list and the desktop files with their validators, then builds the package with CPack,
# checks its control data and contents and runs brenvale-cli from the unpacked package.
# Usage: scripts/test-install.sh [BUILD_DIR]   (after the build, as scripts/test.sh runs it)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath "${1:-$root/build}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/checks.sh"
same_list() {
    diff -u "$root/packaging/installed-files.txt" "$1"
}

# cmake --install into a temporary root.
dest="$work/dest"
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
(cd "$dest/usr" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/installed.txt"
check "installed file list" same_list "$work/installed.txt"
check "desktop-file-validate" desktop-file-validate "$dest/usr/share/applications/brenvale.desktop"
check "appstreamcli validate" appstreamcli validate --no-net \
    "$dest/usr/share/metainfo/org.brenvale.Brenvale.metainfo.xml"

mime_package="$dest/usr/share/mime/packages/brenvale.xml"
check "MIME package is the shared one" cmp "$root/resources/desktop/brenvale-mime.xml" "$mime_package"
check "MIME package is valid XML" xmllint --noout "$mime_package"
mime_glob() {
    local pattern
    pattern=$(xmllint --xpath "string(//*[local-name()='mime-type'][@type='application/x-brenvale']/*[local-name()='glob']/@pattern)" "$mime_package")
    [ "$pattern" = "*.bnv" ]
}
check "MIME package has the glob *.bnv" mime_glob
mime_database() {
    cp -r "$dest/usr/share/mime" "$work/mime"
    update-mime-database "$work/mime"
    grep -q ':application/x-brenvale:\*\.bnv' "$work/mime/globs2"
}
check "update-mime-database registers *.bnv" mime_database
check "installed brenvale-cli --help" "$dest/usr/bin/brenvale-cli" --help

# The Debian package.
deb_dir="$work/deb"
cpack_log="$work/cpack.log"
if ! (cd "$build" && cpack -G DEB -B "$deb_dir" >"$cpack_log" 2>&1); then
    cat "$cpack_log"
    echo "FAILED: cpack -G DEB"
    exit 1
fi
deb=$(ls "$deb_dir"/brenvale_*.deb)
dpkg-deb --info "$deb" >"$work/info.txt"
control_field() {
    grep -q "^ $1: .*$2" "$work/info.txt"
}
check "package name" control_field Package brenvale
check "architecture" control_field Architecture "$(dpkg --print-architecture)"
check "dependencies from the binaries" control_field Depends 'libqt6widgets6 (>= '
check "dependency on libc" control_field Depends 'libc6 (>= '
check "dependency on the SQLite plugin" control_field Depends 'libqt6sql6-sqlite'
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort \
    >"$work/contents.txt"
check "package file list" same_list "$work/contents.txt"
dpkg-deb -x "$deb" "$work/unpacked"
check "brenvale-cli --help from the package" "$work/unpacked/usr/bin/brenvale-cli" --help
export_from_package() {
    printf 'Plan\r\n\tStep@07@\r\n' >"$work/plan.txt"
    "$work/unpacked/usr/bin/brenvale-cli" import-text "$work/plan.txt" "$work/plan.bnv"
    "$work/unpacked/usr/bin/brenvale-cli" stats "$work/plan.bnv" | grep -qx 'topics 2'
}
check "brenvale-cli from the package works on a document" export_from_package
pdf_from_package() {
    "$work/unpacked/usr/bin/brenvale-cli" pdf "$work/plan.bnv" "$work/plan.pdf"
    head -c 5 "$work/plan.pdf" | grep -qx '%PDF-'
}
check "brenvale-cli pdf from the package finds brenvale-pdf" pdf_from_package
# The tool loads no Qt library at all, not even through its own libraries: only the PDF
# program links Qt.
no_qt_gui() {
    ! ldd "$work/unpacked/usr/bin/brenvale-cli" | grep -q 'libQt'
}
check "brenvale-cli loads no Qt library" no_qt_gui
check "manual page" sh -c "gzip -dc '$work/unpacked/usr/share/man/man1/brenvale-cli.1.gz' | grep -q '^.SH EXIT STATUS'"

checks_summary "install"
