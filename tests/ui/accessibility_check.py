#!/usr/bin/python3
"""The Qt window as a screen reader meets it, through AT-SPI, the Linux desktop's accessibility
interface: every control's role, name, description, label and focusability, read from the real
window on a private X server; then the window used through AT-SPI alone (paths typed with
EditableText, "Generar" and the message boxes' buttons pressed with their Action, "Salir" to
end it), checking that each change of the status and progress lines reaches AT-SPI as an
accessible-name change.

Run it in a D-Bus session of its own, as ctest does:
    dbus-run-session -- /usr/bin/python3 tests/ui/accessibility_check.py build/release/bin/zentil
Needs Xvfb, at-spi2-core and Debian's python3-gi with gir1.2-atspi-2.0 (scripts/install-deps.sh
test). Every wait has a limit; the whole check gives up after a minute and a half.
"""

import faulthandler
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time
import warnings

faulthandler.dump_traceback_later(90, exit=True)  # a hang ends the check, loudly

import gi  # noqa: E402

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# This libatspi marks get_action_name deprecated but has no successor for it yet.
warnings.filterwarnings("ignore", category=DeprecationWarning)

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SPECS = "Seleccione la carpeta de specs:"
DEST = "Seleccione la carpeta destino:"
IDLE = "Archivos procesados: 0"
FILES = 14  # one progress step at 10, then the final count

# Every control, in the window's order: (object name, role, name, description, the label that
# names it, takes the focus).
CONTROLS = [
    ("txtPath", "text", SPECS, "", "Label3", True),
    ("cmdSalir", "push button", "Salir", "", None, True),
    ("cmdGenerar", "push button", "Generar", "", None, True),
    ("cmdAbrir", "push button", "Elegir la carpeta de specs",
     "Abre el selector de carpetas para elegir la carpeta de los archivos de specs.", None, True),
    ("Label1", "label", "", "", None, False),
    ("Label2", "label", IDLE, "", None, False),
    ("Label3", "label", SPECS, "", None, False),
    ("Label4", "label", DEST, "", None, False),
    ("txtDest", "text", DEST, "", "Label4", True),
    ("CmdDest", "push button", "Elegir la carpeta destino",
     "Abre el selector de carpetas para elegir la carpeta destino, donde se escribe el informe "
     "KBReport.csv.", None, True),
]

failures = []


def check(condition, what):
    print(("ok      " if condition else "FAILED  ") + what, flush=True)
    if not condition:
        failures.append(what)


def pump(seconds):
    """Lets AT-SPI deliver its events for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(what, condition, seconds=15):
    """The condition's first true answer. An object that goes away while it is read (a message
    box closing) is no answer yet."""
    end = time.monotonic() + seconds
    error = None
    while time.monotonic() < end:
        try:
            result = condition()
        except GLib.GError as gone:
            result, error = None, gone
        if result:
            return result
        pump(0.1)
    raise SystemExit(f"FAILED  gave up after {seconds} s waiting for {what} (last error: {error})")


def start_x_server():
    """Xvfb on the first free display; returns the process once clients can connect. It must
    not reset when its last client leaves: the accessibility bus's launcher connects and leaves
    just before the program connects, which would then find the server resetting."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        display = reader.readline().strip()
    if not display:
        raise SystemExit("FAILED  Xvfb did not start")

    def answers():
        with socket.socket(socket.AF_UNIX) as probe:
            return probe.connect_ex(f"/tmp/.X11-unix/X{display}") == 0
    wait_for("the X server", answers, 10)
    os.environ["DISPLAY"] = ":" + display
    return server


def stop(process, group=False):
    """Ends a process (with its group), asking first: killed outright, the bus launcher would
    leave its bus daemon behind."""
    if process is None:
        return
    signal_to = (lambda number: os.killpg(process.pid, number)) if group else process.send_signal
    for number in (signal.SIGTERM, signal.SIGKILL):
        try:
            signal_to(number)
            process.wait(5)
            return
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass


def find_application(program):
    """The program's accessible application, once it is on the desktop."""
    def found():
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            application = desktop.get_child_at_index(i)
            if application is not None and application.get_name() == "Zentil":
                return application
        if program.poll() is not None:
            raise SystemExit(f"FAILED  the program ended with {program.returncode} before its window showed")
        return None
    return wait_for("the window on the AT-SPI desktop", found)


def children(accessible):
    """Its children now; one that went away meanwhile (a closed message box) is left out."""
    found = (accessible.get_child_at_index(i) for i in range(accessible.get_child_count()))
    return [child for child in found if child is not None]


def labelled_by(control, controls):
    for relation in control.get_relation_set():
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            target = relation.get_target(0)
            return next((name for name, other in controls.items() if other == target), "?")
    return None


def press(button):
    names = [Atspi.Action.get_action_name(button, i)
             for i in range(Atspi.Action.get_n_actions(button))]
    if "Press" not in names:
        raise SystemExit(f"FAILED  \"{button.get_name()}\" has no Press action: {names}")
    Atspi.Action.do_action(button, names.index("Press"))


