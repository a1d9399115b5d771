#include "workbook.h"

#include <libxml/xmlreader.h>
#include <libxml/xmlwriter.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <array>
#include <charconv>
#include <cstdlib>
#include <map>
#include <set>

namespace heatx::cli {

namespace {

constexpr zip_uint64_t kEntryLimit = zip_uint64_t{256} << 20;  // bytes of one unpacked part
constexpr std::size_t kRowLimit = 1048576;                     // rows of a sheet, as the programs allow
constexpr std::size_t kColumnLimit = 16384;
constexpr std::size_t kCellLimit = std::size_t{1} << 24;  // cells of the whole workbook kept in memory

// The shortest decimal text that reads back as the same double: what a numeric cell holds.
std::string ShortestDecimal(std::string_view stored) {
    double value = 0;
    const auto parsed = std::from_chars(stored.data(), stored.data() + stored.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != stored.data() + stored.size()) {
        return std::string(stored);  // not a number after all: read as the text it is
    }
    std::array<char, 32> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), written.ptr);
}

struct Archive {
    zip_t* zip = nullptr;
    ~Archive() {
        if (zip != nullptr) {
            zip_discard(zip);
        }
    }
};

enum class Entry { Read, Missing, Failed };

Entry ReadEntry(zip_t* zip, const std::string& name, std::string& out, std::string& why) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(zip, name.c_str(), 0, &st) != 0) {
        return Entry::Missing;
    }
    if ((st.valid & ZIP_STAT_SIZE) == 0 || st.size > kEntryLimit) {
        why = "часть книги " + name + " слишком велика";
        return Entry::Failed;
    }
    zip_file_t* file = zip_fopen(zip, name.c_str(), 0);
    if (file == nullptr) {
        why = "часть книги " + name + " не читается: " + zip_strerror(zip);
        return Entry::Failed;
    }
    out.resize(st.size);
    const zip_int64_t n = st.size == 0 ? 0 : zip_fread(file, out.data(), st.size);
    zip_fclose(file);
    if (n < 0 || static_cast<zip_uint64_t>(n) != st.size) {
        why = "часть книги " + name + " повреждена";
        return Entry::Failed;
    }
    return Entry::Read;
}

// A pull reader over one XML part, comparing names without their namespace prefixes.
class Xml {
  public:
    explicit Xml(const std::string& text)
        : reader_(xmlReaderForMemory(
              text.data(), static_cast<int>(text.size()), nullptr, nullptr,
              XML_PARSE_NONET | XML_PARSE_COMPACT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING)) {}
    ~Xml() {
        if (reader_ != nullptr) {
            xmlFreeTextReader(reader_);
        }
    }
    Xml(const Xml&) = delete;
    Xml& operator=(const Xml&) = delete;

    // The next node; false at the end or on an error (Failed()).
    bool Next() {
        if (reader_ == nullptr) {
            failed_ = true;
            return false;
        }
        const int r = xmlTextReaderRead(reader_);
        failed_ = failed_ || r < 0;
        return r == 1;
    }
    // Skips the current element's content.
    bool SkipSubtree() {
        const int r = xmlTextReaderNext(reader_);
        failed_ = failed_ || r < 0;
        return r == 1;
    }
    bool Failed() const { return failed_; }
    int Type() const { return xmlTextReaderNodeType(reader_); }
    bool Start(std::string_view name) const { return Type() == XML_READER_TYPE_ELEMENT && Name() == name; }
    bool End(std::string_view name) const { return Type() == XML_READER_TYPE_END_ELEMENT && Name() == name; }
    bool Empty() const { return xmlTextReaderIsEmptyElement(reader_) == 1; }
    bool Text() const {
        const int t = Type();
        return t == XML_READER_TYPE_TEXT || t == XML_READER_TYPE_CDATA || t == XML_READER_TYPE_WHITESPACE ||
               t == XML_READER_TYPE_SIGNIFICANT_WHITESPACE;
    }
    std::string_view Name() const {
        const xmlChar* n = xmlTextReaderConstLocalName(reader_);
        return n == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(n));
    }
    std::string_view Value() const {
        const xmlChar* v = xmlTextReaderConstValue(reader_);
        return v == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(v));
    }
    // The attribute of the current element with this local name (any prefix), or nothing.
    std::string Attribute(std::string_view name) const {
        std::string value;
        if (xmlTextReaderMoveToFirstAttribute(reader_) == 1) {
            do {
                const xmlChar* n = xmlTextReaderConstLocalName(reader_);
                if (n != nullptr && std::string_view(reinterpret_cast<const char*>(n)) == name) {
                    value = Value();
                    break;
                }
            } while (xmlTextReaderMoveToNextAttribute(reader_) == 1);
            xmlTextReaderMoveToElement(reader_);
        }
        return value;
    }

  private:
    xmlTextReaderPtr reader_;
    bool failed_ = false;
};

