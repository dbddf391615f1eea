#!/usr/bin/python3
"""The program served headless over VNC (scripts/serve-vnc, what the run command does
without a display): the port answers with the RFB greeting on 127.0.0.1, refuses a
session without the password, can't be reached on any other address of this machine,
shows the program's window, and closes when the program ends."""

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


def end_program(serve_vnc_pid, program):
    """Ends the program that serve-vnc runs, as closing its window would."""
    try:
        with open(f"/proc/{serve_vnc_pid}/task/{serve_vnc_pid}/children") as listed:
            children = [int(child) for child in listed.read().split()]
    except OSError:
        return
    for child in children:
        with open(f"/proc/{child}/cmdline", "rb") as cmdline:
            if cmdline.read().split(b"\0")[0] == os.path.abspath(program).encode():
                os.kill(child, signal.SIGTERM)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    started = time.monotonic()

    env = {key: value for key, value in os.environ.items()
           if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["LC_ALL"] = "C.UTF-8"
    server = subprocess.Popen([SERVE_VNC, os.path.abspath(args.program)], env=env,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    try:
        printed = []
        for line in server.stdout:
            printed.append(line)
            if line.startswith("Password"):
                break
        print("".join(printed), end="")
        port_match = re.search(r"127\.0\.0\.1:(\d+)", "".join(printed))
        password = re.search(r"Password.*: (\S+)$", printed[-1] if printed else "")
        assert port_match and password, "serve-vnc did not say where and how to connect"
        port = int(port_match[1])
        display = f":{port - 5900}"
        assert len(password[1]) == 8, "the password is not eight characters"

        # The program's window appears on the served display.
        deadline = time.monotonic() + 30
        tree = ""
        while "Zelbor's Battery Tools" not in tree:
            assert time.monotonic() < deadline, "the program's window never appeared"
            time.sleep(0.2)
            tree = subprocess.run(["xwininfo", "-display", display, "-root", "-tree"],
                                  capture_output=True, text=True).stdout
        subprocess.run(["import", "-display", display, "-window", "root",
                        os.path.join(args.artifacts, "01-served-over-vnc.png")], check=True)

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

        # Ending the program stops the server.
        end_program(server.pid, args.program)
        server.wait(timeout=20)
        assert not reachable("127.0.0.1", socket.AF_INET, 0, port), \
            "the VNC server is still listening after the program ended"
    finally:
        if server.poll() is None:
            end_program(server.pid, args.program)
            server.wait(timeout=20)
    log(f"passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
