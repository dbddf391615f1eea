"""Harness for the end-to-end scenarios: the real program on a private X server, driven
as a person drives it (xdotool keys and clicks) and read back through the accessibility
tree (AT-SPI).

A scenario is a function taking a Session. `run(scenario)` parses the command line
(--program PATH --artifacts DIR) and runs the scenario in a world of its own:

- outside: a private runtime directory (XDG_RUNTIME_DIR and HOME) and an Xvfb server at
  96 DPI, then the scenario script again under `dbus-run-session`;
- inside the private session bus: a PulseAudio server whose only sink is a null sink (its
  monitor can be recorded), the accessibility bus, then the scenario.

Every process started for the scenario carries the runtime directory in its environment;
whatever is still running when the scenario ends is found by that mark and stopped.
"""

import argparse
import array
import ctypes
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback
from dataclasses import dataclass

SESSION_MARK = "AMPERO_E2E_SESSION"
PYTHON = "/usr/bin/python3"  # the system interpreter, which has the AT-SPI bindings
SINK = "ampero_e2e"
PULSE_SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                            "pulse-server")
RECORDING_RATE = 8000
SCREEN = (1024, 768)
SCENARIO_TIMEOUT = 240


def log(message):
    print(f"[{time.strftime('%H:%M:%S')}] {message}", flush=True)


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the program to drive")
    parser.add_argument("--artifacts", required=True, help="where screenshots and logs go")
    return parser.parse_args()


def run(scenario):
    """Runs SCENARIO in its own X server, session bus, audio server and accessibility bus."""
    args = parse_args()
    if os.environ.get(SESSION_MARK):
        sys.exit(_run_inside(scenario, args))
    sys.exit(_run_outside(args))


# --- outside the session bus ------------------------------------------------------------


def _start_xvfb(log_file):
    """Starts Xvfb on a free display number; numbers well above those other tools pick
    first keep clear of servers that come and go beside this one."""
    candidates = [number for number in range(400, 1000)
                  if not os.path.exists(f"/tmp/.X{number}-lock")
                  and not os.path.exists(f"/tmp/.X11-unix/X{number}")]
    for number in random.sample(candidates, 10):
        # Without -noreset the server resets whenever its last client leaves, and a client
        # that connects meanwhile is turned away.
        server = subprocess.Popen(
            ["Xvfb", f":{number}", "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-dpi", "96",
             "-nolisten", "tcp", "-noreset"], stdout=log_file, stderr=log_file)
        deadline = time.monotonic() + 20
        while server.poll() is None and time.monotonic() < deadline:
            if os.path.exists(f"/tmp/.X11-unix/X{number}") and subprocess.run(
                    ["xdpyinfo", "-display", f":{number}"], capture_output=True).returncode == 0:
                return server, f":{number}"
            time.sleep(0.1)
        server.kill()
        server.wait()
    raise RuntimeError("could not start Xvfb")


def _marked_processes(mark):
    """Processes whose environment carries this scenario's session mark."""
    needle = f"{SESSION_MARK}={mark}".encode() + b"\0"
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as environ:
                if needle in environ.read():
                    found.append(int(entry))
        except OSError:
            continue
    return found


def _stop_marked_processes(mark):
    deadline = time.monotonic() + 3
    while _marked_processes(mark) and time.monotonic() < deadline:
        time.sleep(0.1)  # the accessibility daemons leave by themselves once the bus is gone
    for signal_number in (signal.SIGTERM, signal.SIGKILL):
        pids = _marked_processes(mark)
        for pid in pids:
            try:
                os.kill(pid, signal_number)
            except ProcessLookupError:
                pass
        if pids:
            log(f"stopped left-over processes {pids}")
            time.sleep(0.5)


def _run_outside(args):
    artifacts = os.path.abspath(args.artifacts)
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)
    runtime = tempfile.mkdtemp(prefix="ampero-e2e-")
    os.chmod(runtime, 0o700)
    home = os.path.join(runtime, "home")
    os.mkdir(home)
    status = 1
    with open(os.path.join(artifacts, "xvfb.log"), "wb") as xvfb_log:
        server, display = _start_xvfb(xvfb_log)
        try:
            env = {key: value for key, value in os.environ.items()
                   if key not in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                                  "AT_SPI_BUS_ADDRESS", "PULSE_SERVER", "XAUTHORITY",
                                  "SESSION_MANAGER", "QT_QPA_PLATFORM")}
            env.update({SESSION_MARK: runtime, "DISPLAY": display, "XDG_RUNTIME_DIR": runtime,
                        "HOME": home, "TMPDIR": runtime, "LC_ALL": "C.UTF-8", "NO_AT_BRIDGE": "0"})
            command = ["dbus-run-session", "--", PYTHON, os.path.abspath(sys.argv[0]),
                       "--program", args.program, "--artifacts", artifacts]
            session = subprocess.Popen(command, env=env, start_new_session=True)
            try:
                status = session.wait(timeout=SCENARIO_TIMEOUT)
            except subprocess.TimeoutExpired:
                log(f"scenario still running after {SCENARIO_TIMEOUT} s, stopping it")
                os.killpg(session.pid, signal.SIGTERM)
                session.wait()
                status = 1
        finally:
            _stop_marked_processes(runtime)
            server.terminate()
            server.wait()
            shutil.rmtree(runtime, ignore_errors=True)
    return status


