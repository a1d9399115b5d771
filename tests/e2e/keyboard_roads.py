"""Roads a student takes with the keyboard alone, and roads of double clicks on the buttons that open a
window or a box, driven on the real program.

The keyboard roads send nothing but keys (xdotool key and type go to the window that has the keyboard
focus): no pointer event and no accessibility action. The accessibility bus is only read, to see which
window is shown and which control has the focus. The double-click roads send real pointer double
clicks (two clicks 150 ms apart) on a button's centre.
"""

import os
import re
import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

from driver import (DriveError, IMAGEMAGICK_CONVERT, extents, find_descendant, has_state, name_of, poll,  # noqa: E402
                    role_of, showing, text_of, walk, xdotool)
from roads import (COOLER, COOLER_CONSTRUCTION, END_OF_WORK, EVAPORATOR, FAULT_NOTE, GREEN, HEATER, HEATER_CONSTRUCTION,  # noqa: E402
                   HEATER_TUBES, PRINT, RED, SOURCE_TITLE, STUDENT, calculator, compare_report, expect,
                   no_report_notice, report_notice, result_row_index, source_line)

START_TITLE = "НАЧАЛО РАБОТЫ С ПРОГРАММОЙ"
NAME_TITLE, NAME_PROMPT = "ВВОД ФАМИЛИИ", "  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ "
HEIGHT_TITLE, HEIGHT_PROMPT = "ВВОД ВЫСОТЫ ТРУБ", "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М "
HEATER_ENTRY = "ВВОД КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА"
CORRECTION_TITLE = "ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА"
COOLER_ENTRY = "ВВОД КОНСТРУКТИВНЫХ ОСОБЕННОСТЕЙ АППАРАТА"
CHANGE_CONSTRUCTION = "ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ АППАРАТА"
CHANGE_PROPERTIES = "ИЗМЕНЕНИЕ МАССИВА ФИЗСВОЙСТВ"
OTHER_KIND = "ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА"
TO_CALCULATION = "ПЕРЕХОД К РАСЧЕТУ"
MENU_END = "ОКОНЧАНИЕ РАСЧЁТА"

WM = os.environ.get("HEATX_E2E_WM", "none")


# ---- the keyboard ----------------------------------------------------------------------------------------

def keys(p, *names):
    """Key presses, to whatever window has the keyboard focus."""
    for name in names:
        xdotool("key", name)
        p.log(f"key {name}")
        time.sleep(0.04)


def focused_control(p, win):
    # Qt marks a list's current line as focused whether or not the list has the focus: the list
    # itself tells. A window hidden and shown again may be answered by a second node of the same
    # title: every showing node of the window is asked.
    p._fresh()
    title = name_of(win)
    for node in [win] + [w for w in p.top_windows() if name_of(w) == title]:
        found = find_descendant(node, predicate=lambda o: role_of(o) != "list item" and
                                has_state(o, Atspi.StateType.FOCUSED), need_showing=False)
        if found is not None:
            return found
    return None


def wait_focus(ctx, p, win, role, name, what):
    """Waits until the control (role, name) of the window has the keyboard focus."""
    def probe():
        control = focused_control(p, win)
        return control is not None and role_of(control) == role and (name is None or name_of(control) == name)

    def detail():
        control = focused_control(p, win)
        seen = []
        for w in p.top_windows():
            for o in walk(w):
                if has_state(o, Atspi.StateType.FOCUSED):
                    seen.append(f"{name_of(w)!r}/{role_of(o)} {name_of(o)!r}")
        return "focus on " + (f"{role_of(control)} {name_of(control)!r}" if control is not None else "nothing") + \
            f"; window {name_of(win)!r} showing={showing(win)}; focused: {seen}; X focus " + \
            subprocess.run(["xdotool", "getwindowfocus", "getwindowname"], capture_output=True, text=True).stdout
    return expect(ctx, what, probe, detail, timeout=8)


