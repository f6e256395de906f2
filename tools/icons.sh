#!/usr/bin/env bash
# Draws the PNG sizes of the program's icon from packaging/pivanes.svg (needs rsvg-convert).
set -euo pipefail
cd "$(dirname "$0")/../packaging"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" pivanes.svg -o "icons/pivanes-$size.png"
done
