#include "host/import/ForeignWorkbook.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/HostError.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/import/ImportParts.h"
#include "host/xlsx/Package.h"
#include "host/xlsx/ReaderModelSink.h"
#include "host/xlsx/ReaderSheet.h"

namespace host {

namespace {

std::string LowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

std::string ReadWholeFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw FileError(path, "“" + path + "” 是文件夹，不是工作簿");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError(path, "无法打开文件（文件不存在或没有读取权限）");
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) throw FileError(path, "读取文件失败");
    std::string bytes;
    try {
        bytes.resize(size_t(size));
    } catch (const std::exception&) {
        throw FileError(path, "内存不足，无法读取文件");
    }
    in.seekg(0);
    if (!in.read(bytes.data(), size)) throw FileError(path, "读取文件失败");
    return bytes;
}

}  // namespace

ForeignFormat ForeignFormatOf(const std::string& path) {
    const std::string ext = LowerExtension(path);
    std::ifstream in(path, std::ios::binary);
    char head[128] = {};
    in.read(head, sizeof head);
    const size_t n = in ? sizeof head : size_t(std::max<std::streamsize>(in.gcount(), 0));
    static const unsigned char kCompoundFile[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    // An encrypted .xlsx is a compound file too; the .xlsx reader names it.
    if (n >= sizeof kCompoundFile && std::memcmp(head, kCompoundFile, sizeof kCompoundFile) == 0)
        return ext == ".xlsx" || ext == ".xlsm" ? ForeignFormat::None : ForeignFormat::Xls;
    if (n >= 4 && std::memcmp(head, "PK\x03\x04", 4) == 0) {
        // An OpenDocument package begins with its stored "mimetype" entry.
        const std::string_view start(head, n);
        if (start.find("application/vnd.oasis.opendocument.spreadsheet") != std::string_view::npos || ext == ".ods")
            return ForeignFormat::Ods;
        return ForeignFormat::None;
    }
    if (ext == ".csv") return ForeignFormat::Csv;
    return ForeignFormat::None;
}

std::string ForeignFormatName(ForeignFormat format) {
    switch (format) {
        case ForeignFormat::Xls: return "Excel 97-2003 工作簿（.xls）";
        case ForeignFormat::Ods: return "OpenDocument 电子表格（.ods）";
        case ForeignFormat::Csv: return "CSV 文本文件（.csv）";
        case ForeignFormat::None: break;
    }
    return "Excel 工作簿（.xlsx）";
}

std::string XlsxBeside(const std::string& path) {
    std::filesystem::path p(path);
    p.replace_extension(".xlsx");
    return p.string();
}

std::unique_ptr<Workbook> LoadForeignWorkbook(Application* app, const std::string& path, const std::string& savedAs) {
    const ForeignFormat format = ForeignFormatOf(path);
    try {
        xlsx::ModelSink sink(app, savedAs);
        switch (format) {
            case ForeignFormat::Xls: import::ReadXls(path, sink); break;
            case ForeignFormat::Ods: import::ReadOds(ReadWholeFile(path), path, sink); break;
            case ForeignFormat::Csv: import::ReadCsv(ReadWholeFile(path), path, sink); break;
            case ForeignFormat::None: throw FileError(path, "不是 .xls、.ods 或 .csv 文件");
        }
        std::unique_ptr<Workbook> wb = sink.Take();
        if (!wb || wb->SheetCount() == 0) throw FileError(path, "文件中没有工作表");
        wb->SetSaved(false);
        return wb;
    } catch (const FileError&) {
        throw;
    } catch (const HostError& e) {  // the model refused something the file holds
        throw FileError(path, e.what());
    } catch (const std::bad_alloc&) {
        throw FileError(path, "内存不足，无法读取文件");
    } catch (const std::length_error&) {
        throw FileError(path, "内存不足，无法读取文件");
    }
}

void SaveForeignAsXlsx(Application* app, const std::string& source, const std::string& target) {
    std::unique_ptr<Workbook> wb = LoadForeignWorkbook(app, source, target);
    xlsx::SaveWorkbook(*wb, target);
}

namespace import {

void DeclareFormats(xlsx::WorkbookSink& sink) {
    const CellFormat general = StyleTable().Default();
    std::vector<CellFormat> formats(5, general);
    formats[kDateXf].numberFormat = "yyyy/m/d";
    formats[kDateTimeXf].numberFormat = "yyyy/m/d h:mm";
    formats[kTimeXf].numberFormat = "h:mm:ss";
    formats[kPercentXf].numberFormat = "0.00%";
    sink.SetCellFormats(std::move(formats));
}

bool DateTextToSerial(std::string_view text, double& serial, uint32_t& xf) {
    std::string iso(text);
    const bool dated = iso.size() >= 10 && iso[4] == '-' && iso[7] == '-';
    if (dated && iso.size() > 10 && iso[10] == ' ') iso[10] = 'T';
    if (!dated && iso.find(':') == std::string::npos) return false;
    if (!xlsx::IsoDateToSerial(iso, false, serial)) return false;
    const bool timed = iso.size() > 10 && iso.find(':') != std::string::npos;
    xf = !dated ? kTimeXf : timed && serial != double(int64_t(serial)) ? kDateTimeXf : kDateXf;
    return true;
}

std::string SheetNameFrom(std::string_view text) {
    std::string name;
    for (char c : text) name += std::strchr(":\\/?*[]", c) && c ? '_' : c;
    while (!name.empty() && name.front() == '\'') name.erase(name.begin());
    while (!name.empty() && name.back() == '\'') name.pop_back();
    // At most 31 characters, counted as the host counts them (UTF-16 units),
    // cut between whole UTF-8 sequences.
    size_t units = 0, i = 0;
    while (i < name.size()) {
        const unsigned char lead = static_cast<unsigned char>(name[i]);
        const size_t len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const size_t cost = len == 4 ? 2 : 1;
        if (units + cost > 31) break;
        units += cost;
        i += len;
    }
    name.resize(std::min(i, name.size()));
    return name.empty() ? "Sheet1" : name;
}

}  // namespace import

}  // namespace host
