"""Reads a workbook that tolm wrote from openpyxl-kept.xlsx or
xlsxwriter-kept.xlsx (tests/data/xlsx) with openpyxl and checks that what the
host does not model came through: comments, links, validation, conditional
formats, panes, filter, tab colour, charts, pictures, tables, chart sheets and
names. The scenario names what tolm did before saving. Prints each failed
check and exits 1 when any failed."""
import sys
import warnings

import openpyxl

failures = []


def check(label, got, want):
    if got != want:
        failures.append(f"{label}: got {got!r}, want {want!r}")


def links(ws):
    return [(c.coordinate, c.hyperlink.target or c.hyperlink.location) for row in ws.iter_rows() for c in row
            if c.hyperlink]


def comments(ws):
    return [(c.coordinate, c.comment.text) for row in ws.iter_rows() for c in row if c.comment]


def sheet(ws, want):
    check(f"{ws.title} frozen", ws.freeze_panes, want["frozen"])
    check(f"{ws.title} filter", ws.auto_filter.ref, want["filter"])
    check(f"{ws.title} tab colour", ws.sheet_properties.tabColor.rgb if ws.sheet_properties.tabColor else None,
          want["tab"])
    check(f"{ws.title} validation", [(d.type, str(d.sqref)) for d in ws.data_validations.dataValidation],
          want["validation"])
    check(f"{ws.title} conditional formats", [str(r.sqref) for r in ws.conditional_formatting], want["formats"])
    check(f"{ws.title} links", links(ws), want["links"])
    check(f"{ws.title} comments", comments(ws), want["comments"])
    check(f"{ws.title} charts", len(ws._charts), want["charts"])
    check(f"{ws.title} pictures", len(ws._images), want["pictures"])
    if "chart rows" in want and ws._charts:
        a = ws._charts[0].anchor
        check(f"{ws.title} chart rows", (a._from.row, a.to.row), want["chart rows"])


def openpyxl_kept(wb, deleted):
    check("tabs", wb.sheetnames, ["名单", "图表", "表格"])
    check("chart sheets", [c.title for c in wb.chartsheets], ["图表"])
    if wb.chartsheets:
        check("chart of the chart sheet", len(wb.chartsheets[0]._charts), 1)
    last = 16 if deleted else 20
    sheet(wb["名单"], {
        "frozen": "B12",  # the frozen rows stay frozen
        "filter": f"A1:D{last}",
        "tab": "00FF0000",
        "validation": [("list", f"B2:B{last}")] + ([] if deleted else [("whole", "C5:C8")]),
        "formats": [f"C2:C{last}"] + ([] if deleted else ["D6:D7"]),
        "links": [("D11", "#'名单'!A1")] if deleted else [("D5", "https://example.com/考场"), ("D15", "#'名单'!A1")],
        "comments": [("B3", "核对性别"), ("D8" if deleted else "D12", "第二条批注")],
        "charts": 1,
        "pictures": 0,
    })
    check("table", list(wb["表格"].tables.keys()), ["班级表"])
    check("names", [(n.name, n.attr_text) for n in wb.defined_names.definedName],
          [("分数", f"名单!$C$2:$C${last}")])


def xlsxwriter_kept(wb, pictures, deleted=False):
    check("tabs", wb.sheetnames, ["成绩", "图表", "名单"])
    check("chart sheets", [c.title for c in wb.chartsheets], ["图表"])
    last = 19 if deleted else 20  # row 2 deleted: everything below moves up one
    sheet(wb["成绩"], {
        "frozen": "A2",  # the first scrolled row was deleted: the next one takes its place
        "filter": f"A1:B{last}",
        "tab": "FF00B050",
        "validation": [("whole", f"B2:B{last}")],
        "formats": [f"B2:B{last}"],
        "links": [("C4" if deleted else "C5", "https://example.com/成绩")],
        "comments": [("A2" if deleted else "A3", "核对姓名")],
        "charts": 1,
        "pictures": pictures,
        "chart rows": (1, 14) if deleted else (1, 15),
    })
    check("table", list(wb["名单"].tables.keys()), ["Table1"])


def main(path, scenario):
    warnings.simplefilter("ignore")
    wb = openpyxl.load_workbook(path)
    if scenario == "openpyxl":
        openpyxl_kept(wb, deleted=False)
    elif scenario == "openpyxl-rows-5-8-deleted":
        openpyxl_kept(wb, deleted=True)
    elif scenario == "xlsxwriter":
        xlsxwriter_kept(wb, pictures=1)
    elif scenario == "xlsxwriter-picture-added":
        xlsxwriter_kept(wb, pictures=2)
    elif scenario == "xlsxwriter-row-2-deleted":
        xlsxwriter_kept(wb, pictures=1, deleted=True)
    else:
        failures.append("unknown scenario " + scenario)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
