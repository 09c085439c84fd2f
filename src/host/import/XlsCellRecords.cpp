// What FreeXL leaves out of an Excel 97-2003 workbook: the cached results of
// formula cells, the boolean and error cells, merged areas and the sheets'
// visibility. They are read here from the
// BIFF8 records of the workbook stream, found in the compound file by a small
// reader of its own; anything this reader does not understand gives no extra
// cells, never a failure (FreeXL has read the file already).
//
// Compound file: a 512-byte header, then sectors of 2^shift bytes; sector n
// starts at (n + 1) << shift. The FAT chains sectors; the directory (128-byte
// entries) names the streams; streams under 4096 bytes live in 64-byte
// sectors of the mini stream, chained by the mini FAT.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "host/Utf8.h"
#include "host/import/XlsCellRecords.h"

namespace host::import {

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;

uint16_t U16(std::string_view b, size_t at) {
    return at + 2 <= b.size() ? uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8) : 0;
}
uint32_t U32(std::string_view b, size_t at) { return at + 4 <= b.size() ? uint32_t(U16(b, at)) | uint32_t(U16(b, at + 2)) << 16 : 0; }

class CompoundFile {
public:
    explicit CompoundFile(std::string_view bytes) : b_(bytes) {
        if (b_.size() < 512 || std::memcmp(b_.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) != 0) return;
        shift_ = U16(b_, 0x1E);
        if (shift_ != 9 && shift_ != 12) return;
        // The FAT's own sectors: 109 listed in the header, the rest in the DIFAT chain.
        std::vector<uint32_t> fatSectors;
        const uint32_t fatCount = U32(b_, 0x2C);
        for (uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i) fatSectors.push_back(U32(b_, 0x4C + 4 * i));
        uint32_t difat = U32(b_, 0x44);
        const size_t perSector = (size_t(1) << shift_) / 4;
        for (uint32_t guard = 0; difat < kEndOfChain - 3 && fatSectors.size() < fatCount && guard < SectorCount(); ++guard) {
            const size_t at = Offset(difat);
            for (size_t i = 0; i + 1 < perSector && fatSectors.size() < fatCount; ++i) fatSectors.push_back(U32(b_, at + 4 * i));
            difat = U32(b_, at + 4 * (perSector - 1));
        }
        for (uint32_t s : fatSectors) {
            if (Offset(s) + (size_t(1) << shift_) > b_.size()) return;
            for (size_t i = 0; i < perSector; ++i) fat_.push_back(U32(b_, Offset(s) + 4 * i));
        }
        directory_ = Chain(U32(b_, 0x30), fat_, shift_, std::string_view(), UINT32_MAX);
        miniFat_.clear();
        const std::string miniFatBytes = Chain(U32(b_, 0x3C), fat_, shift_, std::string_view(), UINT32_MAX);
        for (size_t i = 0; i + 4 <= miniFatBytes.size(); i += 4) miniFat_.push_back(U32(miniFatBytes, i));
        if (directory_.size() >= 128) rootStream_ = Chain(U32(directory_, 0x74), fat_, shift_, std::string_view(), U32(directory_, 0x78));
        ok_ = true;
    }

    // The stream of that name (ASCII), empty when there is none.
    std::string Stream(std::string_view name) const {
        if (!ok_) return {};
        for (size_t e = 0; e + 128 <= directory_.size(); e += 128) {
            if (directory_[e + 0x42] != 2) continue;  // streams only
            const uint16_t bytes = U16(directory_, e + 0x40);
            if (bytes != 2 * (name.size() + 1)) continue;
            bool same = true;
            for (size_t i = 0; i < name.size() && same; ++i)
                same = U16(directory_, e + 2 * i) == uint8_t(name[i]) || U16(directory_, e + 2 * i) == uint8_t(name[i]) + 32;
            if (!same) continue;
            const uint32_t start = U32(directory_, e + 0x74), size = U32(directory_, e + 0x78);
            if (size < U32(b_, 0x38)) return Chain(start, miniFat_, 6, rootStream_, size);
            return Chain(start, fat_, shift_, std::string_view(), size);
        }
        return {};
    }

private:
    size_t Offset(uint32_t sector) const { return (size_t(sector) + 1) << shift_; }
    uint32_t SectorCount() const { return uint32_t(b_.size() >> shift_); }

    // The bytes of a sector chain, from the file (`in` empty) or from the
    // mini stream `in` (64-byte sectors from its start), cut at `size`.
    std::string Chain(uint32_t start, const std::vector<uint32_t>& table, int shift, std::string_view in, uint32_t size) const {
        std::string out;
        const size_t sector = size_t(1) << shift;
        for (uint32_t s = start, guard = 0; s < table.size() && guard <= table.size() && out.size() < size; s = table[s], ++guard) {
            const size_t at = in.empty() ? Offset(s) : size_t(s) * sector;
            const std::string_view source = in.empty() ? b_ : in;
            if (at + sector > source.size()) break;
            out.append(source.substr(at, sector));
        }
        if (out.size() > size) out.resize(size);
        return out;
    }

    std::string_view b_;
    int shift_ = 9;
    bool ok_ = false;
    std::vector<uint32_t> fat_, miniFat_;
    std::string directory_, rootStream_;
};

