#!/usr/bin/env bash
# Runs every test N times in a row (default 10) beside two processes that keep the CPU busy, as
# on a loaded CI machine; prints each run's summary and failures, and ends with the total.
# Arguments after N go to CTest (-R Playback, say).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
runs=${1:-10}
shift || true

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh"

source "$ROOT/scripts/wine-env.sh"
hogs=()
stop() {
    [ ${#hogs[@]} -gt 0 ] && kill "${hogs[@]}" 2>/dev/null || true
    sonello_env_stop
}
trap stop EXIT
sonello_env_start
for _ in 1 2; do
    (while :; do :; done) &
    hogs+=($!)
done

cd "$BUILD_DIR"
failed=0
for ((run = 1; run <= runs; run++)); do
    log="$BUILD_DIR/loaded-run-$run.log"
    start=$(date +%s)
    if ctest --output-on-failure "$@" >"$log" 2>&1; then status=ok; else status=FAILED; fi
    summary=$(grep -E "tests passed|tests failed" "$log" | tail -1)
    echo "run $run: $status, $summary ($(($(date +%s) - start)) s)"
    if [ "$status" = FAILED ]; then
        failed=$((failed + 1))
        sed -n '/The following tests FAILED/,$p' "$log"
    fi
done
echo "$runs runs beside two busy processes: $((runs - failed)) passed, $failed failed"
[ "$failed" = 0 ]