# --- inside the session bus -------------------------------------------------------------


def _run_inside(scenario, args):
    session = Session(os.path.abspath(args.program), args.artifacts)
    started = time.monotonic()
    try:
        session.start_services()
        scenario(session)
    except Exception:  # a failed check or a broken step: report it, save the screen
        traceback.print_exc()
        session.screenshot("failure")
        log(f"FAILED after {time.monotonic() - started:.1f} s")
        return 1
    finally:
        session.close()
    log(f"passed in {time.monotonic() - started:.1f} s; screenshots in {session.artifacts}")
    return 0


@dataclass(frozen=True)
class Rect:
    x: int
    y: int
    width: int
    height: int

    @property
    def right(self):
        return self.x + self.width

    @property
    def bottom(self):
        return self.y + self.height

    @property
    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2

    def contains(self, other):
        return (self.x <= other.x and self.y <= other.y and other.right <= self.right
                and other.bottom <= self.bottom)


class Image:
    """An RGB screen capture, read from ImageMagick's PPM output."""

    def __init__(self, data):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        if header is None:
            raise ValueError("not an 8-bit PPM image")
        self.width, self.height = int(header[1]), int(header[2])
        self.pixels = data[header.end():header.end() + 3 * self.width * self.height]

    def pixel(self, x, y):
        offset = 3 * (y * self.width + x)
        return tuple(self.pixels[offset:offset + 3])


