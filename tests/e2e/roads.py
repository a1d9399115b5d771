"""The roads a student takes through heatx, driven on the real program, with their checks."""

import ctypes
import os
import re
import subprocess
import time

from driver import (AccessibilityGap, Atspi, DriveError, colour_count, extents, find_descendant, name_of, pixel, poll,
                    has_state, role_of, showing, xdotool)

STUDENT = "иванов гр. х-1"

SOURCE_TITLE = "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"
PRINT = "ПЕЧАТЬ РЕУЛЬТАТА ( F расч. < F норм. )"
END_OF_WORK = "ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ"
REPORT_NOTICE = "ОТЧЁТ"
# The results labels are named on the bus as a screen reader says them: each value with its heading.
SPOKEN_HEADING = "Коэффициент теплоотдачи в трубном пространстве"


def numbers_in(text):
    """The decimal numbers of a text, in order."""
    return re.findall(r"-?\d+\.\d+", text)


# What a screen reader says after the faulty line of the source data.
FAULT_NOTE = "Ошибка: значение вне допустимых пределов."

GREEN = (0, 255, 0)
RED = (255, 0, 0)
YELLOW = (255, 255, 0)
LIGHT_RED = (255, 128, 128)

# (label, reference text) of every source parameter, in list order.
EVAPORATOR = [
    (" ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА, ВТ/(М*К)        ", "0.683"),
    (" ПЛОТНОСТЬ КОНДЕНСАТА, КГ/(М^3)               ", "908"),
    (" УДЕЛЬНАЯ ТЕПЛОТА КОНДЕНСАЦИИ, ДЖ/КГ          ", "2095000"),
    (" ВЯЗКОСТЬ КОНДЕНСАТА, ПА*С                    ", "0.000177"),
    (" ТЕПЛОПРОВОДНОСТЬ ЖИДКОСТИ, ВТ/(М*К)          ", "0.686"),
    (" ПЛОТНОСТЬ ЖИДКОСТИ, КГ/(М^3)                 ", " 957"),
    (" ТЕПЛОЁМКОСТЬ ЖИДКОСТИ, ДЖ/(КГ*К)             ", "4190"),
    (" ВЯЗКОСТЬ ЖИДКОСТИ, ПА*С                      ", ".00024"),
    (" ПОВЕРХНОСТНОЕ НАТЯЖЕНИЕ ЖИДКОСТИ, Н/М        ", "0.0583"),
    (" ПЛОТНОСТЬ ПАРОВ ЖИДКОСТИ ПРИ ТЕМПЕРАТУРЕ КИПЕНИЯ, КГ/(М^3)", ".652"),
    (" ПЛОТНОСТЬ ПАРОВ ЖИДКОСТИ ПРИ АТМ. ДАВЛЕНИИ, КГ/(М^3)", "0.65"),
    (" УДЕЛЬНАЯ ТЕПЛОТА ПАРООБРАЗОВАНИЯ ЖИДКОСТИ, ДЖ/КГ ", "2253900"),
    (" СРЕДНЯЯ РАЗНОСТЬ ТЕМПЕРАТУР, ГРАД.ЦЕЛЬСИЯ    ", "55.6"),
    (" СУММА ТЕРМИЧ.СОПРОТИВЛ.СТЕНКИ ТРУБ И ЗАГРЯЗНЕНИЙ, М^2*К/ВТ", "0.00048"),
    (" ТЕПЛОВАЯ НАГРУЗКА, ВТ                        ", "1005000"),
]

