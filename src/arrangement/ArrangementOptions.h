#pragma once
// The choices of the Arrangement window that a run works with, as the
// window's controls hold them, and their cells K7–K12:
//   K7  first exam number (numeric value of the typed text; empty is 0)
//   K8  sort key title      K9  column title of method 2 (or the none entry)
//   K10 1 ascending, 2 descending, 3 random
//   K11 1 method 1, 0 method 2      K12 1 sequential desks, 0 S-shaped
#include <optional>
#include <string>

namespace host {
class Workbook;
}

namespace arrangement {

enum class Ordering { Ascending = 1, Descending = 2, Random = 3 };

struct ArrangementOptions {
    Ordering ordering = Ordering::Random;
    std::string sortKey;              // text of Combo1
    std::string firstNumberText;      // text of Text1, as typed
    std::string columnTitle;          // text of Combo2
    // Option4 (method 1) / Option5 (method 2); empty when neither is selected.
    std::optional<bool> numberingByCounter;
    // Option6 (sequential) / Option7 (S-shaped); empty when neither is selected.
    std::optional<bool> sequentialDesks;

    // Method 1 only when Option4 is selected; S order only when Option7 is.
    bool MethodOne() const { return numberingByCounter.value_or(false); }
    bool SShaped() const { return sequentialDesks.has_value() && !*sequentialDesks; }
    // The numeric value of Text1: leading numeric prefix, 0 when none.
    double FirstNumber() const;
};

// Whether a typed first exam number can start a run: empty, or, trimmed of
// spaces, a whole number of at least 0.
bool IsWholeFirstNumber(const std::string& typed);

// What the user reads when it cannot.
inline constexpr const char* kFirstNumberRefusal = "请输入正整数！";

// Writes K7–K12 of the system workbook's parameter sheet; K11 and K12 stay
// as they are when neither of their options is selected.
void StoreOptions(const host::Workbook& system, const ArrangementOptions& options);

}  // namespace arrangement
