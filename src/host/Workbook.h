#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/Style.h"
#include "host/Worksheet.h"

namespace host {

class Application;
class WorkbookLock;
struct LockHolder;
class Recalc;

struct DefinedName {
    std::string name;
    int localSheet = -1;  // 0-based sheet index, -1 = workbook scope
    std::string formula;  // without "="
    bool hidden = false;
};

class Workbook;

// The worksheets of a workbook, 1-based, in tab order.
class Sheets {
public:
    explicit Sheets(Workbook* wb) : wb_(wb) {}
    int Count() const;
    Worksheet& Item(int index) const;                 // HostError when out of range
    Worksheet* Find(const std::string& name) const;   // by tab name, case-insensitive; null when none
    Worksheet& Item(const std::string& name) const;   // HostError when none
    // A new empty sheet named "SheetN" (next free N) with the next free code name;
    // after `after`, or before the first sheet when `after` is null and `before` too.
    Worksheet& Add(Worksheet* after = nullptr, Worksheet* before = nullptr);

    std::vector<std::unique_ptr<Worksheet>>::const_iterator begin() const;
    std::vector<std::unique_ptr<Worksheet>>::const_iterator end() const;

private:
    Workbook* wb_;
};

class Workbook {
public:
    explicit Workbook(Application* app, std::string name = "");
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    Application* Parent() const { return app_; }
    const std::string& Name() const { return name_; }
    const std::string& Path() const { return path_; }  // no trailing separator; empty for a new workbook
    std::string FullName() const;                      // Path + "/" + Name, or Name when never saved
    void SetFileName(const std::string& fullName);     // sets Path and Name

    Sheets Worksheets() { return Sheets(this); }
    int SheetCount() const { return static_cast<int>(sheets_.size()); }
    Worksheet& Sheet(int index) const { return *sheets_.at(index - 1); }  // 1-based
    Worksheet* SheetByName(const std::string& name) const;

    void Activate();
    Worksheet* ActiveSheet() const;
    void SetActiveSheet(Worksheet* ws) { activeSheet_ = ws; }

    // Recalculation of the formulas (Recalc.h). Calculate brings every
    // formula's cached result up to date; saving calculates first.
    host::Recalc& Recalculation() { return *recalc_; }
    void Calculate();

    // Save writes to FullName; SaveAs changes the name and path first. Both
    // write a temporary file and rename it over the target. Throw FileError.
    // When the application locks files, a target that another program holds
    // is written only when the lock question says so (LockedFileError).
    void Save();
    void SaveAs(const std::string& fullName);
    // Closes the workbook in its application (the object is destroyed).
    void Close(bool saveChanges);

    bool Saved() const { return saved_; }
    void SetSaved(bool s) {
        saved_ = s;
        if (!s) ++changes_;
    }
    // Counts the changes marked since the workbook was made (every change
    // that makes it unsaved), so that a caller can tell whether a step changed it.
    uint64_t ChangeCount() const { return changes_; }
    bool RemovePersonalInformation() const { return removePersonalInformation_; }
    void SetRemovePersonalInformation(bool v) { removePersonalInformation_ = v; }

    StyleTable& Styles() { return styles_; }
    const StyleTable& Styles() const { return styles_; }
    std::vector<DefinedName>& DefinedNames() { return names_; }
    const std::vector<DefinedName>& DefinedNames() const { return names_; }
    bool Date1904() const { return date1904_; }
    void SetDate1904(bool v) { date1904_ = v; }

    // A macro project read from an .xlsm file, kept byte for byte.
    std::shared_ptr<const std::vector<uint8_t>> VbaProject() const { return vba_; }
    void SetVbaProject(std::shared_ptr<const std::vector<uint8_t>> v) { vba_ = std::move(v); }

    // What the file carried beyond the model (chart sheets, pivot caches,
    // external links, workbook protection …), written back on save.
    KeptWorkbook& Kept() { return kept_; }
    const KeptWorkbook& Kept() const { return kept_; }

    // ----- lock files, when the application locks files -----
    // Takes the lock of FullName where it can be had; `letPast` is the other
    // holder the lock question let past, not asked about again on save.
    void HoldLock(const std::optional<LockHolder>& letPast);
    // The lock file this workbook holds; empty when none.
    std::string LockFile() const;

    // ----- structure, used by Sheets, Worksheet and the file reader -----
    std::vector<std::unique_ptr<Worksheet>>& SheetList() { return sheets_; }
    const std::vector<std::unique_ptr<Worksheet>>& SheetList() const { return sheets_; }
    // A new sheet at 0-based position `pos` (-1 = end) without the naming
    // rules' checks beyond uniqueness; used by the file reader.
    Worksheet& InsertSheet(int pos, const std::string& name, const std::string& codeName);
    void RemoveSheet(Worksheet* ws);
    std::string NextCodeName() const;
    std::string NextSheetName() const;

private:
    Application* app_;
    std::string name_, path_;
    std::vector<std::unique_ptr<Worksheet>> sheets_;
    Worksheet* activeSheet_ = nullptr;
    StyleTable styles_;
    std::vector<DefinedName> names_;
    bool saved_ = true;
    uint64_t changes_ = 0;
    bool removePersonalInformation_ = false;
    bool date1904_ = false;
    std::shared_ptr<const std::vector<uint8_t>> vba_;
    KeptWorkbook kept_;
    std::unique_ptr<WorkbookLock> lock_;
    std::string letPastLock_;  // lock file and content of the holder let past
    void ConfirmTarget(const std::string& target);
    std::unique_ptr<host::Recalc> recalc_;
};

}  // namespace host