def focused_button(ctx, p, win, caption):
    """The focus is on this button; ends the road when it is not (the next keys would go astray)."""
    if not wait_focus(ctx, p, win, "push button", caption, f"the focus is on {caption!r}"):
        raise DriveError(f"the focus is not on {caption!r}")


def notice_by_keyboard(ctx, p):
    """The report notice of the first print press takes the focus on its OK; Enter answers it."""
    def press(box):
        # The box's own panel is announced as focused along with the button that has the focus.
        def ok_focused():
            p._fresh()
            return find_descendant(box, "push button", predicate=lambda o: name_of(o) == "OK" and
                                   has_state(o, Atspi.StateType.FOCUSED)) is not None
        if not expect(ctx, "the report notice has the focus on its OK", ok_focused,
                      lambda: "the OK of the notice is not focused", timeout=8):
            raise DriveError("the focus is not on the OK of the report notice")
        keys(p, "Return")
    report_notice(ctx, p, press)


def type_into_box(ctx, p, title, prompt, text, confirm="Return"):
    """Types the text into the input box that has just opened (it must have the focus) and confirms
    it with a key."""
    box = p.input_box(title, prompt)
    field = find_descendant(box, "text")
    poll(f"the keyboard focus in the box {prompt.strip()!r}",
         lambda: has_state(field, Atspi.StateType.FOCUSED), timeout=8)
    if text:
        xdotool("type", "--delay", "12", text, timeout=30)
    try:
        poll(f"the typed text {text!r}", lambda: text_of(field) == text, timeout=3)
    except DriveError:
        raise DriveError(f"typed {text!r} into {prompt.strip()!r}, the box shows {text_of(field)!r}") from None
    keys(p, confirm)
    poll(f"the box {prompt.strip()!r} to close", lambda: not showing(box) or not p.alive(), timeout=8)
    p.log(f"typed {text!r} into {prompt.strip()!r} and pressed {confirm}")


def dotted_mark(png, x, y, w, h):
    """Whether the button drawn at (x, y, w, h) carries a dotted mark: a row 3 px inside its border that
    alternates black and the face colour."""
    out = subprocess.run([IMAGEMAGICK_CONVERT, png, "-crop", f"{w - 8}x1+{x + 4}+{y + 3}", "+repage", "txt:-"],
                         check=True, timeout=20, capture_output=True, text=True).stdout
    colours = re.findall(r"#([0-9A-Fa-f]{6})", out)
    black = sum(1 for c in colours if c.upper() == "000000")
    return len(colours) > 10 and black >= len(colours) // 3


