#!/usr/bin/env bash
# Runs every fuzz target for the given time, two at a time, each seeded from
# the content pack and from the inputs that zeb-fuzz-seeds writes.
#
# usage: fuzz/run.sh FUZZ_BUILD_DIR CONTENT_DATA_DIR SECONDS
# A finding (crash, sanitizer report, leak, timeout) leaves its input in
# FUZZ_BUILD_DIR/findings and makes the run fail; turn it into a regression
# test of the reader's own test program.
set -uo pipefail
build=$1 data=$2 seconds=$3
seeds=$build/fuzz-seeds corpus=$build/fuzz-corpus findings=$build/findings logs=$build/fuzz-logs
rm -rf "$seeds" "$logs"
mkdir -p "$seeds" "$corpus" "$findings" "$logs"
"$build/zeb-fuzz-seeds" "$seeds" || exit 1

# Seeds from the content pack: the smaller bitmaps and models (large ones
# only slow every run down), and the head of the height file.
mkdir -p "$seeds/bmp" "$seeds/md2" "$seeds/heights"
if [ -d "$data" ]; then
    find "$data" -iname '*.bmp' -size -200k | head -n 40 | while read -r f; do
        cp "$f" "$seeds/bmp/pack_$(basename "$f")"; done
    find "$data" -iname '*.md2' -size -300k | head -n 20 | while read -r f; do
        cp "$f" "$seeds/md2/pack_$(basename "$f")"; done
    [ -f "$data/terrain.dat" ] && head -c 65536 "$data/terrain.dat" > "$seeds/heights/pack_head"
else
    echo "fuzz: no content pack at $data; running on the generated seeds only"
fi

targets=()
for t in "$build"/fuzz_*; do [ -x "$t" ] && targets+=("$(basename "$t" | sed 's/^fuzz_//')"); done

run_one() {
    local name=$1 max_len=65536
    [ "$name" = bmp ] && max_len=262144
    [ "$name" = md2 ] && max_len=327680
    mkdir -p "$corpus/$name" "$seeds/$name"
    "$build/fuzz_$name" "$corpus/$name" "$seeds/$name" \
        -max_total_time="$seconds" -max_len="$max_len" -timeout=30 -rss_limit_mb=3072 \
        -print_final_stats=1 -artifact_prefix="$findings/$name-" \
        > "$logs/$name.log" 2>&1
    echo $? > "$logs/$name.status"
}

# Two at a time: the machine has two cores.
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    run_one "${targets[i]}" &
    [ $((i + 1)) -lt ${#targets[@]} ] && run_one "${targets[i + 1]}" &
    wait
done

failed=0
printf '%-16s %10s %8s %8s  %s\n' target runs cover corpus result
for name in "${targets[@]}"; do
    log=$logs/$name.log
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
    cover=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*')
    units=$(ls "$corpus/$name" | wc -l)
    result=ok
    if [ "$(cat "$logs/$name.status")" != 0 ]; then
        result="FINDING (see $log)"
        failed=1
        grep -m 3 -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" | sed 's/^/    /'
    fi
    printf '%-16s %10s %8s %8s  %s\n' "$name" "${runs:-?}" "${cover:-?}" "$units" "$result"
done
exit $failed
