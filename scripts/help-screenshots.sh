#!/usr/bin/env bash
# Makes the pictures of the help pages: the main window with the sample document, on a light and
# on a dark desktop, at scale 1 and at scale 2 (as on most laptop screens), the help window as
# F1 opens it, the shortcut key and toolbar dialogs, an Item edited in place and the first
# start, each kept small (reduced colours). They are written to help/images/ (or the
# folder given); rebuild afterwards to put them into the help. The dark desktop is GTK's dark
# theme read through Qt's GTK platform theme.
# Usage: scripts/help-screenshots.sh [OUT_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

if [ "${1:-}" != "--capture" ]; then
    source scripts/packages.sh
    ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" imagemagick \
        qt6-gtk-platformtheme
    build_all
    # Room for the window at scale 2.
    BRENVALE_X11_SCREEN=1600x1000x24 \
        exec scripts/with-x11.sh "$0" --capture "$(realpath -m "${1:-help/images}")"
fi

# On the virtual display of with-x11.sh.
out="$2"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
# Recovery copies, locks and settings stay in the work folder, not in the home folder, and no
# copy left by another editor makes this one ask about it.
mkdir -m 700 "$work/state" "$work/config" "$work/runtime"
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"

# A program folder of its own, so that a fixed window size and no earlier settings apply.
cp build/src/ui/brenvale build/src/ui/brenvale.qhc build/src/ui/brenvale.qch "$work/"
printf '[Save]\r\nEveryS=0\r\n[Window]\r\nHeight=400\r\nWidth=600\r\nTop=10\r\nLeft=10\r\nTitleFullPath=0\r\n[Tree]\r\nWidth=170\r\n' \
    >"$work/brenvale.ini"
sed -e $'s/^\\(\t*\\)[■]/\\1\x08■/' -e $'s/^\\(\t*\\)[□]/\\1\x08□/' scripts/sample.txt |
    iconv -f UTF-8 -t CP932 >"$work/sample.txt"
build/src/cli/brenvale-cli import-text "$work/sample.txt" "$work/サンプル.bnv"

window_of() {
    local id=""
    for _ in $(seq 1 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || { echo "help-screenshots: no window named $1" >&2; exit 1; }
    echo "$id"
}
shoot() {
    sleep 1
    /usr/bin/import -window "$1" "$work/shot.png"
    /usr/bin/convert "$work/shot.png" +dither -colors 96 -strip "PNG8:$out/$2"
    echo "picture: $out/$2 ($(stat -c %s "$out/$2") bytes)"
}

# Puts the pointer over the check list, whose hint the status bar then shows.
point_at_list() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $((WIDTH * 2 / 3)) $((HEIGHT / 2))
}

# main_window PICTURE [VARIABLE=VALUE...]: the main window started with those variables.
main_window() {
    local picture="$1" main editor
    shift
    (cd "$work" && exec env "$@" ./brenvale "サンプル.bnv") &
    editor=$!
    main=$(window_of ' - Brenvale$')
    xdotool windowactivate --sync "$main"
    point_at_list "$main"
    shoot "$main" "$picture"
    kill "$editor"
    wait "$editor" 2>/dev/null || true
    while xdotool search --onlyvisible --name ' - Brenvale$' >/dev/null 2>&1; do sleep 0.1; done
}
dark=(QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark)
main_window main-window-dark.png "${dark[@]}"
main_window main-window-scale2.png QT_SCALE_FACTOR=2
main_window main-window-scale2-dark.png QT_SCALE_FACTOR=2 "${dark[@]}"

(cd "$work" && ./brenvale "サンプル.bnv") &
sample=$!
main=$(window_of ' - Brenvale$')
xdotool windowactivate --sync "$main"
point_at_list "$main"
shoot "$main" main-window.png

xdotool key --window "$main" F1
help=$(window_of '^Brenvale ヘルプ$')
xdotool windowsize --sync "$help" 760 480
shoot "$help" help-window.png
xdotool key --window "$help" Escape
xdotool windowactivate --sync "$main"

# The shortcut key and toolbar dialogs, as they first open. Keys go to the active window
# through the X server's test extension, as typed.
xdotool key ctrl+k
keys=$(window_of '^ショートカットキー設定$')
shoot "$keys" shortcut-keys.png
xdotool key Escape
while xdotool search --onlyvisible --name '^ショートカットキー設定$' >/dev/null 2>&1; do sleep 0.1; done
xdotool windowactivate --sync "$main"
xdotool key ctrl+b
tools=$(window_of '^ツールバーのボタン表示設定$')
shoot "$tools" toolbar-dialog.png
xdotool key Escape
while xdotool search --onlyvisible --name '^ツールバーのボタン表示設定$' >/dev/null 2>&1; do sleep 0.1; done

# An Item edited in place: the list's second row opened from its popup ("編集(E)"), its text
# being changed. The focus goes from the tree's edit box to the tree, the entry box, the list.
xdotool windowactivate --sync "$main"
xdotool key Tab Tab Tab Down Menu
sleep 0.5
xdotool key e
sleep 0.5
xdotool key End
xdotool type --delay 50 " (2)"
shoot "$main" in-place-edit.png
xdotool key Escape
kill "$sample" 2>/dev/null || true
wait "$sample" 2>/dev/null || true
while xdotool search --onlyvisible --name ' - Brenvale$' >/dev/null 2>&1; do sleep 0.1; done

# The first start: a new document, its edit boxes with their grey placeholders.
rm -f "$work/brenvale.ini"
printf '[Window]\r\nHeight=360\r\nWidth=560\r\nTop=10\r\nLeft=10\r\n' >"$work/brenvale.ini"
(cd "$work" && ./brenvale) &
main=$(window_of ' - Brenvale$')
xdotool windowactivate --sync "$main"
xdotool key Tab
point_at_list "$main"
shoot "$main" first-start.png
