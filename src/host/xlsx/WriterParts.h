#pragma once
// The part writers of the .xlsx writer and the package layout they share.
// The layout is decided once (MakePackagePlan); each writer then emits one
// part from it. Part paths and relationship ids:
//
//   xl/workbook.xml            → worksheets/sheetK.xml (K = position among the worksheets),
//                                styles, theme, sharedStrings, vbaProject
//   xl/worksheets/sheetK.xml   → ../drawings/drawingD.xml (sheets with pictures or kept drawing anchors)
//   xl/drawings/drawingD.xml   → ../media/imageI.ext, one per picture
//
// Relationship ids are "rIdN", the lowest N not taken by a kept relationship
// of the same part, which keeps its id (the kept XML names it). Kept parts
// keep their names unless a written part took it (then "_N" is added before
// the extension); their relationships are written with absolute targets.
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/KeptXml.h"
#include "host/xlsx/WriterXml.h"

namespace host {
class Workbook;
class Worksheet;
class StyleTable;
}  // namespace host

namespace host::xlsx {

struct ImagePart {
    std::string path;  // inside the package, e.g. "xl/media/image1.png"
    std::string extension;
    std::shared_ptr<const std::vector<uint8_t>> data;
};

struct SheetPart {
    const Worksheet* sheet = nullptr;
    int number = 0;                // sheetK.xml
    int drawing = 0;               // drawingD.xml; 0 = the sheet has no drawing
    bool active = false;           // the workbook's active tab
    int tabPosition = 0;           // 0-based among all tabs (kept chart sheets included)
    std::string relId;             // of the workbook's relationship to it
    std::string drawingRelId;      // of its relationship to the drawing
    std::vector<size_t> pictureImages;  // per picture: its index in PackagePlan::images
    std::vector<std::string> pictureRelIds;  // per picture: the drawing's relationship to its image
    uint32_t firstShapeId = 2;     // shape id of the first picture
};

struct PackagePlan {
    const Workbook* wb = nullptr;
    bool macroEnabled = false;     // writes the kept VBA project (.xlsm targets only)
    std::vector<SheetPart> sheets;
    std::vector<ImagePart> images;
    int activeTab = 0;             // 0-based tab position, always a visible worksheet
    std::string stylesRelId, themeRelId, sharedStringsRelId, vbaRelId;
    std::string coreRelId, appRelId, officeDocumentRelId;  // of the package root
    // Every kept part, each once, with the name it is written under.
    std::vector<std::pair<const KeptPart*, std::string>> keptParts;
    std::map<const KeptPart*, std::string> keptPath;
};

PackagePlan MakePackagePlan(const Workbook& wb, bool macroEnabled);

// Text cells share one table; indexes follow first use. The views point into
// the workbook's cells, which do not change while a save runs. An open-
// addressing table of indexes (with each string's hash kept beside it) keeps
// the lookup to one probe sequence and no allocation per distinct string.
class SharedStrings {
public:
    SharedStrings() : slots_(1024, 0) {}
    uint32_t Index(std::string_view s);
    size_t UniqueCount() const { return strings_.size(); }
    uint64_t ReferenceCount() const { return references_; }
    const std::vector<std::string_view>& Strings() const { return strings_; }

private:
    void Grow();
    std::vector<uint32_t> slots_;  // 0 = free, else string index + 1; size a power of two
    std::vector<std::string_view> strings_;
    std::vector<size_t> hashes_;
    uint64_t references_ = 0;
};

// MIME type of an image part by its extension; empty when unknown.
std::string ImageContentType(const std::string& extension);
// The sheet name as a formula reference prefix: 'It''s'!
std::string QuotedSheetPrefix(const std::string& sheetName);

void WriteContentTypes(const PackagePlan& plan, XmlBuffer& out);
void WriteRootRels(const PackagePlan& plan, XmlBuffer& out);
void WriteWorkbookRels(const PackagePlan& plan, XmlBuffer& out);
void WriteWorkbook(const PackagePlan& plan, XmlBuffer& out);
void WriteStyles(const StyleTable& styles, const std::vector<KeptElement>& kept, XmlBuffer& out);
void WriteTheme(XmlBuffer& out);
void WriteCoreProperties(const Workbook& wb, std::time_t now, XmlBuffer& out);
void WriteAppProperties(const PackagePlan& plan, XmlBuffer& out);
void WriteSharedStrings(const SharedStrings& sst, XmlBuffer& out);
void WriteWorksheet(const SheetPart& part, SharedStrings& sst, XmlBuffer& out);
void WriteSheetRels(const PackagePlan& plan, const SheetPart& part, XmlBuffer& out);
void WriteDrawing(const PackagePlan& plan, const SheetPart& part, XmlBuffer& out);
void WriteDrawingRels(const PackagePlan& plan, const SheetPart& part, XmlBuffer& out);
// The relationships of a kept part; false when it has none (no part is written).
bool WriteKeptPartRels(const PackagePlan& plan, const KeptPart& part, XmlBuffer& out);
// The kept elements of one place, in the order the file had them.
void WriteKept(const std::vector<KeptElement>& elements, int place, XmlBuffer& out);
// "xl/comments1.xml" → "/xl/comments1.xml"
inline std::string AbsoluteTarget(const std::string& path) { return "/" + path; }

// Namespaces and relationship types used by several parts.
inline constexpr std::string_view kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr std::string_view kPackageRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";

}  // namespace host::xlsx
