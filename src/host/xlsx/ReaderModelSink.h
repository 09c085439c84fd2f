#pragma once
// The sink that builds a host::Workbook from what the reader decodes.
#include <memory>
#include <string>
#include <vector>

#include "host/xlsx/ReaderSink.h"

namespace host::xlsx {

class ModelSink : public WorkbookSink {
public:
    ModelSink(Application* app, const std::string& fullName);
    ~ModelSink() override;

    // The finished workbook; null before Finish.
    std::unique_ptr<Workbook> Take();

    void SetDate1904(bool date1904) override;
    void SetCellFormats(std::vector<CellFormat>&& formats) override;
    SheetSink& AddSheet(const std::string& name, int visible) override;
    void SetPrintArea(int sheet, const std::string& areas) override;
    void SetPrintTitles(int sheet, const std::string& rows, const std::string& columns) override;
    void AddDefinedName(DefinedName&& name) override;
    void SetActiveSheet(int sheet) override;
    void SetVbaProject(std::vector<uint8_t>&& bytes) override;
    void SetKept(KeptWorkbook&& kept) override;
    void Finish() override;

private:
    class Sheet;
    Worksheet& SheetAt(int index) const;

    std::unique_ptr<Workbook> wb_;
    std::vector<uint32_t> styleOfXf_;  // file xf index → index in wb_->Styles()
    std::vector<std::unique_ptr<Sheet>> sheets_;
    std::vector<int> visibility_;  // per sheet, applied in Finish
    int active_ = -1;
    bool finished_ = false;
};

}  // namespace host::xlsx
