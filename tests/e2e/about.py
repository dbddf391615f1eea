#!/usr/bin/python3
"""The About window as a person uses it: it opens from the menu bar by mouse and by
keyboard and shows its texts and logo; Escape closes it whichever button has the focus;
Alt+S with no System Information program says so, and with one on PATH starts it."""

import os
import signal
import stat

import e2e
from e2e import extents, states

TITLE = "About Chargely"
TEXTS = ("Provided by", "Zelbor's Battery Calculator",
         "A simple timer and calculator to tell you how long to charge your battery and "
         "when it is fully charged.")
UNAVAILABLE = "System Information Is Unavailable At This Time"
# One of the programs the launcher looks for on PATH; a script stands in for it.
SYSTEM_INFORMATION = "hardinfo"
SYSTEM_FOLDERS = "/usr/local/bin:/usr/bin:/bin"


def open_about_by_mouse(session, main_window):
    session.click(session.find(main_window, role="menu item", name="About"))
    return session.window(TITLE)


def open_about_by_keyboard(session, main_window):
    """Alt selects Options, Right moves on to About, Return chooses it."""
    about = session.find(main_window, role="menu item", name="About")
    session.key("alt")
    session.key("Right")
    session.wait_until(lambda: "focused" in states(about), 5, "About to be selected")
    session.key("Return")
    return session.window(TITLE)


def expect_designed_content(session, window):
    for caption in TEXTS:
        session.find(window, role="label", name=caption)
    ok = session.find(window, role="push button", name="OK")
    session.find(window, role="push button", name="System Info...")
    session.wait_until(lambda: "focused" in states(ok), 5, '"OK" to hold the focus')
    logo = session.find(window, role="image")
    box = extents(logo)
    image = session.capture(box)
    colours = {image.pixel(x, y) for x in range(box.width) for y in range(box.height)}
    assert len(colours) >= 16, f"the logo shows only {len(colours)} colours"


def install_stand_in(folder, marker):
    """A System Information program that notes its process id, parent and arguments, then
    stays running for a while as a real one would."""
    os.makedirs(folder, exist_ok=True)
    program = os.path.join(folder, SYSTEM_INFORMATION)
    with open(program, "w") as script:
        script.write(f'#!/bin/sh\necho "$$ $PPID $#" >> "{marker}"\nexec sleep 30\n')
    os.chmod(program, os.stat(program).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)


def launches(marker):
    if not os.path.exists(marker):
        return []
    with open(marker) as noted:
        return [tuple(int(field) for field in line.split()) for line in noted]


def exit_program(session, main_window):
    session.click(session.find(main_window, role="menu item", name="Exit"))
    assert session.exit_status() == 0


def scenario(session):
    # No System Information program anywhere on PATH.
    empty = os.path.join(session.runtime, "empty")
    os.makedirs(empty)
    main_window = session.start_program(path=empty)

    window = open_about_by_mouse(session, main_window)
    expect_designed_content(session, window)
    session.screenshot("about", window)
    session.key("Escape")
    session.window_gone(TITLE)

    # Escape closes it also with the focus on "System Info...".
    window = open_about_by_keyboard(session, main_window)
    expect_designed_content(session, window)
    session.key("Tab")
    sysinfo = session.find(window, role="push button", name="System Info...")
    session.wait_until(lambda: "focused" in states(sysinfo), 5, '"System Info..." focused')
    session.key("Escape")
    session.window_gone(TITLE)

    window = open_about_by_keyboard(session, main_window)
    session.key("alt+s")
    box = session.window("Ampero")
    session.find(box, role="label", name=UNAVAILABLE)
    session.screenshot("system-information-unavailable", box)
    session.key("Return")
    session.window_gone("Ampero")
    # Back in the About window, "OK" still has the focus and Enter presses it.
    window = session.window(TITLE)
    ok = session.find(window, role="push button", name="OK")
    session.wait_until(lambda: "focused" in states(ok), 5, '"OK" focused')
    session.key("Return")
    session.window_gone(TITLE)
    exit_program(session, main_window)

    # A System Information program on PATH is started, and the About window stays open.
    folder = os.path.join(session.runtime, "tools")
    marker = os.path.join(session.runtime, "launched.txt")
    install_stand_in(folder, marker)
    main_window = session.start_program(path=f"{folder}:{SYSTEM_FOLDERS}")
    program = session.pid()
    window = open_about_by_mouse(session, main_window)
    session.key("alt+s")
    session.wait_until(lambda: launches(marker), 10, "the System Information program to start")
    (pid, parent, arguments), = launches(marker)
    assert parent == program, f"started by process {parent}, not by the program ({program})"
    assert arguments == 0, f"started with {arguments} arguments"
    assert os.path.exists(f"/proc/{pid}"), "the started program is not running"
    session.window(TITLE)
    assert not any(w.get_name() == "Ampero" for w in session.windows()), "a message box"
    session.screenshot("system-information-started", window)

    # With the focus moved on to "System Info...", Enter presses it rather than "OK".
    session.key("Tab")
    sysinfo = session.find(window, role="push button", name="System Info...")
    session.wait_until(lambda: "focused" in states(sysinfo), 5, '"System Info..." focused')
    session.key("Return")
    session.wait_until(lambda: len(launches(marker)) == 2, 10, "a second start")
    session.key("Escape")
    session.window_gone(TITLE)
    exit_program(session, main_window)
    for pid, _, _ in launches(marker):
        os.kill(pid, signal.SIGTERM)


if __name__ == "__main__":
    e2e.run(scenario)
