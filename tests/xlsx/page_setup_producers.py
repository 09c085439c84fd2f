#!/usr/bin/python3
# Workbooks with known page setups as other programs write them, and their
# page setups as openpyxl reads them back:
#   page_setup_producers.py openpyxl OUT.xlsx     writes with openpyxl
#   page_setup_producers.py xlsxwriter OUT.xlsx   writes with XlsxWriter (exit 3 without it)
#   page_setup_producers.py dump FILE.xlsx        one line per setting per sheet
# Every sheet: 4 columns of width 10, rows 19.5 pt high (whole pixels, as
# LibreOffice lays them out), the sheet's name in every header, so that a
# PDF's pages can be told apart.
import sys

ROWS = {"区域标题": 108, "缩放50": 108, "一页宽": 60, "分页符": 108, "奇偶页": 108, "行列号": 108, "相邻区域": 60}


def openpyxl_book(out):
    import openpyxl
    from openpyxl.worksheet.pagebreak import Break
    wb = openpyxl.Workbook()
    first = True
    for name, rows in ROWS.items():
        ws = wb.active if first else wb.create_sheet(name)
        first = False
        ws.title = name
        cols = 20 if name == "一页宽" else 4
        for r in range(1, rows + 1):
            ws.append(["%s%d" % (name, r)] + [r * 100 + c for c in range(2, cols + 1)])
            ws.row_dimensions[r].height = 19.5
        for c in range(cols):
            ws.column_dimensions[openpyxl.utils.get_column_letter(c + 1)].width = 10
        ws.page_setup.paperSize = ws.PAPERSIZE_A4
        ws.page_setup.orientation = "portrait"
        # The host's normal margins (XlsxWriter's defaults too): 37 rows of 19.5 pt to an A4 page.
        m = ws.page_margins
        m.left, m.right, m.top, m.bottom, m.header, m.footer = 0.7, 0.7, 0.75, 0.75, 0.3, 0.3
        ws.oddHeader.center.text = "&A"
        if name == "区域标题":
            ws.print_area = ["A1:D50", "A60:D108"]
            ws.print_title_rows = "1:2"
            ws.page_margins.top = 1.0
            ws.page_margins.bottom = 0.9
            ws.page_margins.header = 0.4
            ws.page_margins.footer = 0.35
            ws.oddFooter.center.text = "第 &P 页，共 &N 页"
            ws.oddFooter.right.text = "&F"
        elif name == "缩放50":
            ws.page_setup.scale = 50
            ws.page_setup.firstPageNumber = 3
            ws.page_setup.useFirstPageNumber = True
        elif name == "一页宽":
            ws.sheet_properties.pageSetUpPr.fitToPage = True
            ws.page_setup.fitToWidth = 1
            ws.page_setup.fitToHeight = 0
            ws.print_options.horizontalCentered = True
        elif name == "分页符":
            ws.row_breaks.append(Break(id=10))
            ws.row_breaks.append(Break(id=40))
            ws.print_options.gridLines = True
        elif name == "奇偶页":
            ws.oddHeader.center.text = "&A 奇"
            ws.evenHeader.center.text = "&A 偶"
            ws.evenFooter.right.text = "偶数页 &P"
            ws.firstHeader.center.text = "&A 首"
            ws.firstFooter.left.text = "首页"
            ws.HeaderFooter.differentOddEven = True
            ws.HeaderFooter.differentFirst = True
            ws.HeaderFooter.scaleWithDoc = False
        elif name == "行列号":
            ws.print_options.headings = True
        elif name == "相邻区域":
            ws.print_area = ["A1:D30", "A31:D60"]
    wb.save(out)