std::size_t Count(const std::string& text, std::size_t fallback) {
    std::size_t n = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    return r.ec == std::errc() && n > 0 ? n : fallback;
}

// Column of a cell reference ("C7" -> 2), or `fallback` when there is none.
std::size_t Column(const std::string& reference, std::size_t fallback) {
    std::size_t column = 0;
    std::size_t letters = 0;
    for (char c : reference) {
        if (c >= 'A' && c <= 'Z') {
            column = column * 26 + static_cast<std::size_t>(c - 'A' + 1);
            ++letters;
        } else {
            break;
        }
    }
    return letters == 0 || letters > 3 ? fallback : column - 1;
}

// Rows kept for a sheet, within the limits of the whole workbook.
class RowCollector {
  public:
    explicit RowCollector(std::size_t& cells) : cells_(cells) {}

    // A cell of the current row at `column` (empty cells in between are kept).
    bool Put(std::vector<std::string>& row, std::size_t column, std::string text) {
        if (column >= kColumnLimit || ++cells_ > kCellLimit) {
            return false;
        }
        if (row.size() <= column) {
            cells_ += column - row.size();
            row.resize(column + 1);
        }
        row[column] = std::move(text);
        return true;
    }

  private:
    std::size_t& cells_;
};

const char* const kTooBig = "в книге больше ячеек, чем можно прочитать за раз";

