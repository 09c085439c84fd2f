#pragma once
// Hand-made .xlsx packages for the reader's tests: a minimal well-formed
// package whose parts a test replaces, adds or leaves out to make a quirk.
#include <zip.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"

namespace reader_test {

inline const char* kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Zips the parts (deflated) in the order given.
inline std::string ZipParts(const std::vector<std::pair<std::string, std::string>>& parts) {
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* buf = zip_source_buffer_create(nullptr, 0, 0, &err);
    zip_source_keep(buf);
    zip_t* z = zip_open_from_source(buf, ZIP_TRUNCATE, &err);
    if (!z) throw std::runtime_error("zip_open_from_source");
    for (const auto& [name, content] : parts) {
        zip_source_t* s = zip_source_buffer(z, content.data(), content.size(), 0);
        zip_int64_t i = zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE);
        zip_set_file_compression(z, uint64_t(i), ZIP_CM_DEFLATE, 6);
    }
    if (zip_close(z) != 0) throw std::runtime_error("zip_close");
    zip_source_open(buf);
    zip_source_seek(buf, 0, SEEK_END);
    zip_int64_t size = zip_source_tell(buf);
    zip_source_seek(buf, 0, SEEK_SET);
    std::string out(size_t(size), '\0');
    zip_source_read(buf, out.data(), uint64_t(size));
    zip_source_close(buf);
    zip_source_free(buf);
    return out;
}

inline std::string Worksheet(const std::string& body) {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet xmlns=\"") + kMainNs +
           "\" xmlns:r=\"" + kRelNs + "\">" + body + "</worksheet>";
}

// Sheets are numbered from 1 as xl/worksheets/sheetN.xml with relationship rIdN.
class PackageBuilder {
public:
    PackageBuilder() {
        parts_["[Content_Types].xml"] =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
            "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"xml\" "
            "ContentType=\"application/xml\"/></Types>";
        parts_["_rels/.rels"] =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
            "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
            "Target=\"xl/workbook.xml\"/></Relationships>";
    }

    // `attrs` go on the <sheet> element of workbook.xml (state="hidden" …).
    PackageBuilder& Sheet(const std::string& name, const std::string& body, const std::string& attrs = "") {
        sheets_.push_back({name, attrs});
        parts_["xl/worksheets/sheet" + std::to_string(sheets_.size()) + ".xml"] = Worksheet(body);
        return *this;
    }
    PackageBuilder& SheetData(const std::string& rows) { return Sheet("Sheet1", "<sheetData>" + rows + "</sheetData>"); }
    // Inside <workbook> after <sheets>: <definedNames>, or before it: <workbookPr>, <bookViews>.
    PackageBuilder& WorkbookBefore(const std::string& xml) { before_ += xml; return *this; }
    PackageBuilder& WorkbookAfter(const std::string& xml) { after_ += xml; return *this; }
    PackageBuilder& SharedStrings(const std::string& items) {
        return Part("xl/sharedStrings.xml", std::string("<sst xmlns=\"") + kMainNs + "\">" + items + "</sst>",
                    "sharedStrings", "sharedStrings.xml");
    }
    PackageBuilder& Styles(const std::string& body) {
        return Part("xl/styles.xml", std::string("<styleSheet xmlns=\"") + kMainNs + "\">" + body + "</styleSheet>",
                    "styles", "styles.xml");
    }
    // A part; with `relKind` it is also related from the workbook part.
    PackageBuilder& Part(const std::string& name, const std::string& content, const std::string& relKind = "",
                         const std::string& target = "") {
        parts_[name] = content;
        if (!relKind.empty()) workbookRels_.push_back({relKind, target});
        return *this;
    }
    PackageBuilder& Without(const std::string& name) { removed_.push_back(name); return *this; }

    std::string Bytes() const {
        std::map<std::string, std::string> parts = parts_;
        std::string sheets, rels;
        for (size_t i = 0; i < sheets_.size(); ++i) {
            std::string n = std::to_string(i + 1);
            sheets += "<sheet name=\"" + sheets_[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\" " +
                      sheets_[i].second + "/>";
            rels += Rel("rId" + n, "worksheet", "worksheets/sheet" + n + ".xml");
        }
        for (size_t i = 0; i < workbookRels_.size(); ++i)
            rels += Rel("rIdX" + std::to_string(i), workbookRels_[i].first, workbookRels_[i].second);
        parts["xl/workbook.xml"] = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"") +
                                   kMainNs + "\" xmlns:r=\"" + kRelNs + "\">" + before_ + "<sheets>" + sheets +
                                   "</sheets>" + after_ + "</workbook>";
        parts["xl/_rels/workbook.xml.rels"] =
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + rels +
            "</Relationships>";
        for (const auto& [k, v] : overrides_) parts[k] = v;
        for (const std::string& r : removed_) parts.erase(r);
        return ZipParts({parts.begin(), parts.end()});
    }
    // Replaces a generated part (workbook.xml, its rels) with exact content.
    PackageBuilder& Override(const std::string& name, const std::string& content) {
        overrides_[name] = content;
        return *this;
    }

    static std::string Rel(const std::string& id, const std::string& kind, const std::string& target) {
        std::string type = kind == "vbaProject" ? "http://schemas.microsoft.com/office/2006/relationships/vbaProject"
                                                : std::string(kRelNs) + "/" + kind;
        return "<Relationship Id=\"" + id + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
    }

private:
    std::map<std::string, std::string> parts_, overrides_;
    std::vector<std::pair<std::string, std::string>> sheets_;
    std::vector<std::pair<std::string, std::string>> workbookRels_;
    std::vector<std::string> removed_;
    std::string before_, after_;
};

inline std::unique_ptr<host::Workbook> Load(const std::string& bytes, const host::xlsx::ReadLimits& limits = {}) {
    return host::xlsx::LoadWorkbookFromMemory(nullptr, bytes.data(), bytes.size(), "测试.xlsx", limits);
}

// The reason of the FileError the bytes raise; "" when they load.
inline std::string LoadError(const std::string& bytes, const host::xlsx::ReadLimits& limits = {}) {
    try {
        Load(bytes, limits);
    } catch (const host::FileError& e) {
        return e.Reason();
    }
    return "";
}

}  // namespace reader_test
