#include <algorithm>
#include <iterator>

#include "host/Workbook.h"
#include "host/xlsx/KeptPlaces.h"
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

void WriteDefinedNames(const PackagePlan& plan, XmlBuffer& out) {
    std::vector<NameEntry> names = CollectNames(*plan.wb);
    if (names.empty()) return;
    out.Raw("<definedNames>");
    for (const NameEntry& n : names) {
        out.Raw("<definedName").Attr("name", n.name);
        // The scope is a position among all tabs, kept chart sheets included.
        if (n.localSheet >= 0) out.Attr("localSheetId", plan.sheets[size_t(n.localSheet)].tabPosition);
        if (n.hidden) out.Raw(" hidden=\"1\"");
        out.Raw(">").Text(n.formula).Raw("</definedName>");
    }
    out.Raw("</definedNames>");
}

void WriteSheets(const PackagePlan& plan, XmlBuffer& out) {
    const std::vector<KeptSheetTab>& tabs = plan.wb->Kept().sheetTabs;
    out.Raw("<sheets>");
    int id = 0;
    auto keptTabsAfter = [&](int worksheets) {
        for (const KeptSheetTab& t : tabs) {
            if (t.after != worksheets) continue;
            out.Raw("<sheet").AttrEscaped("name", t.name).Attr("sheetId", ++id);
            if (!t.state.empty()) out.Attr("state", t.state);
            out.Attr("r:id", t.relationship.id).Raw("/>");
        }
    };
    keptTabsAfter(0);
    int written = 0;
    for (const SheetPart& s : plan.sheets) {
        out.Raw("<sheet").AttrEscaped("name", s.sheet->Name()).Attr("sheetId", ++id);
        if (s.sheet->Visible() == xlSheetHidden) out.Raw(" state=\"hidden\"");
        if (s.sheet->Visible() == xlSheetVeryHidden) out.Raw(" state=\"veryHidden\"");
        out.Attr("r:id", s.relId).Raw("/>");
        keptTabsAfter(++written);
    }
    // Tabs whose place is beyond the worksheets left (sheets were deleted) go last.
    for (const KeptSheetTab& t : tabs)
        if (t.after > written) {
            out.Raw("<sheet").AttrEscaped("name", t.name).Attr("sheetId", ++id);
            if (!t.state.empty()) out.Attr("state", t.state);
            out.Attr("r:id", t.relationship.id).Raw("/>");
        }
    out.Raw("</sheets>");
}

}  // namespace

void WriteWorkbook(const PackagePlan& plan, XmlBuffer& out) {
    const Workbook& wb = *plan.wb;
    const KeptWorkbook& kept = wb.Kept();
    out.Declaration().Raw("<workbook").Attr("xmlns", kMainNs).Attr("xmlns:r", kRelNs).Raw(kept.rootAttributes).Raw(">");
    constexpr int kPlaces = int(std::size(place::kWorkbookOrder));
    for (int p = 0; p < kPlaces; ++p) {
        switch (p) {
            case 2:
                out.Raw("<workbookPr");
                if (plan.macroEnabled) out.Raw(" codeName=\"ThisWorkbook\"");  // the document module of the kept project
                if (wb.Date1904()) out.Raw(" date1904=\"1\"");
                out.Raw("/>");
                break;
            case 4: out.Raw("<bookViews><workbookView").Attr("activeTab", plan.activeTab).Raw("/></bookViews>"); break;
            case 5: WriteSheets(plan, out); break;
            case 8: WriteDefinedNames(plan, out); break;
            // Cached formula results may be stale: the reading application recalculates.
            case 9: out.Raw("<calcPr calcId=\"191029\" fullCalcOnLoad=\"1\"/>"); break;
            default: break;
        }
        WriteKept(kept.elements, p, out);
    }
    out.Raw("</workbook>");
}

}  // namespace host::xlsx
