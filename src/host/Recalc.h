#pragma once
// Recalculation of a workbook's formulas. A formula engine (libixion) keeps a
// model of every sheet's values and formulas; Recalc keeps that model in step
// with the host's cells and writes the results back as the formula cells'
// cached values, which is what views show and files store.
//
// Keeping in step, cheapest first:
//   CellsChanged(ws, cells)  the rows of those cells are compared with what the
//                            engine holds and pushed when they differ;
//   SheetChanged(ws)         every row of the sheet is compared (a hash of each
//                            row's values and formulas is kept);
//   StructureChanged()       rows or columns inserted or deleted, a sheet
//                            renamed: the engine can do none of these, so the
//                            model is built again. A changed list of sheets
//                            (added, removed, moved, renamed) is noticed even
//                            when nobody says so.
// Nothing is computed until Calculate; the notifications only record.
//
// Formulas the engine cannot compute — functions it lacks or gets wrong for
// Chinese text, references to other workbooks, syntax it does not read — keep
// their cached result, and formulas that depend on them compute from it. No
// formula stops the others from being computed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

class Workbook;
class Worksheet;
struct Rect;

class Recalc {
public:
    explicit Recalc(Workbook& wb);
    ~Recalc();
    Recalc(const Recalc&) = delete;
    Recalc& operator=(const Recalc&) = delete;

    void CellsChanged(const Worksheet& ws, const Rect& cells);
    void SheetChanged(const Worksheet& ws);
    void StructureChanged();
    // Whether a change is waiting for Calculate.
    bool Pending() const;

    // Brings every formula's cached result up to date. Builds the model on the
    // first call and after a structural change; otherwise pushes only what
    // changed and computes only the formulas that depend on it.
    void Calculate();

    // What the formulas that kept their cached result use that the engine
    // cannot compute: function names ("TEXT", "ROUND") or, when no function is
    // to blame, the formula ("=[1]Sheet1!A1"). Each once, in the order found,
    // since the model was last built.
    const std::vector<std::string>& Kept() const;

    // What the last Calculate did (benchmarks, tests).
    struct Run {
        bool rebuilt = false;
        int64_t pushedCells = 0;    // cells sent to the engine
        int64_t computed = 0;       // formulas the engine computed
        double syncMs = 0;          // pushing changes, or building the model
        double orderMs = 0;         // finding and ordering the formulas to compute
        double engineMs = 0;        // the engine computing them
        double writeBackMs = 0;     // results into the host's cells
    };
    const Run& LastRun() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The status-bar line about kept formulas ("" when there are none).
std::string KeptFormulasNotice(const std::vector<std::string>& kept);

}  // namespace host
