#pragma once
// Workbooks written by other programs in formats the host reads but does not
// write: Excel 97-2003 (.xls), OpenDocument spreadsheets (.ods) and CSV text.
// They are read into a new workbook and saved as .xlsx beside the original,
// which stays untouched: the host never writes anything but .xlsx.
//
// What comes across: sheets in their order with their names, cell values
// (numbers, text, booleans, errors; dates as date serials with a date
// format; formula results), merged areas and hidden sheets (.xls, .ods), and
// from .ods the formulas themselves where the host can read them. Fonts,
// fills, borders and column widths do not.
#include <memory>
#include <string>

namespace host {

class Application;
class Workbook;

enum class ForeignFormat { None, Xls, Ods, Csv };

// What the file is, by its first bytes (CSV, which has no signature, by its
// extension). None for an .xlsx or .xlsm package and for anything unknown:
// those go to the .xlsx reader, whose message names what the file is.
ForeignFormat ForeignFormatOf(const std::string& path);

// The format as the user knows it: "Excel 97-2003 工作簿（.xls）" …
std::string ForeignFormatName(ForeignFormat format);

// The .xlsx a foreign file is saved as: same folder, same name, extension
// ".xlsx" in place of the old one.
std::string XlsxBeside(const std::string& path);

// Reads a foreign file into a new workbook whose full name is `savedAs`,
// marked unsaved. Throws FileError naming `path` and the reason.
std::unique_ptr<Workbook> LoadForeignWorkbook(Application* app, const std::string& path, const std::string& savedAs);

// Reads `source` and writes it as the .xlsx workbook `target`. Nothing is
// written when reading fails; a failed write leaves an older `target` whole.
// Throws FileError.
void SaveForeignAsXlsx(Application* app, const std::string& source, const std::string& target);

}  // namespace host
