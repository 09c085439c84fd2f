#pragma once
// The template sheets of the system workbook: every worksheet whose code name
// is none of Sheet1–Sheet4; its tab name is the template's name. Templates are
// very hidden like the service sheets, except the one being designed, which
// is the visible, active sheet.
#include <string>
#include <vector>

#include "workbook/Outcome.h"

namespace host {
class Workbook;
class Worksheet;
}  // namespace host
namespace workbook {
struct Context;
}

namespace tables {

// Tab names of the template sheets, in workbook order.
std::vector<std::string> TemplateNames(const host::Workbook& system);
host::Worksheet* FindTemplate(const host::Workbook& system, const std::string& name);

// Hides the service sheets and every template, then shows and activates this one.
void ShowTemplate(host::Workbook& system, const std::string& name);

// "新增模板 (&R)": asks for the name, refuses a name any sheet has (exactly),
// adds the laid-out sheet after the last sheet and its options row. A name
// the host refuses for a sheet is refused with the host's reason and
// nothing changes. `created` gets the name when the template was added.
workbook::Outcome NewTemplate(const workbook::Context& ctx, std::string* created);

// "删除模板 (&W)": asks, then deletes the sheet and its options row.
workbook::Outcome DeleteTemplate(const workbook::Context& ctx, const std::string& name);

// "模板改名 (&E)": asks for the new name, renames the sheet, its "A1" and its
// options row (appended when missing). Empty `name` (none selected) gets
// "请选择模板表！"; a name the host refuses changes nothing.
workbook::Outcome RenameTemplate(const workbook::Context& ctx, const std::string& name, std::string* renamed);

// A sheet of another workbook copied in as a template with its formats,
// merges, sizes, page setup and pictures, under a fresh code name, very
// hidden, with an options row. `asName` empty keeps the sheet's name.
workbook::Outcome ImportTemplate(const workbook::Context& ctx, const std::string& file, const std::string& sheetName,
                                 const std::string& asName, std::string* created);

// The template alone in a new workbook saved as `file`, for editing elsewhere.
workbook::Outcome ExportTemplate(const workbook::Context& ctx, const std::string& name, const std::string& file);

// A new template's layout: the design caption in A1, "@" in A3, A6, K3, K6
// (title rows 3–6), "#" in A8, A12, G8, G12 (body rows 8–12).
void LayOutNewTemplate(host::Worksheet& ws, const std::string& name);

}  // namespace tables
