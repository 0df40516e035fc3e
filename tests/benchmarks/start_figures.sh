#!/usr/bin/env bash
# The start-up figures of one or more builds, side by side, in one run on the same machine:
#   info    `lantrel info` of the demo project: the median wall time of 20 runs, the shared
#           libraries the dynamic linker loads for it (LD_DEBUG=files link maps: the program's
#           own, ld.so and the vDSO not counted) and its peak resident memory;
#   window  the window's first painted picture with the demo project under Xvfb, median of 10:
#           from the execve to the first write of at least 64 KiB to the X server, which is the
#           backing store's PutImage of the painted window (strace's timestamps);
#   mp4     `lantrel export --mp4` of the demo project, median of 3, the module's load included.
# Usage: tests/benchmarks/start_figures.sh BUILD_DIR [BUILD_DIR...]
# Each BUILD_DIR needs app/lantrel, its modules, rsrc and examples/demo.vtm built. Needs Xvfb,
# strace and GNU time (scripts/install_packages.sh installs them).
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [BUILD_DIR...]" >&2; exit 2; }

work=$(mktemp -d)
cleanup() {
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
milliseconds() { awk -v s="$1" -v e="$2" 'BEGIN { printf "%.1f\n", (e - s) * 1000 }'; }

info_wall() {
    for _ in $(seq 20); do
        local start=$EPOCHREALTIME
        "$1" info "$2" >/dev/null
        milliseconds "$start" "$EPOCHREALTIME"
    done | median
}

info_libraries() {
    (LD_DEBUG=files "$1" info "$2" 2>&1 >/dev/null) | grep -c "generating link map"
}

info_peak_megabytes() {
    for _ in $(seq 5); do
        /usr/bin/time -f "%M" "$1" info "$2" 2>&1 >/dev/null | tail -n 1
    done | median | awk '{ printf "%.1f\n", $1 / 1024 }'
}

# One start of the window under strace; prints the milliseconds to its first painted picture.
window_paint() {
    local trace=$work/trace.txt
    rm -f "$trace"
    strace -f --seccomp-bpf -ttt -e trace=execve,writev -o "$trace" "$1" "$2" >/dev/null 2>&1 &
    local tracer=$!
    for _ in $(seq 100); do
        awk '$3 ~ /^writev/ && $NF >= 65536 { found = 1 } END { exit !found }' "$trace" 2>/dev/null && break
        sleep 0.1
    done
    # The window closes on SIGTERM as on a shutdown; strace ends with it. The next start must
    # not find it still running, or it would hand its file over to it.
    kill "$(awk '$3 ~ /^execve/ { print $1; exit }' "$trace")" 2>/dev/null || true
    wait "$tracer" 2>/dev/null || true
    awk '$3 ~ /^execve/ && !start { start = $2 }
         $3 ~ /^writev/ && $NF >= 65536 { printf "%.1f\n", ($2 - start) * 1000; exit }' "$trace"
}

window_paint_median() {
    for _ in $(seq 10); do
        window_paint "$1" "$2"
        sleep 0.3
    done | median
}

mp4_export() {
    for _ in $(seq 3); do
        local start=$EPOCHREALTIME
        "$1" export "$2" --mp4 --out-dir "$work" --name figures >/dev/null 2>&1
        awk -v s="$start" -v e="$EPOCHREALTIME" 'BEGIN { printf "%.2f\n", e - s }'
    done | median
}

exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number

printf "%-32s %10s %10s %10s %12s %10s\n" build "info ms" libraries "info MB" "window ms" "mp4 s"
for build in "$@"; do
    lantrel=$build/app/lantrel
    demo=$build/examples/demo.vtm
    printf "%-32s %10s %10s %10s %12s %10s\n" "$build" "$(info_wall "$lantrel" "$demo")" \
        "$(info_libraries "$lantrel" "$demo")" "$(info_peak_megabytes "$lantrel" "$demo")" \
        "$(window_paint_median "$lantrel" "$demo")" "$(mp4_export "$lantrel" "$demo")"
done