HEATER = [
    (" ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА, ВТ/(М*К)        ", "0.683"),
    (" ПЛОТНОСТЬ КОНДЕНСАТА, КГ/(М^3)               ", "908"),
    (" УДЕЛЬНАЯ ТЕПЛОТА КОНДЕНСАЦИИ, ДЖ/КГ          ", "2095000"),
    (" ВЯЗКОСТЬ КОНДЕНСАТА, ПА*С                    ", "0.000177"),
    (" РАСХОД ПАРА, КГ/С                            ", "0.173"),
    (" ТЕПЛОПРОВОДНОСТЬ ЖИДКОСТИ В ТРУБАХ, ВТ/(М*К) ", " 0.458"),
    (" ВЯЗКОСТЬ ЖИДКОСТИ В ТРУБАХ, ПА*С            ", "0.000534"),
    (" ТЕПЛОЁМКОСТЬ ЖИДКОСТИ В ТРУБАХ, ДЖ/(КГ*К)    ", "3730"),
    (" СУММА ТЕРМИЧ.СОПРОТИВЛ.СТЕНКИ ТРУБ И ЗАГРЯЗНЕНИЙ, М^2*К/ВТ", "0.000479"),
    (" СРЕДНЯЯ РАЗНОСТЬ ТЕМПЕРАТУР, ГРАД.ЦЕЛЬСИЯ   ", "106"),
    (" РАСХОД ЖИДКОСТИ, КГ/С                       ", "0.973"),
]
HEATER_TYPE = " ТИП ТЕПЛООБМЕННИКА   "
HEATER_DIAMETER = " НАРУЖНЫЙ ДИАМЕТР ТРУБ, М                   "
HEATER_PASSES = " ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ, ШТ.  "
HEATER_TUBES = " ОБЩЕЕ ЧИСЛО ТРУБ, ШТ.                      "
HEATER_HEIGHT = " ВЫСОТА ТРУБ, М                             "
# Vertical tubes: diameter, passes, height, number of tubes, in the order they are asked.
HEATER_CONSTRUCTION = [(HEATER_DIAMETER, "0.025"), (HEATER_PASSES, "1"), (HEATER_HEIGHT, "3"),
                       (HEATER_TUBES, "13")]

COOLER = [
    (" ТЕПЛОПРОВОДНОСТЬ ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, ВТ/(М*К)        ", ".662"),
    (" ПЛОТНОСТЬ ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, КГ/(М^3)               ", "986"),
    (" ВЯЗКОСТЬ ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, ПА*С                    ", ".00054"),
    (" ТЕПЛОЁМКОСТЬ ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, ДЖ/(КГ*К)           ", "4190"),
    (" КОЭФФИЦИЕНТ ОБЪЁМНОГО РАСШИРЕНИЯ, 1/К                    ", "0.00048"),
    (" МАССОВЫЙ РАСХОД ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, КГ/С             ", " 1.24"),
    (" ТЕПЛОПРОВОДНОСТЬ ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, Вт/(M*К)", ".68"),
    (" ВЯЗКОСТЬ ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, ПА*С    ", ".00085"),
    (" ТЕПЛОЁМКОСТЬ ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, ДЖ/(КГ*К) ", "4190"),
    (" МАССОВЫЙ РАСХОД ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, КГ/С ", "4.36"),
    (" СРЕДНЕЛОГАРИФМИЧЕСКАЯ РАЗНОСТЬ ТЕМПЕРАТУР, ГРАД.ЦЕЛЬСИЯ   ", "25.4"),
    (" СУММА ТЕРМИЧ.СОПРОТИВЛ.СТЕНКИ ТРУБ И ЗАГРЯЗНЕНИЙ, М^2*К/ВТ", "0.00042"),
    (" ТЕПЛОВАЯ НАГРУЗКА, ВТ  ", "402980"),
]
COOLER_CONSTRUCTION = [
    (" НАРУЖНЫЙ ДИАМЕТР ТРУБ, М                   ", "0.025"),
    (" ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ, ШТ.  ", "2"),
    (" КОЭФФИЦИЕНТ,УЧИТЫВАЮЩИЙ СНИЖЕНИЕ СРЕДН.ДВИЖ.СИЛЫ ПРИ СМЕШ.ТОКЕ(БЕЗРАЗМ)", "1"),
    (" ЧИСЛО ТРУБ, ШТ.                      ", "100"),
    (" ПЛОЩАДЬ НАИБОЛЕЕ УЗКОГО СЕЧЕНИЯ ПОТОКА В МТР. ПР-ВЕ, М^2 ", "0.02"),
]


def source_line(label, text, width):
    return label + " " * (width - len(label)) + text


# ---- the project's own calculator: the expected results and report lines -----------------------------

