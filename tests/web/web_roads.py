"""The roads a student takes through heatx in the browser: the same roads, reference values and calculator
comparisons as the desktop's real-window roads (tests/e2e/roads.py), taken on the web page."""

import base64
import os
import re
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from devtools import collapse  # noqa: E402
from page import Failure, normalised  # noqa: E402
from roads import (COOLER, COOLER_CONSTRUCTION, END_OF_WORK, EVAPORATOR, HEATER, HEATER_CONSTRUCTION,  # noqa: E402
                   HEATER_TYPE, PRINT, SOURCE_TITLE, STUDENT, calculator, result_row_index, row_cells,
                   source_line)

# The windows' spoken names where the caption is "Form4" or blank (the captions stay as the screen shows).
MENU_NAME = "БИБЛИОТЕКА ПРОГРАММ. Выбор теплообменника"
HEATER_NAME = "РАСЧЁТ ПОДОГРЕВАТЕЛЕЙ И ДЕФЛЕГМАТОРОВ"
START_TITLE = "НАЧАЛО РАБОТЫ С ПРОГРАММОЙ"
NAME_TITLE, NAME_PROMPT = "ВВОД ФАМИЛИИ", "  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ "
HEIGHT_TITLE, HEIGHT_PROMPT = "ВВОД ВЫСОТЫ ТРУБ", "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М "
OTHER_KIND = "ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА"
MENU_END = "ОКОНЧАНИЕ РАСЧЁТА"
EVAPORATOR_HEAD = "|________|_____________|_____________|_____________|_____________|"
HEATER_HEAD = "|_______________|_______________|__________________|_________________|_______________|"
COOLER_HEAD = "|_____________|_____________|_____________|_____________|____________|____________|"

GREEN = (0, 255, 0)
RED = (255, 0, 0)
YELLOW = (255, 255, 0)
LIGHT_RED = (255, 128, 128)


class Calc:
    def __init__(self, path):
        self.calc = path


_pictures = {}


def pixel(png_path, x, y):
    """The colour of one pixel of a screenshot (ImageMagick gives the raw rows once per screenshot)."""
    key = str(png_path)
    if key not in _pictures:
        with open(key, "rb") as f:
            width = struct.unpack(">I", f.read(24)[16:20])[0]
        raw = subprocess.run(["convert", key, "-depth", "8", "rgb:-"], check=True, capture_output=True,
                             timeout=30).stdout
        _pictures[key] = (width, raw)
    width, raw = _pictures[key]
    at = (y * width + x) * 3
    return tuple(raw[at:at + 3])


def box_of(p, node):
    quad = p.b.call("DOM.getBoxModel", backendNodeId=node.dom_id)["model"]["border"]
    return int(quad[0]), int(quad[1]), int(quad[2] - quad[0]), int(quad[5] - quad[1])


