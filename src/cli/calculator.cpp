#include "calculator.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>

#include "batch.h"
#include "design_data/design_data.h"
#include "methods/calc.h"
#include "protocol.h"
#include "reports/layout.h"
#include "reports/text.h"
#include "system_error.h"
#include "variant.h"

namespace heatx::cli {

namespace {

constexpr std::string_view kHelp =
    "heatx-calc — тепловой расчёт кожухотрубного теплообменника по исходным данным.\n"
    "\n"
    "Использование:\n"
    "  heatx-calc evaporator [--report] [--protocol] [--student ИМЯ] T0 … T14 ВЫСОТА\n"
    "  heatx-calc heater (--horizontal|--vertical) [--report] [--protocol] [--student ИМЯ] T0 … T10 ДИАМЕТР "
    "ХОДЫ ДЛИНА ТРУБЫ\n"
    "  heatx-calc cooler [--report] [--protocol] [--student ИМЯ] T0 … T12 ДИАМЕТР ХОДЫ КОЭФФИЦИЕНТ ТРУБЫ "
    "ПЛОЩАДЬ\n"
    "  heatx-calc ВИД --help      значения вида по порядку: позиция, параметр, единица, допустимый диапазон\n"
    "                            (ВИД: evaporator, heater, cooler)\n"
    "  heatx-calc batch [--exact] [--as-typed] [--plain] [--sheet ЛИСТ] [--output ФАЙЛ] [--reports ПАПКА]\n"
    "                   [--protocol ПАПКА] ФАЙЛ|-\n"
    "  heatx-calc template ВИД    (ВИД: evaporator, heater-horizontal, heater-vertical, cooler)\n"
    "  heatx-calc --help | --version\n"
    "\n"
    "T0 … — исходные данные в порядке списка исходной информации программы; каждое значение\n"
    "читается так же, как введённое в программе: допускается десятичная запятая, пустой или\n"
    "нечисловой текст читается как 0. Всякий аргумент, кроме показанных ключей, — значение,\n"
    "даже пустой или начинающийся с «-»; число значений должно быть точным.\n"
    "Для подогревателя при --vertical ДЛИНА — высота труб.\n"
    "\n"
    "Вывод: строки «ИМЯ ЗНАЧЕНИЕ» — AlphaTube AlphaShell OverallK SurfaceF, затем ReTube\n"
    "(подогреватель, холодильник) и ReShell (холодильник).\n"
    "--report: вместо этого строки печатного отчёта одного нажатия «ПЕЧАТЬ» в новой задаче\n"
    "(с сегодняшней датой и именем студента из --student).\n"
    "--protocol: вместо строк «ИМЯ ЗНАЧЕНИЕ» (после отчёта, если дан и --report) протокол расчёта —\n"
    "каждое промежуточное значение метода по шагам, с обозначением, смыслом, значением и единицей.\n"
    "\n"
    "batch: таблица вариантов — CSV из электронной таблицы или сама книга .xlsx или .ods (каждый лист —\n"
    "таблица; --sheet ЛИСТ — только этот лист): строка заголовков (строки над ней пропускаются и\n"
    "называются), затем в каждой строке имя варианта, вид (evaporator, heater-horizontal,\n"
    "heater-vertical, cooler или ИСПАРИТЕЛЬ, ПОДОГРЕВАТЕЛЬ ГОРИЗОНТАЛЬНЫЙ, ПОДОГРЕВАТЕЛЬ ВЕРТИКАЛЬНЫЙ,\n"
    "ХОЛОДИЛЬНИК) и значения в порядке позиций этого вида. CSV: разделитель «;», «,» или табуляция;\n"
    "вся таблица в UTF-8 или вся в Windows-1251.\n"
    "Числа в таблице читаются строго: пробелы между группами разрядов (и неразрывные), десятичная\n"
    "запятая или точка, порядок с латинской e. Ячейка, которая не целиком одно число, даёт строке\n"
    "состояние «не число» с названием параметра и текстом ячейки, без результатов.\n"
    "--as-typed: значения читаются, как введённые в программе (число в начале текста, остальное\n"
    "отбрасывается) — чтобы повторить то, что дал ввод студента; для проверки работ — без него.\n"
    "На выходе на каждую строку — имя, вид, состояние (рассчитан, вне диапазона, нет результата,\n"
    "не число, не прочитана — с причиной) и результаты, как их показывают экраны результатов\n"
    "(--exact: все девять значащих цифр), под русскими заголовками с единицами; десятичный\n"
    "разделитель — как в числах таблицы. --plain: для программ — заголовки name, kind, status,\n"
    "AlphaTube…ReShell и состояния ok и error.\n"
    "Книга отвечается книгой того же формата (числа — числовыми ячейками): --output ФАЙЛ, а без него\n"
    "ИМЯ-результаты.xlsx (.ods) рядом с книгой, не поверх существующего файла; CSV — в стандартный\n"
    "вывод или --output ФАЙЛ. Формат --output выбирается его расширением (.csv, .xlsx, .ods).\n"
    "--reports ПАПКА: отчёт каждого варианта в ПАПКА/ИМЯ.txt; --protocol ПАПКА: протокол в\n"
    "ПАПКА/ИМЯ-protocol.txt; файл строки, у которой теперь нет отчёта, удаляется.\n"
    "Результаты записываются целиком или никак: каждый файл появляется под своим именем только\n"
    "целиком (через временный файл в той же папке); заменяется только обычный файл: символическая\n"
    "ссылка, папка или устройство на его месте не заменяются (сообщение, код 74), кроме --output в\n"
    "устройство или канал (/dev/null, FIFO) — туда таблица CSV пишется напрямую. Сигналы TERM, INT,\n"
    "HUP удаляют временные файлы; код выхода 128+сигнал.\n"
    "template: строка заголовков и исходные данные образца вида — начало таблицы вариантов.\n"
    "\n"
    "Код выхода: 0 — расчёт выполнен (batch: все строки прочитаны); 2 — значение вне допустимого\n"
    "диапазона; 3 — расчёт невозможен (ошибка итераций испарителя, число Re в трубах подогревателя\n"
    "не больше 2300, результат не конечное число); 64 — неверное использование; 65 — какую-то\n"
    "строку таблицы вариантов не удалось прочитать (или в ней не число); 66 — файл вариантов\n"
    "не открывается или не таблица;\n"
    "74 — вывод не удалось записать.\n";

struct Arguments {
    VariantKind kind;
    bool report = false;
    bool protocol = false;
    bool help = false;
    std::optional<std::string> student;
    std::optional<bool> horizontal;
    std::vector<std::string> values;
};

int Usage(std::ostream& err, std::string_view why) {
    err << "heatx-calc: " << why << "\n"
        << "Использование: heatx-calc evaporator|heater|cooler … (подробно: heatx-calc --help)\n";
    return kExitUsage;
}

std::string_view KindWord(Kind kind) {
    switch (kind) {
        case Kind::Evaporator:
            return "evaporator";
        case Kind::Heater:
            return "heater";
        case Kind::Cooler:
            return "cooler";
    }
    return "";
}

int KindHelp(const Arguments& a, std::ostream& out) {
    const bool known = a.horizontal.has_value();
    VariantKind kind = a.kind;
    kind.horizontal = a.horizontal.value_or(false);
    out << "heatx-calc " << KindWord(kind.kind);
    if (kind.kind == Kind::Heater) {
        out << (known ? (kind.horizontal ? " --horizontal" : " --vertical") : " --horizontal|--vertical");
    }
    out << ": " << ValueCount(kind.kind) << " значений по порядку\n"
        << "(позиция, параметр как в списке исходной информации, единица, допустимый диапазон)\n\n";
    const std::vector<PositionalValue> list = PositionalValues(kind, known || kind.kind != Kind::Heater);
    int labelWidth = 0;
    for (const PositionalValue& v : list) {
        labelWidth = std::max(labelWidth, static_cast<int>(CharLength(v.label)));
    }
    for (const PositionalValue& v : list) {
        std::string position(1, 'T');
        position += std::to_string(v.position);
        out << "  " << position << PadBlanks(position, 5) << v.label << PadBlanks(v.label, labelWidth + 2)
            << v.unit << PadBlanks(v.unit, 11) << v.range << "\n";
    }
    return kExitOk;
}

int Calculate(const Arguments& a, std::ostream& out, std::ostream& err, const Clock& clock) {
    std::vector<std::string_view> values(a.values.begin(), a.values.end());
    VariantKind kind = a.kind;
    kind.horizontal = a.horizontal.value_or(false);
    EvaporatorTrace evaporatorTrace;
    HeaterTrace heaterTrace;
    CoolerTrace coolerTrace;
    Recorders recorders;
    if (a.protocol) {
        recorders = {&evaporatorTrace, &heaterTrace, &coolerTrace};
    }
    DesignData data;
    const VariantResult result = ComputeVariant(kind, values, a.student.value_or(""), data, recorders);
    if (result.outcome == Outcome::Range) {
        err << "heatx-calc: значение вне допустимого диапазона: " << RangeDescription(result) << "\n";
        return kExitRange;
    }
    std::string text;
    if (a.report && result.outcome == Outcome::Ok) {
        AppendReport(text, kind, data, clock);
    }
    if (a.protocol) {
        if (!text.empty()) {
            text += '\n';
        }
        AppendProtocol(text, kind.kind, data, recorders);
    } else if (!a.report && result.outcome == Outcome::Ok) {
        for (const NamedResult& r : Results(kind, data)) {
            text += r.name;
            text += ' ';
            text += Exact(r.value);
            text += '\n';
        }
    }
    out << text;
    if (result.outcome == Outcome::Method) {
        err << result.reason << "\n";
        return kExitMethod;
    }
    return kExitOk;
}

}  // namespace

int RunCalculator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const Clock& clock) {
    if (args.empty()) {
        return Usage(err, "не указан вид аппарата");
    }
    if (args[0] == "--help" || args[0] == "-h") {
        out << kHelp;
        return kExitOk;
    }
    if (args[0] == "batch") {
        return RunBatch(std::vector<std::string>(args.begin() + 1, args.end()), out, err, clock);
    }
    if (args[0] == "template") {
        return RunTemplate(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    }

    Arguments a;
    if (args[0] == "evaporator") {
        a.kind.kind = Kind::Evaporator;
    } else if (args[0] == "heater") {
        a.kind.kind = Kind::Heater;
    } else if (args[0] == "cooler") {
        a.kind.kind = Kind::Cooler;
    } else {
        return Usage(err, "неизвестный вид аппарата: \"" + args[0] + "\"");
    }
    const std::size_t expected = ValueCount(a.kind.kind);

    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--report") {
            a.report = true;
        } else if (arg == "--protocol") {
            a.protocol = true;
        } else if (arg == "--help" || arg == "-h") {
            a.help = true;
        } else if (arg == "--student") {
            if (i + 1 >= args.size()) {
                return Usage(err, "после --student нужно имя");
            }
            a.student = args[++i];
        } else if (a.kind.kind == Kind::Heater && (arg == "--horizontal" || arg == "--vertical")) {
            const bool horizontal = arg == "--horizontal";
            if (a.horizontal.has_value() && *a.horizontal != horizontal) {
                return Usage(err, "указано и --horizontal, и --vertical");
            }
            a.horizontal = horizontal;
        } else {
            a.values.push_back(arg);
        }
    }
    if (a.help) {
        return KindHelp(a, out);
    }
    if (a.kind.kind == Kind::Heater && !a.horizontal.has_value()) {
        return Usage(err, "для подогревателя нужен --horizontal или --vertical");
    }
    if (a.values.size() != expected) {
        return Usage(err, "нужно значений: " + std::to_string(expected) +
                              ", дано: " + std::to_string(a.values.size()) + " (по порядку: heatx-calc " +
                              std::string(KindWord(a.kind.kind)) + " --help)");
    }
    return Calculate(a, out, err, clock);
}

void GuardStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // Opened for reading only: the number is taken, and every write to it fails.
            const int placeholder = ::open("/dev/null", O_RDONLY);
            if (placeholder >= 0 && placeholder != fd) {
                ::dup2(placeholder, fd);
                ::close(placeholder);
            }
        }
    }
}

int FinishStandardOutput(int status, std::ostream& err) {
    std::cout.flush();
    bool failed = !std::cout;
    int error = 0;
    if (std::fflush(stdout) != 0) {
        failed = true;
        error = errno;
    }
    if (std::ferror(stdout) != 0) {
        failed = true;
    }
    // Closing the descriptor (not the stream, which the library still flushes at exit) reports what
    // a file system defers to the close.
    if (::close(STDOUT_FILENO) != 0 && !failed) {
        failed = true;
        error = errno;
    }
    if (!failed) {
        return status;
    }
    err << "heatx-calc: не удалось записать вывод в стандартный вывод";
    if (error != 0) {
        err << ": " << SystemErrorText(error);
    }
    err << "\n";
    return kExitOutput;
}

}  // namespace heatx::cli
