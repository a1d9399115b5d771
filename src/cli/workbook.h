// Workbooks of the spreadsheet programs, read and written as heatx-calc batch keeps a class's variants:
// Office Open XML (.xlsx) and OpenDocument (.ods). The container is read with libzip and the XML with
// libxml2; an .xlsx is written with libxlsxwriter, an .ods with libxml2's writer into a libzip archive.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace heatx::cli {

enum class WorkbookFormat { Xlsx, Ods };

// ".xlsx" or ".ods".
std::string_view WorkbookExtension(WorkbookFormat format);

struct WorkbookRow {
    std::size_t line = 0;             // the row's number in the sheet, from 1
    std::vector<std::string> fields;  // text cells as written, numeric cells as their shortest decimal
};

struct WorkbookSheet {
    std::string name;
    std::vector<WorkbookRow> rows;  // rows with at least one non-empty cell, in order
};

// Reads the sheets of the workbook in the file open at `fd` (not closed): every sheet, or only the one
// named `only` when it is not empty. On failure `why` says in Russian what is wrong.
bool ReadWorkbook(int fd, std::string_view only, WorkbookFormat& format, std::vector<WorkbookSheet>& sheets,
                  std::string& why);

// One cell of a written row: text, or a number (shown as the spreadsheet's own number).
struct WorkbookCell {
    std::string_view text;
    bool number = false;
    double value = 0;
};

// Writes a workbook to `path` (a new file the caller has made and later renames into place).
class WorkbookWriter {
  public:
    static std::unique_ptr<WorkbookWriter> Create(WorkbookFormat format, const std::string& path);
    virtual ~WorkbookWriter() = default;

    // A new sheet; its name is made acceptable to the format (and unique).
    virtual void Sheet(std::string_view name) = 0;
    // The next row of the current sheet; `header` rows are set in bold.
    virtual void Row(const std::vector<WorkbookCell>& cells, bool header) = 0;
    // Writes the file; false with the reason in Russian.
    virtual bool Close(std::string& why) = 0;
};

}  // namespace heatx::cli