class Session:
    """One scenario's world: the services it runs in and the program under test."""

    def __init__(self, program, artifacts):
        self.program = program
        self.artifacts = os.path.abspath(artifacts)
        self.display = os.environ["DISPLAY"]
        self.runtime = os.environ["XDG_RUNTIME_DIR"]
        self._services = []
        self._process = None
        self._recorder = None
        self._shots = 0
        self._atspi = None
        self._loaded_files = set()

    # services

    def _spawn(self, command, log_name, **kwargs):
        log_file = open(os.path.join(self.artifacts, log_name), "ab")
        return subprocess.Popen(command, stdout=log_file, stderr=subprocess.STDOUT, **kwargs)

    def start_services(self):
        # Its socket is where clients look by default: XDG_RUNTIME_DIR/pulse/native.
        subprocess.run([PULSE_SERVER, "start", os.path.join(self.runtime, "pulse"), SINK,
                        str(os.getpid())], check=True)
        # The accessibility bus must be up before the program starts, or the program never
        # registers with it.
        subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                        "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                       check=True, capture_output=True, timeout=20)
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
        self._atspi = Atspi

    def start_desktop_fakes(self):
        """Starts stand-ins that log the calls made to them (python-dbusmock): logind on a
        private system bus, a notification server and GNOME's session manager."""
        from dbusmock import MOCK_IFACE, DBusTestCase
        DBusTestCase.start_system_bus()
        with open(os.path.join(self.artifacts, "dbus-fakes.log"), "ab") as fakes_log:
            self._services += [DBusTestCase.spawn_server_template(template, stdout=fakes_log)[0]
                               for template in ("logind", "notification_daemon")]
            self._services.append(DBusTestCase.spawn_server(
                "org.gnome.SessionManager", "/org/gnome/SessionManager",
                "org.gnome.SessionManager", stdout=fakes_log))
        DBusTestCase.get_dbus().get_object(
            "org.gnome.SessionManager", "/org/gnome/SessionManager").AddMethods(
            "", [("Inhibit", "susu", "u", "ret = 7"), ("Uninhibit", "u", "", "")],
            dbus_interface=MOCK_IFACE)

    def service_pid(self, name):
        """The process id of the scenario's service with that program name."""
        return next(pid for pid in _marked_processes(os.environ[SESSION_MARK])
                    if open(f"/proc/{pid}/comm").read().strip() == name)

    def close(self):
        self.stop_recording()
        self.record_loaded_files()
        with open(os.path.join(self.artifacts, "loaded-files.txt"), "w") as listed:
            listed.write("".join(f"{path}\n" for path in sorted(self._loaded_files)))
        if self._process and self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        subprocess.run([PULSE_SERVER, "stop", os.path.join(self.runtime, "pulse")])
        for service in reversed(self._services):
            service.terminate()
            try:
                service.wait(timeout=5)
            except subprocess.TimeoutExpired:
                service.kill()
                service.wait()

    # the program

    def start_program(self, path=None):
        """Starts the program, with PATH set to PATH if given, and waits for its main
        window; returns that window."""
        log(f"starting {self.program}")
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if path is not None:
            env["PATH"] = path
        self.record_loaded_files()
        self._process = self._spawn([self.program], "program.log", env=env)
        return self.window("Zelbor's Battery Tools", timeout=30)

    def pid(self):
        return self._process.pid

    def record_loaded_files(self):
        """Notes the files mapped into the program: its libraries, plugins and fonts."""
        if self._process is None or self._process.poll() is not None:
            return
        try:
            with open(f"/proc/{self._process.pid}/maps") as maps:
                for line in maps:
                    fields = line.split(maxsplit=5)
                    if len(fields) == 6 and fields[5].startswith("/") \
                            and not fields[5].endswith(" (deleted)\n"):
                        self._loaded_files.add(fields[5].strip())
        except OSError:  # the program has just ended
            pass

    def exit_status(self, timeout=10):
        try:
            return self._process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program is still running after {timeout} s")

    def assert_running(self):
        status = self._process.poll()
        assert status is None, f"the program ended with status {status}"

    # waiting

    def wait_until(self, condition, timeout, what):
        deadline = time.monotonic() + timeout
        while True:
            try:
                value = condition()
            except Exception:  # objects vanish and reappear while windows change
                value = None
            if value:
                return value
            if time.monotonic() > deadline:
                raise AssertionError(f"timed out after {timeout} s waiting for {what}")
            time.sleep(0.1)

    # the accessibility tree

    def application(self):
        desktop = self._atspi.get_desktop(0)
        for index in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(index)
            if app is not None and app.get_process_id() == self._process.pid:
                # Read states, names and texts afresh each time rather than from the cache.
                app.set_cache_mask(self._atspi.Cache.NONE)
                app.clear_cache()
                return app
        return None

    def windows(self):
        app = self.application()
        if app is None:
            return []
        found = []
        for index in range(app.get_child_count()):
            child = app.get_child_at_index(index)
            if child is not None and "showing" in states(child):
                found.append(child)
        return found

    def window(self, title, timeout=10):
        """Waits for the program's window titled TITLE and makes sure it has the keyboard
        focus, as a window manager would give it."""
        window = self.wait_until(
            lambda: next((w for w in self.windows() if w.get_name() == title), None),
            timeout, f'a window titled "{title}"')
        if "active" not in states(window):
            self.focus_x_window(title)
            self.wait_until(lambda: "active" in states(window), 5, f'"{title}" to be active')
        self.record_loaded_files()
        return window

    def x_window(self, title):
        """The X window id of the program's visible window titled TITLE."""
        listed = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                 str(self._process.pid)], capture_output=True, text=True)
        for window_id in listed.stdout.split():
            name = subprocess.run(["xdotool", "getwindowname", window_id],
                                  capture_output=True, text=True).stdout.rstrip("\n")
            if name == title:
                return int(window_id)
        raise AssertionError(f'no X window titled "{title}"')

    def focus_x_window(self, title):
        """Gives the keyboard focus to the program's X window titled TITLE. There is no
        window manager, so windows have no frames and are focused directly."""
        self.xdotool("windowfocus", "--sync", str(self.x_window(title)))

    def window_gone(self, title, timeout=10):
        """Waits for the window titled TITLE to close, then gives the focus back to the
        window under it, as a window manager would."""
        self.wait_until(lambda: all(w.get_name() != title for w in self.windows()),
                        timeout, f'the window "{title}" to close')
        remaining = self.windows()
        if remaining and not any("active" in states(w) for w in remaining):
            self.window(remaining[-1].get_name())

    def find(self, root, role=None, name=None, description=None, timeout=5):
        what = " ".join(f"{key}={value!r}" for key, value in
                        (("role", role), ("name", name), ("description", description)) if value)
        return self.wait_until(lambda: next(find_all(root, role, name, description), None),
                               timeout, what)

    def close_window(self, title):
        """Asks the program's window titled TITLE to close, as its close button would: a
        window manager sends it WM_DELETE_WINDOW."""
        send_delete_window(self.display, self.x_window(title))

    # input

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], check=True, capture_output=True, timeout=20)

    def click(self, accessible):
        x, y = extents(accessible).centre
        self.xdotool("mousemove", "--sync", str(x), str(y), "click", "1")

    def key(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", "40", "--", text)

    # sound

    def start_recording(self):
        """Records what is played into the null sink (mono, 16 bit, RECORDING_RATE) and
        returns the monotonic time of the recording's first sample. The server delivers
        the first data a while after the recorder connects, and from then on as it plays."""
        self._recorder = subprocess.Popen(
            ["parec", f"--device={SINK}.monitor", "--raw", "--format=s16le",
             f"--rate={RECORDING_RATE}", "--channels=1", "--latency-msec=20"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self._recorded = bytearray()
        self._recording_started = None

        def read():
            while chunk := self._recorder.stdout.read1(4096):
                if self._recording_started is None:
                    self._recording_started = \
                        time.monotonic() - len(chunk) / 2 / RECORDING_RATE
                self._recorded += chunk

        self._reader = threading.Thread(target=read, daemon=True)
        self._reader.start()
        self.wait_until(lambda: self._recording_started is not None, 10,
                        "the recording to start")
        return self._recording_started

    def stop_recording(self):
        """Stops the recording, saves it among the artifacts and returns its samples."""
        if self._recorder is None:
            return None
        self._recorder.terminate()
        self._recorder.wait()
        self._reader.join()
        self._recorder = None
        with open(os.path.join(self.artifacts, "recording.raw"), "wb") as raw:
            raw.write(self._recorded)
        samples = array.array("h")
        samples.frombytes(self._recorded[:len(self._recorded) // 2 * 2])
        if sys.byteorder != "little":
            samples.byteswap()
        return samples

    # screenshots

    def capture(self, rect=None):
        rect = rect or Rect(0, 0, *SCREEN)
        data = subprocess.run(
            ["import", "-display", self.display, "-window", "root", "-crop",
             f"{rect.width}x{rect.height}+{rect.x}+{rect.y}", "+repage", "-depth", "8", "ppm:-"],
            check=True, capture_output=True, timeout=30).stdout
        return Image(data)

    def screenshot(self, state, window=None):
        """Saves the screen, or WINDOW's part of it, as NN-STATE.png among the artifacts."""
        self._shots += 1
        path = os.path.join(self.artifacts, f"{self._shots:02d}-{state}.png")
        crop = []
        if window is not None:
            rect = extents(window)
            crop = ["-crop", f"{rect.width}x{rect.height}+{rect.x}+{rect.y}", "+repage"]
        try:
            subprocess.run(["import", "-display", self.display, "-window", "root", *crop, path],
                           check=True, capture_output=True, timeout=30)
        except (subprocess.SubprocessError, OSError) as error:
            log(f"screenshot {path} failed: {error}")
        return path


# --- X11 -------------------------------------------------------------------------------


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def send_delete_window(display_name, window):
    """Sends WINDOW the WM_DELETE_WINDOW message, which is how a window manager passes on a
    click on the close button. xdotool of this vintage can't."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_Event)]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(display_name.encode())
    if not display:
        raise RuntimeError(f"cannot open display {display_name}")
    try:
        event = _Event()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", False)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", False)
        if not x11.XSendEvent(display, window, False, 0, ctypes.byref(event)):
            raise RuntimeError("XSendEvent failed")
        x11.XFlush(display)
    finally:
        x11.XCloseDisplay(display)


# --- reading accessibles ----------------------------------------------------------------


def states(accessible):
    return {state.value_nick for state in accessible.get_state_set().get_states()}


def extents(accessible):
    from gi.repository import Atspi
    box = accessible.get_extents(Atspi.CoordType.SCREEN)
    return Rect(box.x, box.y, box.width, box.height)


def children(accessible):
    for index in range(accessible.get_child_count()):
        child = accessible.get_child_at_index(index)
        if child is not None:
            yield child


def walk(accessible):
    yield accessible
    for child in children(accessible):
        yield from walk(child)


def find_all(root, role=None, name=None, description=None):
    for accessible in walk(root):
        if ((role is None or accessible.get_role_name() == role)
                and (name is None or accessible.get_name() == name)
                and (description is None or accessible.get_description() == description)):
            yield accessible


def text(accessible):
    """What a control shows: an edit box's text, otherwise its accessible name."""
    if "Text" in accessible.get_interfaces():
        from gi.repository import Atspi
        return Atspi.Text.get_text(accessible, 0, -1)
    return accessible.get_name()


def describe(accessible):
    return f"{accessible.get_role_name()} {accessible.get_name()!r} at {extents(accessible)}"