def road_head(ctx, p, kind_caption, tabs):
    """Start screen, name and the kind on the menu, all from the keyboard. Returns nothing; the first
    input box of the kind is open afterwards."""
    start = p.window(START_TITLE)
    focused_button(ctx, p, start, "ОПИСАНИЕ ПРОГРАММЫ")
    keys(p, "Tab")
    focused_button(ctx, p, start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    shot = p.screenshot("keyboard-start-focus")
    x, y, w, h = extents(p.button(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"))
    ctx.check("the focused button shows a dotted mark", dotted_mark(shot, x, y, w, h))
    from driver import pixel
    ctx.check("the focused button keeps its exact green outside the mark", pixel(shot, x + w // 2, y + 2) == GREEN
              and pixel(shot, x + 2, y + h // 2) == GREEN, f"{pixel(shot, x + w // 2, y + 2)}")
    keys(p, "Return")
    type_into_box(ctx, p, NAME_TITLE, NAME_PROMPT, STUDENT)
    menu = p.window("Form4", containing="ИСПАРИТЕЛЬ")
    focused_button(ctx, p, menu, "ИСПАРИТЕЛЬ")
    keys(p, *(["Tab"] * tabs))
    focused_button(ctx, p, menu, kind_caption)
    keys(p, "KP_Enter")


def to_menu_and_end(ctx, p, results, tabs_to_other_kind):
    keys(p, *(["Tab"] * tabs_to_other_kind))
    focused_button(ctx, p, results, OTHER_KIND)
    keys(p, "Return")
    menu = p.window("Form4", containing="ИСПАРИТЕЛЬ")
    focused_button(ctx, p, menu, "ИСПАРИТЕЛЬ")
    keys(p, "Tab", "Tab", "Tab")
    focused_button(ctx, p, menu, MENU_END)
    keys(p, "space")
    code = p.wait_exit(timeout=15)
    ctx.check("the menu's end key ends the run with exit code 0", code == 0, f"exit code {code}")


def without_trailing_split(lines):
    return lines[:-1] if lines and lines[-1] == "" else lines


# ---- keyboard road 1: evaporator with faulty data, its dialog, a correction, two heights ---------------

def road_keyboard_evaporator(ctx, p):
    road_head(ctx, p, "ИСПАРИТЕЛЬ", 0)
    texts = ["0.9"] + [text for _, text in EVAPORATOR[1:]]
    for (label, _), text in zip(EVAPORATOR, texts):
        type_into_box(ctx, p, SOURCE_TITLE, label, text)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    focused_button(ctx, p, source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    keys(p, "Return")
    dialog = p.window("Внимание !", containing="Да")
    focused_button(ctx, p, dialog, "Да")
    p.screenshot("keyboard-error-dialog")
    keys(p, "Return")
    p.no_window("Внимание !")
    lst = p.list_box(source)
    wait_focus(ctx, p, source, "list", None, "after 'Да' the list has the focus")
    keys(p, "Down", "Down", "Up", "Up")
    time.sleep(0.3)
    ctx.check("the arrow keys open no box", not any(name_of(w) == SOURCE_TITLE for w in p.top_windows()))
    keys(p, "Return")
    type_into_box(ctx, p, SOURCE_TITLE, EVAPORATOR[0][0], "0.683", confirm="KP_Enter")
    corrected = [source_line(label, text, 62) for label, text in EVAPORATOR]
    expect(ctx, "Enter on line 0 corrected it in its place", lambda: p.list_lines(lst) == corrected,
           lambda: repr(p.list_lines(lst)[:2]))
    p.button(source, "Конец изменений")
    keys(p, "Tab")
    focused_button(ctx, p, source, "Конец изменений")
    keys(p, "space")
    type_into_box(ctx, p, HEIGHT_TITLE, HEIGHT_PROMPT, "4")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
    focused_button(ctx, p, results, PRINT)
    keys(p, "Return")
    p.button_gone(results, PRINT)
    notice_by_keyboard(ctx, p)
    focused_button(ctx, p, results, "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ")
    keys(p, "Return")
    type_into_box(ctx, p, HEIGHT_TITLE, HEIGHT_PROMPT, "10")
    p.button(results, PRINT)
    focused_button(ctx, p, results, PRINT)
    keys(p, "KP_Enter")
    p.button_gone(results, PRINT)
    no_report_notice(ctx, p)
    p.screenshot("keyboard-evaporator-results")
    to_menu_and_end(ctx, p, results, 2)

    reference = [text for _, text in EVAPORATOR]
    report4 = calculator(ctx, "evaporator", "--report", "--student", STUDENT, *reference, "4")
    report10 = calculator(ctx, "evaporator", "--report", "--student", STUDENT, *reference, "10")
    head_bottom = "|________|_____________|_____________|_____________|_____________|"
    insert_at = result_row_index(report4, head_bottom) + 1
    expected = report4[:insert_at] + [report10[result_row_index(report10, head_bottom)]] + report4[insert_at:]
    compare_report(ctx, ctx.pdf, expected)


# ---- keyboard road 2: heater, vertical tubes, a construction correction -----------------------------------

def road_keyboard_heater(ctx, p):
    road_head(ctx, p, "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР", 1)
    for label, text in HEATER:
        type_into_box(ctx, p, SOURCE_TITLE, label, text)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    focused_button(ctx, p, source, "НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    keys(p, "space")
    results = p.window(containing="ВЕРТИКАЛЬНЫЙ")
    ctx.check("the heater results window has a spoken name beside its empty caption",
              name_of(results) == "РАСЧЁТ ПОДОГРЕВАТЕЛЕЙ И ДЕФЛЕГМАТОРОВ",
              repr(name_of(results)))
    check_empty_title(ctx, p)
    focused_button(ctx, p, results, "ГОРИЗОНТАЛЬНЫЙ")
    keys(p, "Tab")
    focused_button(ctx, p, results, "ВЕРТИКАЛЬНЫЙ")
    keys(p, "Return")
    for label, text in HEATER_CONSTRUCTION:
        type_into_box(ctx, p, HEATER_ENTRY, label, text)
    p.button(results, PRINT)
    focused_button(ctx, p, results, PRINT)
    keys(p, "Return")
    p.button_gone(results, PRINT)
    notice_by_keyboard(ctx, p)
    focused_button(ctx, p, results, CHANGE_CONSTRUCTION)
    keys(p, "Return")
    wait_focus(ctx, p, results, "list", None, "the construction list has the focus")
    keys(p, "End", "Return")
    type_into_box(ctx, p, CORRECTION_TITLE, HEATER_TUBES, "12")
    p.button(results, TO_CALCULATION)
    keys(p, "Tab")
    focused_button(ctx, p, results, TO_CALCULATION)
    keys(p, "Return")
    p.button(results, PRINT)
    focused_button(ctx, p, results, PRINT)
    keys(p, "Return")
    p.button_gone(results, PRINT)
    no_report_notice(ctx, p)
    p.screenshot("keyboard-heater-results")
    to_menu_and_end(ctx, p, results, 2)

    texts = [text for _, text in HEATER] + [text for _, text in HEATER_CONSTRUCTION]
    first = without_trailing_split(calculator(ctx, "heater", "--vertical", "--report", "--student", STUDENT, *texts))
    second = calculator(ctx, "heater", "--vertical", "--report", "--student", STUDENT, *texts[:-1], "12")
    compare_report(ctx, ctx.pdf, first + second[15:])  # the second block without the source page


def check_empty_title(ctx, p):
    """The window with an empty caption has an empty title on the screen, not the program's name."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(p.process.pid), "--name", ".*"],
                         capture_output=True, text=True, timeout=10).stdout.split()
    titles = []
    for wid in out:
        name = subprocess.run(["xprop", "-id", wid, "_NET_WM_NAME", "WM_NAME"], capture_output=True, text=True,
                              timeout=10).stdout
        titles.append(name)
    empty = [t for t in titles if re.search(r'^_NET_WM_NAME\(UTF8_STRING\) = " "\s*$', t, re.M)]
    ctx.check("the window with an empty caption has a blank title, not the program's name",
              bool(empty) and not any("heatx" in t for t in titles), " | ".join(t.replace("\n", " ") for t in titles))


# ---- keyboard road 3: cooler, Escape keeps a line, a correction, a construction correction --------------

def road_keyboard_cooler(ctx, p):
    road_head(ctx, p, "ХОЛОДИЛЬНИК", 2)
    for label, text in COOLER:
        type_into_box(ctx, p, SOURCE_TITLE, label, text)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    focused_button(ctx, p, source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    keys(p, "Tab")
    focused_button(ctx, p, source, "ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    keys(p, "Return")
    lst = p.list_box(source)
    wait_focus(ctx, p, source, "list", None, "the correction list has the focus")
    lines = [source_line(label, text, 72) for label, text in COOLER]
    keys(p, "Return")
    box = p.input_box(SOURCE_TITLE, COOLER[0][0])
    field = find_descendant(box, "text")
    poll("the keyboard focus in the correction box", lambda: has_state(field, Atspi.StateType.FOCUSED), timeout=8)
    xdotool("type", "--delay", "12", "5")
    keys(p, "Escape")
    poll("the correction box to close", lambda: not showing(box), timeout=8)
    expect(ctx, "Escape in the correction box keeps the line as it was", lambda: p.list_lines(lst) == lines,
           lambda: repr(p.list_lines(lst)[:2]))
    ctx.check("Escape offers no end of corrections: nothing was corrected",
              find_descendant(source, "push button", "КОНЕЦ ИСПРАВЛЕНИЙ") is None)
    keys(p, "Down", "space")
    type_into_box(ctx, p, SOURCE_TITLE, COOLER[1][0], COOLER[1][1], confirm="KP_Enter")
    p.button(source, "КОНЕЦ ИСПРАВЛЕНИЙ")
    keys(p, "Tab")
    focused_button(ctx, p, source, "КОНЕЦ ИСПРАВЛЕНИЙ")
    keys(p, "Return")
    for label, text in COOLER_CONSTRUCTION:
        type_into_box(ctx, p, COOLER_ENTRY, label, text)
    results = p.window("РАСЧЁТ ХОЛОДИЛЬНИКОВ", containing=PRINT)
    focused_button(ctx, p, results, PRINT)
    keys(p, "Return")
    p.button_gone(results, PRINT)
    notice_by_keyboard(ctx, p)
    focused_button(ctx, p, results, CHANGE_CONSTRUCTION)
    keys(p, "Return")
    wait_focus(ctx, p, results, "list", None, "the construction list has the focus")
    keys(p, "Down", "Down", "Down", "Return")
    type_into_box(ctx, p, CORRECTION_TITLE, COOLER_CONSTRUCTION[3][0], "110")
    p.button(results, TO_CALCULATION)
    keys(p, "Tab")
    focused_button(ctx, p, results, TO_CALCULATION)
    keys(p, "Return")
    p.button(results, PRINT)
    focused_button(ctx, p, results, PRINT)
    keys(p, "Return")
    p.button_gone(results, PRINT)
    no_report_notice(ctx, p)
    p.screenshot("keyboard-cooler-results")
    to_menu_and_end(ctx, p, results, 2)

    texts = [text for _, text in COOLER] + [text for _, text in COOLER_CONSTRUCTION]
    first = without_trailing_split(calculator(ctx, "cooler", "--report", "--student", STUDENT, *texts))
    changed = texts[:13 + 3] + ["110"] + texts[13 + 4:]
    second = calculator(ctx, "cooler", "--report", "--student", STUDENT, *changed)
    compare_report(ctx, ctx.pdf, first + second[17:])  # the second block without the source page


# ---- double clicks --------------------------------------------------------------------------------------

# "Да" of an error dialog: left 790, top 850, 1215 by 375 twips inside the dialog (its design).
YES_CENTRE = (round((790 + 1215 / 2) / 15), round((850 + 375 / 2) / 15))


def error_dialog(p):
    """The showing error dialog, by its title alone: its buttons are reached by their place, so that a
    button the accessibility bus fails to list does not stop the road."""
    return p.window("Внимание !")


def click_yes(p, dialog, times):
    x, y, _, _ = extents(dialog)
    cx, cy = x + YES_CENTRE[0], y + YES_CENTRE[1]
    time.sleep(0.45)
    xdotool("mousemove", str(cx), str(cy))
    time.sleep(0.05)
    xdotool("click", "--repeat", str(times), "--delay", "150", "1")
    p.last_click = (cx, cy)
    p.log(f"clicked 'Да' {times} time(s) at {cx},{cy}")
    time.sleep(0.6)


def double_click(p, win, caption):
    """Two pointer clicks 150 ms apart on the centre of a showing button, on a window that has been on
    the screen for longer than the double-click interval (a newly shown window ignores both)."""
    x, y, w, h = extents(p.button(win, caption))
    time.sleep(0.45)
    cx, cy = x + w // 2, y + h // 2
    xdotool("mousemove", str(cx), str(cy))
    time.sleep(0.05)
    xdotool("click", "--repeat", "2", "--delay", "150", "1")
    p.last_click = (cx, cy)
    p.log(f"double-clicked {caption!r} at {cx},{cy}")
    # Longer than the double-click interval: whatever the second click did has happened.
    time.sleep(0.6)


def still_running(ctx, what):
    return ctx.check(what, True)


def alive(ctx, p, what):
    if not ctx.check(f"{what}: the run goes on", p.alive(), "the program ended"):
        raise DriveError("the program ended after a double click")


def one_box(ctx, p, title, prompt, what):
    """The box the first click opened is the only one, still empty."""
    box = p.input_box(title, prompt)
    field = find_descendant(box, "text")
    boxes = [w for w in p.top_windows() if name_of(w) == title]
    ctx.check(f"{what}: one box {prompt.strip()!r}, empty", len(boxes) == 1 and text_of(field) == "",
              f"{len(boxes)} boxes, text {text_of(field)!r}")


def answer_all(p, title, parameters, texts):
    for (label, _), text in zip(parameters, texts):
        p.answer(title, label, text)


def road_double_click_heater(ctx, p):
    start = p.window(START_TITLE)
    double_click(p, start, "ОПИСАНИЕ ПРОГРАММЫ")
    alive(ctx, p, "'ОПИСАНИЕ ПРОГРАММЫ'")
    description = p.window("Описание программы")
    double_click(p, description, "ПРОДОЛЖЕНИЕ РАБОТЫ")
    alive(ctx, p, "'ПРОДОЛЖЕНИЕ РАБОТЫ'")
    start = p.window(START_TITLE)
    ctx.check("the second click on 'ПРОДОЛЖЕНИЕ РАБОТЫ' did not press 'ВВОД ИСХОДНОЙ ИНФОРМАЦИИ' below it",
              not any(name_of(w) == NAME_TITLE for w in p.top_windows()))
    double_click(p, start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    alive(ctx, p, "'ВВОД ИСХОДНОЙ ИНФОРМАЦИИ'")
    one_box(ctx, p, NAME_TITLE, NAME_PROMPT, "the name")
    p.answer(NAME_TITLE, NAME_PROMPT, STUDENT)
    menu = p.window("Form4", containing="ИСПАРИТЕЛЬ")
    double_click(p, menu, "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР")
    alive(ctx, p, "the heater on the menu")
    one_box(ctx, p, SOURCE_TITLE, HEATER[0][0], "the first heater value")
    texts = ["-1"] + [text for _, text in HEATER[1:]]
    answer_all(p, SOURCE_TITLE, HEATER, texts)

    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    double_click(p, source, "НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ")
    alive(ctx, p, "accepting faulty heater data")
    dialog = error_dialog(p)
    click_yes(p, dialog, 2)
    alive(ctx, p, "'Да' of the heater's error dialog")
    lst = p.list_box(source)
    faulty = [source_line(label, text, 62) for (label, _), text in zip(HEATER, texts)]
    faulty[0] += ". " + FAULT_NOTE  # the faulty line is named with its fault on the bus
    expect(ctx, "after 'Да' the list holds the data as typed", lambda: p.list_lines(lst) == faulty,
           lambda: repr(p.list_lines(lst)[:2]))
    # A correction that leaves the set faulty, then the end of corrections: the dialog opens where its
    # "Нет" once lay over the button.
    p.click_list_line(lst, 1)
    p.answer(SOURCE_TITLE, HEATER[1][0], HEATER[1][1])
    p.button(source, "КОНЕЦ ИСПРАВЛЕНИЙ")
    shot = p.screenshot("double-click-before-end-of-corrections")
    double_click(p, source, "КОНЕЦ ИСПРАВЛЕНИЙ")
    alive(ctx, p, "'КОНЕЦ ИСПРАВЛЕНИЙ' with faulty data")
    dialog = error_dialog(p)
    p.screenshot("double-click-error-dialog")
    ctx.check("the error dialog waits for its answer", showing(dialog))
    if WM == "openbox":
        # A click on the source-data window does not bury the dialog that must be answered.
        xdotool("mousemove", str(extents(source)[0] + 40), str(extents(source)[1] + 40))
        time.sleep(0.05)
        xdotool("click", "1")
        time.sleep(0.4)
        stacking = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], capture_output=True, text=True,
                                  timeout=10).stdout
        ids = [int(i, 16) for i in re.findall(r"0x[0-9a-f]+", stacking)]
        dialog_ids = window_ids(p, "Внимание !")
        source_ids = window_ids(p, "   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ")
        on_top = bool(dialog_ids and source_ids) and all(i in ids for i in dialog_ids + source_ids) and \
            max(ids.index(i) for i in dialog_ids) > max(ids.index(i) for i in source_ids)
        ctx.check("under the window manager the dialog stays above its source-data window", on_top,
                  f"stacking {ids}, dialog {dialog_ids}, source {source_ids}")
    click_yes(p, dialog, 1)
    p.no_window("Внимание !")
    p.click_list_line(lst, 0)
    p.answer(SOURCE_TITLE, HEATER[0][0], HEATER[0][1])
    double_click(p, source, "КОНЕЦ ИСПРАВЛЕНИЙ")
    alive(ctx, p, "'КОНЕЦ ИСПРАВЛЕНИЙ' with valid data")
    results = p.window(containing="ВЕРТИКАЛЬНЫЙ")
    double_click(p, results, "ВЕРТИКАЛЬНЫЙ")
    alive(ctx, p, "'ВЕРТИКАЛЬНЫЙ'")
    one_box(ctx, p, HEATER_ENTRY, HEATER_CONSTRUCTION[0][0], "the first construction value")
    for label, text in HEATER_CONSTRUCTION:
        p.answer(HEATER_ENTRY, label, text)
    p.button(results, PRINT)
    double_click(p, results, CHANGE_PROPERTIES)
    alive(ctx, p, f"{CHANGE_PROPERTIES!r}")
    source = p.window("   ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ")
    lst = p.list_box(source)
    reference = [source_line(label, text, 62) for label, text in HEATER]
    expect(ctx, "the property data reopen intact", lambda: p.list_lines(lst) == reference,
           lambda: repr(p.list_lines(lst)[:2]))
    ctx.check("no box was opened by the second click", not any(role_of(w) == "dialog" for w in p.top_windows()))


def window_with_list(p, lines, what):
    """The showing window whose showing list holds these lines, and the list."""
    def probe():
        for w in p.top_windows():
            lst = find_descendant(w, "list")
            if lst is not None and p.list_lines(lst) == lines:
                return w, lst
        return None
    return poll(what, probe)


def window_ids(p, title):
    out = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(p.process.pid), "--name",
                          "^" + re.escape(title) + "$"], capture_output=True, text=True, timeout=10).stdout.split()
    return [int(i) for i in out]


def road_double_click_evaporator(ctx, p):
    start = p.window(START_TITLE)
    p.press(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    p.answer(NAME_TITLE, NAME_PROMPT, STUDENT)
    menu = p.window("Form4", containing="ИСПАРИТЕЛЬ")
    double_click(p, menu, "ИСПАРИТЕЛЬ")
    alive(ctx, p, "the evaporator on the menu")
    one_box(ctx, p, SOURCE_TITLE, EVAPORATOR[0][0], "the first evaporator value")
    texts = ["0.9"] + [text for _, text in EVAPORATOR[1:]]
    answer_all(p, SOURCE_TITLE, EVAPORATOR, texts)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    double_click(p, source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    alive(ctx, p, "accepting faulty evaporator data")
    dialog = error_dialog(p)
    click_yes(p, dialog, 1)
    p.no_window("Внимание !")
    lst = p.list_box(source)
    p.click_list_line(lst, 0)
    p.answer(SOURCE_TITLE, EVAPORATOR[0][0], EVAPORATOR[0][1])
    double_click(p, source, "Конец изменений")
    alive(ctx, p, "'Конец изменений'")
    one_box(ctx, p, HEIGHT_TITLE, HEIGHT_PROMPT, "the tube height")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "4")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
    double_click(p, results, "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ")
    alive(ctx, p, "'ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ'")
    one_box(ctx, p, HEIGHT_TITLE, HEIGHT_PROMPT, "the new tube height")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "10")
    p.button(results, PRINT)
    double_click(p, results, CHANGE_PROPERTIES)
    alive(ctx, p, f"{CHANGE_PROPERTIES!r} of the evaporator")
    reference = [source_line(label, text, 62) for label, text in EVAPORATOR]
    source, lst = window_with_list(p, reference, "the evaporator's property data reopened intact")
    ctx.check("the evaporator's property data reopen intact", True)
    p.click_list_line(lst, 2)
    p.answer(SOURCE_TITLE, EVAPORATOR[2][0], EVAPORATOR[2][1])
    p.press(source, "Конец изменений")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "4")
    results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
    double_click(p, results, OTHER_KIND)
    alive(ctx, p, f"{OTHER_KIND!r}")
    p.window("Form4", containing="ХОЛОДИЛЬНИК")
    ctx.check("the menu waits for a choice", not any(name_of(w) == SOURCE_TITLE for w in p.top_windows()))


def road_double_click_cooler(ctx, p):
    start = p.window(START_TITLE)
    p.press(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    p.answer(NAME_TITLE, NAME_PROMPT, STUDENT)
    menu = p.window("Form4", containing="ХОЛОДИЛЬНИК")
    double_click(p, menu, "ХОЛОДИЛЬНИК")
    alive(ctx, p, "the cooler on the menu")
    one_box(ctx, p, SOURCE_TITLE, COOLER[0][0], "the first cooler value")
    texts = ["-1"] + [text for _, text in COOLER[1:]]
    answer_all(p, SOURCE_TITLE, COOLER, texts)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    double_click(p, source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    alive(ctx, p, "accepting faulty cooler data")
    dialog = error_dialog(p)
    click_yes(p, dialog, 2)
    alive(ctx, p, "'Да' of the cooler's error dialog")
    one_box(ctx, p, SOURCE_TITLE, COOLER[0][0], "the faulty cooler line's box")
    p.answer(SOURCE_TITLE, COOLER[0][0], COOLER[0][1])
    lst = p.list_box(source)
    reference = [source_line(label, text, 72) for label, text in COOLER]
    expect(ctx, "the cooler data are intact and corrected", lambda: p.list_lines(lst) == reference,
           lambda: repr(p.list_lines(lst)[:2]))
    shot = p.screenshot("double-click-cooler-corrected")
    x, y, w, h = extents(p.button(source, "КОНЕЦ ИСПРАВЛЕНИЙ"))
    from driver import pixel
    ctx.check("the corrected cooler data: 'КОНЕЦ ИСПРАВЛЕНИЙ' is green", pixel(shot, x + w // 2, y + 2) == GREEN,
              f"{pixel(shot, x + w // 2, y + 2)}")
    double_click(p, source, "КОНЕЦ ИСПРАВЛЕНИЙ")
    alive(ctx, p, "'КОНЕЦ ИСПРАВЛЕНИЙ' of the cooler")
    one_box(ctx, p, COOLER_ENTRY, COOLER_CONSTRUCTION[0][0], "the first cooler construction value")
    for label, text in COOLER_CONSTRUCTION:
        p.answer(COOLER_ENTRY, label, text)
    results = p.window("РАСЧЁТ ХОЛОДИЛЬНИКОВ", containing=PRINT)
    double_click(p, results, PRINT)
    alive(ctx, p, "the print button")
    p.button_gone(results, PRINT)
    # The second click fell on the notice the first one opened, which ignores it: the notice waits.
    report_notice(ctx, p)
    double_click(p, results, CHANGE_PROPERTIES)
    alive(ctx, p, f"{CHANGE_PROPERTIES!r} of the cooler")
    source = p.window("   ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ")
    lst = p.list_box(source)
    expect(ctx, "the cooler's property data reopen intact", lambda: p.list_lines(lst) == reference,
           lambda: repr(p.list_lines(lst)[:2]))


ROADS = [
    ("keyboard-evaporator", road_keyboard_evaporator),
    ("keyboard-heater", road_keyboard_heater),
    ("keyboard-cooler", road_keyboard_cooler),
    ("double-click-heater", road_double_click_heater),
    ("double-click-evaporator", road_double_click_evaporator),
    ("double-click-cooler", road_double_click_cooler),
]
