#!/usr/bin/env bash
# Learns the start-up order: which of the programs' own functions starting
# and the common commands run, so that release builds lay them side by side
# (see the top CMakeLists.txt). Runs each program under Valgrind's callgrind
# on synthetic images: kestrane-cli's info, list, show, export and set, and
# the window up to its first frame, for a Crystal and a Red image.
#
#   tests/bench/start_up_order.sh build/bench [cmake/start-up-order.txt]
#
# The build must hold the programs and kestrane-training-roms (the bench
# preset: cmake --build --preset bench --target kestrane kestrane-cli
# kestrane-training-roms; `make start-up-order` does all of it).
#
#   tests/bench/start_up_order.sh --check BUILD [cmake/start-up-order.txt]
#
# checks instead that the order still names the programs' functions (a test
# of every build): a function renamed or gone is no longer placed.
set -euo pipefail
check=false
if [ "${1:-}" = --check ]; then check=true; shift; fi
build=${1:?usage: $0 [--check] BUILD [ORDER]}
output=${2:-$(dirname "$0")/../../cmake/start-up-order.txt}
cli=$build/src/cli/kestrane-cli
app=$build/src/app/kestrane

if $check; then
    # Clones an optimiser makes (name.isra.0, name.cold) exist in optimised builds only.
    listed=$(grep -v '[.]' "$output" | sort -u)
    missing=$(comm -23 <(echo "$listed") <(for p in "$cli" "$app"; do [ -f "$p" ] && nm "$p"; done | awk '{ print $NF }' | sort -u))
    total=$(echo "$listed" | wc -l)
    lost=$(echo "$missing" | grep -c . || true)
    if [ $((lost * 20)) -gt "$total" ]; then
        echo "$lost of the $total functions in $output are no longer in the programs, for example:"
        echo "$missing" | head -5
        echo "Learn the order again: tests/bench/start_up_order.sh build/bench (see its first lines)."
        exit 1
    fi
    echo "$((total - lost)) of the $total functions in $output are in the programs"
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/tests/bench/kestrane-training-roms" "$work"
run=0
# The mangled names of the program's own functions that the run entered.
trace() {
    local program=$1; shift
    run=$((run + 1))
    valgrind -q --demangle=no --tool=callgrind --callgrind-out-file="$work/run$run.out" "$program" "$@" >/dev/null 2>&1 || true
    callgrind_annotate --threshold=100 "$work/run$run.out" |
        grep -F "[$(readlink -f "$program")]" |
        sed -E 's/^ *[0-9,]+ +(\([^)]*\) +)?//; s/ \[[^]]*\]$//; s/^[^:]*://' |
        sed -E "s/'[0-9]+$//" | grep -E '^(_Z|_GLOBAL__sub_I_|main$)' | sort -u >"$work/run$run.names" || true
    # A run that ended early teaches a wrong order: none is written.
    [ -s "$work/run$run.names" ] || { echo "callgrind recorded none of $program's functions for: $*" >&2; exit 1; }
}

for rom in crystal.gbc red.gb; do
    cp "$work/$rom" "$work/copy-$rom"
    trace "$cli" info "$work/$rom"
    trace "$cli" list "$work/$rom"
    trace "$cli" show "$work/$rom" 2
    trace "$cli" export "$work/$rom"
    trace "$cli" set "$work/copy-$rom" 2 --nickname PEBBLE
    QT_QPA_PLATFORM=offscreen KESTRANE_QUIT_AFTER_FIRST_PAINT=1 XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
        XDG_RUNTIME_DIR=$work trace "$app" "$work/$rom"
done

# Most used first: what every run enters (starting, opening a ROM), then
# what fewer runs share; the functions of one same set of runs (one command,
# or the window) side by side, so that each finds its code close together.
python3 - "$work" "$output" <<'PY'
import collections, pathlib, sys
runs = collections.defaultdict(list)
for names in sorted(pathlib.Path(sys.argv[1]).glob("run*.names"), key=lambda p: int(p.stem[3:])):
    for name in names.read_text().split():
        runs[name].append(int(names.stem[3:]))
order = sorted(runs, key=lambda name: (-len(runs[name]), runs[name], name))
pathlib.Path(sys.argv[2]).write_text("".join(name + "\n" for name in order))
PY
echo "$(wc -l <"$output") functions written to $output"
