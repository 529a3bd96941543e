#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang and runs them one after another, one worker each.
#   scripts/fuzz.sh --brief              every target for a short while (CI); fails on any crash
#   scripts/fuzz.sh --long [N] [TARGET]  every target (or the named ones) until N executions
#                                        (default 10000000), then a table of what each reached
# Work corpora, crash inputs and logs stay in the build folder; the seeds in fuzz/corpus are read only.
# Environment: NIMBREL_FUZZ_BUILD_DIR (default build-fuzz), CI=true (warnings become errors).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${NIMBREL_FUZZ_BUILD_DIR:-$root/build-fuzz}
all_targets=(kubeconfig base64 address release_status error_classification log_filter)
brief_seconds=6

usage() {
    sed -n '2,6s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
    exit 2
}

mode=${1:-}
shift || true
runs=10000000
case $mode in
--brief) ;;
--long)
    if [[ ${1:-} =~ ^[0-9]+$ ]]; then
        runs=$1
        shift
    fi
    ;;
*) usage ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
for t in "${targets[@]}"; do
    [[ " ${all_targets[*]} " == *" $t "* ]] || { echo "Unknown fuzz target: $t" >&2; exit 2; }
done

configure_flags=(-G Ninja -DCMAKE_CXX_COMPILER=clang++-14)
[ "${CI:-}" = "true" ] && configure_flags+=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
cmake -S "$root/fuzz" -B "$build_dir" "${configure_flags[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
# The kubeconfig target writes its input file and decoded copies under here.
export TMPDIR=$build_dir/tmp
mkdir -p "$TMPDIR" "$build_dir/logs" "$build_dir/artifacts"

failed=0
rows=()
for t in "${targets[@]}"; do
    work=$build_dir/corpus/$t
    log=$build_dir/logs/$t.log
    mkdir -p "$work"
    args=(-print_final_stats=1 -timeout=10 -max_len=256 "-artifact_prefix=$build_dir/artifacts/$t-")
    [ -f "$root/fuzz/dictionaries/$t.dict" ] && args+=("-dict=$root/fuzz/dictionaries/$t.dict")
    if [ "$mode" = --brief ]; then
        args+=("-max_total_time=$brief_seconds")
    else
        args+=("-runs=$runs")
    fi
    echo "=== fuzz_$t ==="
    start=${EPOCHREALTIME/./}
    status=0
    "$build_dir/fuzz_$t" "${args[@]}" "$work" "$root/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
    tenths=$(((${EPOCHREALTIME/./} - start) / 100000))
    seconds=$((tenths / 10)).$((tenths % 10))
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$status" -eq 0 ]; then
        result=ok
    else
        result="FAILED (exit $status, see $log)"
        failed=1
        grep -E 'ERROR|invariant broken|runtime error|Test unit written' "$log" | head -n 5 >&2 || true
    fi
    printf '%s: %s executions in %.0f s, %s\n' "$t" "${executions:-?}" "$seconds" "$result"
    rows+=("$(printf '%-22s %14s %10.1f  %s' "$t" "${executions:-?}" "$seconds" "$result")")
done

if [ "$mode" = --long ]; then
    echo
    printf '%-22s %14s %10s  %s\n' target executions seconds result
    printf '%s\n' "${rows[@]}"
fi
exit "$failed"
