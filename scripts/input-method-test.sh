#!/usr/bin/env bash
# Types Japanese into the editor through a real input method, with the mozc engine under ibus
# and under fcitx5, as a user does, and checks the saved document after each case: the Enter
# that commits a composition only commits, the keys pressed during a composition go to the
# input method, the list view keeps the input method off, F2 during a composition runs nothing,
# a composition cancelled in the tree's edit box leaves the caption as it was, and an Item
# edited in place over its row takes what was committed there.
#
# Everything runs on a private virtual display (key auto-repeat off) with a D-Bus session of
# its own. mozc does not run as root: run as root, the session runs as the unprivileged user
# 65534 with a home folder of its own. Every process the session starts ends with it.
# Usage: scripts/input-method-test.sh [RUNS] [ibus|fcitx]   (after the build; RUNS defaults to
# 1, and both input methods run unless one is named)
set -euo pipefail

if [ "${1:-}" != "--session" ]; then
    root="$(cd "$(dirname "$0")/.." && pwd)"
    runs="${1:-1}"
    methods=(ibus fcitx)
    [ -n "${2:-}" ] && methods=("$2")
    source "$root/scripts/packages.sh"
    ensure_packages xvfb xauth xdotool openbox ibus ibus-mozc dbus-x11 dbus-bin \
        fcitx5 fcitx5-mozc fcitx5-frontend-qt6
    [ -x "$root/build/src/ui/brenvale" ] && [ -x "$root/build/src/cli/brenvale-cli" ] || build_all
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    cp "$root/build/src/ui/brenvale" "$root/build/src/cli/brenvale-cli" "$0" "$work/"
    chmod 755 "$work"
    session() {  # session METHOD: one session of every case, as an unprivileged user
        if [ "$(id -u)" -eq 0 ]; then
            chown -R 65534:65534 "$work"
            setpriv --reuid=65534 --regid=65534 --clear-groups \
                env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
                bash "$work/$(basename "$0")" --session "$work" "$1"
        else
            env -i PATH="$PATH" LANG=C.UTF-8 bash "$work/$(basename "$0")" --session "$work" "$1"
        fi
    }
    for run in $(seq 1 "$runs"); do
        for method in "${methods[@]}"; do
            # A freshly started input method now and then misses the very first key of a
            # session on a busy machine; a fault of the editor fails the session again.
            if ! session "$method"; then
                echo "input-method-test: run $run of $runs failed once ($method); again" >&2
                session "$method" ||
                    { echo "input-method-test: run $run of $runs failed ($method)" >&2; exit 1; }
            fi
            echo "input-method-test: run $run of $runs passed ($method)"
        done
    done
    exit 0
fi

# ---- The session, as the unprivileged user.
work="$2"
method="$3"
session="$(mktemp -d "$work/session.XXXXXX")"
export HOME="$session/home" XDG_CONFIG_HOME="$session/home/.config"
export XDG_STATE_HOME="$session/state" XDG_RUNTIME_DIR="$session/runtime"
mkdir -p "$HOME/.mozc" "$XDG_CONFIG_HOME/fcitx5" "$XDG_STATE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Under ibus, mozc starts in direct (Latin) input unless told to start in hiragana.
cat >"$HOME/.mozc/ibus_config.textproto" <<'EOF'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
EOF
# Under fcitx5: mozc as the group's input method, active in every new window, and no lone
# Shift switching it off halfway through a case.
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
EOF
cat >"$XDG_CONFIG_HOME/fcitx5/config" <<'EOF'
[Hotkey/AltTriggerKeys]

[Behavior]
ActiveByDefault=True
ShareInputState=No
EOF

pids=()
ibus_started=""
cleanup() {
    [ -n "$ibus_started" ] && ibus exit >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
    # mozc's server leaves the process tree; it is known by the home folder of this session.
    for environ in /proc/[0-9]*/environ; do
        if grep -qzx "HOME=$HOME" "$environ" 2>/dev/null; then
            pid="${environ#/proc/}"
            kill "${pid%/environ}" 2>/dev/null || true
        fi
    done
    rm -rf "$session"
}
trap cleanup EXIT

