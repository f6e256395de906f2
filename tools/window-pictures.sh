#!/usr/bin/env bash
# Pictures every window on the demo collection at a screen of 768 lines and one of 1080, and
# compares two such sets pixel for pixel: what a change to the windows' code altered on screen.
#   bash tools/window-pictures.sh take FOLDER [BUILD]   pictures into FOLDER/768 and FOLDER/1080
#   bash tools/window-pictures.sh compare BEFORE AFTER  every picture that differs, and by how many
#                                                       pixels; the differences drawn in AFTER/diff
set -euo pipefail
cd "$(dirname "$0")/.."

take() {
    local folder=$1 build=${2:-build-test}
    cmake --build "$build" --target pivanes-screens -j2 >/dev/null
    local config
    config=$(mktemp -d)
    trap 'rm -rf "$config"' RETURN
    for size in 1366x768 1920x1080; do
        local width=${size%x*} height=${size#*x}
        printf '{"screens": [{"name": "S", "x": 0, "y": 0, "width": %d, "height": %d,
            "logicalDpi": 96, "logicalBaseDpi": 96}]}' "$width" "$height" >"$config/$height.json"
        mkdir -p "$folder/$height"
        # The menus' captions and the messages shown are compared with the pictures.
        LANG=C.UTF-8 LC_ALL=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 \
            QT_QPA_PLATFORM="offscreen:configfile=$config/$height.json" \
            "$build/tools/pivanes-screens" "$folder/$height" 2>"$folder/$height.err" |
            sed "s|$folder/||" >"$folder/$height.txt"
    done
}

compare_folders() {
    local before=$1 after=$2 differing=0
    mkdir -p "$after/diff"
    for height in 768 1080; do
        if ! diff -u "$before/$height.txt" "$after/$height.txt"; then
            differing=$((differing + 1))
        fi
        for picture in "$before/$height"/*.png; do
            local name
            name=$(basename "$picture")
            if [[ ! -f $after/$height/$name ]]; then
                echo "$height/$name : absente après"
                differing=$((differing + 1))
                continue
            fi
            # compare answers 0 (same), 1 (different) or 2 (sizes differ, or an error).
            local pixels status=0
            pixels=$(compare -metric AE "$picture" "$after/$height/$name" \
                "$after/diff/$height-$name" 2>&1) || status=$?
            if [[ $status -eq 0 ]]; then
                rm -f "$after/diff/$height-$name"
                continue
            fi
            if [[ $status -eq 2 ]]; then
                pixels="tailles $(identify -format '%wx%h' "$picture") et $(identify -format \
                    '%wx%h' "$after/$height/$name")"
            else
                pixels="$pixels pixels"
            fi
            echo "$height/$name : $pixels"
            differing=$((differing + 1))
        done
    done
    echo "$differing différence(s)"
    [[ $differing -eq 0 ]]
}

case ${1:-} in
take) take "${@:2}" ;;
compare) compare_folders "${@:2}" ;;
*)
    echo "usage : $0 take DOSSIER [CONSTRUCTION] | compare AVANT APRES" >&2
    exit 2
    ;;
esac