// Office Open XML: the workbook's sheet list, their parts, the shared strings and each sheet's cells.
bool ReadXlsx(zip_t* zip, std::string_view only, std::vector<WorkbookSheet>& sheets, std::string& why) {
    std::string text;
    if (ReadEntry(zip, "xl/workbook.xml", text, why) != Entry::Read) {
        if (why.empty()) {
            why = "в книге нет списка листов (xl/workbook.xml)";
        }
        return false;
    }
    std::vector<std::pair<std::string, std::string>> list;  // name, relationship
    {
        Xml xml(text);
        while (xml.Next()) {
            if (xml.Start("sheet")) {
                list.emplace_back(xml.Attribute("name"), xml.Attribute("id"));
            }
        }
        if (xml.Failed()) {
            why = "список листов книги повреждён";
            return false;
        }
    }
    std::map<std::string, std::string> targets;
    if (ReadEntry(zip, "xl/_rels/workbook.xml.rels", text, why) == Entry::Read) {
        Xml xml(text);
        while (xml.Next()) {
            if (xml.Start("Relationship")) {
                std::string target = xml.Attribute("Target");
                target = !target.empty() && target[0] == '/' ? target.substr(1) : "xl/" + target;
                targets[xml.Attribute("Id")] = target;
            }
        }
    } else if (!why.empty()) {
        return false;
    }
    std::vector<std::string> shared;
    const Entry sst = ReadEntry(zip, "xl/sharedStrings.xml", text, why);
    if (sst == Entry::Failed) {
        return false;
    }
    if (sst == Entry::Read) {
        Xml xml(text);
        std::string item;
        int phonetic = 0;
        bool inText = false;
        while (xml.Next()) {
            if (xml.Start("si")) {
                item.clear();
                if (xml.Empty()) {
                    shared.emplace_back();
                }
            } else if (xml.End("si")) {
                shared.push_back(item);
            } else if (xml.Start("rPh") && !xml.Empty()) {
                ++phonetic;
            } else if (xml.End("rPh")) {
                --phonetic;
            } else if (xml.Start("t") && !xml.Empty()) {
                inText = phonetic == 0;
            } else if (xml.End("t")) {
                inText = false;
            } else if (inText && xml.Text()) {
                item += xml.Value();
            }
        }
        if (xml.Failed()) {
            why = "общие строки книги повреждены";
            return false;
        }
    }
    std::size_t cells = 0;
    for (const auto& [name, relationship] : list) {
        if (!only.empty() && name != only) {
            continue;
        }
        const auto target = targets.find(relationship);
        const std::string part = target != targets.end() ? target->second : std::string();
        if (part.empty() || ReadEntry(zip, part, text, why) != Entry::Read) {
            if (why.empty()) {
                why = "лист «" + name + "» не найден в книге";
            }
            return false;
        }
        WorkbookSheet sheet;
        sheet.name = name;
        RowCollector collect(cells);
        Xml xml(text);
        WorkbookRow row;
        std::size_t line = 0;
        std::size_t column = 0;
        std::string type;
        std::string value;
        bool inValue = false;
        bool any = false;
        bool held = false;
        while (held || xml.Next()) {
            held = false;
            if (xml.Start("row")) {
                line = Count(xml.Attribute("r"), line + 1);
                row.fields.clear();
                column = 0;
                any = false;
                if (xml.Empty()) {
                    continue;
                }
            } else if (xml.End("row")) {
                if (any) {
                    if (sheet.rows.size() >= kRowLimit) {
                        why = kTooBig;
                        return false;
                    }
                    row.line = line;
                    sheet.rows.push_back(row);
                }
            } else if (xml.Start("c")) {
                column = Column(xml.Attribute("r"), column);
                type = xml.Attribute("t");
                value.clear();
                if (xml.Empty()) {
                    ++column;
                }
            } else if (xml.End("c")) {
                std::string cell;
                if (type == "s") {
                    std::size_t index = shared.size();
                    std::from_chars(value.data(), value.data() + value.size(), index);
                    cell = index < shared.size() ? shared[index] : std::string();
                } else if (type.empty() || type == "n") {
                    cell = value.empty() ? std::string() : ShortestDecimal(value);
                } else {
                    cell = value;  // a formula's text, an inline string, an error, a boolean
                }
                if (!cell.empty()) {
                    if (!collect.Put(row.fields, column, std::move(cell))) {
                        why = kTooBig;
                        return false;
                    }
                    any = true;
                }
                ++column;
            } else if ((xml.Start("v") || xml.Start("t")) && !xml.Empty()) {
                inValue = true;
            } else if (xml.End("v") || xml.End("t")) {
                inValue = false;
            } else if (xml.Start("rPh") && !xml.Empty()) {
                held = xml.SkipSubtree();  // a reading aid, not the cell's text
            } else if (inValue && xml.Text()) {
                value += xml.Value();
            }
        }
        if (xml.Failed()) {
            why = "лист «" + name + "» повреждён";
            return false;
        }
        sheets.push_back(std::move(sheet));
    }
    return true;
}

