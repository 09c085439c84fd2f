#!/usr/bin/env bash
# The main job on a sample roster, from the given build folder.
set -euo pipefail
build=${1:-build}
tolm="$build/tolm"
work=$(mktemp -d "${TMPDIR:-/tmp}/tolm-demo.XXXXXX")
export TOLM_SYSTEM="$work/考场编排系统.xlsx"

echo "== 样例花名册"
"$tolm" sample "$work"
echo "== 读入并另存"
"$tolm" resave "$work/花名册.xlsx" "$work/花名册-副本.xlsx"
echo "== 工作表概览"
"$tolm" dump "$work/花名册-副本.xlsx" | grep -E '^(workbook|sheet)'
echo
echo "样例文件在：$work"
