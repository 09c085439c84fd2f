#!/usr/bin/env bash
# Pictures of the exam tables for the README: the first block of each
# exam-table workbook in FOLDER, printed as the print window prints a block
# (its print area only), through LibreOffice to PDF and the first page to PNG.
#   scripts/table-screenshots.sh FOLDER [OUT]
set -euo pipefail
folder=$1
out=${2:-docs/screenshots}
work=$(mktemp -d "${TMPDIR:-/tmp}/tolm-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$folder" "$work" <<'PY'
import glob, os, sys
import openpyxl
from openpyxl.utils import get_column_letter
folder, work = sys.argv[1], sys.argv[2]
for f in glob.glob(os.path.join(folder, "*.xlsx")):
    wb = openpyxl.load_workbook(f)
    info = wb.worksheets[0]
    name = info.cell(1, 2).value
    start, width, nxt = info.cell(2, 1).value, info.cell(2, 2).value, info.cell(3, 1).value
    ws = wb[name]
    for other in wb.worksheets:
        if other.title != name:
            other.sheet_state = "hidden"
    ws.print_area = f"A{start}:{get_column_letter(width)}{nxt - 2}"
    wb.active = wb.worksheets.index(ws)
    wb.save(os.path.join(work, os.path.basename(f)))
PY
(cd "$work" && soffice --headless --convert-to pdf ./*.xlsx >/dev/null 2>&1)
mkdir -p "$out"
declare -A names=([考场座位表]=seating-chart [考场门贴]=door-list [桌贴]=desk-labels [考场签到表]=sign-in-sheet [班级考场对照表]=class-rooms)
for pdf in "$work"/*.pdf; do
    base=$(basename "$pdf" .pdf)
    target=${names[$base]:-$base}
    pdftoppm -f 1 -l 1 -r 60 -png -singlefile "$pdf" "$out/table-$target"
    echo "$out/table-$target.png"
done
