#!/usr/bin/python3
"""The program served headless over VNC (scripts/serve-vnc, what the run command does
without a display): the port answers with the RFB greeting on 127.0.0.1, refuses a
session without the password, can't be reached on any other address of this machine; the
X server refuses clients without the run's cookie, which no command line shows; a window
manager frames the program's windows, which open centred with their frames, and closes the
Charge Timer; sound goes to a private server; a second run takes the next display;
everything stops when the program ends or the script is terminated."""

import argparse
import os
import re
import signal
import socket
import subprocess
import sys
import time

from e2e import log

SERVE_VNC = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                         "serve-vnc")
SECURITY_NONE, SECURITY_VNC_AUTH = 1, 2


def receive(connection, size):
    data = b""
    while len(data) < size:
        chunk = connection.recv(size - len(data))
        if not chunk:
            break
        data += chunk
    return data


def handshake(port):
    """Opens an RFB 3.8 session up to the security types; returns the socket and types."""
    connection = socket.create_connection(("127.0.0.1", port), timeout=10)
    greeting = receive(connection, 12)
    assert re.fullmatch(rb"RFB \d{3}\.\d{3}\n", greeting), f"greeting {greeting!r}"
    connection.sendall(b"RFB 003.008\n")
    count = receive(connection, 1)
    assert count and count[0] > 0, f"no security types offered ({count!r})"
    return connection, set(receive(connection, count[0])), greeting


def security_result(connection):
    """0 means the session was accepted. A refused or dropped session reads as non-zero."""
    result = receive(connection, 4)
    return int.from_bytes(result, "big") if len(result) == 4 else -1


def other_addresses():
    """Every address of this machine except 127.0.0.1, and another loopback address."""
    addresses = {("127.0.0.2", socket.AF_INET, 0), ("::1", socket.AF_INET6, 0)}
    with open("/proc/net/fib_trie") as trie:
        lines = trie.read().splitlines()
    for previous, line in zip(lines, lines[1:]):
        if "/32 host LOCAL" in line:
            addresses.add((previous.split()[-1], socket.AF_INET, 0))
    if os.path.exists("/proc/net/if_inet6"):
        with open("/proc/net/if_inet6") as inet6:
            for line in inet6:
                hex_address, index, _, scope = line.split()[:4]
                address = socket.inet_ntop(socket.AF_INET6, bytes.fromhex(hex_address))
                scope_id = int(index, 16) if scope == "20" else 0  # link-local needs one
                addresses.add((address, socket.AF_INET6, scope_id))
    addresses.discard(("127.0.0.1", socket.AF_INET, 0))
    return sorted(addresses)


def reachable(address, family, scope_id, port):
    target = (address, port) if family == socket.AF_INET else (address, port, 0, scope_id)
    with socket.socket(family, socket.SOCK_STREAM) as probe:
        probe.settimeout(3)
        try:
            probe.connect(target)
        except OSError:
            return False
    return True


def wait_for(condition, what, timeout=30):
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        assert time.monotonic() < deadline, f"waited in vain for {what}"
        time.sleep(0.2)
    return result


def command_lines():
    """The command lines of every process, their arguments joined by blanks."""
    lines = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                lines.append(cmdline.read().replace(b"\0", b" ").decode(errors="replace"))
        except OSError:  # the process has just ended
            pass
    return lines


def children(pid):
    """The processes PID started: their ids and command lines."""
    listed = subprocess.run(["ps", "--ppid", str(pid), "-o", "pid=,args="],
                            capture_output=True, text=True).stdout
    return dict(line.split(None, 1) for line in listed.splitlines())


