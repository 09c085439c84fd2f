#!/usr/bin/python3
# Regenerates openpyxl-page-setup.xlsx, the reader's page-setup input:
#   /usr/bin/python3 make_page_setup.py      (from this folder)
# The file is checked in; the tests do not need python.
import openpyxl
from openpyxl.worksheet.pagebreak import Break, ColBreak, RowBreak


wb = openpyxl.Workbook()
ws = wb.active
ws.title = "座位表"
for r in range(1, 61):
    ws.append(["第%d行" % r, r, r * 2, r * 3])
ws.print_area = ["A1:D20", "A30:D60"]
ws.print_title_rows = "1:2"
ws.print_title_cols = "A:A"
ws.page_setup.paperSize = ws.PAPERSIZE_A3
ws.page_setup.orientation = "landscape"
ws.page_setup.scale = 75
ws.page_setup.firstPageNumber = 5
ws.page_setup.useFirstPageNumber = True
ws.page_setup.pageOrder = "overThenDown"
ws.page_margins.left = 0.5
ws.page_margins.right = 0.6
ws.page_margins.top = 1.0
ws.page_margins.bottom = 0.9
ws.page_margins.header = 0.4
ws.page_margins.footer = 0.35
ws.print_options.horizontalCentered = True
ws.print_options.verticalCentered = True
ws.print_options.gridLines = True
ws.print_options.headings = True
ws.oddHeader.left.text = "&A"
ws.oddHeader.center.text = "考场座位表"
ws.oddHeader.center.font = "黑体,加粗"
ws.oddHeader.center.size = 16
ws.oddHeader.right.text = "&D &T"
ws.oddFooter.center.text = "第 &P 页，共 &N 页"
ws.oddFooter.right.text = "&F"
ws.row_breaks.append(Break(id=10))
ws.row_breaks.append(Break(id=40))
ws.col_breaks.append(Break(id=2))

fit = wb.create_sheet("一页宽")
fit["A1"] = "宽表"
fit.sheet_properties.pageSetUpPr.fitToPage = True
fit.page_setup.fitToWidth = 1
fit.page_setup.fitToHeight = 0
wb.save("openpyxl-page-setup.xlsx")
