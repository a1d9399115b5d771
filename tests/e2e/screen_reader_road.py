"""The evaporator with faulty data, walked by ear: Orca runs beside the program, and what it says is read
from its debug log ("SPEECH OUTPUT" lines). Checked: the error dialog's message is spoken as it opens,
after "Да" the faulty line is spoken with its fault, and the results are spoken with their headings and
units. The transcript goes to the road's artifacts as orca-speech.txt. Skipped where Orca is not
installed."""

import os
import re
import shutil
import signal
import subprocess
import time

from driver import DriveError, poll
from roads import EVAPORATOR, FAULT_NOTE, SOURCE_TITLE, PRINT, end_program, enter_source_data, source_line, \
    start_and_name

SPEECH = re.compile(r"SPEECH OUTPUT: '(.*)'(?:\{.*\})?\s*$", re.M)


class Orca:
    """Orca with a private settings folder, its debug output in a file of the road's folder."""

    def __init__(self, folder):
        self.log_path = os.path.join(folder, "orca-debug.out")
        home = os.path.join(folder, "orca-home")
        self.home = home
        # Speech goes through speech-dispatcher and espeak-ng to ALSA's null device: there is no sound
        # card, and what is said is read from Orca's log.
        os.makedirs(os.path.join(home, ".config", "speech-dispatcher"), exist_ok=True)
        with open(os.path.join(home, ".config", "speech-dispatcher", "speechd.conf"), "w") as f:
            f.write('AudioOutputMethod "alsa"\nAddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n'
                    'DefaultModule espeak-ng\nDefaultLanguage "ru"\n')
        # Orca writes its debug log through a buffer: each line is flushed at once, so that what was just
        # said can be read while Orca waits for the next event.
        orca_dir = os.path.join(home, ".local", "share", "orca")
        os.makedirs(orca_dir, exist_ok=True)
        with open(os.path.join(orca_dir, "orca-customizations.py"), "w") as f:
            f.write("import orca.debug\nif orca.debug.debugFile:\n"
                    "    orca.debug.debugFile.reconfigure(line_buffering=True)\n")
        with open(os.path.join(home, ".asoundrc"), "w") as f:
            f.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n")
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"), LANG="ru_RU.UTF-8")
        self.process = subprocess.Popen(
            ["orca", "--replace", "--debug-file", self.log_path], env=env, stdin=subprocess.DEVNULL,
            stdout=open(os.path.join(folder, "orca-stdout.txt"), "w"), stderr=subprocess.STDOUT,
            start_new_session=True)
        poll("Orca to start speaking", lambda: self.said() or self.process.poll() is not None, timeout=30)
        if self.process.poll() is not None:
            raise DriveError("Orca ended at its start")
        self.mark = len(self.said())

    def said(self):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                return SPEECH.findall(f.read())
        except FileNotFoundError:
            return []

    def since_mark(self):
        return self.said()[self.mark:]

    def wait_for(self, what, *needles, timeout=15):
        """Waits until everything said since the mark holds every needle; returns it and moves the mark."""
        def heard():
            text = " | ".join(self.since_mark())
            return text if all(n in text for n in needles) else None
        try:
            text = poll(what, heard, timeout=timeout)
        except DriveError:
            text = None
        spoken = self.since_mark()
        self.mark = len(self.said())
        return text, spoken

    def stop(self):
        # speech-dispatcher was started by Orca and left as a daemon of its own: ended by its pid file.
        pid_file = os.path.join(self.home, ".cache", "speech-dispatcher", "pid", "speech-dispatcher.pid")
        try:
            with open(pid_file) as f:
                os.kill(int(f.read().strip()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGTERM)
                self.process.wait(timeout=5)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                try:
                    os.killpg(self.process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass


def road_screen_reader(ctx, p):
    folder = os.path.dirname(ctx.pdf)
    orca = Orca(folder)
    transcript = []

    def note(step, spoken):
        transcript.append(f"== {step}")
        transcript.extend(spoken)

    try:
        menu = start_and_name(ctx, p)
        texts = ["0.9"] + [text for _, text in EVAPORATOR[1:]]
        enter_source_data(ctx, p, menu, "ИСПАРИТЕЛЬ", EVAPORATOR, texts)
        source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
        orca.wait_for("nothing", "\x00", timeout=1)
        p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
        dialog = p.window("Внимание !", containing="Да")
        text, spoken = orca.wait_for("the error message spoken", "Ошибка в исходной информации",
                                     "Изменяете исходную информацию")
        note("the error dialog opens", spoken)
        ctx.check("the error dialog's message is spoken as it opens", text is not None, repr(spoken))

        p.press(dialog, "Да")
        p.no_window("Внимание !")
        faulty = source_line(EVAPORATOR[0][0], "0.9", 62)
        text, spoken = orca.wait_for("the faulty line spoken", FAULT_NOTE, faulty.split()[0])
        note("after 'Да'", spoken)
        ctx.check("after 'Да' the faulty line is spoken with its fault", text is not None, repr(spoken))

        lst = p.list_box(source)
        p.click_list_line(lst, 0)
        p.answer(SOURCE_TITLE, EVAPORATOR[0][0], "0.683", typed=True)
        p.press(source, "Конец изменений")
        orca.wait_for("nothing", "\x00", timeout=1)
        p.answer("ВВОД ВЫСОТЫ ТРУБ", "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М ", "4")
        results = p.window("РАСЧЁТ ИСПАРИТЕЛЕЙ", containing=PRINT)
        text, spoken = orca.wait_for(
            "the results spoken", "Коэффициент теплоотдачи в трубном пространстве", "коэффициент теплопередачи",
            "поверхность теплообмена", "10166.39")
        note("the results appear", spoken)
        ctx.check("the results are spoken, each value with its heading and unit", text is not None, repr(spoken))
        end_program(ctx, p, results)
    finally:
        with open(os.path.join(folder, "orca-speech.txt"), "w", encoding="utf-8") as f:
            f.write("\n".join(transcript) + "\n")
        orca.stop()


def orca_installed():
    return shutil.which("orca") is not None


ROADS = [("screen-reader", road_screen_reader)]