// OpenDocument: the tables of content.xml, with their repeated rows and cells.
bool ReadOds(zip_t* zip, std::string_view only, std::vector<WorkbookSheet>& sheets, std::string& why) {
    std::string text;
    if (ReadEntry(zip, "content.xml", text, why) != Entry::Read) {
        if (why.empty()) {
            why = "в книге нет содержимого (content.xml)";
        }
        return false;
    }
    Xml xml(text);
    std::size_t cells = 0;
    RowCollector collect(cells);
    WorkbookSheet sheet;
    bool inTable = false;
    WorkbookRow row;
    std::size_t line = 0;
    std::size_t rowRepeat = 1;
    std::size_t column = 0;
    std::size_t cellRepeat = 1;
    std::string cellValue;  // the stored value of a number, date, time or boolean
    std::string cellText;
    bool inCell = false;
    int paragraphs = 0;
    bool inParagraph = false;
    const auto endCell = [&]() {
        const std::string& cell = cellValue.empty() ? cellText : cellValue;
        if (!cell.empty()) {
            for (std::size_t k = 0; k < cellRepeat && column < kColumnLimit; ++k) {
                if (!collect.Put(row.fields, column++, cell)) {
                    return false;
                }
            }
        } else {
            column += cellRepeat;
        }
        return true;
    };
    bool held = false;  // the current node is not yet looked at (after a skipped subtree)
    while (held || xml.Next()) {
        held = false;
        if (!inTable) {
            // A table not asked for is passed over whole; the node after it may be the next table.
            if (xml.Start("table") && !xml.Empty()) {
                sheet = WorkbookSheet{};
                sheet.name = xml.Attribute("name");
                if (only.empty() || sheet.name == only) {
                    inTable = true;
                    line = 0;
                } else {
                    held = xml.SkipSubtree();
                }
            }
            continue;
        }
        if (xml.End("table")) {
            inTable = false;
            sheets.push_back(std::move(sheet));
        } else if (xml.Start("table-row")) {
            rowRepeat = Count(xml.Attribute("number-rows-repeated"), 1);
            row.fields.clear();
            column = 0;
            if (xml.Empty()) {
                line += rowRepeat;
            }
        } else if (xml.End("table-row")) {
            if (!row.fields.empty()) {
                for (std::size_t k = 0; k < rowRepeat; ++k) {
                    if (sheet.rows.size() >= kRowLimit || (cells += row.fields.size()) > kCellLimit) {
                        why = kTooBig;
                        return false;
                    }
                    row.line = line + k + 1;
                    sheet.rows.push_back(row);
                }
            }
            line += rowRepeat;
        } else if (xml.Start("table-cell") || xml.Start("covered-table-cell")) {
            cellRepeat = Count(xml.Attribute("number-columns-repeated"), 1);
            const std::string type = xml.Attribute("value-type");
            cellValue.clear();
            cellText.clear();
            paragraphs = 0;
            if (type == "float" || type == "percentage" || type == "currency") {
                cellValue = ShortestDecimal(xml.Attribute("value"));
            } else if (type == "date") {
                cellValue = xml.Attribute("date-value");
            } else if (type == "time") {
                cellValue = xml.Attribute("time-value");
            } else if (type == "boolean") {
                cellValue = xml.Attribute("boolean-value");
            }
            if (xml.Empty()) {
                if (!endCell()) {
                    why = kTooBig;
                    return false;
                }
            } else {
                inCell = true;
            }
        } else if (xml.End("table-cell") || xml.End("covered-table-cell")) {
            inCell = false;
            if (!endCell()) {
                why = kTooBig;
                return false;
            }
        } else if (inCell && xml.Start("annotation")) {
            // A comment on the cell is not its text; the node after it is still to be looked at.
            held = xml.SkipSubtree();
        } else if (inCell && xml.Start("p")) {
            if (paragraphs++ > 0) {
                cellText.push_back('\n');
            }
            inParagraph = !xml.Empty();
        } else if (inCell && xml.End("p")) {
            inParagraph = false;
        } else if (inParagraph && xml.Start("s")) {
            cellText.append(Count(xml.Attribute("c"), 1) > 1024 ? 1024 : Count(xml.Attribute("c"), 1), ' ');
        } else if (inParagraph && xml.Start("tab")) {
            cellText.push_back('\t');
        } else if (inParagraph && xml.Start("line-break")) {
            cellText.push_back('\n');
        } else if (inParagraph && xml.Text()) {
            cellText += xml.Value();
        }
    }
    if (xml.Failed()) {
        why = "содержимое книги повреждено";
        return false;
    }
    return true;
}

}  // namespace