def button_colour(p, win, caption, shot):
    """The colour inside a button, sampled just below its top border."""
    x, y, w, _ = box_of(p, p.button(win, caption))
    return pixel(shot, x + w // 2, y + 5)


def last_line_cells(text):
    return text.split("\n")[-1].split()


def compare_report(p, lines, expected):
    actual = normalised(lines)
    wanted = normalised(expected)
    (p.artifacts / "web-report-shown.txt").write_text("\n".join(actual) + "\n", encoding="utf-8")
    (p.artifacts / "web-report-expected.txt").write_text("\n".join(wanted) + "\n", encoding="utf-8")
    p.check("the report heads with its date and time", bool(actual) and "<ДАТА ВРЕМЯ>" in actual[0],
            actual[0] if actual else "(empty report)")
    differences = [f"line {i + 1}: shown {a!r}, expected {w!r}"
                   for i, (a, w) in enumerate(zip(actual + ["(missing)"] * len(wanted),
                                                  wanted + ["(missing)"] * len(actual)))
                   if a != w][:4]
    p.check(f"the report shown for printing equals the calculator's lines ({len(wanted)} lines)",
            not differences, "; ".join(differences))


REPORT_NOTICE = "Отчёт откроется для печати, когда вы закончите расчёт этого теплообменника или работу с программой."


def report_notice(p, keyboard=False):
    """The first print press of a document tells, once, when the report opens for printing."""
    box = p.message_box("ОТЧЁТ")
    texts = " ".join(p.static_texts(box))
    p.check("the first print press tells when the report opens for printing", REPORT_NOTICE in texts, texts)
    if keyboard:
        time.sleep(0.45)
        p.keys("Enter")
        p.b.wait(lambda: not p.b.find_all("alertdialog", "ОТЧЁТ"), "the notice to close", 8)
    else:
        p.answer_message("ОТЧЁТ", "OK")


# ---- shared steps -----------------------------------------------------------------------------------------

def start_and_name(p, check_look=False, student=STUDENT):
    start = p.window(START_TITLE)
    p.check("the page is named by the window in front", p.front_title() == START_TITLE, p.front_title())
    shot = p.screenshot("start-screen")
    p.check_tree(start, "start screen")
    if check_look:
        for caption, colour in (("ОПИСАНИЕ ПРОГРАММЫ", YELLOW), ("ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", GREEN),
                                (END_OF_WORK, LIGHT_RED)):
            got = button_colour(p, start, caption, shot)
            p.check(f"start screen: the button {caption!r} is {colour}", got == colour, f"sampled {got}")
        x, y, w, h = box_of(p, start)
        left, right = pixel(shot, x + 2, y + h // 2), pixel(shot, x + w - 4, y + h // 2)
        p.check("start screen: the background runs from violet-blue at the left edge to brown at the right",
                left[0] == 150 and left[1] == 50 and left[2] >= 250 and right == (150, 50, 0),
                f"left {left}, right {right}")
        p.label(start, lambda t: "Программа расчета" in t and "кожухотрубных теплообменников" in t,
                "start screen: the title reads 'Программа расчета / кожухотрубных теплообменников'")
    p.press(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    if check_look:
        press_guard(p)
    p.answer(NAME_TITLE, NAME_PROMPT, student, shot="name-box")
    menu = p.window(MENU_NAME, containing="ИСПАРИТЕЛЬ")
    p.screenshot("library-menu")
    p.check_tree(menu, "library menu")
    return menu


def press_guard(p):
    """A box that has just appeared ignores a pointer press (the second click of a double click): its "OK"
    pressed at once leaves it open; pressed later it answers."""
    box = p.input_box(NAME_TITLE, NAME_PROMPT)
    ok = p.b.find("button", "OK", within=box)
    age = p.b.evaluate("performance.now() - document.querySelector('dialog.hx-box').hxShownAt")
    p.b.click(ok)
    time.sleep(0.2)
    if age < 250:
        still = [d for d in p.b.find_all("dialog") if d.dom_id == box.dom_id]
        p.check(f"a press {age:.0f} ms after the name box appeared is ignored", bool(still), "the box closed")
    else:
        p.log(f"the page was too slow to press within the double-click interval ({age:.0f} ms): not checked")


def enter_source_data(p, menu, kind_button, parameters, texts=None):
    p.press(menu, kind_button)
    texts = texts or [text for _, text in parameters]
    last = len(parameters) - 1
    for i, ((label, _), text) in enumerate(zip(parameters, texts)):
        p.answer(SOURCE_TITLE, label, text,
                 shot="source-box-first" if i == 0 else "source-box-last" if i == last else None)


def check_source_list(p, win, parameters, width, what):
    wanted = [source_line(label, text, width) for label, text in parameters]
    p.expect(f"{what}: the list holds the {len(wanted)} source lines with their blanks, label column {width}",
             lambda: p.list_lines(p.list_box(win)) == wanted,
             lambda: repr(p.list_lines(p.list_box(win))[:2]))


def end_run(p, win):
    p.press(win, END_OF_WORK)
    p.closing_page()
    p.screenshot("closing-page")


def end_run_with_report(p, win, expected):
    """The end of the run ends the open report: it is shown for printing over the closing page, holds the
    calculator's lines, and what the browser prints of it (a printer, or "Save as PDF") is the report and
    nothing else. Closed, it leaves the closing page."""
    p.press(win, END_OF_WORK)
    compare_report(p, p.report_lines(), expected)
    p.screenshot("report-view")
    printed_pdf(p, expected, "web-report.pdf")
    close_report(p)
    p.closing_page()
    p.check("the report view is closed", not p.b.find_all("dialog", "ОТЧЁТ"))
    p.screenshot("closing-page")


def printed_pdf(p, expected, name):
    """What the browser prints of the report view (a printer, or "Save as PDF"): A4 sheets holding exactly
    the report's lines."""
    pdf = p.artifacts / name
    pdf.write_bytes(base64.b64decode(p.b.call("Page.printToPDF", preferCSSPageSize=True)["data"]))
    text = subprocess.run(["pdftotext", "-layout", "-fixed", "5.4", str(pdf), "-"], check=True, capture_output=True,
                          text=True, timeout=30).stdout
    printed = [line for page in text.split("\f") for line in page.split("\n")]
    info = subprocess.run(["pdfinfo", str(pdf)], check=True, capture_output=True, text=True, timeout=30).stdout
    p.check("the report prints on A4 sheets", "(A4)" in info, info)
    p.check("the view says how to print the report again",
            "Чтобы напечатать его ещё раз" in (p.b.evaluate(
                "document.querySelector('#hx-report .hx-report-help').textContent") or ""))
    wanted = normalised(continued(expected))
    p.check("the report printed from the view holds exactly the report's lines, long ones continued",
            normalised(printed) == wanted, f"{len(normalised(printed))} lines printed, {len(wanted)} expected"
            + "".join(f"; {a!r} vs {b!r}" for a, b in zip(normalised(printed), wanted) if a != b)[:300])


# A report line holds at most this many characters of Liberation Mono at 9 pt between the margins of an A4
# page (194 mm at 5.4 pt a character); a longer one continues on the next line under its own first text.
PAGE_COLUMNS = 101


def continued(lines):
    out = []
    for line in lines:
        indent = min(len(line) - len(line.lstrip(" ")), PAGE_COLUMNS // 2)
        while len(line) > PAGE_COLUMNS:
            out.append(line[:PAGE_COLUMNS])
            line = " " * indent + line[PAGE_COLUMNS:]
        out.append(line)
    return out


def close_report(p):
    view = p.b.find("dialog", "ОТЧЁТ")
    close = p.b.find("button", "Закрыть", within=view)
    time.sleep(0.45)
    p.b.click(close)
    p.b.wait(lambda: not p.b.find_all("dialog", "ОТЧЁТ"), "the report view to close", 8)


# ---- road 1: evaporator, two tube heights printed --------------------------------------------------------

def road_evaporator(p, calc):
    menu = start_and_name(p, check_look=True)
    enter_source_data(p, menu, "ИСПАРИТЕЛЬ", EVAPORATOR)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    check_source_list(p, source, EVAPORATOR, 62, "evaporator source data")
    shot = p.screenshot("evaporator-source-data")
    p.check_tree(source, "evaporator source data")
    for caption in ("НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ", "ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ"):
        got = button_colour(p, source, caption, shot)
        p.check(f"valid data: the button {caption!r} is green", got == GREEN, f"sampled {got}")

    texts = [text for _, text in EVAPORATOR]
    report4 = calculator(calc, "evaporator", "--report", "--student", STUDENT, *texts, "4")
    report10 = calculator(calc, "evaporator", "--report", "--student", STUDENT, *texts, "10")
    row4 = report4[result_row_index(report4, EVAPORATOR_HEAD)]
    row10 = report10[result_row_index(report10, EVAPORATOR_HEAD)]

    p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "4", shot="tube-height-box")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
    p.label(results, lambda t: "  ВЫСОТА ТРУБ 4 М" in t, "the tube height line of 4 m")
    block = p.label(results, lambda t: "РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА" in t, "the results block")
    p.check("height 4: the results line shows the calculator's four values",
            last_line_cells(block) == row_cells(row4)[1:], f"{last_line_cells(block)} vs {row_cells(row4)[1:]}")
    p.check("height 4: the results line reads 10166.39 5681.11 1325.06 13.64 (the reference case)",
            last_line_cells(block) == ["10166.39", "5681.11", "1325.06", "13.64"], repr(block))
    p.expect("height 4: the live region tells the results, each with its heading and unit",
             lambda: all(said in collapse(p.live_text()) for said in (
                 "Коэффициент теплоотдачи в трубном пространстве 10166.39 ватт на квадратный метр-кельвин",
                 "поверхность теплообмена 13.64 квадратных метра")),
             lambda: repr(p.live_text()))
    p.screenshot("evaporator-results-4m")
    p.check_tree(results, "evaporator results")
    p.press(results, PRINT)
    report_notice(p)
    p.button_gone(results, PRINT)

    p.press(results, "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ")
    # A height out of range is refused with the question; "Да" asks again.
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "11")
    question = p.message_box("ОШИБКА !")
    texts_shown = p.static_texts(question)
    p.check("height 11: refused with 'Высота труб от 1 до 10 метров. Продолжаете работу ?'",
            "Высота труб от 1 до 10 метров. Продолжаете работу ?" in texts_shown, repr(texts_shown))
    p.screenshot("tube-height-refused")
    p.answer_message("ОШИБКА !", "Да")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "10")
    p.button(results, PRINT)
    p.label(results, lambda t: "  ВЫСОТА ТРУБ 10 М" in t, "the tube height line of 10 m")
    block = p.label(results, lambda t: "РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА" in t, "the results block")
    p.check("height 10: the results line shows the calculator's four values",
            last_line_cells(block) == row_cells(row10)[1:], f"{last_line_cells(block)} vs {row_cells(row10)[1:]}")
    p.screenshot("evaporator-results-10m")
    p.press(results, PRINT)
    p.button_gone(results, PRINT)
    insert_at = result_row_index(report4, EVAPORATOR_HEAD) + 1
    end_run_with_report(p, results, report4[:insert_at] + [row10] + report4[insert_at:])


# ---- road 2: heater, vertical tubes ----------------------------------------------------------------------

def road_heater(p, calc):
    menu = start_and_name(p)
    enter_source_data(p, menu, "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР", HEATER)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    check_source_list(p, source, HEATER, 62, "heater source data")
    shot = p.screenshot("heater-source-data")
    got = button_colour(p, source, "НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ", shot)
    p.check("valid heater data: the accept button is green", got == GREEN, f"sampled {got}")

    texts = [text for _, text in HEATER] + [text for _, text in HEATER_CONSTRUCTION]
    report = calculator(calc, "heater", "--vertical", "--report", "--student", STUDENT, *texts)
    row = row_cells(report[result_row_index(report, HEATER_HEAD)])

    p.press(source, "НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    results = p.window(HEATER_NAME, containing="ВЕРТИКАЛЬНЫЙ")
    p.label(results, lambda t: t == "ВЫБЕРИТЕ ТИП ТЕПЛООБМЕННИКА", "the orientation question")
    p.screenshot("heater-orientation")
    p.check_tree(results, "heater orientation")
    p.press(results, "ВЕРТИКАЛЬНЫЙ")
    for i, (label, text) in enumerate(HEATER_CONSTRUCTION):
        p.answer("ВВОД КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА", label, text,
                 shot="heater-construction-box" if i == 2 else None)
    p.button(results, PRINT)
    wanted_lines = [HEATER_TYPE + "ВЕРТИКАЛЬНЫЙ"] + [label + text for label, text in HEATER_CONSTRUCTION]
    p.expect("heater: the construction lines show the type and the four values",
             lambda: all(w in p.labels(results) for w in wanted_lines), lambda: repr(p.labels(results)))
    p.label(results, lambda t: t.split() == row[:4], f"heater: the results line shows the calculator's values {row[:4]}")
    p.label(results, lambda t: "ЧИСЛО RE" in t and t.split()[-1] == row[4], f"heater: the Reynolds number {row[4]}")
    p.screenshot("heater-results")
    p.check_tree(results, "heater results")
    p.press(results, PRINT)
    report_notice(p)
    p.button_gone(results, PRINT)
    end_run_with_report(p, results, report)


# ---- road 3: cooler ----------------------------------------------------------------------------------------

# A name long enough that the report's head line continues on the next line, as on paper.
LONG_STUDENT = STUDENT + ", вариант 17, расчёт холодильника по заданию преподавателя, лабораторная работа 4"


def road_cooler(p, calc):
    menu = start_and_name(p, student=LONG_STUDENT)
    enter_source_data(p, menu, "ХОЛОДИЛЬНИК", COOLER)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    check_source_list(p, source, COOLER, 72, "cooler source data")
    p.screenshot("cooler-source-data")

    texts = [text for _, text in COOLER] + [text for _, text in COOLER_CONSTRUCTION]
    report = calculator(calc, "cooler", "--report", "--student", LONG_STUDENT, *texts)
    p.check("the cooler's report has a line longer than the page", any(len(line) > PAGE_COLUMNS for line in report),
            repr(max(report, key=len)))
    row = row_cells(report[result_row_index(report, COOLER_HEAD)])

    p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    for i, (label, text) in enumerate(COOLER_CONSTRUCTION):
        p.answer("ВВОД КОНСТРУКТИВНЫХ ОСОБЕННОСТЕЙ АППАРАТА", label, text,
                 shot="cooler-construction-box" if i == 0 else None)
    results = p.window("РАСЧЁТ ХОЛОДИЛЬНИКОВ", containing=PRINT)
    wanted_lines = [source_line(label, text, 75) for label, text in COOLER_CONSTRUCTION]
    p.expect("cooler: the five construction lines, labels padded to 75",
             lambda: all(w in p.labels(results) for w in wanted_lines), lambda: repr(p.labels(results)))
    p.label(results, lambda t: t.split() == row[:4], f"cooler: the results line shows the calculator's values {row[:4]}")
    p.screenshot("cooler-results")
    p.check_tree(results, "cooler results")
    p.press(results, PRINT)
    report_notice(p)
    p.button_gone(results, PRINT)
    end_run_with_report(p, results, report)


# ---- road 4: faulty evaporator data corrected on the list ----------------------------------------------------

def road_faulty(p, calc):
    menu = start_and_name(p)
    texts = ["0.9"] + [text for _, text in EVAPORATOR[1:]]
    enter_source_data(p, menu, "ИСПАРИТЕЛЬ", EVAPORATOR, texts)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.button(source, "ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    shot = p.screenshot("faulty-source-data")
    p.check("faulty data: the list is hidden", not p.b.find_all("listbox", within=source))
    got = button_colour(p, source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ", shot)
    p.check("faulty data: the accept button is red", got == RED, f"sampled {got}")
    got = button_colour(p, source, "ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ", shot)
    p.check("faulty data: the change button is green", got == GREEN, f"sampled {got}")
    wanted = [source_line(label, text, 62) for (label, _), text in zip(EVAPORATOR, texts)]
    p.check("faulty data: the 15 source lines are printed on the window", p.printed(source) == wanted,
            repr(p.printed(source)[:2]))

    p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    dialog = p.window("Внимание !", containing="Да")
    p.check("the error dialog is an alert described by its message", dialog.role == "alertdialog" and
            "Ошибка в исходной информации." in dialog.description, f"{dialog.role} {dialog.description!r}")
    p.expect("the error dialog says 'Ошибка в исходной информации.' / 'Изменяете исходную информацию?'",
             lambda: {"Ошибка в исходной информации.", "Изменяете исходную информацию?"} <= set(p.labels(dialog)),
             lambda: repr(p.labels(dialog)))
    faulty = source_line(EVAPORATOR[0][0], "0.9", 62)
    p.expect("the faulty line is highlighted on the source-data window", lambda: faulty in p.labels(source),
             lambda: repr(p.labels(source)))
    checking = p.window("   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ")
    p.check("the source-data window reads '   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ'", checking.dom_id == source.dom_id,
            "another window has that caption")
    p.screenshot("faulty-error-dialog")
    p.check_tree(dialog, "error dialog")
    p.press(dialog, "Да")
    p.no_window("Внимание !")
    lst = p.list_box(source)
    p.expect("after 'Да' the list shows every line, the faulty one unchanged",
             lambda: len(p.list_lines(lst)) == 15 and p.list_lines(lst)[0] == faulty,
             lambda: repr(p.list_lines(lst)[:2]))
    def keyboard_line():
        # The focused list's active line (aria-activedescendant), as the accessibility tree names it.
        focused = p.b.focused()
        if focused is None or focused.dom_id != lst.dom_id:
            return None
        row = p.dom_call(lst, "function () { const a = this.getAttribute('aria-activedescendant');"
                              " return Array.from(this.children).findIndex((o) => o.id === a); }")
        options = p.b.find_all("option", within=lst)
        return collapse(options[row].name) if 0 <= row < len(options) else None

    p.expect("after 'Да' the keyboard is on the faulty line, read with its fault",
             lambda: keyboard_line() == collapse(faulty) + ". Ошибка: значение вне допустимых пределов.",
             lambda: repr(keyboard_line()))
    p.screenshot("faulty-correcting")
    p.click_list_line(lst, 0)
    # Typed on the Russian layout: the period key gives "ю", which the box shows and takes as the point.
    p.answer(SOURCE_TITLE, EVAPORATOR[0][0], "0ю683", shows="0.683", shot="faulty-correction-box")
    p.button(source, "Конец изменений")
    corrected = [source_line(label, text, 62) for label, text in EVAPORATOR]
    p.expect("the corrected line takes its place in the list, the others unchanged",
             lambda: p.list_lines(p.list_box(source)) == corrected,
             lambda: repr(p.list_lines(p.list_box(source))[:2]))
    shot = p.screenshot("faulty-corrected")
    got = button_colour(p, source, "Конец изменений", shot)
    p.check("corrected data: 'Конец изменений' is green", got == GREEN, f"sampled {got}")
    p.press(source, "Конец изменений")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "4")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
    block = p.label(results, lambda t: "РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА" in t, "the results block")
    p.check("corrected data: the results show 10166.39", "10166.39" in block, repr(block))
    p.screenshot("faulty-results")
    # "Нет" to the question after a refused height ends the run at once, from inside the handler that
    # waited for the answer.
    p.press(results, "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "11")
    p.answer_message("ОШИБКА !", "Нет")
    p.closing_page()
    p.check("the run ended with no window left", not p.windows(), repr(p.windows()))
    p.check("nothing printed, no report shown", not p.b.find_all("dialog", "ОТЧЁТ"))


# ---- road 5: the evaporator with nothing but keys --------------------------------------------------------------

def type_into_box(p, title, prompt, text, confirm="Enter"):
    p.answer(title, prompt, text, keyboard=True, confirm=confirm)


def road_keyboard(p, calc):
    start = p.window(START_TITLE)
    p.focused_button(start, "ОПИСАНИЕ ПРОГРАММЫ")
    p.keys("Tab")
    p.focused_button(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    shot = p.screenshot("keyboard-start-focus")
    x, y, w, h = box_of(p, p.button(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"))
    row = [pixel(shot, x + i, y + 4) for i in range(5, w - 5)]
    p.check("the focused button shows a dotted mark", sum(1 for c in row if c == (0, 0, 0)) >= len(row) // 3,
            f"{sum(1 for c in row if c == (0, 0, 0))} black of {len(row)}")
    p.check("the focused button keeps its exact green outside the mark",
            pixel(shot, x + w // 2, y + 2) == GREEN and pixel(shot, x + 2, y + h // 2) == GREEN,
            f"{pixel(shot, x + w // 2, y + 2)}")
    p.keys("Shift+Tab", "Tab")
    p.focused_button(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    p.keys("Enter")
    type_into_box(p, NAME_TITLE, NAME_PROMPT, STUDENT)
    menu = p.window(MENU_NAME, containing="ИСПАРИТЕЛЬ")
    p.focused_button(menu, "ИСПАРИТЕЛЬ")
    p.keys("KeypadEnter")
    texts = ["0.9"] + [text for _, text in EVAPORATOR[1:]]
    for (label, _), text in zip(EVAPORATOR, texts):
        type_into_box(p, SOURCE_TITLE, label, text)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.focused_button(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.keys("Enter")
    dialog = p.window("Внимание !", containing="Да")
    p.focused_button(dialog, "Да")
    p.screenshot("keyboard-error-dialog")
    p.keys("Enter")
    p.no_window("Внимание !")
    lst = p.list_box(source)
    p.expect("after 'Да' the list has the focus", lambda: (p.b.focused() or lst).role == "listbox" and
             p.b.focused() is not None, lambda: f"the focus is on {p.b.focused()}")
    p.keys("ArrowDown", "ArrowDown", "End", "Home", "PageDown", "PageUp", "ArrowUp")
    time.sleep(0.3)
    p.check("the list keys open no box", not p.b.find_all("dialog"))
    p.keys("Enter")
    # Escape in the correction box keeps the line as it is.
    p.input_box(SOURCE_TITLE, EVAPORATOR[0][0])
    p.keys("Escape")
    p.b.wait(lambda: not p.b.find_all("dialog"), "the correction box to close", 8)
    faulty = source_line(EVAPORATOR[0][0], "0.9", 62)
    p.check("Escape in the correction box keeps the line", p.list_lines(lst)[0] == faulty, repr(p.list_lines(lst)[0]))
    p.keys("Space")
    type_into_box(p, SOURCE_TITLE, EVAPORATOR[0][0], "0.683", confirm="KeypadEnter")
    corrected = [source_line(label, text, 62) for label, text in EVAPORATOR]
    p.expect("Enter on line 0 corrected it in its place", lambda: p.list_lines(lst) == corrected,
             lambda: repr(p.list_lines(lst)[:2]))
    p.button(source, "Конец изменений")
    p.keys("Tab")
    p.focused_button(source, "Конец изменений")
    p.keys("Space")
    type_into_box(p, HEIGHT_TITLE, HEIGHT_PROMPT, "4")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
    p.focused_button(results, PRINT)
    p.keys("Enter")
    report_notice(p, keyboard=True)
    p.button_gone(results, PRINT)
    p.focused_button(results, "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ")
    p.keys("Enter")
    type_into_box(p, HEIGHT_TITLE, HEIGHT_PROMPT, "10")
    p.button(results, PRINT)
    p.focused_button(results, PRINT)
    p.keys("KeypadEnter")
    p.button_gone(results, PRINT)
    p.screenshot("keyboard-evaporator-results")
    p.keys("Tab", "Tab")
    p.focused_button(results, OTHER_KIND)
    p.keys("Enter")
    # Leaving the task ends the report: it is shown for printing, over the page, until it is closed.
    lines = p.report_lines()
    p.screenshot("keyboard-report-view")
    report = p.b.find("dialog", "ОТЧЁТ")
    p.focused_button(report, "Печать")
    p.keys("Tab")
    p.focused_button(report, "Закрыть")
    p.keys("Enter")
    p.b.wait(lambda: not p.b.find_all("dialog", "ОТЧЁТ"), "the report view to close", 8)
    menu = p.window(MENU_NAME, containing="ИСПАРИТЕЛЬ")
    p.focused_button(menu, "ИСПАРИТЕЛЬ")
    p.keys("Tab", "Tab", "Tab")
    p.focused_button(menu, MENU_END)
    p.keys("Space")
    p.closing_page()

    reference = [text for _, text in EVAPORATOR]
    report4 = calculator(calc, "evaporator", "--report", "--student", STUDENT, *reference, "4")
    report10 = calculator(calc, "evaporator", "--report", "--student", STUDENT, *reference, "10")
    insert_at = result_row_index(report4, EVAPORATOR_HEAD) + 1
    compare_report(p, lines, report4[:insert_at] + [report10[result_row_index(report10, EVAPORATOR_HEAD)]] +
                   report4[insert_at:])


# ---- road 6: double clicks on the buttons that open a window or a box ------------------------------------------

def double_click(p, win, caption):
    """A person's double click on the button: two clicks 150 ms apart at its centre."""
    x, y = p.b.centre(p.button(win, caption))
    time.sleep(0.45)
    p.b.mouse("mouseMoved", x, y)
    p.b.mouse("mousePressed", x, y, 1)
    p.b.mouse("mouseReleased", x, y, 1)
    time.sleep(0.15)
    p.b.mouse("mousePressed", x, y, 2)
    p.b.mouse("mouseReleased", x, y, 2)
    p.log(f"double click {caption!r}")
    time.sleep(0.3)


def one_empty_box(p, title, prompt, what):
    boxes = p.b.find_all("dialog")
    p.check(f"{what}: one box open", len(boxes) == 1 and boxes[0].name.strip() == title.strip(), repr(boxes))
    box = p.input_box(title, prompt)
    field = p.b.find("textbox", within=box)
    p.check(f"{what}: its field is empty", p.field_value(field) == "", repr(p.field_value(field)))


def road_double_click(p, calc):
    del calc
    start = p.window(START_TITLE)
    double_click(p, start, "ОПИСАНИЕ ПРОГРАММЫ")
    description = p.window("Описание программы", containing="ПРОДОЛЖЕНИЕ РАБОТЫ")
    double_click(p, description, "ПРОДОЛЖЕНИЕ РАБОТЫ")
    start = p.window(START_TITLE, containing="ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    p.check("a double click on 'ПРОДОЛЖЕНИЕ РАБОТЫ' leads back to the start screen once",
            not p.b.find_all("dialog") and len(p.windows()) == 1, repr(p.windows()))
    double_click(p, start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    one_empty_box(p, NAME_TITLE, NAME_PROMPT, "a double click on 'ВВОД ИСХОДНОЙ ИНФОРМАЦИИ'")
    p.answer(NAME_TITLE, NAME_PROMPT, STUDENT)
    menu = p.window(MENU_NAME, containing="ИСПАРИТЕЛЬ")
    double_click(p, menu, "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР")
    one_empty_box(p, SOURCE_TITLE, HEATER[0][0], "a double click on 'ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР'")
    for label, text in HEATER:
        p.answer(SOURCE_TITLE, label, text)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    check_source_list(p, source, HEATER, 62, "the data after double clicks")
    double_click(p, source, "НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    results = p.window(HEATER_NAME, containing="ВЕРТИКАЛЬНЫЙ")
    p.check("a double click on the accept button shows the orientation question and no box",
            not p.b.find_all("dialog"), repr(p.b.find_all("dialog")))
    double_click(p, results, "ВЕРТИКАЛЬНЫЙ")
    one_empty_box(p, "ВВОД КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА", HEATER_CONSTRUCTION[0][0],
                  "a double click on 'ВЕРТИКАЛЬНЫЙ'")
    p.screenshot("double-click-construction-box")


# ---- road 7: a page smaller than the windows ----------------------------------------------------------------

def road_small_screen(p, calc):
    """On a small screen (a laptop's browser with its bars, a tablet) a window larger than the page is
    scaled down to fit, never cut, and is used as on a large one."""
    del calc
    start = p.window(START_TITLE)
    width, height = p.b.evaluate("[window.innerWidth, window.innerHeight]")
    x, y, w, h = box_of(p, start)
    p.check(f"the start screen (800 x 600 px) is scaled down to fit the page of {width} x {height}",
            x >= 0 and y >= 0 and x + w <= width and y + h <= height and w < 800, f"box {x},{y} {w}x{h}")
    p.screenshot("small-start-screen")
    p.press(start, "ОПИСАНИЕ ПРОГРАММЫ")
    description = p.window("Описание программы", containing="ПРОДОЛЖЕНИЕ РАБОТЫ")
    p.label(description, lambda t: "ПРОГРАММА РАСЧЁТА КОЖУХОТРУБНЫХ ТЕПЛООБМЕННИКОВ" in t,
            "the description names the program")
    p.screenshot("small-description")
    p.press(description, "ПРОДОЛЖЕНИЕ РАБОТЫ")
    p.no_window("Описание программы")
    start = p.window(START_TITLE)
    # The close mark of the title strip, as a window manager's close button, ends the run.
    x, y = p.dom_call(start, "function () { const r = this.querySelector('.hx-close').getBoundingClientRect(); "
                             "return [r.x + r.width / 2, r.y + r.height / 2]; }")
    time.sleep(0.45)
    p.b.click_at(x, y)
    p.closing_page()
    # The closing page starts the program again (the page loads itself anew, from where it was opened).
    p.b.click(p.b.find("button", "Начать заново"))
    p.window(START_TITLE, containing="ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", timeout=20)
    p.check("'Начать заново' shows the start screen again", p.front_title() == START_TITLE, p.front_title())


# The page's size for a road: the screen the desktop roads use, or a small laptop's browser.
SIZES = {"small-screen": (1024, 560)}


# ---- road 8: a tab closed in the middle of a report, the page opened again -----------------------------------

RECOVERED = "Напечатанные строки восстановлены и открыты для печати"


def journals(p):
    return p.b.evaluate("heatx.journals.list()")


def evaporator_first_press(p):
    """Name, the evaporator's reference data, height 4 and one print press (its notice answered)."""
    menu = start_and_name(p)
    enter_source_data(p, menu, "ИСПАРИТЕЛЬ", EVAPORATOR)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "4")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
    p.press(results, PRINT)
    report_notice(p)
    p.button_gone(results, PRINT)
    return results


def road_recovery(p, calc):
    texts = [text for _, text in EVAPORATOR]
    report4 = calculator(calc, "evaporator", "--report", "--student", STUDENT, *texts, "4")
    evaporator_first_press(p)
    p.check("the printed lines are journalled in the page's storage", len(journals(p)) == 1, repr(journals(p)))
    printed = p.b.evaluate("localStorage.getItem(heatx.journals.list()[0])")
    # The tab is closed with its report open; the page is opened again in another tab.
    tab = p.b.new_tab()
    p.b.close_tab()
    p.b = tab
    p.log("the tab closed with its report open; the page opened again")
    p.start()
    box = p.message_box("ОТЧЁТ")
    texts_shown = " ".join(p.static_texts(box))
    p.check("the next opening tells that the report was recovered, what it is and from when",
            RECOVERED in texts_shown and "Расчет испарителя" in texts_shown and STUDENT.lower() in texts_shown.lower() and
            re.search(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d", texts_shown) is not None, texts_shown)
    p.screenshot("recovery-notice")
    p.answer_message("ОТЧЁТ", "OK")
    lines = p.report_lines()
    wanted = normalised(report4)
    shown = normalised(lines)
    p.check("the recovered report is what was printed: the head, the source data and the row of 4 m",
            shown == wanted[:len(shown)] and len(shown) >= result_row_index(report4, EVAPORATOR_HEAD) + 1 and
            all(line in printed for line in [report4[result_row_index(report4, EVAPORATOR_HEAD)].strip()]),
            f"{len(shown)} lines shown: {shown[-2:]!r}")
    printed_pdf(p, report4[:len(lines)], "web-recovered.pdf")
    p.check("the journal is removed once the report is shown for printing", journals(p) == [], repr(journals(p)))
    close_report(p)
    p.window(START_TITLE)


# ---- road 9: two tabs printing at once --------------------------------------------------------------------

def road_two_tabs(p, calc):
    texts = [text for _, text in EVAPORATOR]
    report4 = calculator(calc, "evaporator", "--report", "--student", STUDENT, *texts, "4")
    heater_texts = [text for _, text in HEATER] + [text for _, text in HEATER_CONSTRUCTION]
    heater = calculator(calc, "heater", "--vertical", "--report", "--student", STUDENT, *heater_texts)
    first = p.b
    results_a = evaporator_first_press(p)
    second = first.new_tab()
    p.b = second
    p.start()
    menu = start_and_name(p)
    enter_source_data(p, menu, "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР", HEATER)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.press(source, "НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    results_b = p.window(HEATER_NAME, containing="ВЕРТИКАЛЬНЫЙ")
    p.press(results_b, "ВЕРТИКАЛЬНЫЙ")
    for label, text in HEATER_CONSTRUCTION:
        p.answer("ВВОД КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА", label, text)
    p.press(results_b, PRINT)
    report_notice(p)
    p.button_gone(results_b, PRINT)
    p.check("each tab journals its own report", len(journals(p)) == 2, repr(journals(p)))

    # A third tab opened meanwhile recovers neither: both are still being written.
    third = first.new_tab()
    p.b = third
    p.start()
    p.window(START_TITLE)
    third.pump(1.5)
    p.check("a tab opened while two others print recovers neither report",
            not third.find_all("alertdialog", "ОТЧЁТ") and not third.find_all("dialog", "ОТЧЁТ") and
            len(journals(p)) == 2, repr(journals(p)))
    third.close_tab()

    # Each tab's report, ended, holds its own lines only.
    p.b = first
    p.press(results_a, END_OF_WORK)
    p.check("the first tab's report is the evaporator's alone",
            normalised(p.report_lines()) == normalised(report4), repr(normalised(p.report_lines())[-2:]))
    p.check("the first tab's journal is removed, the second's kept", len(journals(p)) == 1, repr(journals(p)))
    p.b = second
    p.press(results_b, END_OF_WORK)
    p.check("the second tab's report is the heater's alone",
            normalised(p.report_lines()) == normalised(heater), repr(normalised(p.report_lines())[-2:]))
    p.check("no journal is left", journals(p) == [], repr(journals(p)))
    printed_pdf(p, heater, "web-second-tab.pdf")
    second.close_tab()
    p.b = first



# ---- road 10: the browser refuses the page its storage ------------------------------------------------------

NO_STORAGE = "Браузер не даёт этой странице сохранять данные"


def road_no_storage(p, calc):
    """Private browsing or a full quota: every write to the page's storage is refused. The student is told
    once, at the first print press, and the report still prints."""
    p.b.call("Page.addScriptToEvaluateOnNewDocument", source="""
        Storage.prototype.setItem = function () { throw new DOMException("refused", "QuotaExceededError"); };""")
    p.start()
    texts = [text for _, text in EVAPORATOR]
    report4 = calculator(calc, "evaporator", "--report", "--student", STUDENT, *texts, "4")
    menu = start_and_name(p)
    enter_source_data(p, menu, "ИСПАРИТЕЛЬ", EVAPORATOR)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "4")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
    p.press(results, PRINT)
    box = p.message_box("ОТЧЁТ")
    shown = " ".join(p.static_texts(box))
    p.check("the first print press tells, in Russian, that the browser keeps nothing and printing still works",
            REPORT_NOTICE in shown and NO_STORAGE in shown and "Печать работает" in shown, shown)
    p.answer_message("ОТЧЁТ", "OK")
    p.press(results, "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "10")
    p.press(results, PRINT)
    time.sleep(0.5)
    p.check("a second print press says nothing more", not p.b.find_all("alertdialog", "ОТЧЁТ"))
    report10 = calculator(calc, "evaporator", "--report", "--student", STUDENT, *texts, "10")
    insert_at = result_row_index(report4, EVAPORATOR_HEAD) + 1
    end_run_with_report(p, results, report4[:insert_at] + [report10[result_row_index(report10, EVAPORATOR_HEAD)]] +
                        report4[insert_at:])


# ---- road 11: a browser too old to unpack the page ----------------------------------------------------------

def road_old_browser(p, calc):
    """A browser without the decompressor the page's WebAssembly needs tells the student so, in Russian,
    instead of showing "Загрузка…" for ever."""
    del calc
    p.b.call("Page.addScriptToEvaluateOnNewDocument", source="delete window.DecompressionStream;")
    p.start()
    told = p.b.wait(lambda: [n.name for n in p.b.tree() if not n.ignored and "не может запуститься" in n.name],
                    "the message of a browser too old")
    p.check("the page says the program cannot start in this browser and asks for a newer one",
            "Откройте её в более новом браузере" in told[0], told[0])
    p.screenshot("old-browser")


ROADS = [
    ("evaporator", road_evaporator),
    ("heater", road_heater),
    ("cooler", road_cooler),
    ("faulty-data", road_faulty),
    ("keyboard-evaporator", road_keyboard),
    ("double-click-heater", road_double_click),
    ("small-screen", road_small_screen),
    ("recovery", road_recovery),
    ("two-tabs", road_two_tabs),
    ("no-storage", road_no_storage),
    ("old-browser", road_old_browser),
]

__all__ = ["ROADS", "SIZES", "Calc", "Failure"]
