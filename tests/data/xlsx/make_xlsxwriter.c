/* Regenerates the libxlsxwriter-made input files of the reader's tests:
 *   cc make_xlsxwriter.c -o /tmp/make_xlsxwriter -lxlsxwriter && /tmp/make_xlsxwriter
 * (from this folder). The files are checked in; the tests need no compiler step. */
#include <stdio.h>
#include <xlsxwriter.h>

/* A 2 × 1 pixel PNG. */
static const unsigned char kPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x7B, 0x40, 0xE8,
    0xDD, 0x00, 0x00, 0x00, 0x0F, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0,
    0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF, 0x56, 0xC7, 0x2F, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45,
    0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

int main(void) {
    FILE* f = fopen("/tmp/tolm-reader-pixel.png", "wb");
    fwrite(kPng, 1, sizeof kPng, f);
    fclose(f);

    /* Constant-memory mode: inline strings, rows written in order. */
    lxw_workbook_options options = {.constant_memory = LXW_TRUE, .tmpdir = NULL};
    lxw_workbook* wb = workbook_new_opt("xlsxwriter-constant-memory.xlsx", &options);
    lxw_worksheet* roster = workbook_add_worksheet(wb, "名单");
    lxw_worksheet* tab = workbook_add_worksheet(wb, "高一\t设置");
    lxw_format* text = workbook_add_format(wb);
    format_set_num_format(text, "@");
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    format_set_font_name(bold, "宋体");
    worksheet_write_string(roster, 0, 0, "姓名", bold);
    worksheet_write_string(roster, 0, 1, "学号", bold);
    worksheet_write_string(roster, 0, 2, "总分", bold);
    for (int r = 1; r <= 20; ++r) {
        char name[32];
        snprintf(name, sizeof name, "考生%d", r);
        worksheet_write_string(roster, r, 0, name, NULL);
        worksheet_write_string(roster, r, 1, "0012", text);
        worksheet_write_number(roster, r, 2, r * 1.5, NULL);
        worksheet_write_formula_num(roster, r, 3, "=C2*2", NULL, r * 3.0);
    }
    worksheet_set_column(roster, 0, 0, 12, NULL);
    worksheet_write_string(tab, 0, 0, "设置", NULL);
    worksheet_hide(tab);
    workbook_close(wb);

    /* Normal mode: shared strings, merges, a picture. */
    wb = workbook_new("xlsxwriter-picture.xlsx");
    lxw_worksheet* ws = workbook_add_worksheet(wb, "照片");
    lxw_format* center = workbook_add_format(wb);
    format_set_align(center, LXW_ALIGN_CENTER);
    format_set_align(center, LXW_ALIGN_VERTICAL_CENTER);
    worksheet_merge_range(ws, 0, 0, 1, 3, "考场座位表", center);
    worksheet_write_string(ws, 2, 0, "张三", NULL);
    worksheet_write_string(ws, 3, 0, "张三", NULL);
    lxw_image_options img = {.x_offset = 4, .y_offset = 2, .x_scale = 10, .y_scale = 20};
    worksheet_insert_image_opt(ws, 4, 1, "/tmp/tolm-reader-pixel.png", &img);
    worksheet_set_landscape(ws);
    worksheet_set_paper(ws, 9);
    worksheet_print_area(ws, 0, 0, 19, 3);
    worksheet_repeat_rows(ws, 0, 1);
    worksheet_protect(ws, "password", NULL);
    workbook_close(wb);
    /* What the host keeps without modelling it, beside a picture on the same
       sheet as a chart: comments, links, validation, conditional formats,
       frozen panes, a filter, a table, tab colour, a chart sheet. */
    wb = workbook_new("xlsxwriter-kept.xlsx");
    ws = workbook_add_worksheet(wb, "成绩");
    lxw_chartsheet* cs = workbook_add_chartsheet(wb, "图表");
    lxw_worksheet* list = workbook_add_worksheet(wb, "名单");
    worksheet_write_string(ws, 0, 0, "姓名", NULL);
    worksheet_write_string(ws, 0, 1, "分数", NULL);
    for (int r = 1; r <= 19; ++r) {
        char name[32];
        snprintf(name, sizeof name, "考生%d", r);
        worksheet_write_string(ws, r, 0, name, NULL);
        worksheet_write_number(ws, r, 1, 60 + r * 2, NULL);
    }
    worksheet_write_comment(ws, 2, 0, "核对姓名");
    worksheet_write_url(ws, 4, 2, "https://example.com/成绩", NULL);
    lxw_data_validation dv = {.validate = LXW_VALIDATION_TYPE_INTEGER, .criteria = LXW_VALIDATION_CRITERIA_BETWEEN,
                              .minimum_number = 0, .maximum_number = 100};
    worksheet_data_validation_range(ws, 1, 1, 19, 1, &dv);
    lxw_format* red = workbook_add_format(wb);
    format_set_bg_color(red, 0xFFC7CE);
    lxw_conditional_format cf = {.type = LXW_CONDITIONAL_TYPE_CELL, .criteria = LXW_CONDITIONAL_CRITERIA_GREATER_THAN,
                                 .value = 90, .format = red};
    worksheet_conditional_format_range(ws, 1, 1, 19, 1, &cf);
    worksheet_freeze_panes(ws, 1, 0);
    worksheet_autofilter(ws, 0, 0, 19, 1);
    worksheet_set_tab_color(ws, 0x00B050);
    lxw_chart* chart = workbook_add_chart(wb, LXW_CHART_COLUMN);
    chart_add_series(chart, NULL, "='成绩'!$B$2:$B$20");
    worksheet_insert_chart(ws, 1, 4, chart);
    worksheet_insert_image(ws, 22, 4, "/tmp/tolm-reader-pixel.png");
    lxw_chart* big = workbook_add_chart(wb, LXW_CHART_LINE);
    chart_add_series(big, NULL, "='成绩'!$B$2:$B$20");
    chartsheet_set_chart(cs, big);
    worksheet_write_string(list, 0, 0, "班级", NULL);
    worksheet_write_string(list, 0, 1, "人数", NULL);
    worksheet_write_string(list, 1, 0, "一班", NULL);
    worksheet_write_number(list, 1, 1, 40, NULL);
    worksheet_add_table(list, 0, 0, 1, 1, NULL);
    workbook_close(wb);

    remove("/tmp/tolm-reader-pixel.png");
    return 0;
}