std::string_view WorkbookExtension(WorkbookFormat format) {
    return format == WorkbookFormat::Xlsx ? ".xlsx" : ".ods";
}

bool ReadWorkbook(int fd, std::string_view only, WorkbookFormat& format, std::vector<WorkbookSheet>& sheets,
                  std::string& why) {
    sheets.clear();
    why.clear();
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        why = "файл книги не читается с начала";
        return false;
    }
    const int own = ::dup(fd);
    int error = 0;
    Archive archive;
    archive.zip = own < 0 ? nullptr : zip_fdopen(own, ZIP_RDONLY, &error);
    if (archive.zip == nullptr) {
        if (own >= 0) {
            ::close(own);
        }
        why = "архив книги повреждён";
        return false;
    }
    std::string mimetype;
    if (ReadEntry(archive.zip, "mimetype", mimetype, why) == Entry::Read &&
        mimetype.rfind("application/vnd.oasis.opendocument.spreadsheet", 0) == 0) {
        format = WorkbookFormat::Ods;
        if (!ReadOds(archive.zip, only, sheets, why)) {
            return false;
        }
    } else if (zip_name_locate(archive.zip, "xl/workbook.xml", 0) >= 0) {
        format = WorkbookFormat::Xlsx;
        if (!ReadXlsx(archive.zip, only, sheets, why)) {
            return false;
        }
    } else {
        why = mimetype.rfind("application/vnd.oasis.opendocument", 0) == 0
                  ? "это документ OpenDocument, но не электронная таблица"
                  : "это zip-архив, но не книга .xlsx или .ods";
        return false;
    }
    if (sheets.empty()) {
        why = only.empty() ? "в книге нет ни одного листа" : "в книге нет листа «" + std::string(only) + "»";
        return false;
    }
    return true;
}

namespace {

// A sheet name as both formats accept it: no []:*?/\, at most 31 characters, unique in the workbook.
std::string SheetName(std::string_view wanted, std::set<std::string>& used) {
    std::string name;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < wanted.size() && characters < 31; ++i) {
        const char c = wanted[i];
        if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 0x20) {
            name.push_back('_');
        } else {
            name.push_back(c);
        }
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++characters;
        }
    }
    // The last character whole (not cut inside its UTF-8 sequence).
    while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0xC0) {
        name.pop_back();
    }
    if (name.empty() || name.front() == '\'' || name.back() == '\'') {
        name = "Лист";
    }
    std::string unique = name;
    for (int n = 2; used.count(unique) != 0; ++n) {
        unique = name + " (" + std::to_string(n) + ")";
    }
    used.insert(unique);
    return unique;
}