fail() {
    echo "input-method-test ($method): $*" >&2
    if [ "$method" = fcitx ] && [ -s "${calls:-}" ]; then
        echo "input-method-test: the last keys fcitx5 answered:" >&2
        fcitx_answers | tail -n 12 >&2
    elif [ -s "${log:-}" ]; then
        echo "input-method-test: the end of the editor's input method log:" >&2
        grep -v serialize "$log" | tail -n 12 >&2
    fi
    exit 1
}

# Waits until a command succeeds, at most $1 tenths of a second.
poll() {
    local tenths="$1"
    shift
    for _ in $(seq 1 "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

numfile="$session/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ardelay 600000 -arinterval 600000 \
    3>"$numfile" >/dev/null 2>&1 &
pids+=($!)
poll 200 test -s "$numfile" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$numfile")"
eval "$(dbus-launch --sh-syntax)"
calls="$session/fcitx-calls.log"
if [ "$method" = ibus ]; then
    ibus-daemon --daemonize --replace --panel=disable --xim >/dev/null 2>&1
    ibus_started=1
    # "ibus engine NAME" fails until the daemon has read its engines (and sometimes after it
    # has switched); the engine shown tells.
    mozc_on() {
        ibus engine mozc-jp >/dev/null 2>&1 || true
        [ "$(ibus engine 2>/dev/null)" = mozc-jp ]
    }
    poll 300 mozc_on || fail "ibus did not take the mozc engine"
    im_module=ibus
else
    # The Qt module of fcitx5 logs nothing: its calls to fcitx5 and their answers are read
    # from the session bus instead.
    dbus-monitor --session \
        "type='method_call',interface='org.fcitx.Fcitx.InputContext1',member='ProcessKeyEvent'" \
        "type='method_return'" >"$calls" 2>/dev/null &
    pids+=($!)
    fcitx5 --replace --disable=notificationitem,kimpanel,wayland,waylandim >/dev/null 2>&1 &
    pids+=($!)
    fcitx_on() {
        dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 /controller \
            org.fcitx.Fcitx.Controller1.CurrentInputMethod >/dev/null 2>&1
    }
    poll 300 fcitx_on || fail "fcitx5 did not start"
    im_module=fcitx
fi
openbox >/dev/null 2>&1 &
pids+=($!)
poll 300 xdotool get_desktop >/dev/null 2>&1 || fail "the window manager did not start"

cli="$work/brenvale-cli"
doc="$session/doc.bnv"
log="$session/editor.log"

# A document from lines of text: a topic per line, "□" or "■" lines are its Items.
make_document() {
    printf '%s\n' "$@" | sed -e $'s/^\\([□■]\\)/\\t\x08\\1/' | iconv -f UTF-8 -t CP932 >"$session/doc.txt"
    rm -f "$doc"
    "$cli" import-text "$session/doc.txt" "$doc"
}

# The document as the text export shows it, in UTF-8.
shown_document() {
    "$cli" export "$doc" "$session/export.txt" && iconv -f CP932 -t UTF-8 "$session/export.txt" | tr -d '\r'
}

# The keys fcitx5 answered for, from the calls on the session bus: "answered KEYSYM RELEASE"
# for each ProcessKeyEvent call that has had its reply.
fcitx_answers() {
    awk '
        /^method call/ && /member=ProcessKeyEvent/ {
            match($0, /sender=[^ ]+/); from = substr($0, RSTART + 7, RLENGTH - 7)
            match($0, / serial=[0-9]+/); key = from " " substr($0, RSTART + 8, RLENGTH - 8)
            field = 0; next
        }
        key != "" && /^ +(uint32|boolean)/ {
            field++
            if (field == 1) sym[key] = $2
            if (field == 4) { release[key] = $2; key = "" }
            next
        }
        /^method return/ {
            match($0, /destination=[^ ]+/); to = substr($0, RSTART + 12, RLENGTH - 12)
            match($0, /reply_serial=[0-9]+/); k = to " " substr($0, RSTART + 13, RLENGTH - 13)
            if (k in release) { print "answered", sym[k], release[k]; delete release[k] }
        }' "$calls" 2>/dev/null
}

# How many key events of one keysym the input method has answered for.
answered() {  # answered KEYSYM
    if [ "$method" = fcitx ]; then
        fcitx_answers | grep -c "^answered $1 " || true
    else
        grep -c -E "filterEvent(Finished)? return [0-9]+ $1 [0-9]+ (true|false)" "$log" 2>/dev/null || true
    fi
}

keysym() {  # keysym XDOTOOL_KEY: the X keysym number of the key (modifiers dropped)
    local key="${1##*+}"
    case "$key" in
        Return) echo 65293 ;;
        Escape) echo 65307 ;;
        BackSpace) echo 65288 ;;
        Delete) echo 65535 ;;
        Tab) echo 65289 ;;
        Left) echo 65361 ;;
        Up) echo 65362 ;;
        Right) echo 65363 ;;
        Down) echo 65364 ;;
        F2) echo 65471 ;;
        Home) echo 65360 ;;
        End) echo 65367 ;;
        space) echo 32 ;;
        [a-z]) printf '%d\n' "'$key" ;;
        *) fail "no keysym known for $1" ;;
    esac
}

