#include "host/xlsx/ReaderWorkbook.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <exception>
#include <filesystem>
#include <fstream>
#include <new>
#include <thread>

#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "host/xlsx/KeptPlaces.h"
#include "host/xlsx/ReaderDrawings.h"
#include "host/xlsx/ReaderKept.h"
#include "host/xlsx/ReaderModelSink.h"
#include "host/xlsx/ReaderRelationships.h"
#include "host/xlsx/ReaderSharedStrings.h"
#include "host/xlsx/ReaderSheet.h"
#include "host/xlsx/ReaderStyles.h"
#include "host/xlsx/ReaderXml.h"
#include "host/xlsx/ReaderZip.h"

namespace host::xlsx {

namespace {

struct SheetEntry {
    std::string name;
    int visible = xlSheetVisible;
    std::string relId;
    std::string state;  // as written
};

int VisibilityOf(std::string_view state) {
    if (state == "hidden") return xlSheetHidden;
    if (state == "veryHidden") return xlSheetVeryHidden;
    return xlSheetVisible;
}

std::string WorkbookPart(ZipSource& zip) {
    if (!zip.Has("[Content_Types].xml")) zip.Fail("不是有效的 .xlsx 文件（缺少 [Content_Types].xml）");
    Relationships root = Relationships::Read(zip, "");
    const Relationship* doc = root.ByKind("officeDocument");
    std::string part = doc && !doc->external ? doc->target : "xl/workbook.xml";
    if (!zip.Has(part)) zip.Fail("缺少工作簿部件 " + part);
    return part;
}

bool IsWholeRows(const std::string& area) {
    bool digit = false;
    for (char c : area) {
        if (std::isalpha(static_cast<unsigned char>(c))) return false;
        digit |= std::isdigit(static_cast<unsigned char>(c)) != 0;
    }
    return digit;
}

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : ",") + p;
    return out;
}

// _xlnm.Print_Area and _xlnm.Print_Titles go to the sheet's page setup; the
// rest stay defined names. `sheetOf` maps the file's sheet positions to the
// positions among the worksheets read (-1 for chart sheets, which are not).
void ReadDefinedNames(pugi::xml_node names, const std::vector<int>& sheetOf, WorkbookSink& sink) {
    for (pugi::xml_node n = names.first_child(); n; n = n.next_sibling()) {
        if (LocalName(n.name()) != "definedName") continue;
        DefinedName d;
        d.name = AttText(n, "name");
        d.formula = n.child_value();
        d.hidden = ParseBool(AttText(n, "hidden"), false);
        if (pugi::xml_attribute local = Att(n, "localSheetId")) {
            int file = local.as_int(-1);
            if (file < 0 || size_t(file) >= sheetOf.size() || sheetOf[size_t(file)] < 0) continue;
            d.localSheet = sheetOf[size_t(file)];
        }
        if (d.localSheet >= 0 && d.name == "_xlnm.Print_Area") {
            sink.SetPrintArea(d.localSheet, Join(UnqualifiedAreas(d.formula)));
        } else if (d.localSheet >= 0 && d.name == "_xlnm.Print_Titles") {
            std::vector<std::string> rows, cols;
            for (std::string& a : UnqualifiedAreas(d.formula)) (IsWholeRows(a) ? rows : cols).push_back(std::move(a));
            sink.SetPrintTitles(d.localSheet, Join(rows), Join(cols));
        } else {
            sink.AddDefinedName(std::move(d));
        }
    }
}

struct SheetJob {
    std::string part;
    SheetSink* sink = nullptr;
    SheetExtras extras;
    std::exception_ptr error;
};

// Sheets are independent once styles and shared strings are known, so two
// threads parse them, each with its own zip reader: expat and inflating are
// nearly all of a large roster's load time. The first failure in tab order is
// the one reported.
void ReadSheets(ZipSource& zip, const SheetContext& ctx, std::vector<SheetJob>& jobs) {
    std::atomic<size_t> next{0};
    auto work = [&](ZipSource& source) {
        for (size_t i; (i = next.fetch_add(1)) < jobs.size();) {
            try {
                jobs[i].extras = ReadSheet(source, jobs[i].part, ctx, *jobs[i].sink);
            } catch (...) {
                jobs[i].error = std::current_exception();
                next = jobs.size();  // no point reading on
            }
        }
    };
    std::unique_ptr<ZipSource> second = jobs.size() > 1 && std::thread::hardware_concurrency() > 1 ? zip.Sibling() : nullptr;
    std::thread helper;
    if (second) helper = std::thread([&] { work(*second); });
    work(zip);
    if (helper.joinable()) helper.join();
    for (const SheetJob& j : jobs)
        if (j.error) std::rethrow_exception(j.error);
}

