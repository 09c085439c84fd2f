#!/usr/bin/python3
# Regenerates the openpyxl-made input files of the reader's tests:
#   /usr/bin/python3 make_inputs.py      (from this folder)
# The files are checked in; the tests do not need python.
import datetime

import openpyxl
from openpyxl.styles import Alignment, Border, Font, PatternFill, Protection, Side
from openpyxl.workbook.defined_name import DefinedName
from openpyxl.worksheet.protection import SheetProtection


def features():
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "花名册"
    ws.sheet_properties.codeName = "Roster"
    ws.append(["序号", "姓名", "班级", "出生日期", "语文", "备注"])
    ws.append([1, "张三", "高一(1)班", datetime.date(2009, 3, 14), 98.5, True])
    ws.append([2, "李四", "高一(2)班", datetime.date(2009, 11, 2), 87, False])
    ws["G2"] = "=E2+E3"
    ws["B2"].font = Font(name="黑体", size=14, bold=True, color="FF0000")
    ws["C2"].fill = PatternFill("solid", fgColor="FFFF00")
    ws["C2"].border = Border(left=Side(style="thin"), bottom=Side(style="double", color="0000FF"))
    ws["F1"].alignment = Alignment(horizontal="center", vertical="top", wrap_text=True, text_rotation=45)
    ws["E2"].number_format = "0.00"
    ws["A3"].number_format = "@"
    ws["E3"].protection = Protection(locked=False)
    ws.merge_cells("A5:C6")
    ws["A5"] = "合并"
    ws.column_dimensions["B"].width = 15.5
    ws.column_dimensions["D"].hidden = True
    ws.row_dimensions[2].height = 25
    ws.protection = SheetProtection(sheet=True, password="abc", formatColumns=False)
    ws.print_area = "A1:F20"
    ws.print_title_rows = "1:1"
    ws.page_setup.orientation = "landscape"
    ws.page_setup.paperSize = ws.PAPERSIZE_A4
    ws.page_margins.left = 0.5
    ws.oddHeader.center.text = "考场安排"
    ws.print_options.horizontalCentered = True
    ws.sheet_view.showGridLines = False

    hidden = wb.create_sheet("参数")
    hidden.sheet_state = "hidden"
    hidden["A1"] = "K1"
    very = wb.create_sheet("修订")
    very.sheet_state = "veryHidden"
    tab = wb.create_sheet("高一\t设置")
    tab["A1"] = "设置表"
    tab.sheet_properties.pageSetUpPr.fitToPage = True
    tab.page_setup.fitToWidth = 1
    tab.page_setup.fitToHeight = 0
    wb.defined_names.append(DefinedName("班级列", attr_text="花名册!$C$2:$C$3"))
    wb.active = 0
    wb.save("openpyxl-features.xlsx")


def write_only():
    # Write-only mode streams rows and writes inline strings.
    wb = openpyxl.Workbook(write_only=True)
    ws = wb.create_sheet("流式")
    ws.append(["学号", "姓名"])
    for i in range(1, 51):
        ws.append([20260000 + i, "学生%d" % i])
    wb.save("openpyxl-write-only.xlsx")


features()
write_only()
