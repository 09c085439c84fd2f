#include "arrangement/ArrangementOptions.h"

#include "host/HostError.h"
#include "host/Variant.h"
#include "workbook/ParameterCells.h"

namespace arrangement {

double ArrangementOptions::FirstNumber() const { return host::Val(firstNumberText); }

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