class XlsxWriter : public WorkbookWriter {
  public:
    explicit XlsxWriter(const std::string& path) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        workbook_ = workbook_new_opt(path.c_str(), &options);
        if (workbook_ != nullptr) {
            bold_ = workbook_add_format(workbook_);
            format_set_bold(bold_);
        }
    }
    ~XlsxWriter() override {
        if (workbook_ != nullptr) {
            workbook_close(workbook_);
        }
    }

    void Sheet(std::string_view name) override {
        if (workbook_ == nullptr) {
            return;
        }
        sheet_ = workbook_add_worksheet(workbook_, SheetName(name, used_).c_str());
        row_ = 0;
        if (sheet_ != nullptr) {
            worksheet_set_column(sheet_, 0, 1, 18, nullptr);
            worksheet_set_column(sheet_, 2, 2, 30, nullptr);
            worksheet_set_column(sheet_, 3, 8, 16, nullptr);
        } else {
            failed_ = true;
        }
    }

    void Row(const std::vector<WorkbookCell>& cells, bool header) override {
        if (sheet_ == nullptr) {
            return;
        }
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const auto column = static_cast<lxw_col_t>(i);
            lxw_error e = LXW_NO_ERROR;
            if (cells[i].number) {
                e = worksheet_write_number(sheet_, row_, column, cells[i].value, nullptr);
            } else if (!cells[i].text.empty()) {
                scratch_.assign(cells[i].text.substr(0, 32767));
                e = worksheet_write_string(sheet_, row_, column, scratch_.c_str(), header ? bold_ : nullptr);
            }
            failed_ = failed_ || e != LXW_NO_ERROR;
        }
        ++row_;
    }

    bool Close(std::string& why) override {
        if (workbook_ == nullptr) {
            why = "книга .xlsx не создаётся";
            return false;
        }
        const lxw_error e = workbook_close(workbook_);
        workbook_ = nullptr;
        if (e != LXW_NO_ERROR || failed_) {
            why = std::string("книга .xlsx не записана: ") +
                  (e != LXW_NO_ERROR ? lxw_strerror(e) : "ошибка листа");
            return false;
        }
        return true;
    }

  private:
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_row_t row_ = 0;
    std::set<std::string> used_;
    std::string scratch_;
    bool failed_ = false;
};

const xmlChar* X(const char* text) {
    return reinterpret_cast<const xmlChar*>(text);
}