def xlsxwriter_book(out):
    try:
        import xlsxwriter
    except ImportError:
        sys.exit(3)
    wb = xlsxwriter.Workbook(out)
    for name, rows in ROWS.items():
        if name in ("奇偶页", "相邻区域"):
            continue  # XlsxWriter writes neither even/first headers nor several print areas
        ws = wb.add_worksheet(name)
        cols = 20 if name == "一页宽" else 4
        for r in range(rows):
            ws.write_row(r, 0, ["%s%d" % (name, r + 1)] + [(r + 1) * 100 + c for c in range(2, cols + 1)])
            ws.set_row(r, 19.5)
        ws.set_column(0, cols - 1, 10)
        ws.set_paper(9)
        ws.set_portrait()
        if name == "区域标题":
            ws.print_area(0, 0, 49, 3)
            ws.repeat_rows(0, 1)
            ws.set_margins(top=1.0, bottom=0.9)
            ws.set_header("&C&A", {"margin": 0.4, "align_with_margins": False})
            ws.set_footer("&C第 &P 页，共 &N 页&R&F", {"margin": 0.35})
            continue
        ws.set_header("&C&A")
        if name == "缩放50":
            ws.set_print_scale(50)
            ws.set_start_page(3)
        elif name == "一页宽":
            ws.fit_to_pages(1, 0)
            ws.center_horizontally()
        elif name == "分页符":
            ws.set_h_pagebreaks([10, 40])
            ws.hide_gridlines(0)
        elif name == "行列号":
            ws.print_row_col_headers()
    wb.close()


def dump(path):
    import openpyxl
    wb = openpyxl.load_workbook(path)
    out = []
    for ws in wb.worksheets:
        n = ws.title
        def line(key, value):
            out.append("%s %s=%s" % (n, key, value))
        area = ws.print_area
        if isinstance(area, (list, tuple)):
            area = ",".join(area)
        line("area", (area or "").replace("'%s'!" % n, "").replace(n + "!", "").replace("$", ""))
        line("titles", "%s|%s" % ((ws.print_title_rows or "").replace("$", ""), (ws.print_title_cols or "").replace("$", "")))
        ps = ws.page_setup
        line("paper", ps.paperSize)
        line("orientation", ps.orientation)
        fit = bool(ws.sheet_properties.pageSetUpPr and ws.sheet_properties.pageSetUpPr.fitToPage)
        # fitToWidth and fitToHeight default to 1 when a file leaves them out.
        wide = 1 if ps.fitToWidth is None else ps.fitToWidth
        tall = 1 if ps.fitToHeight is None else ps.fitToHeight
        line("fit", "%s %s×%s" % (fit, wide if fit else "-", tall if fit else "-"))
        line("scale", "-" if fit else (ps.scale or 100))
        line("firstpage", ps.firstPageNumber if ps.useFirstPageNumber else "auto")
        line("order", ps.pageOrder or "downThenOver")
        m = ws.page_margins
        line("margins", ",".join("%.4f" % v for v in (m.left, m.right, m.top, m.bottom, m.header, m.footer)))
        po = ws.print_options
        line("options", "%s %s %s %s" % (bool(po.horizontalCentered), bool(po.verticalCentered), bool(po.gridLines),
                                         bool(po.headings)))
        hf = ws.HeaderFooter
        line("headerfooter", "oddeven=%s first=%s scale=%s align=%s" % (
            bool(hf.differentOddEven), bool(hf.differentFirst),
            hf.scaleWithDoc is None or bool(hf.scaleWithDoc), hf.alignWithMargins is None or bool(hf.alignWithMargins)))
        for part in ("oddHeader", "oddFooter", "evenHeader", "evenFooter", "firstHeader", "firstFooter"):
            hfp = getattr(ws, part)
            texts = []
            for side in ("left", "center", "right"):
                s = getattr(hfp, side)
                texts.append("%s/%s/%s" % (s.text or "", s.font or "", s.size or ""))
            line(part, " | ".join(texts))
        line("rowbreaks", [b.id for b in ws.row_breaks.brk])
        line("colbreaks", [b.id for b in ws.col_breaks.brk])
    print("\n".join(out))


if __name__ == "__main__":
    import warnings
    warnings.simplefilter("ignore")
    {"openpyxl": openpyxl_book, "xlsxwriter": xlsxwriter_book, "dump": dump}[sys.argv[1]](sys.argv[2])