// A BIFF8 unicode string without its length: flags, then 8-bit or UTF-16LE characters, as UTF-8.
std::string BiffText(std::string_view b, size_t at, size_t chars) {
    if (at >= b.size()) return {};
    const bool wide = b[at] & 1;
    const bool rich = b[at] & 8, ext = b[at] & 4;
    at += 1 + (rich ? 2 : 0) + (ext ? 4 : 0);
    std::string out;
    for (size_t i = 0; i < chars; ++i) {
        uint32_t cp;
        if (wide) {
            if (at + 2 > b.size()) break;
            cp = U16(b, at);
            at += 2;
            if (cp >= 0xD800 && cp <= 0xDBFF && at + 2 <= b.size()) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (U16(b, at) - 0xDC00);
                at += 2;
                ++i;
            }
        } else {
            if (at >= b.size()) break;
            cp = uint8_t(b[at++]);
        }
        AppendUtf8(out, cp);
    }
    return out;
}

Variant BiffError(uint8_t code) {
    switch (code) {
        case 0x00: return Variant::Error(CellError::Null);
        case 0x07: return Variant::Error(CellError::Div0);
        case 0x0F: return Variant::Error(CellError::Value);
        case 0x17: return Variant::Error(CellError::Ref);
        case 0x1D: return Variant::Error(CellError::Name);
        case 0x24: return Variant::Error(CellError::Num);
        case 0x2A: return Variant::Error(CellError::NA);
    }
    return Variant::Error(CellError::NA);
}

}  // namespace

std::vector<XlsSheetCells> ReadXlsCellRecords(std::string_view fileBytes) {
    const CompoundFile cf(fileBytes);
    std::string stream = cf.Stream("Workbook");
    if (stream.empty()) stream = cf.Stream("Book");
    std::vector<XlsSheetCells> sheets;
    std::vector<uint32_t> sheetOffsets;  // BOF offsets of the worksheets, in tab order
    int current = -1;
    bool pendingString = false;
    std::pair<int32_t, int32_t> pendingAt;
    for (size_t at = 0; at + 4 <= stream.size();) {
        const uint16_t type = U16(stream, at), length = U16(stream, at + 2);
        const std::string_view body = std::string_view(stream).substr(at + 4, std::min<size_t>(length, stream.size() - at - 4));
        const size_t start = at;
        at += 4 + size_t(length);
        switch (type) {
            case 0x0809:  // BOF: version 0x0600 is BIFF8
                if (start == 0 && U16(body, 0) != 0x0600) return {};
                current = -1;
                for (size_t i = 0; i < sheetOffsets.size(); ++i)
                    if (sheetOffsets[i] == start) current = int(i);
                break;
            case 0x0085:  // BOUNDSHEET: worksheets only (sheet type 0), as FreeXL lists them
                if (body.size() >= 6 && uint8_t(body[5]) == 0) {
                    sheetOffsets.push_back(U32(body, 0));
                    sheets.emplace_back();
                    const uint8_t state = uint8_t(body[4]) & 3;
                    sheets.back().visible = state == 1 ? xlSheetHidden : state == 2 ? xlSheetVeryHidden : xlSheetVisible;
                }
                break;
            case 0x000A: current = -1; break;  // EOF of a substream
            case 0x0006: {                      // FORMULA: its cached result
                if (current < 0 || body.size() < 14) break;
                const int32_t row = U16(body, 0) + 1, col = U16(body, 2) + 1;
                auto& cells = sheets[size_t(current)].cells;
                if (U16(body, 12) != 0xFFFF) {
                    double d;
                    std::memcpy(&d, body.data() + 6, 8);
                    cells[{row, col}] = Variant(d);
                } else if (body[6] == 0) {
                    pendingString = true;  // the text follows in a STRING record
                    pendingAt = {row, col};
                } else if (body[6] == 1) {
                    cells[{row, col}] = Variant::Boolean(body[8] != 0);
                } else if (body[6] == 2) {
                    cells[{row, col}] = BiffError(uint8_t(body[8]));
                }
                continue;
            }
            case 0x0207:  // STRING: the text result of the formula before it
                if (pendingString && current >= 0 && body.size() >= 3) {
                    std::string text = BiffText(body, 2, U16(body, 0));
                    if (!text.empty()) sheets[size_t(current)].cells[pendingAt] = Variant(std::move(text));
                }
                break;
            case 0x00E5:  // MERGEDCELLS: rows first..last, columns first..last, 0-based
                if (current >= 0)
                    for (size_t i = 0, n = U16(body, 0); i < n && 2 + 8 * (i + 1) <= body.size(); ++i) {
                        const size_t a = 2 + 8 * i;
                        Rect r{U16(body, a) + 1, U16(body, a + 4) + 1, U16(body, a + 2) + 1, U16(body, a + 6) + 1};
                        if (r.bottom >= r.top && r.right >= r.left && r.Count() > 1 && r.right <= 16384)
                            sheets[size_t(current)].merged.push_back(r);
                    }
                break;
            case 0x0205:  // BOOLERR
                if (current >= 0 && body.size() >= 8)
                    sheets[size_t(current)].cells[{U16(body, 0) + 1, U16(body, 2) + 1}] =
                        body[7] ? BiffError(uint8_t(body[6])) : Variant::Boolean(body[6] != 0);
                break;
            default: break;
        }
        pendingString = false;
    }
    return sheets;
}

}  // namespace host::import
