#!/usr/bin/env bash
# Peak memory and time of whole-map pictures made by ketral-tool, beside the
# same commands at 1920 x 1080. Writes a demo installation with two large
# tactical maps into a temporary directory (about 70 MB) and prints one line
# per run: command, maximum resident set size in KiB, elapsed, user and system
# seconds.
#   bench/whole-map-memory.sh [build/bin/ketral-tool]
set -euo pipefail
tool=$(realpath "${1:-build/bin/ketral-tool}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$tool" demo game >/dev/null

# Two map directories with the demo's tiles: "Big" holds "big" (4096 x 4096
# cells, a plan picture of 32768 x 32768 pixels), "Wide" holds "wide" (672 x
# 672 cells, an isometric picture of 32256 x 16168 pixels). Each starts as one
# empty block and gets four blocks along x and y.
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x00\\x00"; }
for entry in Big:big:1024 Wide:wide:168; do
    IFS=: read -r dir name side <<<"$entry"
    mkdir game/maps/$dir
    cp -r game/maps/Outpost/mapunits game/maps/$dir/
    { le32 $side; le32 $side; le32 1; le32 0; le32 0; le32 0; } >game/maps/$dir/building.dat
    { le32 1; le32 1; le32 1; le32 0; le32 0; } >game/maps/$dir/$name.sdt
    head -c $((side * side * 4)) /dev/zero >game/maps/$dir/$name.smp
    "$tool" tactical-resize --game game --map $dir $name --factors 4,4,1 >/dev/null
done
# Stripes of ground, walls and features, so that every cell draws something.
paint() {
    local dir=$1 name=$2 side=$3 step=$4 i=0
    for ((x = 0; x < side; x += step)); do
        "$tool" tactical-paint --game game --map $dir $name --level 0 --from $x,0 --to $((x + step - 1)),$((side - 1)) \
            ground=$((i % 8 + 1)) left=$((i % 5 + 1)) feature=$((i % 3 * 3)) >/dev/null
        i=$((i + 1))
    done
}
paint Big big 4096 512
paint Wide wide 672 96

run() {
    local out
    out=$( { /usr/bin/time -f '%M %e %U %S' "$tool" "$@" >/dev/null; } 2>&1 | tail -1)
    read -r kib elapsed user system <<<"$out"
    echo "$* => $kib KiB, $elapsed s ($user s user, $system s system)"
}
run render-city --game game --map Citymap1 --size 1920x1080 --out city.png
run render-city --game game --map Citymap1 --whole --out city-whole.png
run render-city --game game --map Citymap1 --whole --out city-whole.raw
run render-tactical --game game --map Big big --plan --size 1920x1080 --out plan.png
run render-tactical --game game --map Big big --plan --whole --out plan-whole.png
run render-tactical --game game --map Big big --plan --whole --out plan-whole.raw
run render-tactical --game game --map Wide wide --size 1920x1080 --out iso.png
run render-tactical --game game --map Wide wide --whole --out iso-whole.png
