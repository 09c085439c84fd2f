#!/usr/bin/env python3
"""Writes the hostile rosters of this folder with openpyxl.

Each roster NAME.xlsx has NAME.expect beside it: the commands the test runs
on it and what each must give (see README.md in this folder). Rosters are
what exam offices hand over: pasted data, formatted sheets, stray cells.
Run from anywhere:

    /usr/bin/python3 tests/data/hostile/make_hostile.py
"""
import pathlib

import openpyxl
from openpyxl.comments import Comment
from openpyxl.styles import Font, PatternFill
from openpyxl.worksheet.datavalidation import DataValidation
from openpyxl.worksheet.dimensions import ColumnDimension

HERE = pathlib.Path(__file__).resolve().parent
SURNAMES = "赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许"


def roster(rows=30, classes=("1班", "2班", "3班"), title="高一", extra=None):
    """A workbook with one roster sheet: 姓名, 班级 and the extra columns."""
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = title
    header = ["姓名", "班级"] + [name for name, _ in (extra or [])]
    ws.append(header)
    for i in range(rows):
        row = [SURNAMES[i % len(SURNAMES)] + str(i + 1), classes[i % len(classes)]]
        row += [make(i) for _, make in (extra or [])]
        ws.append(row)
    return wb, ws


def save(wb, name):
    wb.save(HERE / f"{name}.xlsx")


def main():
    # A value typed far to the right: the system columns do not fit after it.
    wb, ws = roster()
    ws["XFA2"] = "备注"
    save(wb, "stray-value-near-xfd")

    # In the last column itself: not even the work table fits.
    wb, ws = roster()
    ws["XFD2"] = 1
    save(wb, "stray-value-at-xfd")

    # A formatted empty cell there does the same.
    wb, ws = roster()
    ws["XFA2"].fill = PatternFill("solid", fgColor="FFFF00")
    save(wb, "formatted-empty-cell-near-xfd")

    # "Select all, set font": one column format over the whole sheet.
    wb, ws = roster()
    ws.column_dimensions["A"] = ColumnDimension(ws, min=1, max=16384, width=12)
    ws.column_dimensions["A"].font = Font(name="宋体", size=12)
    save(wb, "whole-sheet-column-format")

    # The same class as a number and as text (as after pasting), and in two cases.
    wb, ws = roster(classes=(1, "1", 2, "a班", "A班"))
    save(wb, "class-type-and-case")

    # Error values in the class column.
    wb, ws = roster()
    ws["B5"] = "#N/A"
    ws["B9"] = "#DIV/0!"
    save(wb, "error-values-in-class")

    # One class only: no arrangement can keep classmates apart.
    wb, ws = roster(classes=("1班",))
    save(wb, "one-class-only")

    # A user column whose title begins with a TAB is the user's, not the system's.
    wb, ws = roster(extra=[("\t备注", lambda i: f"备注{i}")])
    save(wb, "tab-prefixed-user-column")

    # Control characters in text: "1班\x02" is not "1班". openpyxl refuses
    # them, so the file's escape is written as text (what Excel writes).
    wb, ws = roster(classes=("1班", "1班_x0002_", "2班"), extra=[("说明", lambda i: "行_x0001_尾" if i % 2 else "")])
    save(wb, "control-characters")

    # Formulas, fills, bold and number formats follow nobody: they stay where they are.
    wb, ws = roster(extra=[("序号", lambda i: f"=ROW()-1"), ("生日", lambda i: 39508 + i)])
    for r in range(2, 32):
        ws.cell(r, 4).number_format = "yyyy-mm-dd"
        if r % 3 == 0:
            ws.cell(r, 1).fill = PatternFill("solid", fgColor="FFC7CE")
            ws.cell(r, 1).font = Font(bold=True)
    save(wb, "formulas-and-formats")

    # Comments, validation and frozen panes are kept through the save.
    wb, ws = roster()
    ws["A2"].comment = Comment("转学生", "教务处")
    dv = DataValidation(type="list", formula1='"1班,2班,3班"', allow_blank=True)
    ws.add_data_validation(dv)
    dv.add("B2:B31")
    ws.freeze_panes = "A2"
    save(wb, "comments-validation-panes")

    # The header alone: nobody to arrange.
    wb, ws = roster(rows=0)
    save(wb, "header-only")

    # No 班级 column at all.
    wb, ws = roster()
    ws["B1"] = "班别"
    save(wb, "no-class-column")

    # Two 班级 columns.
    wb, ws = roster(extra=[("班级", lambda i: "1班")])
    save(wb, "two-class-columns")

    # A cell longer than the host types (32,767 characters) is kept whole.
    wb, ws = roster(extra=[("简历", lambda i: "长" * 40000 if i == 0 else "短")])
    save(wb, "very-long-text")

    # A CSV export in GB18030, as Chinese Windows programs write it: saved as
    # .xlsx beside it and arranged like any roster.
    lines = ["姓名,班级,学号"] + [f"{SURNAMES[i % 20]}{i + 1},{i % 3 + 1}班,{i + 1:04d}" for i in range(30)]
    (HERE / "csv-in-gb18030.csv").write_bytes(("\r\n".join(lines) + "\r\n").encode("gb18030"))

    # Group counts that are no counts: negative, fractional, text (.expect types them).
    for name in ("negative-group-count", "fractional-group-count", "text-group-count"):
        wb, ws = roster()
        save(wb, name)


if __name__ == "__main__":
    main()
