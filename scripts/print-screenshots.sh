#!/usr/bin/env bash
# Pictures of the printed exam tables for the README: each exam-table
# workbook in FOLDER printed by `tolm print --pdf` (block by block, as the
# Print window prints it), its first page rendered to PNG; with LibreOffice
# installed also LibreOffice's PDF of the same workbook (first page) for
# comparison.
#   scripts/print-screenshots.sh FOLDER [OUT] [BUILD]
set -euo pipefail
folder=$1
out=${2:-docs/screenshots}
build=${3:-build}
work=$(mktemp -d "${TMPDIR:-/tmp}/tolm-print-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT
export TOLM_SYSTEM="${TOLM_SYSTEM:-$work/系统.xlsx}"
mkdir -p "$out"
declare -A names=([考场座位表]=seating-chart [考场门贴]=door-list [桌贴]=desk-labels [考场签到表]=sign-in-sheet [班级考场对照表]=class-rooms)
for file in "$folder"/*.xlsx; do
    base=$(basename "$file" .xlsx)
    target=${names[$base]:-$base}
    "$build/tolm" print "$file" --pdf "$work/$base.pdf" >/dev/null
    pdftoppm -f 1 -l 1 -r 60 -png -singlefile "$work/$base.pdf" "$out/print-$target"
    echo "$out/print-$target.png ($(pdfinfo "$work/$base.pdf" | sed -n 's/^Pages: *//p') 页)"
    if command -v soffice >/dev/null 2>&1; then
        (cd "$work" && HOME="$work" soffice -env:UserInstallation="file://$work/lo-profile" --headless \
            --convert-to pdf --outdir "$work/lo" "$file" >/dev/null 2>&1) || true
        if [ -f "$work/lo/$base.pdf" ]; then
            pdftoppm -f 1 -l 1 -r 60 -png -singlefile "$work/lo/$base.pdf" "$work/lo-$target"
            echo "  LibreOffice: $(pdfinfo "$work/lo/$base.pdf" | sed -n 's/^Pages: *//p') 页 (first page: $work/lo-$target.png, removed on exit unless KEEP=1)"
            if [ "${KEEP:-0}" = 1 ]; then cp "$work/lo-$target.png" "$out/print-$target-libreoffice.png"; fi
        fi
    fi
done
