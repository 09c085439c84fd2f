#!/usr/bin/env bash
# The main job on a sample roster, from the given build folder: sample
# roster, roster chosen, settings sheets, group counts typed in, statistics,
# then a random arrangement with S-shaped desks and exam numbers by sequence.
set -euo pipefail
build=${1:-build}
tolm="$build/tolm"
work=$(mktemp -d "${TMPDIR:-/tmp}/tolm-demo.XXXXXX")
export TOLM_SYSTEM="$work/考场编排系统.xlsx"
roster="$work/花名册.xlsx"
groups=4
rooms=12

echo "== 样例花名册"
"$tolm" sample "$work" | tee "$work/sample.txt"
echo "== 读入并另存"
"$tolm" resave "$roster" "$work/花名册-副本.xlsx"
echo "== 工作表概览"
"$tolm" dump "$work/花名册-副本.xlsx" | grep -E '^(workbook|sheet)'

echo "== 选择花名册"
"$tolm" open-roster "$roster"
echo "== 考试参数：$rooms 个考场，每场 $groups 组，三个年级可以同桌"
"$tolm" settings --desk-groups "$groups" --rooms "$rooms" --grades-per-group 3

echo "== 各年级考生平均分到每个考场的每一组"
# Room table from H1: H 场号, I … the groups; rooms in rows 2 … rooms + 1.
columns=(I J K L M N O P Q R S T)
sed -n 's/^示例花名册 \(.*\)：.*，\([0-9]*\) 人$/\1 \2/p' "$work/sample.txt" | while read -r grade count; do
    cells=$((groups * rooms))
    args=()
    for ((k = 0; k < cells; k++)); do
        n=$((count / cells + (k < count % cells ? 1 : 0)))
        args+=("${columns[$((k % groups))]}$((k / groups + 2))=$n")
    done
    "$tolm" edit "$roster" --sheet "$grade\\t设置" "${args[@]}" | tail -n 1
done

echo "== 数据统计"
"$tolm" statistics > "$work/statistics.txt"
head -n 12 "$work/statistics.txt"

echo "== 编排：随机，S形排列，考号方式1从 1 开始"
"$tolm" arrange --order random --desks s --number 1 --first 1 --out "$work/报告" | tee "$work/arrange.txt"

echo
echo "编排后的花名册：$roster"
report=$(sed -n "s|^已保存：\\($work/报告/.*\\)$|\\1|p" "$work/arrange.txt")
if [ -n "$report" ]; then
    echo "需人工调整的前后左右同班：$report"
else
    echo "没有需人工调整的前后左右同班。"
fi
echo "样例文件在：$work"

echo "== 考试用表：五个内置模板"
for name in 考场座位表 考场门贴 桌贴 考场签到表 班级考场对照表; do
    "$tolm" tables --template "$name" | tee "$work/tables-$name.txt"
done
echo "考试用表在：$work/花名册.xlsx考试用表"
echo
echo "== 打印：考场座位表按考场分区写成一个 PDF"
"$tolm" print "$work/花名册.xlsx考试用表/考场座位表.xlsx" --pdf "$work/考场座位表.pdf"
