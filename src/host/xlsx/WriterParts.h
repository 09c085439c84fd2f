#pragma once
// The part writers of the .xlsx writer and the package layout they share.
// The layout is decided once (MakePackagePlan); each writer then emits one
// part from it. Part paths and relationship ids:
//
//   xl/workbook.xml            rId1..rIdN  → worksheets/sheetK.xml (K = tab position)
//                              rIdN+1 styles, +2 theme, +3 sharedStrings, +4 vbaProject
//   xl/worksheets/sheetK.xml   rId1 → ../drawings/drawingD.xml (sheets with pictures only)
//   xl/drawings/drawingD.xml   rIdP → ../media/imageI.ext (P = picture position, 1-based)
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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
    int drawing = 0;               // drawingD.xml; 0 = the sheet has no pictures
    bool active = false;           // the workbook's active tab
    std::vector<size_t> pictureImages;  // per picture: its index in PackagePlan::images
};

struct PackagePlan {
    const Workbook* wb = nullptr;
    bool macroEnabled = false;     // writes the kept VBA project (.xlsm targets only)
    std::vector<SheetPart> sheets;
    std::vector<ImagePart> images;
    int activeTab = 0;             // 0-based, always a visible sheet
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
void WriteRootRels(XmlBuffer& out);
void WriteWorkbookRels(const PackagePlan& plan, XmlBuffer& out);
void WriteWorkbook(const PackagePlan& plan, XmlBuffer& out);
void WriteStyles(const StyleTable& styles, XmlBuffer& out);
void WriteTheme(XmlBuffer& out);
void WriteCoreProperties(const Workbook& wb, std::time_t now, XmlBuffer& out);
void WriteAppProperties(const PackagePlan& plan, XmlBuffer& out);
void WriteSharedStrings(const SharedStrings& sst, XmlBuffer& out);
void WriteWorksheet(const SheetPart& part, SharedStrings& sst, XmlBuffer& out);
void WriteSheetRels(const SheetPart& part, XmlBuffer& out);
void WriteDrawing(const PackagePlan& plan, const SheetPart& part, XmlBuffer& out);
void WriteDrawingRels(const PackagePlan& plan, const SheetPart& part, XmlBuffer& out);

// Namespaces and relationship types used by several parts.
inline constexpr std::string_view kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr std::string_view kPackageRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";

}  // namespace host::xlsx
