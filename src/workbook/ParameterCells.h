#pragma once
// The parameter cells of the parameter sheet (code name Sheet2). They are the
// tool's whole persistent state apart from the template options table and the
// settings sheets:
//   K1  roster folder (text, as Workbook::Path, no trailing separator)
//   L1  roster file name (text, as Workbook::Name)
//   K2  desk groups per room        K3  grades per desk group
//   K4  exam rooms                  K5  extra fields of a settings sheet
//   K6  window code: empty text = Settings, 2 Exam tables, 3 Arrangement, 4 Print
//   K7  first exam number (double)  K8  sort-key field   K9  column title (text)
//   K10 ordering 1 ascending, 2 descending, 3 random
//   K11 exam-number method 1 by sequence, 0 column + room + seat
//   K12 desk order 1 sequential, 0 S-shaped
// Integers are 16-bit; a cell is read as a number through its text form
// (longest numeric prefix, 0 when none) rounded half to even.
#include <cstdint>
#include <string>

namespace host {
class Workbook;
class Worksheet;
}  // namespace host

namespace workbook {

enum class WindowCode : int16_t { Settings = 0, ExamTables = 2, Arrangement = 3, Print = 4 };

// The window a stored code opens: 2, 3 and 4 as listed, anything else Settings.
WindowCode WindowForCode(double code);

class ParameterCells {
public:
    // Every access looks the parameter sheet up again, so a missing sheet is a
    // HostError at the first read or write, as it is for the host's callers.
    explicit ParameterCells(const host::Workbook& system) : system_(system) {}

    std::string RosterFolder() const { return Text("K1"); }
    void SetRosterFolder(const std::string& folder) { SetText("K1", folder); }
    std::string RosterFileName() const { return Text("L1"); }
    void SetRosterFileName(const std::string& name) { SetText("L1", name); }

    int16_t DeskGroups() const { return Int16("K2"); }
    void SetDeskGroups(int16_t n) { SetInt16("K2", n); }
    int16_t GradesPerGroup() const { return Int16("K3"); }
    void SetGradesPerGroup(int16_t n) { SetInt16("K3", n); }
    int16_t RoomCount() const { return Int16("K4"); }
    void SetRoomCount(int16_t n) { SetInt16("K4", n); }
    int16_t ExtraFieldCount() const { return Int16("K5"); }
    void SetExtraFieldCount(int16_t n) { SetInt16("K5", n); }

    // K6 as text, then as a number; not rounded, so 2.4 opens no window of its own.
    double WindowCodeNumber() const { return Number("K6"); }
    void SetWindowCode(WindowCode code);

    double FirstExamNumber() const { return Number("K7"); }
    void SetFirstExamNumber(double n) { SetNumber("K7", n); }
    std::string SortKeyField() const { return Text("K8"); }
    void SetSortKeyField(const std::string& f) { SetText("K8", f); }
    std::string ColumnTitle() const { return Text("K9"); }
    void SetColumnTitle(const std::string& t) { SetText("K9", t); }

    int16_t Ordering() const { return Int16("K10"); }
    void SetOrdering(int16_t n) { SetInt16("K10", n); }
    int16_t NumberingMethod() const { return Int16("K11"); }
    void SetNumberingMethod(int16_t n) { SetInt16("K11", n); }
    int16_t DeskOrder() const { return Int16("K12"); }
    void SetDeskOrder(int16_t n) { SetInt16("K12", n); }

    // The generic readings, for cells named by address ("K2").
    std::string Text(const char* cell) const;
    double Number(const char* cell) const;
    int16_t Int16(const char* cell) const;  // overflow is a HostError
    void SetText(const char* cell, const std::string& text);
    void SetNumber(const char* cell, double value);
    void SetInt16(const char* cell, int16_t value) { SetNumber(cell, value); }

private:
    host::Worksheet& Sheet() const;

    const host::Workbook& system_;
};

}  // namespace workbook