class Served:
    """One run of serve-vnc, read back from what it prints."""

    def __init__(self, program, env):
        self.process = subprocess.Popen([SERVE_VNC, program], env=env, text=True,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        printed = ""
        while not printed.endswith("Ctrl+C.\n") and self.process.poll() is None:
            printed += self.process.stdout.readline()
        print(printed, end="")
        found = re.search(r"127\.0\.0\.1:(\d+).*Password.*: (\S+)\n.*DISPLAY=:(\d+) "
                          r"XAUTHORITY=(\S+)", printed, re.S)
        assert found, "serve-vnc did not say where and how to connect"
        self.port, self.password, self.display = int(found[1]), found[2], int(found[3])
        self.env = dict(env, DISPLAY=f":{self.display}", XAUTHORITY=found[4])
        self.program = wait_for(lambda: next((pid for pid, command in children(
            self.process.pid).items() if command.startswith(program)), None), "the program")

    def x(self, *command, **kwargs):
        return subprocess.run(command, **{"env": self.env, **kwargs}, capture_output=True,
                              text=True)

    def windows(self, title):
        return self.x("xdotool", "search", "--onlyvisible", "--name", f"^{title}$").stdout.split()

    def assert_framed_and_centred(self, title):
        """The window manager gave TITLE a title bar, and the framed window opened centred
        on the screen, within 2 px."""
        window = wait_for(lambda: self.windows(title), title)[0]
        extents = self.x("xprop", "-id", window, "_NET_FRAME_EXTENTS").stdout
        left, right, top, bottom = map(int, re.findall(r"\d+", extents.split("=")[-1]))
        assert top > 0, f"{title}: {extents}"
        info = self.x("xwininfo", "-id", window).stdout
        x, y, width, height = map(int, re.findall(
            r"(?:Absolute upper-left [XY]|Width|Height):\s+(-?\d+)", info))
        centre = (x - left + (left + width + right) / 2, y - top + (top + height + bottom) / 2)
        assert abs(centre[0] - 512) <= 2 and abs(centre[1] - 384) <= 2, \
            f"{title}: framed window centred at {centre}"
        return window

    def open_timer(self, window):
        """Options > Timer from the keyboard: Alt selects Options, Down opens it on Timer."""
        self.x("xdotool", "windowactivate", "--sync", window, "sleep", "0.5", "key", "alt",
               "sleep", "0.5", "key", "Down", "sleep", "0.5", "key", "Return", check=True)

    def stop(self, pid):
        """Sends PID a SIGTERM; then nothing serve-vnc started is left running, listening
        or on disk."""
        started = children(self.process.pid)
        assert len(started) == 3, f"serve-vnc runs {started}"
        os.kill(int(pid), signal.SIGTERM)
        self.process.wait(timeout=30)
        assert not [pid for pid in started if os.path.exists(f"/proc/{pid}")], "left running"
        workdir = os.path.dirname(self.env["XAUTHORITY"])
        assert not [line for line in command_lines() if workdir in line], "audio left running"
        assert not reachable("127.0.0.1", socket.AF_INET, 0, self.port), "the port listens"
        for path in (f"/tmp/.X11-unix/X{self.display}", f"/tmp/.X{self.display}-lock",
                     os.path.dirname(self.env["XAUTHORITY"])):
            assert not os.path.exists(path), f"{path} is left behind"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    started = time.monotonic()

    env = {key: value for key, value in os.environ.items()
           if key not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}
    # An audio server that doesn't answer: serve-vnc starts a private one.
    env.update(LC_ALL="C.UTF-8", PULSE_SERVER="unix:/nonexistent")
    # Every xauth run notes its arguments, which must not hold the cookie.
    shim = os.path.join(os.path.abspath(args.artifacts), "xauth-shim")
    os.makedirs(shim, exist_ok=True)
    with open(os.path.join(shim, "xauth"), "w") as xauth:
        xauth.write(f'#!/bin/sh\necho "$@" >> {shim}/arguments\nexec /usr/bin/xauth "$@"\n')
    os.chmod(os.path.join(shim, "xauth"), 0o755)
    env["PATH"] = f"{shim}:{env['PATH']}"
    program = os.path.abspath(args.program)
    served, second = Served(program, env), None
    try:
        port = served.port
        assert len(served.password) == 8, "the password is not eight characters"
        assert served.x("xdpyinfo", env=dict(served.env, XAUTHORITY="/dev/null")) \
            .returncode != 0, "a client without the cookie was let in"
        cookie = served.x("xauth", "list").stdout.split()[-1]
        with open(os.path.join(shim, "arguments")) as arguments:
            assert cookie not in arguments.read(), "the cookie was on xauth's command line"
        assert not [line for line in command_lines() if cookie in line], "the cookie is shown"
        assert "window id" in served.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout, \
            "no window manager runs"
        with open(f"/proc/{served.program}/environ", "rb") as environ:
            sound = re.search(rb"(?:^|\0)PULSE_SERVER=([^\0]+)", environ.read())[1]
        assert served.x("pactl", "-s", sound, "info").returncode == 0, "no audio server for sound"

        # The window manager closes the Charge Timer; the main window takes the keyboard
        # again after that.
        main_window = served.assert_framed_and_centred("Zelbor's Battery Tools")
        # A result longer than its box, drawn with an ellipsis.
        served.x("xdotool", "windowactivate", "--sync", main_window, "type", "--delay", "50",
                 "700\t100\t ", check=True)
        time.sleep(0.5)
        served.x("import", "-window", "root", os.path.join(args.artifacts,
                 "00-long-result.png"), check=True)
        served.open_timer(main_window)
        served.assert_framed_and_centred("Charge Timer")
        served.x("import", "-window", "root", os.path.join(args.artifacts,
                 "01-served-over-vnc.png"), check=True)
        served.x("xdotool", "key", "alt+F4", check=True)
        wait_for(lambda: not served.windows("Charge Timer"), "the Charge Timer to close")
        served.open_timer(main_window)
        wait_for(lambda: served.windows("Charge Timer"), "the Charge Timer to reopen")

        connection, types, greeting = handshake(port)
        log(f"127.0.0.1:{port} greets with {greeting!r} and offers security types "
            f"{sorted(types)}")
        assert SECURITY_NONE not in types, "the server offers sessions without a password"
        assert SECURITY_VNC_AUTH in types
        # Asking for a session without authentication anyway is refused.
        connection.sendall(bytes([SECURITY_NONE]))
        assert security_result(connection) != 0, "a session without a password was accepted"
        connection.close()
        # A wrong password is refused as well.
        connection, _, _ = handshake(port)
        connection.sendall(bytes([SECURITY_VNC_AUTH]))
        challenge = receive(connection, 16)
        assert len(challenge) == 16, "no authentication challenge"
        connection.sendall(bytes(16))
        assert security_result(connection) != 0, "a wrong password was accepted"
        connection.close()

        for address, family, scope_id in other_addresses():
            assert not reachable(address, family, scope_id, port), \
                f"port {port} answers on {address}"
            log(f"port {port} is closed on {address}")

        # A second run while this one is up takes the next display; ending its program
        # stops it. Terminating the script, with the Charge Timer open, stops the first.
        second = Served(program, env)
        assert (second.display, second.port) != (served.display, port), "the display is shared"
        second.stop(second.program)
        served.stop(served.process.pid)
    finally:
        for run in (served, second):
            if run and run.process.poll() is None:
                run.process.terminate()
                run.process.wait(timeout=30)
    log(f"passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
