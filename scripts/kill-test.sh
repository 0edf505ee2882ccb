#!/usr/bin/env bash
# Kills a save of a 25 MB document at random moments, N times (default 50): after every kill the
# document holds either its old or its new content, and nothing is left beside it.
#     scripts/kill-test.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
kills="${1:-50}"
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target brenvale-cli >/dev/null
cli="$PWD/build/src/cli/brenvale-cli"

work="build/kill-test"
rm -rf "$work"
mkdir -p "$work/sources" "$work/folder"
target="$work/folder/big.bnv"

# Two documents of about 25 MB that differ everywhere: 41,200 topics of ten items each.
make_document() {
    awk -v tag="$1" 'BEGIN {
        for (i = 0; i < 41200; i++) {
            printf "Topic %s %d@03@\r\n", tag, i
            for (j = 0; j < 10; j++) {
                printf "\t\010\201\240item %s %d.%d, a line of some length to fill the file\r\n", tag, i, j
            }
        }
    }' >"$work/sources/$1.raw"
    # As the writer writes it, so that old and new content can be compared byte for byte.
    "$cli" resave "$work/sources/$1.raw" "$work/sources/$1.bnv"
}
make_document A
make_document B
cp "$work/sources/A.bnv" "$target"

now() { date +%s.%N; }
start="$(now)"
"$cli" resave "$work/sources/B.bnv" "$target"
span="$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }')"
echo "kill test: one save of $(stat -c %s "$target") bytes takes $span s; killing $kills saves"

old=0
new=0
finished=0
for ((i = 1; i <= kills; i++)); do
    source="$work/sources/$([ $((i % 2)) -eq 1 ] && echo A || echo B).bnv"
    before="$work/before.bnv"
    cp "$target" "$before"
    "$cli" resave "$source" "$target" &
    pid=$!
    sleep "$(awk -v r="$RANDOM" -v s="$span" 'BEGIN { printf "%.4f", r / 32767 * s * 1.1 }')"
    if kill -KILL "$pid" 2>/dev/null; then
        wait "$pid" 2>/dev/null || true
    else
        wait "$pid" || { echo "kill test: a save that was not killed failed"; exit 1; }
        finished=$((finished + 1))
    fi
    if cmp -s "$target" "$source"; then
        new=$((new + 1))
    elif cmp -s "$target" "$before"; then
        old=$((old + 1))
    else
        echo "kill test: after kill $i the document holds neither its old nor its new content"
        exit 1
    fi
    left="$(find "$work/folder" -mindepth 1 ! -name big.bnv)"
    if [ -n "$left" ]; then
        echo "kill test: after kill $i files were left beside the document:"
        echo "$left"
        exit 1
    fi
done
rm -f "$work/before.bnv"
echo "kill test: $kills saves killed at random ($finished had finished): $old kept the old content," \
    "$new had the new one; 0 files left behind"