# Sends keys one by one to a widget that uses the input method, each once the input method
# has answered for the press and the release of the one before.
keys() {
    local key
    for key in "$@"; do
        send_answered 2 "$key"
    done
}

# Sends a key that moves the focus from a widget that uses the input method to one that
# does not: only its press goes through the input method.
leaving_key() {
    send_answered 1 "$1"
}

send_answered() {  # send_answered ANSWERS KEY
    local sym target
    sym=$(keysym "$2")
    target=$(($(answered "$sym") + $1))
    xdotool key --clearmodifiers "$2"
    poll 200 eval '[ "$(answered "$sym")" -ge "$target" ]' ||
        fail "$case_name: the input method did not answer for $2"
}

# Types letters one by one through the input method.
letters() {
    local i
    for ((i = 0; i < ${#1}; i++)); do
        keys "${1:i:1}"
    done
}

# Sends keys to a widget that keeps the input method off: they reach it in order.
direct_keys() {
    xdotool key --clearmodifiers "$@"
}

editor=""
start_editor() {
    case_name="$1"
    : >"$log"
    (cd "$work" && exec env QT_IM_MODULE="$im_module" QT_LOGGING_RULES="qt.qpa.input.methods=true" \
        ./brenvale "$doc" >"$log" 2>&1) &
    editor=$!
    window=""
    find_window() {
        window=$(xdotool search --onlyvisible --name ' - Brenvale$' 2>/dev/null | head -n 1)
        [ -n "$window" ]
    }
    poll 300 find_window || fail "$case_name: the editor's window did not show"
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    poll 100 eval '[ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ]' ||
        fail "$case_name: the editor's window did not become active"
    # The tree's edit box has the focus; once the input method answers there, it is ready. The
    # editor connects to the input method in the background, and a key sent before that is
    # never answered: Escape (harmless there) is sent again until one is.
    send_until_answered 15 Escape
}

# Sends a harmless key again, up to TRIES times two seconds apart, until the input method
# answers for its press and release: the widget with the focus is then connected to it.
send_until_answered() {  # send_until_answered TRIES KEY
    local sym target
    sym=$(keysym "$2")
    for _ in $(seq 1 "$1"); do
        target=$(($(answered "$sym") + 2))
        xdotool key --clearmodifiers "$2"
        poll 20 eval '[ "$(answered "$sym")" -ge "$target" ]' && return 0
    done
    fail "$case_name: the input method did not answer for $2"
}

# Saves with Ctrl+S, waits until the file has changed, closes the editor and compares the
# document with the lines given (as the text export writes them; each line a whole-line
# extended regular expression).
save_and_expect() {
    local before
    before=$(md5sum <"$doc")
    changed() { [ "$(md5sum <"$doc")" != "$before" ]; }
    direct_keys ctrl+s
    poll 200 changed || fail "$case_name: nothing was saved"
    kill "$editor" 2>/dev/null || true
    wait "$editor" 2>/dev/null || true
    local expected actual matches=1 i pattern
    expected=$(printf '%s\n' "$@")
    actual=$(shown_document)
    local -a lines
    mapfile -t lines <<<"$actual"
    [ "${#lines[@]}" -eq "$#" ] || matches=""
    for ((i = 0; i < $# && i < ${#lines[@]}; i++)); do
        pattern="${*:i+1:1}"
        [[ "${lines[i]}" =~ ^${pattern}$ ]] || matches=""
    done
    if [ -z "$matches" ]; then
        echo "input-method-test ($method): $case_name: the saved document differs (expected, saved):" >&2
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        exit 1
    fi
    echo "input-method-test ($method): $case_name: passed"
}

# ---- The cases. The editor starts with the first topic selected and the focus in the tree's
# edit box, its caption all selected. Tab goes on to the tree, the entry box and the list.

# The entry box: the Enter that commits a composition (converted or not) only commits; the
# Enter after it, with nothing composed, adds the Item.
make_document "トピック" "□一" "□二"
start_editor "entry box, Enter commits"
leaving_key Tab
direct_keys Tab
letters nihonn
keys space Return
letters desu
keys Return Return
save_and_expect "トピック" "  □一" "  □日本です" "  □二"

# The tree's edit box likewise: the caption is what was committed, nothing else happened.
make_document "トピック" "□一"
start_editor "tree edit box, Enter commits"
letters nihonn
keys space Return
letters desu
keys Return Return
save_and_expect "日本です" "  □一"

# Keys pressed during a composition go to the input method: arrows, Backspace, Delete, Escape
# and F2 edit or convert the composition, Shift+Enter (the replace command) and Ctrl+Enter
# commit it. None of them edits the text around the composition ("あい" before it, the cursor
# after it) or runs a command: the selected Item stays, no other Item is added. What a key
# makes of the composition is the input method's; the Escapes after it drop whatever is left.
make_document "トピック" "□一" "□二"
start_editor "keys during a composition"
leaving_key Tab
direct_keys Tab
letters ai
keys Return
for key in Left Right Up Down BackSpace Delete Escape F2 shift+Return ctrl+Return; do
    letters kana
    keys "$key" Escape Escape Escape
done
letters ki
keys Return Return
save_and_expect "トピック" "  □一" "  □あい[^一]*き" "  □二"

# The list keeps the input method off: letters do not compose there and Space ticks the row.
make_document "トピック" "□一" "□二"
start_editor "the list keeps the input method off"
leaving_key Tab
direct_keys Tab
leaving_key Tab
direct_keys Down a space
save_and_expect "トピック" "  □一" "  ■二"

# A composition cancelled in the tree's edit box (Escape, after a conversion too, or Backspace
# over all of it) leaves the caption it replaced as it was, also once the focus moves on.
make_document "トピック" "□一"
start_editor "cancelled compositions keep the caption"
letters kana
keys Escape Escape
letters kana
keys space Escape Escape Escape
letters ka
keys BackSpace
leaving_key Tab
save_and_expect "トピック" "  □一"

# A composition erased with Backspace in the entry box is not committed later, when the focus
# moves away and back.
make_document "トピック" "□一"
start_editor "an erased composition stays erased"
leaving_key Tab
direct_keys Tab
letters ai
keys Return
letters ka
keys BackSpace
leaving_key Tab
direct_keys shift+Tab
keys Return
save_and_expect "トピック" "  □一" "  □あい"

# An Item edited in place, over its row (opened from the list's popup, "編集(E)"): a
# composition cancelled there gives back the text it replaced (one Escape: a second one, with
# nothing composed, would close the box and drop the edit); the Enter that commits a
# composition only commits, and the Enter after it stores the row and leaves the box.
make_document "トピック" "□一" "□二"
start_editor "in-place edit"
leaving_key Tab
direct_keys Tab
leaving_key Tab
direct_keys Down
# The popup's "e" is sent only once the popup shows: sent before, it would reach the list.
windows_before=$(xdotool search --onlyvisible --pid "$editor" 2>/dev/null | wc -l)
direct_keys Menu
poll 200 eval '[ "$(xdotool search --onlyvisible --pid "$editor" 2>/dev/null | wc -l)" -gt "$windows_before" ]' ||
    fail "$case_name: the list's popup did not show"
direct_keys e
# The box opens once the popup has closed, and connects to the input method in the
# background; a key sent before that reaches the list, which keeps the input method off, or
# the box unanswered. End (harmless in either: the caret to the end of the box's selected
# text, or the list's last row, which is already current) is sent again until the input
# method answers it; then Shift+Home selects the whole text again, as the box opened.
send_until_answered 30 End
keys shift+Home
letters kana
keys Escape
keys End
letters desu
keys Return
leaving_key Return
save_and_expect "トピック" "  □一" "  □二です"
