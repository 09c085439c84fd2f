"""Reads a workbook written by tolm with openpyxl and checks every feature of
the sample workbook (tests/xlsx/WriterSampleWorkbook.h). Prints each failed
check and exits 1 when any failed."""
import base64
import hashlib
import sys
import warnings

import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904

failures = []


def check(label, got, want):
    if got != want:
        failures.append(f"{label}: got {got!r}, want {want!r}")


def sha512_matches(password, salt_b64, spin, hash_b64):
    h = hashlib.sha512(base64.b64decode(salt_b64) + password.encode("utf-16-le")).digest()
    for i in range(spin):
        h = hashlib.sha512(h + i.to_bytes(4, "little")).digest()
    return base64.b64encode(h).decode() == hash_b64


def main(path):
    warnings.simplefilter("ignore")
    wb = openpyxl.load_workbook(path)
    cached = openpyxl.load_workbook(path, data_only=True)
    check("sheet names", wb.sheetnames, ["Sheet 1", "花名册\t设置", "Scratch"])
    ws, settings, scratch = (wb[n] for n in wb.sheetnames)
    check("states", [s.sheet_state for s in (ws, settings, scratch)], ["visible", "hidden", "veryHidden"])
    check("code names", [s.sheet_properties.codeName for s in (ws, settings, scratch)], ["名单", "Sheet2", "Sheet3"])
    check("active sheet", wb.active.title, "Sheet 1")
    check("date1904", wb.epoch == CALENDAR_MAC_1904, True)

    values = {
        "A1": "学号", "B1": "姓名", "A2": 0.1, "A3": 123456789.123456789, "A4": -1e-300,
        "B2": " 前后空格 ", "B3": "一行\n二行\t制表", "B4": "<&>\"'", "A5": True, "B5": "#N/A",
        "A6": "=SUM(A2:A3)", "B6": "=B1&\"x\"", "C6": "=A5", "D6": "=1/0", "A8": "合并",
    }
    for ref, want in values.items():
        check(f"value {ref}", ws[ref].value, want)
    cws = cached["Sheet 1"]
    for ref, want in {"A6": 123456789.223456789, "B6": "姓名x", "C6": True, "D6": "#DIV/0!"}.items():
        check(f"cached {ref}", cws[ref].value, want)

    a1 = ws["A1"]
    check("font", (a1.font.name, a1.font.sz, a1.font.b, a1.font.i, a1.font.color.rgb),
          ("黑体", 14, True, True, "FFFF0000"))
    check("font charset", a1.font.charset, 134)
    check("fill", (a1.fill.fill_type, a1.fill.fgColor.indexed), ("solid", 13))
    check("border", (a1.border.left.style, a1.border.left.color.rgb, a1.border.bottom.style),
          ("thin", "FF0000FF", "double"))
    check("alignment", (a1.alignment.horizontal, a1.alignment.vertical, a1.alignment.wrap_text),
          ("center", "center", True))
    check("number formats", (ws["B2"].number_format, ws["A3"].number_format, ws["A7"].number_format),
          ("@", "0.000_ \"分\"", "yyyy/m/d"))
    check("locked", (ws["B2"].protection.locked, ws["A1"].protection.locked), (False, True))
    check("default cell font", ws["B1"].font.name, "宋体")

    check("merges", [str(r) for r in ws.merged_cells.ranges], ["A8:C9"])
    check("column B", (ws.column_dimensions["B"].width, ws.column_dimensions["B"].customWidth), (20.5, True))
    check("column D hidden", ws.column_dimensions["D"].hidden, True)
    check("row 3", (ws.row_dimensions[3].height, ws.row_dimensions[3].customHeight), (30, True))
    check("row 10 hidden", ws.row_dimensions[10].hidden, True)
    check("gridlines", ws.sheet_view.showGridLines, False)
    check("selection", (ws.sheet_view.selection[0].activeCell, ws.sheet_view.selection[0].sqref), ("C2", "C2"))

    p = ws.protection
    check("protected", (p.sheet, p.algorithmName, p.spinCount), (True, "SHA-512", 100000))
    check("password abc verifies", sha512_matches("abc", p.saltValue, p.spinCount, p.hashValue), True)
    check("password abd is refused", sha512_matches("abd", p.saltValue, p.spinCount, p.hashValue), False)
    sp = settings.protection
    check("legacy protection", (sp.sheet, sp.password, sp.formatColumns, sp.objects), (True, "CC1A", False, True))
    check("scratch unprotected", scratch.protection.sheet, False)

    # openpyxl gives the areas without the sheet name it resolved them with.
    check("print area", ws.print_area, ["$A$1:$H$40"])
    check("print title rows", ws.print_title_rows, "$1:$2")
    check("defined name", wb.defined_names["考生"].attr_text, "'Sheet 1'!$A$2:$A$5")
    check("orientation", (ws.page_setup.orientation, ws.page_setup.paperSize), ("landscape", 9))
    check("left margin in inches", ws.page_margins.left, 0.5)
    check("centered", ws.print_options.horizontalCentered, True)
    check("header", ws.oddHeader.center.text, "考场安排")
    check("footer", ws.oddFooter.right.text, "第&P页")

    check("pictures", len(ws._images), 1)
    if ws._images:
        anchor = ws._images[0].anchor
        check("picture anchor column", anchor._from.col, 1)

    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