class OdsWriter : public WorkbookWriter {
  public:
    explicit OdsWriter(std::string path) : path_(std::move(path)) {
        buffer_ = xmlBufferCreate();
        writer_ = buffer_ == nullptr ? nullptr : xmlNewTextWriterMemory(buffer_, 0);
        if (writer_ == nullptr) {
            return;
        }
        xmlTextWriterStartDocument(writer_, nullptr, "UTF-8", nullptr);
        xmlTextWriterStartElement(writer_, X("office:document-content"));
        const std::array<std::array<const char*, 2>, 5> namespaces = {{
            {"xmlns:office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
            {"xmlns:style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
            {"xmlns:text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
            {"xmlns:table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
            {"xmlns:fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
        }};
        for (const auto& [name, uri] : namespaces) {
            xmlTextWriterWriteAttribute(writer_, X(name), X(uri));
        }
        xmlTextWriterWriteAttribute(writer_, X("office:version"), X("1.2"));
        // The header's cells in bold.
        xmlTextWriterStartElement(writer_, X("office:automatic-styles"));
        xmlTextWriterStartElement(writer_, X("style:style"));
        xmlTextWriterWriteAttribute(writer_, X("style:name"), X("heading"));
        xmlTextWriterWriteAttribute(writer_, X("style:family"), X("table-cell"));
        xmlTextWriterStartElement(writer_, X("style:text-properties"));
        xmlTextWriterWriteAttribute(writer_, X("fo:font-weight"), X("bold"));
        xmlTextWriterEndElement(writer_);
        xmlTextWriterEndElement(writer_);
        xmlTextWriterEndElement(writer_);
        xmlTextWriterStartElement(writer_, X("office:body"));
        xmlTextWriterStartElement(writer_, X("office:spreadsheet"));
    }
    ~OdsWriter() override {
        if (writer_ != nullptr) {
            xmlFreeTextWriter(writer_);
        }
        if (buffer_ != nullptr) {
            xmlBufferFree(buffer_);
        }
    }

    void Sheet(std::string_view name) override {
        if (writer_ == nullptr) {
            return;
        }
        if (inTable_) {
            xmlTextWriterEndElement(writer_);
        }
        inTable_ = true;
        xmlTextWriterStartElement(writer_, X("table:table"));
        Check(xmlTextWriterWriteAttribute(writer_, X("table:name"), X(SheetName(name, used_).c_str())));
    }

    void Row(const std::vector<WorkbookCell>& cells, bool header) override {
        if (writer_ == nullptr || !inTable_) {
            return;
        }
        xmlTextWriterStartElement(writer_, X("table:table-row"));
        for (const WorkbookCell& cell : cells) {
            xmlTextWriterStartElement(writer_, X("table:table-cell"));
            if (header) {
                xmlTextWriterWriteAttribute(writer_, X("table:style-name"), X("heading"));
            }
            if (cell.number) {
                std::array<char, 32> number{};
                const auto end = std::to_chars(number.data(), number.data() + number.size() - 1, cell.value);
                *end.ptr = '\0';
                xmlTextWriterWriteAttribute(writer_, X("office:value-type"), X("float"));
                xmlTextWriterWriteAttribute(writer_, X("office:value"), X(number.data()));
                xmlTextWriterWriteElement(writer_, X("text:p"), X(number.data()));
            } else if (!cell.text.empty()) {
                scratch_.assign(cell.text);
                xmlTextWriterWriteAttribute(writer_, X("office:value-type"), X("string"));
                xmlTextWriterWriteElement(writer_, X("text:p"), X(scratch_.c_str()));
            }
            xmlTextWriterEndElement(writer_);
        }
        Check(xmlTextWriterEndElement(writer_));
    }

    bool Close(std::string& why) override {
        if (writer_ == nullptr) {
            why = "книга .ods не создаётся";
            return false;
        }
        if (!inTable_) {
            Sheet("Результаты");
        }
        Check(xmlTextWriterEndDocument(writer_));  // closes every open element
        xmlFreeTextWriter(writer_);
        writer_ = nullptr;
        if (failed_) {
            why = "книга .ods не записана: не хватает памяти";
            return false;
        }
        static constexpr std::string_view kMimetype = "application/vnd.oasis.opendocument.spreadsheet";
        static constexpr std::string_view kManifest =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
            "manifest:version=\"1.2\">\n"
            " <manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
            "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>\n"
            " <manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>\n"
            "</manifest:manifest>\n";
        int error = 0;
        zip_t* zip = zip_open(path_.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (zip == nullptr) {
            why = "архив книги .ods не создаётся";
            return false;
        }
        const auto add = [&](const char* name, const void* data, std::size_t size, bool stored) {
            zip_source_t* source = zip_source_buffer(zip, data, size, 0);
            if (source == nullptr) {
                return false;
            }
            const zip_int64_t index = zip_file_add(zip, name, source, ZIP_FL_ENC_UTF_8);
            if (index < 0) {
                zip_source_free(source);
                return false;
            }
            return zip_set_file_compression(zip, static_cast<zip_uint64_t>(index),
                                            stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) == 0;
        };
        // The media type first and uncompressed, so that the file is known by its first bytes.
        const bool added = add("mimetype", kMimetype.data(), kMimetype.size(), true) &&
                           add("META-INF/manifest.xml", kManifest.data(), kManifest.size(), false) &&
                           add("content.xml", xmlBufferContent(buffer_),
                               static_cast<std::size_t>(xmlBufferLength(buffer_)), false);
        if (!added || zip_close(zip) != 0) {
            why = std::string("книга .ods не записана: ") + zip_strerror(zip);
            zip_discard(zip);
            return false;
        }
        return true;
    }

  private:
    void Check(int result) { failed_ = failed_ || result < 0; }

    std::string path_;
    xmlBufferPtr buffer_ = nullptr;
    xmlTextWriterPtr writer_ = nullptr;
    bool inTable_ = false;
    bool failed_ = false;
    std::set<std::string> used_;
    std::string scratch_;
};

}  // namespace

std::unique_ptr<WorkbookWriter> WorkbookWriter::Create(WorkbookFormat format, const std::string& path) {
    if (format == WorkbookFormat::Xlsx) {
        return std::make_unique<XlsxWriter>(path);
    }
    return std::make_unique<OdsWriter>(path);
}

}  // namespace heatx::cli