def find_role(accessible, role):
    if accessible.get_role_name() == role:
        return accessible
    for child in children(accessible):
        found = find_role(child, role)
        if found is not None:
            return found
    return None


def message_boxes(application, window):
    """The alerts the program has open, each as (alert, the texts of its labels)."""
    boxes = []
    for top in children(application):
        if top != window and top.get_role_name() == "alert":
            texts = [c.get_name() for c in children(top) if c.get_role_name() == "label"]
            boxes.append((top, texts))
    return boxes


def make_specs(folder):
    for i in range(FILES):
        with open(os.path.join(folder, f"objeto{i:02}.spc"), "wb") as spec:
            spec.write(b"table_i\r\nattri_i(cliente,nombre)\r\nrule_i(total, 'suma')\r\n")


def main():
    program_path = sys.argv[1]
    Atspi.set_timeout(5000, 10000)  # a program that stops answering fails the call, not the check
    server = start_x_server()
    # In a process group of its own with the bus daemon it starts, so that both end together.
    launcher = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"], start_new_session=True,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    program = None
    try:
        time.sleep(0.5)  # the accessibility bus is announced on the session bus
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
        program = subprocess.Popen([program_path], env=environment, stdout=subprocess.DEVNULL)
        Atspi.init()
        application = find_application(program)
        window = wait_for("the main window", lambda: application.get_child_at_index(0))
        check(window.get_name() == "Zentil Counter", f"the window is named \"{window.get_name()}\"")
        found = wait_for("the ten controls", lambda: len(children(window)) == 10 and children(window))

        # The window's controls as a screen reader reads them, in one table.
        controls = {row[0]: control for row, control in zip(CONTROLS, found)}
        for (name, role, label, description, named_by, focusable), control in zip(CONTROLS, found):
            seen = (control.get_role_name(), control.get_name(), control.get_description(),
                    labelled_by(control, controls),
                    control.get_state_set().contains(Atspi.StateType.FOCUSABLE))
            expected = (role, label, description, named_by, focusable)
            check(seen == expected, f"{name}: {seen}" + ("" if seen == expected else f", expected {expected}"))

        # Announcements: every accessible-name change of the two lines the run sets.
        announced = {"Label1": 0, "Label2": 0}

        def on_name_change(event):
            for name in announced:
                if event.source == controls[name]:
                    announced[name] += 1
        listener = Atspi.EventListener.new(on_name_change)
        listener.register("object:property-change:accessible-name")

        with tempfile.TemporaryDirectory(prefix="zentil-a11y-") as folder:
            specs = os.path.join(folder, "specs")
            os.mkdir(specs)
            make_specs(specs)
            report = os.path.join(folder, "KBReport.csv")
            for box, text in (("txtPath", specs + "/"), ("txtDest", report)):
                Atspi.EditableText.set_text_contents(controls[box], text)
                typed = Atspi.Text.get_text(controls[box], 0, -1)
                check(typed == text, f"{box} takes \"{text}\" through AT-SPI")
            press(controls["cmdGenerar"])

            expected_messages = [f"Cantidad de archivos procesados: {FILES}", "Zentil de la KB: "]
            for i, message in enumerate(expected_messages):
                box, texts = wait_for(f"message box {i + 1}",
                                      lambda: next(iter(message_boxes(application, window)), None))
                check(any(t.startswith(message) for t in texts), f"message {i + 1} reads {texts}")
                if i == 0:
                    lines = (controls["Label1"].get_name(), controls["Label2"].get_name())
                    check(lines == ("", f"Archivos procesados: {FILES}"),
                          f"behind the first message the lines read {lines}")
                press(wait_for("the message's button", lambda: find_role(box, "push button")))
                wait_for(f"message box {i + 1} to close",
                         lambda: box not in [b for b, _ in message_boxes(application, window)])
            wait_for("the progress line at rest", lambda: controls["Label2"].get_name() == IDLE)
            pump(0.5)
            with open(report, "rb") as written:
                rows = written.read().count(b"\r\n")
            check(rows == FILES + 1, f"the report holds a header and {rows - 1} rows")

        # Label1: "Procesando archivos.." and then empty; Label2: 10, the final count, and 0.
        check(announced == {"Label1": 2, "Label2": 3},
              f"accessible-name changes announced: {announced}")
        listener.deregister("object:property-change:accessible-name")

        press(controls["cmdSalir"])
        try:
            code = program.wait(15)
        except subprocess.TimeoutExpired:
            code = None
        check(code == 0, f"\"Salir\" pressed through AT-SPI ends the program (exit status {code})")
    finally:
        stop(program)
        stop(launcher, group=True)
        stop(server)
    if failures:
        raise SystemExit(f"{len(failures)} checks failed")


if __name__ == "__main__":
    main()
