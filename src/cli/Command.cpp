#include "cli/Command.h"

#include <filesystem>

#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace cli {

namespace {

// FNV-1a over the bytes handed to it.
struct Fnv {
    uint64_t h = 0xcbf29ce484222325ull;
    void Add(const void* data, size_t n) {
        auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
    }
    template <class T>
    void AddValue(const T& v) { Add(&v, sizeof v); }
    void AddText(const std::string& s) {
        AddValue(s.size());
        Add(s.data(), s.size());
    }
};

void AddVariant(Fnv& f, const host::Variant& v) {
    f.AddValue(static_cast<uint8_t>(v.Type()));
    switch (v.Type()) {
        case host::VarType::Number: f.AddValue(v.Number()); break;
        case host::VarType::Text: f.AddText(v.Text()); break;
        case host::VarType::Boolean: f.AddValue(v.BooleanValue()); break;
        case host::VarType::Error: f.AddValue(static_cast<uint8_t>(v.ErrorValue())); break;
        case host::VarType::Empty: break;
    }
}

}  // namespace

std::string CommandContext::Absolute(const std::string& path) const {
    std::filesystem::path p(path);
    if (p.is_relative()) p = std::filesystem::path(currentFolder) / p;
    return p.lexically_normal().string();
}

void CommandContext::SetSystemWorkbook(host::Workbook* wb) {
    systemWorkbook = wb;
    systemCellsFingerprint = wb ? CellsFingerprint(*wb) : 0;
}

uint64_t CellsFingerprint(const host::Workbook& wb) {
    Fnv f;
    for (const auto& ws : wb.SheetList()) {
        f.AddText(ws->CodeName());
        const auto& rows = ws->RowsData();
        for (size_t r = 0; r < rows.size(); ++r) {
            for (const host::Cell& c : rows[r].cells) {
                f.AddValue(static_cast<uint64_t>(r));
                f.AddValue(c.col);
                f.AddValue(c.style);
                AddVariant(f, c.value);
                f.AddText(c.formula ? *c.formula : std::string("\x01"));
            }
        }
    }
    return f.h;
}

}  // namespace cli