// The sheet's pictures, then what its part and drawing carry beyond the
// model with the parts its relationships lead to.
void ReadPicturesAndKept(ZipSource& zip, SheetJob& job, ImageCache& images, KeptPartReader& parts) {
    KeptSheet& kept = job.extras.kept;
    Relationships rels = Relationships::Read(zip, job.part);
    const std::string& drawingId = job.extras.drawingId;
    const Relationship* d = drawingId.empty() ? nullptr : rels.ById(drawingId);
    if (d && !d->external) {
        DrawingContent content = ReadDrawing(zip, d->target, images, parts);
        for (Picture& p : content.pictures) job.sink->AddPicture(std::move(p));
        kept.drawing = std::move(content.kept);
    }
    // The drawing is written anew from the pictures and the kept anchors.
    kept.relationships = parts.Keep(rels, [&](const Relationship& r) { return r.id != drawingId || !d; });
    for (KeptRelationship& r : kept.relationships) {
        if (!r.part) continue;
        if (IsKind(r.type, "comments")) ItemizeComments(*r.part);
        else if (IsKind(r.type, "vmlDrawing")) ItemizeNotes(*r.part);
        else if (IsKind(r.type, "threadedComment")) ItemizeThreadedComments(*r.part);
    }
    job.sink->SetKept(std::move(kept));
}

// Children of <workbook> the model reads; the others are kept.
bool IsModelledInWorkbook(std::string_view name) {
    return name == "workbookPr" || name == "bookViews" || name == "sheets" || name == "definedNames" || name == "calcPr";
}

// Relationships of the workbook part the writer makes itself, or that are
// stale once cells change (the calculation chain).
bool IsWrittenAnew(const Relationship& r) {
    for (const char* kind : {"worksheet", "styles", "theme", "sharedStrings", "vbaProject", "calcChain"})
        if (IsKind(r.type, kind)) return true;
    return false;
}

KeptWorkbook KeepWorkbookParts(ZipSource& zip, pugi::xml_node root, const Relationships& rels,
                               const std::vector<std::string>& sheetRelIds, KeptPartReader& parts) {
    KeptWorkbook kept;
    kept.rootAttributes = RootAttributes(root, {"xmlns", "xmlns:r"});
    int last = 0;
    for (pugi::xml_node n = root.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;
        std::string_view name = LocalName(n.name());
        if (int known = place::InWorkbook(name); known >= 0) last = known;
        if (IsModelledInWorkbook(name)) continue;
        KeptElement e;
        e.place = last;
        e.items.push_back(ElementFragment(n));
        kept.elements.push_back(std::move(e));
    }
    if (const Relationship* styles = rels.ByKind("styles"); styles && !styles->external && zip.Has(styles->target)) {
        pugi::xml_document doc;
        LoadXml(zip, styles->target, doc);
        pugi::xml_node sheet = doc.document_element();
        auto keep = [&](int where, KeptFragment&& f) {
            KeptElement e;
            e.place = where;
            e.items.push_back(std::move(f));
            kept.styles.push_back(std::move(e));
        };
        KeptFragment rootAtts;
        rootAtts.text[0] = RootAttributes(sheet, {"xmlns"});
        if (!rootAtts.Empty()) keep(place::kStylesRootAttributes, std::move(rootAtts));
        const std::pair<const char*, int> stylesKept[] = {{"dxfs", place::kStylesDxfs},
                                                          {"tableStyles", place::kStylesTableStyles},
                                                          {"colors", place::kStylesColors},
                                                          {"extLst", place::kStylesExtLst}};
        for (const auto& [name, where] : stylesKept)
            if (pugi::xml_node n = Child(sheet, name)) keep(where, ElementFragment(n));
    }
    kept.relationships = parts.Keep(rels, [&](const Relationship& r) {
        return !IsWrittenAnew(r) && std::find(sheetRelIds.begin(), sheetRelIds.end(), r.id) == sheetRelIds.end();
    });
    kept.packageRelationships = parts.Keep(Relationships::Read(zip, ""), [](const Relationship& r) {
        return !IsKind(r.type, "officeDocument") && !IsKind(r.type, "core-properties") &&
               !IsKind(r.type, "extended-properties");
    });
    return kept;
}

}  // namespace

std::vector<std::string> UnqualifiedAreas(const std::string& formula) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false;
    for (size_t i = 0; i <= formula.size(); ++i) {
        char c = i < formula.size() ? formula[i] : ',';
        if (c == '\'') {
            // '' inside a quoted sheet name is a quote of the name itself
            if (quoted && i + 1 < formula.size() && formula[i + 1] == '\'') ++i;
            else quoted = !quoted;
        } else if (c == '!' && !quoted) {
            cur.clear();
        } else if (c == ',' && !quoted) {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else if (c != ' ' || quoted) {
            cur += c;
        }
    }
    return out;
}

