# Installs the Debian packages named as arguments when any of them is missing.
# Sourced by the other scripts.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(build-essential cmake qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
    qt6-tools-dev qt6-documentation-tools libqt6sql6-sqlite)
# OPML is read with libexpat: a streaming UTF-8 parser, with no external entities loaded.
BUILD_PACKAGES+=(libexpat1-dev)
# The lld linker links the programs several times faster than the default one (the build uses
# it when it is there).
BUILD_PACKAGES+=(lld)
# Ninja keeps both cores busy through a build of many small programs, where make's recursive
# runs leave them idle between targets: a tenth less time for the test command's builds.
BUILD_PACKAGES+=(ninja-build)
RUN_PACKAGES=(fonts-ipafont-gothic qt6-translations-l10n)
# What the tests need beyond the build: a virtual display with a window manager.
TEST_PACKAGES=(xvfb xauth openbox xdotool)
# The installation checks: the validators, the MIME database, XML queries, and the file type
# test CPack needs to compute the package's dependencies.
TEST_PACKAGES+=(desktop-file-utils appstream shared-mime-info libxml2-utils file)
# The sanitizer build and the fuzz targets: clang with its sanitizer and libFuzzer runtimes.
SANITIZER_PACKAGES=(clang libclang-rt-14-dev)
# The dialogs' layout is tested with the Japanese font; the file-type association is checked
# against the desktop's own tools (xdg-mime besides the MIME database and the validator).
TEST_PACKAGES+=(fonts-ipafont-gothic xdg-utils)
# Japanese typed through a real input method: the mozc engine under ibus and under fcitx5 (with
# its Qt 6 module) in a D-Bus session, whose calls dbus-monitor reads.
TEST_PACKAGES+=(ibus ibus-mozc dbus-x11 fcitx5 fcitx5-mozc fcitx5-frontend-qt6)
# What a screen reader hears of the tree: a D-Bus session with the accessibility bus.
TEST_PACKAGES+=(dbus-daemon dbus-bin at-spi2-core)
# Reminders reach a real notification server on a private session bus.
TEST_PACKAGES+=(dunst)
# A screen reader's own client library reads the window as screen readers do.
TEST_PACKAGES+=(python3-pyatspi)
# The exports are read back by outside tools: a CommonMark parser with the task list extension
# for Markdown, and the PDF text and font listers.
TEST_PACKAGES+=(cmark-gfm poppler-utils)
# brenvale-cli as git's merge driver and diff filter, tried in a real repository.
TEST_PACKAGES+=(git)

# The generator for a build folder: Ninja for a new one when it is installed; a folder already
# configured keeps the one it has (cmake refuses to change it).
generator_for() {
    if [ ! -f "$1/CMakeCache.txt" ] && command -v ninja >/dev/null; then
        echo "-G Ninja"
    fi
}

# Configures and builds the tree in build/ with every core of the machine.
#     build_all [ON|OFF]   OFF: only the benchmarks that tests run (default ON: all of them)
build_all() {
    local root
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    # Line tables only (-g1): enough for a backtrace's files and lines, at a sixth less compile
    # work than full debug information.
    # shellcheck disable=SC2046
    cmake $(generator_for "$root/build") -S "$root" -B "$root/build" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
        -DBRENVALE_BENCH_IN_ALL="${1:-ON}" >/dev/null
    cmake --build "$root/build" --parallel "$(nproc)"
}
