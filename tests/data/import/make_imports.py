#!/usr/bin/env python3
"""Makes the rosters in other programs' formats that the import tests read.

A roster is written with openpyxl (roster-source.xlsx), then LibreOffice
converts it: roster.xls (Excel 97-2003), roster.ods, and the first sheet as
roster-utf8.csv; roster-utf8-bom.csv adds the byte-order mark Excel's
"CSV UTF-8" writes, roster-gb18030.csv is the same text in GB18030 as
Chinese Windows programs write it. Run from anywhere:

    python3 tests/data/import/make_imports.py

Needs python3-openpyxl and LibreOffice (soffice) on the PATH.
"""
import datetime
import os
import pathlib
import shutil
import subprocess
import tempfile

import openpyxl

HERE = pathlib.Path(__file__).resolve().parent


def source(path):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "高一"
    ws.append(["姓名", "班级", "考号", "出生日期", "成绩", "备注"])
    ws.append(["张三", 1, "0012", datetime.date(2008, 3, 1), 95.5, None])
    ws.append(["李四", "2班", 13, datetime.date(2008, 12, 31), 88, '说"好",再见'])
    ws.append(["王五", 1, "110101200803011234", None, -3.25, "第一行\n第二行"])
    ws.append([None, None, None, None, None, None])
    ws.append(["赵六", "A班", 15, datetime.date(2009, 1, 2), 0, "末行"])
    for row in ws.iter_rows(min_row=2, min_col=4, max_col=4):
        for c in row:
            c.number_format = "yyyy-mm-dd"
    ws["G1"] = "两倍"
    ws["G2"] = "=E2*2"
    ws2 = wb.create_sheet("高二")
    ws2.append(["姓名", "班级", "到校", "出勤"])
    ws2.append(["孙七", "3班", datetime.datetime(2026, 9, 1, 7, 30), 0.125])
    ws2.append(["周八", "3班", datetime.datetime(2026, 9, 1, 8, 0), 1])
    ws2["D2"].number_format = "0.00%"
    ws2["D3"].number_format = "0.00%"
    ws2.merge_cells("F1:G2")
    ws2["F1"] = "合并"
    ws2["A5"] = True
    ws2["H1"] = '=A2&"同学"'
    ws2["H2"] = "=1/0"
    ws2["H3"] = "=D3>0"
    ws3 = wb.create_sheet("隐藏")
    ws3["A1"] = "不显示"
    ws3.sheet_state = "hidden"
    wb.save(path)


def convert(src, fmt, outdir, profile):
    subprocess.run(["soffice", f"-env:UserInstallation=file://{profile}", "--headless", "--convert-to", fmt,
                    "--outdir", str(outdir), str(src)], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=300)


def main():
    src = HERE / "roster-source.xlsx"
    source(src)
    with tempfile.TemporaryDirectory() as tmp:
        tmp = pathlib.Path(tmp)
        shutil.copy(src, tmp / "roster.xlsx")
        profile = tmp / "profile"
        convert(tmp / "roster.xlsx", "xls", tmp, profile)
        convert(tmp / "roster.xlsx", "ods", tmp, profile)
        # 44 = comma, 34 = double quote, 76 = UTF-8, 1 = first line
        convert(tmp / "roster.xlsx", "csv:Text - txt - csv (StarCalc):44,34,76,1", tmp, profile)
        shutil.copy(tmp / "roster.xls", HERE / "roster.xls")
        shutil.copy(tmp / "roster.ods", HERE / "roster.ods")
        text = (tmp / "roster.csv").read_bytes()
    (HERE / "roster-utf8.csv").write_bytes(text)
    (HERE / "roster-utf8-bom.csv").write_bytes(b"\xef\xbb\xbf" + text)
    (HERE / "roster-gb18030.csv").write_bytes(text.decode("utf-8").encode("gb18030"))


if __name__ == "__main__":
    main()