void ReadPackage(ZipSource& zip, WorkbookSink& sink) {
    const std::string wbPart = WorkbookPart(zip);
    pugi::xml_document doc;
    LoadXml(zip, wbPart, doc);
    pugi::xml_node root = doc.document_element();
    Relationships rels = Relationships::Read(zip, wbPart);

    SheetContext ctx;
    ctx.date1904 = ParseBool(AttText(Child(root, "workbookPr"), "date1904"), false);
    sink.SetDate1904(ctx.date1904);

    const Relationship* styles = rels.ByKind("styles");
    sink.SetCellFormats(styles && zip.Has(styles->target) ? ReadCellFormats(zip, styles->target)
                                                          : std::vector<CellFormat>{});
    std::vector<std::string> shared;
    if (const Relationship* sst = rels.ByKind("sharedStrings"); sst && zip.Has(sst->target))
        shared = ReadSharedStrings(zip, sst->target);
    ctx.sharedStrings = &shared;

    std::vector<SheetEntry> entries;
    for (pugi::xml_node s = Child(root, "sheets").first_child(); s; s = s.next_sibling())
        if (LocalName(s.name()) == "sheet")
            entries.push_back({DecodeEscapes(AttText(s, "name")), VisibilityOf(AttText(s, "state")), AttText(s, "id"),
                               AttText(s, "state")});

    KeptPartReader parts(zip);
    parts.Exclude(wbPart);
    for (const Relationship& r : rels.All())
        if (!r.external && IsWrittenAnew(r)) parts.Exclude(r.target);
    const Relationships packageRels = Relationships::Read(zip, "");
    for (const Relationship& r : packageRels.All())
        if (!r.external && (IsKind(r.type, "core-properties") || IsKind(r.type, "extended-properties"))) parts.Exclude(r.target);

    std::vector<int> sheetOf(entries.size(), -1);
    std::vector<SheetJob> jobs;
    std::vector<std::string> sheetRelIds;
    std::vector<KeptSheetTab> tabs;
    for (size_t i = 0; i < entries.size(); ++i) {
        const Relationship* r = rels.ById(entries[i].relId);
        if (!r || r->external) zip.Fail("缺少工作表“" + entries[i].name + "”的部件");
        sheetRelIds.push_back(r->id);
        if (!IsKind(r->type, "worksheet")) {  // chart sheets and the like: kept at their place
            if (auto k = parts.KeepOne(*r))
                tabs.push_back({int(jobs.size()), entries[i].name, entries[i].state, std::move(*k)});
            continue;
        }
        if (!zip.Has(r->target)) zip.Fail("缺少工作表部件 " + r->target);
        sheetOf[i] = int(jobs.size());
        SheetJob job;
        job.part = r->target;
        job.sink = &sink.AddSheet(entries[i].name, entries[i].visible);
        jobs.push_back(std::move(job));
    }
    if (jobs.empty()) zip.Fail("工作簿中没有工作表");
    ReadSheets(zip, ctx, jobs);
    ImageCache images;
    for (SheetJob& job : jobs) ReadPicturesAndKept(zip, job, images, parts);
    KeptWorkbook keptBook = KeepWorkbookParts(zip, root, rels, sheetRelIds, parts);
    keptBook.sheetTabs = std::move(tabs);

    ReadDefinedNames(Child(root, "definedNames"), sheetOf, sink);
    if (pugi::xml_attribute tab = Att(Child(Child(root, "bookViews"), "workbookView"), "activeTab")) {
        int file = tab.as_int(0);
        if (file >= 0 && size_t(file) < sheetOf.size() && sheetOf[size_t(file)] >= 0) sink.SetActiveSheet(sheetOf[size_t(file)]);
    }
    const Relationship* vba = rels.ByKind("vbaProject");
    std::string vbaPart = vba && !vba->external ? vba->target : "xl/vbaProject.bin";
    if (zip.Has(vbaPart)) sink.SetVbaProject(zip.ReadBytes(vbaPart));
    sink.SetKept(std::move(keptBook));
    sink.Finish();
}

std::unique_ptr<Workbook> LoadWorkbookFromMemory(Application* app, const void* data, size_t size,
                                                 const std::string& displayName, const ReadLimits& limits) {
    try {
        ZipSource zip(data, size, displayName, limits);
        ModelSink sink(app, displayName);
        ReadPackage(zip, sink);
        return sink.Take();
    } catch (const FileError&) {
        throw;
    } catch (const HostError& e) {  // the model refused something the file holds (a duplicate sheet name …)
        throw FileError(displayName, e.what());
    } catch (const std::bad_alloc&) {
        throw FileError(displayName, "内存不足，无法读取文件");
    } catch (const std::length_error&) {
        throw FileError(displayName, "内存不足，无法读取文件");
    }
}

std::unique_ptr<Workbook> LoadWorkbook(Application* app, const std::string& path, const ReadLimits& limits) {
    // A folder opens as a stream on Linux and reports a size of 2^63 − 1.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw FileError(path, "“" + path + "” 是文件夹，不是工作簿");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError(path, "无法打开文件（文件不存在或没有读取权限）");
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) throw FileError(path, "读取文件失败");
    std::string bytes;
    try {
        bytes.resize(size_t(size));
    } catch (const std::exception&) {  // bad_alloc or length_error: more than memory holds
        throw FileError(path, "内存不足，无法读取文件");
    }
    in.seekg(0);
    if (!in.read(bytes.data(), size)) throw FileError(path, "读取文件失败");
    return LoadWorkbookFromMemory(app, bytes.data(), bytes.size(), path, limits);
}

}  // namespace host::xlsx
