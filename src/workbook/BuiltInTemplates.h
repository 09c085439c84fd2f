#pragma once
// The exam-table templates a new system workbook ships with, so that a school
// prints its exam tables without designing anything:
//   考场座位表      seating chart per room, desk groups framed      (场号 / 座号)
//   考场门贴        the list on the classroom door                  (场号 / 考号)
//   桌贴            desk labels with the photo, three across        (场号 / 考号)
//   考场签到表      sign-in sheet per room                          (场号 / 考号)
//   班级考场对照表  per class for the head teacher                  (班级 / 考号)
// Each is a template sheet after the last sheet, very hidden, with its row in
// the template options table and a page setup that prints one room (or
// class) per page.
namespace host {
class Workbook;
}

namespace workbook {

void AddBuiltInTemplates(host::Workbook& system);

}  // namespace workbook
