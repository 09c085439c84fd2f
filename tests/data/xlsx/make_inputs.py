#!/usr/bin/python3
# Regenerates the openpyxl-made input files of the reader's tests:
#   /usr/bin/python3 make_inputs.py [kept]     (from this folder; "kept": only openpyxl-kept.xlsx)
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


def kept():
    # What the host does not model but must write back: comments, links,
    # validation, conditional formats, panes, filter, a table, a chart, tab
    # colour, a chart sheet, names.
    from openpyxl.chart import BarChart, Reference
    from openpyxl.comments import Comment
    from openpyxl.formatting.rule import CellIsRule
    from openpyxl.worksheet.datavalidation import DataValidation
    from openpyxl.worksheet.table import Table, TableStyleInfo

    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "名单"
    ws.append(["姓名", "性别", "分数", "备注"])
    for i in range(1, 20):
        ws.append(["考生%d" % i, "男" if i % 2 else "女", 60 + i * 2, ""])
    ws["B3"].comment = Comment("核对性别", "教务处")
    ws["D12"].comment = Comment("第二条批注", "教务处")
    ws["D5"].hyperlink = "https://example.com/考场"
    ws["D15"].hyperlink = "#'名单'!A1"
    gender = DataValidation(type="list", formula1='"男,女"', allow_blank=True)
    gender.add("B2:B20")
    ws.add_data_validation(gender)
    band = DataValidation(type="whole", operator="between", formula1="0", formula2="100")
    band.add("C5:C8")
    ws.add_data_validation(band)
    ws.conditional_formatting.add("C2:C20", CellIsRule(operator="greaterThan", formula=["90"],
                                                       fill=PatternFill("solid", bgColor="FFC7CE")))
    ws.conditional_formatting.add("D6:D7", CellIsRule(operator="equal", formula=['"缺考"'],
                                                      fill=PatternFill("solid", bgColor="C6EFCE")))
    ws.freeze_panes = "B12"
    ws.auto_filter.ref = "A1:D20"
    ws.sheet_properties.tabColor = "FF0000"
    chart = BarChart()
    chart.title = "分数"
    chart.add_data(Reference(ws, min_col=3, min_row=1, max_row=20), titles_from_data=True)
    ws.add_chart(chart, "F2")

    other = wb.create_sheet("表格")
    other.append(["班级", "人数"])
    other.append(["一班", 40])
    other.append(["二班", 42])
    table = Table(displayName="班级表", ref="A1:B3")
    table.tableStyleInfo = TableStyleInfo(name="TableStyleMedium9", showRowStripes=True)
    other.add_table(table)

    cs = wb.create_chartsheet("图表")
    pie = BarChart()
    pie.add_data(Reference(other, min_col=2, min_row=1, max_row=3), titles_from_data=True)
    cs.add_chart(pie)
    wb.move_sheet("图表", offset=-1)  # between the two worksheets
    wb.defined_names.append(DefinedName("分数", attr_text="名单!$C$2:$C$20"))
    wb.active = 0
    wb.save("openpyxl-kept.xlsx")


if __name__ == "__main__":
    import sys
    if "kept" in sys.argv[1:]:
        kept()
    else:
        features()
        write_only()
        kept()