def calculator(ctx, *args):
    result = subprocess.run([ctx.calc, *args], capture_output=True, text=True, timeout=30)
    if result.returncode != 0:
        raise DriveError(f"heatx-calc {' '.join(args[:2])} failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout.split("\n")


def result_row_index(lines, head_bottom):
    """Index of the first result row: the line after the table head's closing rule."""
    for i, line in enumerate(lines):
        if line.strip() == head_bottom:
            return i + 1
    raise DriveError(f"no table head {head_bottom!r} in the calculator's report")


def row_cells(row):
    return [cell.strip() for cell in row.strip().strip("|").split("|")]


DATE_TIME = re.compile(r"^(\s*)\d{1,2} [а-яё]+ \d{4}г\.\s+\d{1,2}:\d{2}(:\d{2})?")


def normalised(lines):
    """Report lines without the constant left indent and trailing blanks, the date and time masked,
    the trailing empty lines dropped."""
    lines = [line.rstrip() for line in lines]
    while lines and not lines[-1]:
        lines.pop()
    indent = min((len(line) - len(line.lstrip(" ")) for line in lines if line), default=0)
    lines = [line[indent:] for line in lines]
    if lines:
        lines[0] = DATE_TIME.sub(r"\1<ДАТА ВРЕМЯ>", lines[0])
    return lines


def pdf_lines(path):
    text = subprocess.run(["pdftotext", "-layout", "-fixed", "5.4", path, "-"], capture_output=True,
                          text=True, timeout=30, check=True).stdout
    lines = []
    for page in text.split("\f"):
        lines.extend(page.split("\n"))
    return lines


def compare_report(ctx, pdf, expected):
    """Compares the printed report with the expected lines; writes both next to the PDF."""
    if not ctx.check("the report PDF was written", os.path.isfile(pdf), pdf):
        return
    actual = normalised(pdf_lines(pdf))
    wanted = normalised(expected)
    base = os.path.splitext(pdf)[0]
    with open(base + "-expected.txt", "w", encoding="utf-8") as f:
        f.write("\n".join(wanted) + "\n")
    with open(base + "-printed.txt", "w", encoding="utf-8") as f:
        f.write("\n".join(actual) + "\n")
    ctx.check("the date and time head the report", bool(actual) and "<ДАТА ВРЕМЯ>" in actual[0],
              actual[0] if actual else "(empty report)")
    differences = []
    for i in range(max(len(actual), len(wanted))):
        a = actual[i] if i < len(actual) else "(missing)"
        w = wanted[i] if i < len(wanted) else "(missing)"
        if a != w:
            differences.append(f"line {i + 1}: printed {a!r}, expected {w!r}")
    ctx.check(f"the printed report equals the calculator's lines ({len(wanted)} lines)", not differences,
              "; ".join(differences[:4]) + (f" (+{len(differences) - 4} more)" if len(differences) > 4 else ""))


# ---- steps shared by the roads -------------------------------------------------------------------------

def button_colour(ctx, p, win, caption, shot):
    """The colour inside a button, sampled from a screenshot just below its top border."""
    x, y, w, h = extents(p.button(win, caption))
    return pixel(shot, x + w // 2, y + 5)


def start_and_name(ctx, p, check_look=False):
    start = p.window("НАЧАЛО РАБОТЫ С ПРОГРАММОЙ")
    # The window is in the accessibility tree before the X server has its first picture: the screen
    # under it stays black until then, so the look is sampled once the background is drawn.
    x, y, w, h = extents(start)
    shots = []
    poll("the start screen's first picture", lambda: shots.append(p.screenshot("start-screen")) or
         pixel(shots[-1], x + 1, y + h // 2) != (0, 0, 0))
    shot = shots[-1]
    if check_look:
        for caption, colour in (("ОПИСАНИЕ ПРОГРАММЫ", YELLOW), ("ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", GREEN),
                                (END_OF_WORK, LIGHT_RED)):
            got = button_colour(ctx, p, start, caption, shot)
            ctx.check(f"start screen: the button {caption!r} is {colour}", got == colour, f"sampled {got}")
        left, right = pixel(shot, x + 1, y + h // 2), pixel(shot, x + w - 3, y + h // 2)
        ctx.check("start screen: the background runs from violet-blue at the left edge to brown at the right",
                  left[0] == 150 and left[1] == 50 and left[2] >= 250 and right == (150, 50, 0),
                  f"left {left}, right {right}")
        expect_label(ctx, p, start, "start screen: the title reads 'Программа расчета / кожухотрубных "
                     "теплообменников'", lambda t: "Программа расчета" in t and "кожухотрубных теплообменников" in t)
    p.press(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    p.answer("ВВОД ФАМИЛИИ", "  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ", STUDENT, typed=True, shot="name-box")
    menu = p.window("Form4", containing="ИСПАРИТЕЛЬ")
    ctx.check("the library menu follows the name", True)
    p.screenshot("library-menu")
    return menu


def enter_source_data(ctx, p, menu, kind_button, parameters, texts=None):
    p.press(menu, kind_button)
    texts = texts or [text for _, text in parameters]
    last = len(parameters) - 1
    for i, ((label, _), text) in enumerate(zip(parameters, texts)):
        p.answer(SOURCE_TITLE, label, text,
                 shot="source-box-first" if i == 0 else "source-box-last" if i == last else None)


def check_source_list(ctx, p, win, parameters, width, what):
    wanted = [source_line(label, text, width) for label, text in parameters]

    def detail():
        lines = p.list_lines(p.list_box(win))
        bad = [f"line {i}: {a!r} != {w!r}" for i, (a, w) in enumerate(zip(lines, wanted)) if a != w]
        return f"{len(lines)} lines; " + "; ".join(bad[:3])
    expect(ctx, f"{what}: the list holds the {len(wanted)} source lines, label column {width}",
           lambda: p.list_lines(p.list_box(win)) == wanted, detail)


def end_program(ctx, p, win):
    p.press(win, END_OF_WORK)
    code = p.wait_exit(timeout=15)
    ctx.check("the program ends at once with exit code 0", code == 0, f"exit code {code}")


def expect(ctx, what, probe, detail, timeout=5):
    """A check that waits up to `timeout` for `probe` to hold. A control missing on the accessibility
    bus is no failed check but the end of the road: the AccessibilityGap goes up."""
    try:
        poll(what, probe, timeout)
        return ctx.check(what, True)
    except AccessibilityGap:
        raise
    except DriveError:
        return ctx.check(what, False, detail())


def expect_labels(ctx, p, win, what, wanted):
    """Every text of `wanted` is the text of a showing label of the window."""
    return expect(ctx, what, lambda: all(w in p.labels(win) for w in wanted),
                  lambda: f"missing {[w for w in wanted if w not in p.labels(win)]} among {p.labels(win)}")


def expect_label(ctx, p, win, what, predicate):
    """Some showing label of the window satisfies `predicate`."""
    return expect(ctx, what, lambda: any(predicate(t) for t in p.labels(win)),
                  lambda: f"labels {p.labels(win)}")


def report_notice(ctx, p, press=None):
    """The first print press of a report going to a file tells the student where it is saved: the
    notice names the road's PDF; it is answered with its OK (`press`: how, by default its action)."""
    box = p.message_box(REPORT_NOTICE)
    p.check_tree("the report notice")
    expect(ctx, "the first print press tells the file the report is saved to",
           lambda: any("Отчёт сохраняется в файл" in t and ctx.pdf in t for t in p.labels(box)),
           lambda: f"labels {p.labels(box)}, the report {ctx.pdf}")
    if press is None:
        p.press(box, "OK")
    else:
        press(box)
    poll("the report notice to close", lambda: not showing(box) or not p.alive(), 8)


def no_report_notice(ctx, p):
    """A later press of the same report says nothing."""
    time.sleep(0.5)
    ctx.check("a later print press of the same report shows no notice",
              not any(role_of(w) == "alert" and name_of(w) == REPORT_NOTICE and showing(w)
                      for w in p.top_windows()))


def label_with(ctx, p, win, piece, what):
    return p.label(win, lambda text: piece in text, what)


def last_line_cells(text):
    return text.replace("\r", "\n").split("\n")[-1].split()


# ---- road 1: evaporator, two tube heights printed ------------------------------------------------------

def road_evaporator(ctx, p):
    menu = start_and_name(ctx, p, check_look=True)
    enter_source_data(ctx, p, menu, "ИСПАРИТЕЛЬ", EVAPORATOR)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    check_source_list(ctx, p, source, EVAPORATOR, 62, "evaporator source data")
    shot = p.screenshot("evaporator-source-data")
    for caption in ("НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ", "ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ"):
        got = button_colour(ctx, p, source, caption, shot)
        ctx.check(f"valid data: the button {caption!r} is green", got == GREEN, f"sampled {got}")

    texts = [text for _, text in EVAPORATOR]
    report4 = calculator(ctx, "evaporator", "--report", "--student", STUDENT, *texts, "4")
    report10 = calculator(ctx, "evaporator", "--report", "--student", STUDENT, *texts, "10")
    head_bottom = "|________|_____________|_____________|_____________|_____________|"
    row4 = report4[result_row_index(report4, head_bottom)]
    row10 = report10[result_row_index(report10, head_bottom)]

    p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.answer("ВВОД ВЫСОТЫ ТРУБ", "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М ", "4", shot="tube-height-box")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ")
    p.button(results, PRINT)
    label_with(ctx, p, results, "  ВЫСОТА ТРУБ 4 М", "the tube height line of 4 m")
    block = label_with(ctx, p, results, "РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА", "the results block")
    ctx.check("height 4: the results line shows the calculator's four values",
              numbers_in(name_of(block)) == row_cells(row4)[1:], f"{numbers_in(name_of(block))} "
              f"vs {row_cells(row4)[1:]}")
    ctx.check("height 4: the results line reads 10166.39 5681.11 1325.06 13.64 (the reference case)",
              numbers_in(name_of(block)) == ["10166.39", "5681.11", "1325.06", "13.64"],
              repr(name_of(block)))
    p.screenshot("evaporator-results-4m")
    p.press(results, PRINT)
    p.button_gone(results, PRINT)
    report_notice(ctx, p)
    ctx.check("printing hides the print button", True)

    p.press(results, "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ")
    # A height out of range is refused with the question; "Да" asks again.
    p.answer("ВВОД ВЫСОТЫ ТРУБ", "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М ", "11")
    question = p.message_box("ОШИБКА !")
    expect_labels(ctx, p, question, "height 11: refused with 'Высота труб от 1 до 10 метров.    Продолжаете "
                  "работу ?'", ["Высота труб от 1 до 10 метров.    Продолжаете работу ?"])
    p.screenshot("tube-height-refused")
    p.answer_yes_no("ОШИБКА !", "Да")
    p.answer("ВВОД ВЫСОТЫ ТРУБ", "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М ", "10")
    p.button(results, PRINT)
    label_with(ctx, p, results, "  ВЫСОТА ТРУБ 10 М", "the tube height line of 10 m")
    block = label_with(ctx, p, results, "РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА", "the results block")
    ctx.check("height 10: the results line shows the calculator's four values",
              numbers_in(name_of(block)) == row_cells(row10)[1:],
              f"{numbers_in(name_of(block))} vs {row_cells(row10)[1:]}")
    p.screenshot("evaporator-results-10m")
    p.press(results, PRINT)
    p.button_gone(results, PRINT)
    no_report_notice(ctx, p)
    end_program(ctx, p, results)

    insert_at = result_row_index(report4, head_bottom) + 1
    expected = report4[:insert_at] + [row10] + report4[insert_at:]
    ctx.check("the report's file is named on stderr", ctx.pdf in p.stderr_text(), p.stderr_text().strip())
    compare_report(ctx, ctx.pdf, expected)


# ---- road 2: heater, vertical tubes --------------------------------------------------------------------

def road_heater(ctx, p):
    menu = start_and_name(ctx, p)
    enter_source_data(ctx, p, menu, "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР", HEATER)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    check_source_list(ctx, p, source, HEATER, 62, "heater source data")
    shot = p.screenshot("heater-source-data")
    got = button_colour(ctx, p, source, "НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ", shot)
    ctx.check("valid heater data: the accept button is green", got == GREEN, f"sampled {got}")

    texts = [text for _, text in HEATER] + [text for _, text in HEATER_CONSTRUCTION]
    report = calculator(ctx, "heater", "--vertical", "--report", "--student", STUDENT, *texts)
    head_bottom = "|_______________|_______________|__________________|_________________|_______________|"
    row = row_cells(report[result_row_index(report, head_bottom)])

    p.press(source, "НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    results = p.window(containing="ВЕРТИКАЛЬНЫЙ")
    p.label(results, lambda t: t == "ВЫБЕРИТЕ ТИП ТЕПЛООБМЕННИКА", "the orientation question")
    p.screenshot("heater-orientation")
    p.press(results, "ВЕРТИКАЛЬНЫЙ")
    for i, (label, text) in enumerate(HEATER_CONSTRUCTION):
        p.answer("ВВОД КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА", label, text,
                 shot="heater-construction-box" if i == 2 else None)
    p.button(results, PRINT)
    wanted_lines = [HEATER_TYPE + "ВЕРТИКАЛЬНЫЙ"] + [label + text for label, text in HEATER_CONSTRUCTION]
    expect_labels(ctx, p, results, "heater: the construction lines show the type and the four values "
                  "(height label)", wanted_lines)
    expect_label(ctx, p, results, f"heater: the results line shows the calculator's four values {row[:4]}, "
                 "spoken with their headings", lambda t: numbers_in(t) == row[:4] and SPOKEN_HEADING in t)
    expect_label(ctx, p, results, f"heater: the Reynolds number {row[4]} is shown",
                 lambda t: "Рейнольдса" in t and numbers_in(t)[-1:] == [row[4]])
    p.screenshot("heater-results")
    p.press(results, PRINT)
    p.button_gone(results, PRINT)
    report_notice(ctx, p)
    end_program(ctx, p, results)
    compare_report(ctx, ctx.pdf, report)


# ---- road 3: cooler ------------------------------------------------------------------------------------

def road_cooler(ctx, p):
    menu = start_and_name(ctx, p)
    enter_source_data(ctx, p, menu, "ХОЛОДИЛЬНИК", COOLER)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    check_source_list(ctx, p, source, COOLER, 72, "cooler source data")
    p.screenshot("cooler-source-data")

    texts = [text for _, text in COOLER] + [text for _, text in COOLER_CONSTRUCTION]
    report = calculator(ctx, "cooler", "--report", "--student", STUDENT, *texts)
    head_bottom = "|_____________|_____________|_____________|_____________|____________|____________|"
    row = row_cells(report[result_row_index(report, head_bottom)])

    p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    for i, (label, text) in enumerate(COOLER_CONSTRUCTION):
        p.answer("ВВОД КОНСТРУКТИВНЫХ ОСОБЕННОСТЕЙ АППАРАТА", label, text,
                 shot="cooler-construction-box" if i == 0 else None)
    results = p.window("РАСЧЁТ ХОЛОДИЛЬНИКОВ", containing=PRINT)
    wanted_lines = [source_line(label, text, 75) for label, text in COOLER_CONSTRUCTION]
    expect_labels(ctx, p, results, "cooler: the five construction lines, labels padded to 75", wanted_lines)
    expect_label(ctx, p, results, f"cooler: the results line shows the calculator's four values {row[:4]}, "
                 "spoken with their headings", lambda t: numbers_in(t) == row[:4] and SPOKEN_HEADING in t)
    p.screenshot("cooler-results")
    p.press(results, PRINT)
    p.button_gone(results, PRINT)
    report_notice(ctx, p)
    end_program(ctx, p, results)
    compare_report(ctx, ctx.pdf, report)


# ---- road 4: faulty evaporator data corrected on the list ----------------------------------------------

def road_faulty(ctx, p):
    menu = start_and_name(ctx, p)
    texts = ["0.9"] + [text for _, text in EVAPORATOR[1:]]
    enter_source_data(ctx, p, menu, "ИСПАРИТЕЛЬ", EVAPORATOR, texts)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.button(source, "ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    shot = p.screenshot("faulty-source-data")
    ctx.check("faulty data: the list is hidden", find_descendant(source, "list") is None)
    got = button_colour(ctx, p, source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ", shot)
    ctx.check("faulty data: the accept button is red", got == RED, f"sampled {got}")
    got = button_colour(ctx, p, source, "ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ", shot)
    ctx.check("faulty data: the change button is green", got == GREEN, f"sampled {got}")
    # The lines are printed on the window where the list would be: 15 rows 13 px apart from y = 81 px.
    x, y, w, h = extents(source)
    colours = colour_count(shot, x + 36, y + 81, 400, 15 * 13)
    ctx.check("faulty data: the source lines are printed on the window", colours > 2,
              f"{colours} colours where the lines should be")

    p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    dialog = p.window("Внимание !", containing="Да")
    expect_labels(ctx, p, dialog, "the error dialog says 'Ошибка в исходной информации.' / "
                  "'Изменяете исходную информацию?'",
                  ["Ошибка в исходной информации.", "Изменяете исходную информацию?"])
    faulty = source_line(EVAPORATOR[0][0], "0.9", 62)
    expect_labels(ctx, p, source, "the faulty line is highlighted on the source-data window", [faulty])
    ctx.check("the source-data window reads '   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ'",
              name_of(source) == "   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ", repr(name_of(source)))
    p.screenshot("faulty-error-dialog")
    p.press(dialog, "Да")
    p.no_window("Внимание !")
    lst = p.list_box(source)
    expect(ctx, "after 'Да' the list shows every line, the faulty one unchanged and named with its fault",
           lambda: len(p.list_lines(lst)) == 15 and p.list_lines(lst)[0] == faulty + ". " + FAULT_NOTE,
           lambda: repr(p.list_lines(lst)[:2]))
    p.screenshot("faulty-correcting")
    p.click_list_line(lst, 0)
    p.answer(SOURCE_TITLE, EVAPORATOR[0][0], "0.683", typed=True, shot="faulty-correction-box")
    p.button(source, "Конец изменений")
    corrected = [source_line(label, text, 62) for label, text in EVAPORATOR]
    expect(ctx, "the corrected line takes its place in the list, the others unchanged",
           lambda: p.list_lines(p.list_box(source)) == corrected,
           lambda: repr(p.list_lines(p.list_box(source))[:2]))
    shot = p.screenshot("faulty-corrected")
    got = button_colour(ctx, p, source, "Конец изменений", shot)
    ctx.check("corrected data: 'Конец изменений' is green", got == GREEN, f"sampled {got}")
    p.press(source, "Конец изменений")
    p.answer("ВВОД ВЫСОТЫ ТРУБ", "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М ", "4")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
    block = label_with(ctx, p, results, "РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА", "the results block")
    ctx.check("corrected data: the results show 10166.39", "10166.39" in name_of(block), repr(name_of(block)))
    p.screenshot("faulty-results")
    end_program(ctx, p, results)
    ctx.check("nothing printed, no report written", not os.path.exists(ctx.pdf))


# ---- road 5: every window of the evaporator's road, the description screen included ---------------------
# The driver holds the accessible tree against the program's own census of its controls before every
# press, click and answer and whenever a window appears or a button goes (tree_check.py); this road
# adds the description screen and the start screen created afresh under the same title.

def road_every_window(ctx, p):
    start = p.window("НАЧАЛО РАБОТЫ С ПРОГРАММОЙ")
    p.press(start, "ОПИСАНИЕ ПРОГРАММЫ")
    description = p.window("Описание программы", containing="ПРОДОЛЖЕНИЕ РАБОТЫ")
    expect_label(ctx, p, description, "the description names the program",
                 lambda t: "ПРОГРАММА РАСЧЁТА КОЖУХОТРУБНЫХ ТЕПЛООБМЕННИКОВ" in t)
    p.screenshot("description")
    p.press(description, "ПРОДОЛЖЕНИЕ РАБОТЫ")
    p.no_window("Описание программы")
    road_evaporator(ctx, p)


# ---- road 6: the keyboard layout switch on X11 --------------------------------------------------------
# The session has the Latin and the Russian layouts (setxkbmap -layout us,ru, groups 0 and 1). The name is
# asked on the Russian layout and the numbers after it on the Latin one; no layout is added.

class _XkbState(ctypes.Structure):
    _fields_ = [("group", ctypes.c_ubyte), ("locked_group", ctypes.c_ubyte), ("base_group", ctypes.c_ushort),
                ("latched_group", ctypes.c_ushort), ("mods", ctypes.c_ubyte), ("base_mods", ctypes.c_ubyte),
                ("latched_mods", ctypes.c_ubyte), ("locked_mods", ctypes.c_ubyte), ("compat_state", ctypes.c_ubyte),
                ("grab_mods", ctypes.c_ubyte), ("compat_grab_mods", ctypes.c_ubyte), ("lookup_mods", ctypes.c_ubyte),
                ("compat_lookup_mods", ctypes.c_ubyte), ("ptr_buttons", ctypes.c_ushort)]


def xkb_group():
    """The keyboard's XKB group on the display now (0: us, 1: ru)."""
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    display = x11.XOpenDisplay(None)
    if not display:
        raise DriveError("cannot open the display")
    try:
        state = _XkbState()
        x11.XkbGetState(ctypes.c_void_p(display), 0x0100, ctypes.byref(state))  # the core keyboard
        return state.group
    finally:
        x11.XCloseDisplay(ctypes.c_void_p(display))


def layouts():
    out = subprocess.run(["setxkbmap", "-query"], capture_output=True, text=True, timeout=10).stdout
    return re.findall(r"^layout:\s*(\S+)", out, re.M)


def road_layout_switch(ctx, p):
    before = layouts()
    start = p.window("НАЧАЛО РАБОТЫ С ПРОГРАММОЙ")
    ctx.check("the session starts on the Latin layout", xkb_group() == 0, f"group {xkb_group()}")
    p.press(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    p.input_box("ВВОД ФАМИЛИИ", "  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ")
    expect(ctx, "the name box is asked on the Russian layout", lambda: xkb_group() == 1, lambda: f"group {xkb_group()}")
    p.answer("ВВОД ФАМИЛИИ", "  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ", STUDENT, typed=True)
    menu = p.window("Form4", containing="ИСПАРИТЕЛЬ")
    expect(ctx, "after the name the keyboard is back on the Latin layout", lambda: xkb_group() == 0,
           lambda: f"group {xkb_group()}")
    ctx.check("no layout was added to the session", layouts() == before, f"{before} -> {layouts()}")
    p.press(menu, "ОКОНЧАНИЕ РАСЧЁТА")
    code = p.wait_exit(timeout=15)
    ctx.check("the menu's end ends the run", code == 0, f"exit code {code}")


# ---- road 7 (under weston only): a click on the window under an open box --------------------------------
# The cooler's source window is as large as the screen; its first value box is open over it. A pointer
# click on the window, away from the box, must leave the box above it: the box is transient for the
# window, so the compositor keeps it on top.

def road_wayland_box(ctx, p):
    start = p.window("НАЧАЛО РАБОТЫ С ПРОГРАММОЙ")
    p.press(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    p.answer("ВВОД ФАМИЛИИ", "  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ", STUDENT)
    menu = p.window("Form4", containing="ИСПАРИТЕЛЬ")
    p.press(menu, "ХОЛОДИЛЬНИК")
    box = p.input_box(SOURCE_TITLE, COOLER[0][0])
    time.sleep(1.0)
    p.screenshot("wayland-box-open")
    # weston's output (1200 x 960) lies at the top-left corner of the bare X screen. The right half of
    # the output, half-way down: the screen-sized source window, not the box.
    # The nested compositor follows the X pointer by its motion events: several moves, then the click.
    for x, y in ((600, 300), (700, 400), (890, 490), (900, 500)):
        xdotool("mousemove", str(x), str(y))
        time.sleep(0.15)
    xdotool("click", "1")
    time.sleep(1.0)
    p.screenshot("wayland-after-click")
    # Wayland tells a client nothing of the stacking; the compositor raises and activates the window it
    # puts on top. A box transient for its window stays the active one over it.
    source = [w for w in p.top_windows() if name_of(w) == "   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"]
    ctx.check("a click on the window under the box leaves the box on top (the active window)",
              has_state(box, Atspi.StateType.ACTIVE) and not any(has_state(w, Atspi.StateType.ACTIVE) for w in source),
              f"box active: {has_state(box, Atspi.StateType.ACTIVE)}")
    ctx.check("the box is still showing", showing(box))
    p.answer(SOURCE_TITLE, COOLER[0][0], COOLER[0][1])
    p.input_box(SOURCE_TITLE, COOLER[1][0])
    ctx.check("the next box follows the answer", True)


ROADS = [
    ("evaporator", road_evaporator),
    ("heater", road_heater),
    ("cooler", road_cooler),
    ("faulty-data", road_faulty),
    ("every-window", road_every_window),
    ("layout-switch", road_layout_switch),
    ("wayland-box", road_wayland_box),
]
