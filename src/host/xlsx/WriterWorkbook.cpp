#include <algorithm>

#include "host/Workbook.h"
#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

std::string QuotedSheetPrefix(const std::string& sheetName) {
    std::string out = "'";
    for (char c : sheetName) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'!";
}

namespace {

// "$A$1:$B$2,$D$1" → "'S'!$A$1:$B$2,'S'!$D$1"; areas naming a sheet already stay.
std::string QualifyAreas(const std::string& areas, const std::string& prefix) {
    std::string out;
    size_t start = 0;
    while (start <= areas.size()) {
        size_t comma = areas.find(',', start);
        if (comma == std::string::npos) comma = areas.size();
        std::string area = areas.substr(start, comma - start);
        if (!area.empty()) {
            if (!out.empty()) out += ',';
            out += area.find('!') == std::string::npos ? prefix + area : area;
        }
        start = comma + 1;
    }
    return out;
}

struct NameEntry {
    std::string name;
    int localSheet;
    std::string formula;
    bool hidden;
};

// The print settings of every sheet as built-in names, then the workbook's own
// names except built-in ones that the page setup already gave.
std::vector<NameEntry> CollectNames(const Workbook& wb) {
    std::vector<NameEntry> names;
    for (int i = 0; i < wb.SheetCount(); ++i) {
        const Worksheet& ws = wb.Sheet(i + 1);
        const PageSetup& ps = ws.PageSetup();
        std::string prefix = QuotedSheetPrefix(ws.Name());
        // Absolute, or other programs ignore them.
        if (!ps.PrintArea.empty())
            names.push_back({"_xlnm.Print_Area", i, QualifyAreas(AbsoluteAreas(ps.PrintArea), prefix), false});
        std::string titles = QualifyAreas(AbsoluteAreas(ps.PrintTitleColumns), prefix);
        std::string rows = QualifyAreas(AbsoluteAreas(ps.PrintTitleRows), prefix);
        if (!rows.empty()) titles += (titles.empty() ? "" : ",") + rows;
        if (!titles.empty()) names.push_back({"_xlnm.Print_Titles", i, titles, false});
    }
    auto taken = [&](const DefinedName& d) {
        return std::any_of(names.begin(), names.end(), [&](const NameEntry& n) {
            return n.localSheet == d.localSheet && n.name == d.name;
        });
    };
    for (const DefinedName& d : wb.DefinedNames()) {
        if (d.localSheet >= wb.SheetCount()) continue;  // scope of a sheet that is gone
        if (!taken(d)) names.push_back({d.name, d.localSheet, d.formula, d.hidden});
    }
    return names;
}

void WriteDefinedNames(const Workbook& wb, XmlBuffer& out) {
    std::vector<NameEntry> names = CollectNames(wb);
    if (names.empty()) return;
    out.Raw("<definedNames>");
    for (const NameEntry& n : names) {
        out.Raw("<definedName").Attr("name", n.name);
        if (n.localSheet >= 0) out.Attr("localSheetId", n.localSheet);
        if (n.hidden) out.Raw(" hidden=\"1\"");
        out.Raw(">").Text(n.formula).Raw("</definedName>");
    }
    out.Raw("</definedNames>");
}

}  // namespace

void WriteWorkbook(const PackagePlan& plan, XmlBuffer& out) {
    const Workbook& wb = *plan.wb;
    out.Declaration().Raw("<workbook").Attr("xmlns", kMainNs).Attr("xmlns:r", kRelNs).Raw(">");
    out.Raw("<workbookPr");
    if (plan.macroEnabled) out.Raw(" codeName=\"ThisWorkbook\"");  // the document module of the kept project
    if (wb.Date1904()) out.Raw(" date1904=\"1\"");
    out.Raw("/>");
    out.Raw("<bookViews><workbookView").Attr("activeTab", plan.activeTab).Raw("/></bookViews>");
    out.Raw("<sheets>");
    int id = 0;
    for (const SheetPart& s : plan.sheets) {
        ++id;
        out.Raw("<sheet").Attr("name", s.sheet->Name()).Attr("sheetId", id);
        if (s.sheet->Visible() == xlSheetHidden) out.Raw(" state=\"hidden\"");
        if (s.sheet->Visible() == xlSheetVeryHidden) out.Raw(" state=\"veryHidden\"");
        out.Attr("r:id", "rId" + std::to_string(id)).Raw("/>");
    }
    out.Raw("</sheets>");
    WriteDefinedNames(wb, out);
    // Cached formula results may be stale: the reading application recalculates.
    out.Raw("<calcPr calcId=\"191029\" fullCalcOnLoad=\"1\"/>");
    out.Raw("</workbook>");
}

}  // namespace host::xlsx
