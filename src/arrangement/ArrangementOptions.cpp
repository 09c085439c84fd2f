#include "arrangement/ArrangementOptions.h"

#include <cmath>

#include "host/HostError.h"
#include "host/Variant.h"
#include "workbook/ParameterCells.h"

namespace arrangement {

double ArrangementOptions::FirstNumber() const { return host::Val(firstNumberText); }

bool IsWholeFirstNumber(const std::string& typed) {
    if (typed.empty()) return true;
    const size_t a = typed.find_first_not_of(' ');
    const std::string trimmed = a == std::string::npos ? std::string() : typed.substr(a, typed.find_last_not_of(' ') - a + 1);
    const host::Variant t(trimmed);
    if (!host::IsNumeric(t)) return false;
    const double v = host::ToNumber(t);
    return v >= 0 && v == std::floor(v);
}

void StoreOptions(const host::Workbook& system, const ArrangementOptions& options) {
    workbook::ParameterCells cells(system);
    using host::ResumeNext;
    ResumeNext([&] { cells.SetFirstExamNumber(options.FirstNumber()); });
    ResumeNext([&] { cells.SetSortKeyField(options.sortKey); });
    ResumeNext([&] { cells.SetColumnTitle(options.columnTitle); });
    ResumeNext([&] { cells.SetOrdering(int16_t(options.ordering)); });
    if (options.numberingByCounter)
        ResumeNext([&] { cells.SetNumberingMethod(*options.numberingByCounter ? 1 : 0); });
    if (options.sequentialDesks) ResumeNext([&] { cells.SetDeskOrder(*options.sequentialDesks ? 1 : 0); });
}

}  // namespace arrangement
