#!/usr/bin/python3
"""The charge timer as a person uses it: Options > Timer from the keyboard, a charge of
one minute that completes at 60 s behind another window, the alert heard every second in a
recording of the sound card, silence once the window is closed, and Ready again when it is
reopened; a second charge completes in front, and its alert meets a hung audio server."""

import math
import os
import signal
import subprocess
import threading
import time

import e2e
from dbusmock import MOCK_IFACE, DBusTestCase
from e2e import states, text

MAIN_TITLE = "Zelbor's Battery Tools"
PROMPT = "Please Enter Charge Time (Mins)"
RATE = e2e.RECORDING_RATE
WINDOW_S = 0.005
LOUD_DBFS = -30.0  # an alert is under way
QUIET_DBFS = -50.0  # nothing is playing
QUIET_BEFORE_S = 0.1  # an alert starts only after this much quiet
LISTEN_S = 5.0
REASON = "A charge timer is running"


def levels(samples):
    """(time in s, level in dBFS) of each 5 ms window of the recording."""
    size = int(RATE * WINDOW_S)
    for start in range(0, len(samples) - size + 1, size):
        power = sum(value * value for value in samples[start:start + size]) / size
        rms = math.sqrt(power) / 32768
        yield start / RATE, 20 * math.log10(rms) if rms > 0 else -120.0


def alert_onsets(samples):
    """Times at which an alert starts: loud after a stretch of quiet."""
    found, quiet_for, armed = [], 0.0, False
    for at, level in levels(samples):
        if level < QUIET_DBFS:
            quiet_for += WINDOW_S
            armed = armed or quiet_for >= QUIET_BEFORE_S
        else:
            quiet_for = 0.0
            if level >= LOUD_DBFS and armed:
                found.append(at)
                armed = False
    return found


def loudest(samples, start_s, end_s):
    within = [level for at, level in levels(samples) if start_s <= at < end_s]
    return max(within, default=-120.0)


def sample_lock(samples):
    """Appends (time, held) every 0.1 s: whether the program holds logind's sleep lock."""
    logind = DBusTestCase.get_dbus(system_bus=True).get_object("org.freedesktop.login1",
                                                                "/org/freedesktop/login1")
    try:
        while True:
            locks = logind.ListInhibitors(dbus_interface="org.freedesktop.login1.Manager")
            samples.append((time.monotonic(),
                            ("sleep", "Ampero", REASON, "block") in [tuple(i[:4]) for i in locks]))
            time.sleep(0.1)
    except Exception:  # the buses have gone with the scenario
        pass


def lock_figures(samples, pressed, closed):
    """Seconds to the lock, the samples (all held) until the close, seconds to its release."""
    time.sleep(1.2)
    taken = next(at for at, held in samples if at > pressed and held)
    released = next(at for at, held in samples if at > closed and not held)
    within = [held for at, held in samples if taken <= at <= closed]
    assert taken - pressed <= 1 and released - closed <= 1 and all(within), (taken, released)
    return taken - pressed, len(within), released - closed


def calls_to(service, path):
    mock = DBusTestCase.get_dbus().get_object(service, path)
    return [(name, list(args)) for _, name, args in mock.GetCalls(dbus_interface=MOCK_IFACE)]


def open_timer_by_keyboard(session, main_window):
    """Alt selects the menu bar's first entry, Options; Down opens it on Timer."""
    options = session.find(main_window, role="menu item", name="Options")
    session.key("alt")
    session.wait_until(lambda: "focused" in states(options), 5, "Options to be selected")
    session.key("Down")
    timer = session.find(main_window, role="menu item", name="Timer")
    session.wait_until(lambda: {"showing", "focused"} <= states(timer), 5,
                       "Options to open on Timer")
    session.key("Return")
    return session.window("Charge Timer")


def expect_ready(session, window):
    entry = session.find(window, role="text")
    session.find(window, role="label", name=PROMPT)
    assert window.get_name() == "Charge Timer"
    assert text(entry) == "", f"the entry holds {text(entry)!r}"
    assert {"enabled", "editable", "focused"} <= states(entry), sorted(states(entry))
    return entry


def start_countdown(session, window, entry):
    session.type_text("1")
    session.key("Tab")
    button = session.find(window, role="push button", name="Charge Monitor")
    session.wait_until(lambda: "focused" in states(button), 5, '"Charge Monitor" focused')
    session.key("space")
    pressed = time.monotonic()
    session.find(window, role="label", name="Charge Time Remaining")
    assert "enabled" not in states(entry), "the entry stays editable while counting"
    assert text(entry) == "1" and window.get_name() == "Charge Timer"
    return pressed


def wait_for_completion(session, window, pressed):
    session.wait_until(lambda: window.get_name() == "Charge Complete", 75,
                       'the title "Charge Complete"')
    completed = time.monotonic()
    e2e.log(f"completed {completed - pressed:.2f} s after the press")
    assert 59.5 <= completed - pressed <= 61.5, \
        f"a one-minute charge completed after {completed - pressed:.2f} s"
    return completed


def scenario(session):
    session.start_desktop_fakes()
    notifications = ("org.freedesktop.Notifications", "/org/freedesktop/Notifications")
    gnome = ("org.gnome.SessionManager", "/org/gnome/SessionManager")
    lock = []
    threading.Thread(target=sample_lock, args=(lock,), daemon=True).start()
    main_window = session.start_program()
    started = session.start_recording()

    window = open_timer_by_keyboard(session, main_window)
    entry = expect_ready(session, window)
    session.screenshot("timer-ready", window)
    assert not lock[-1][1] and not calls_to(*gnome), "a lock against suspend in Ready"
    pressed = start_countdown(session, window, entry)
    session.screenshot("timer-counting", window)

    # The user turns to other work, in a window that takes the focus.
    other_work = subprocess.Popen(["xmessage", "-title", "Other work", "Other work"])
    session.xdotool("search", "--sync", "--name", "^Other work$", "windowfocus", "--sync")
    session.wait_until(lambda: "active" not in states(window), 5, "the timer in the background")

    completed = wait_for_completion(session, window, pressed)
    assert text(entry) == "0", f"the entry reads {text(entry)!r} at completion"
    session.screenshot("timer-complete", window)
    notified = session.wait_until(lambda: calls_to(*notifications), 5, "a notification")
    app, _, icon, summary, body, _, hints, _ = notified[0][1]
    assert (len(notified), app, icon, summary) == (1, "Ampero", "org.ampero.Ampero",
                                                   "Charge Complete"), notified
    assert body and "\n" not in body and hints["suppress-sound"] and "sound-name" in hints
    streams = session.wait_until(lambda: subprocess.run(
        ["pactl", "list", "sink-inputs"], capture_output=True, text=True).stdout, 5, "a stream")
    assert 'media.role = "alarm"' in streams and 'event.id = "alarm-clock-elapsed"' in streams
    other_work.terminate()

    time.sleep(LISTEN_S)
    session.record_loaded_files()
    session.close_window("Charge Complete")
    closed = time.monotonic()
    session.window_gone("Charge Complete")
    e2e.log("logind's lock against sleep taken %.3f s after the press, held in all %d samples"
            " until the close, released %.3f s after it" % lock_figures(lock, pressed, closed))
    assert calls_to(*gnome) == [("Inhibit", ["Ampero", 0, REASON, 4]), ("Uninhibit", [7])]
    assert calls_to(*notifications)[1:] == [("CloseNotification", [1])]
    time.sleep(3)
    samples = session.stop_recording()

    # Times in the recording, which started at `started`.
    duration = len(samples) / RATE
    completed_at, closed_at = completed - started, closed - started
    onsets = alert_onsets(samples)
    e2e.log(f"recording {duration:.1f} s; completion at {completed_at:.2f} s, "
            f"closed at {closed_at:.2f} s; alerts at "
            + ", ".join(f"{at:.2f}" for at in onsets))
    assert not [at for at in onsets if at < completed_at - 0.2], "an alert before completion"
    heard = [at for at in onsets if at < closed_at + 0.3]
    assert len(heard) >= LISTEN_S - 1, f"only {len(heard)} alerts in {LISTEN_S:.0f} s"
    assert 0.5 < heard[0] - completed_at < 1.6, \
        f"the first alert came {heard[0] - completed_at:.2f} s after completion"
    gaps = [later - earlier for earlier, later in zip(heard, heard[1:])]
    assert all(0.85 <= gap <= 1.15 for gap in gaps), f"alerts apart by {gaps}"
    # Closing stops the alert: the last one rings out and then the sink stays silent.
    assert not [at for at in onsets if at > closed_at + 0.3], "an alert after closing"
    silent_from = closed_at + 1.0
    assert duration - silent_from > 1.5, f"the recording ends {duration:.2f} s in"
    level = loudest(samples, silent_from, duration)
    assert level < QUIET_DBFS, f"{level:.0f} dBFS after closing"

    # Ready again, and a charge completed in front: no notification. Then the audio server
    # hangs: the alert fails at once, the window closes at once and the program still ends.
    window = open_timer_by_keyboard(session, main_window)
    entry = expect_ready(session, window)
    session.screenshot("timer-reopened", window)
    pressed = start_countdown(session, window, entry)
    wait_for_completion(session, window, pressed)
    assert len(calls_to(*notifications)) == 2, "a notification with the timer in front"
    audio_server = session.service_pid("pulseaudio")
    os.kill(audio_server, signal.SIGSTOP)
    session.find(session.window("Ampero"), role="label", name="Error!")
    session.key("Return")
    session.close_window("Charge Complete")
    closed = time.monotonic()
    session.window_gone("Charge Complete", timeout=1)
    lock_figures(lock, pressed, closed)
    session.click(session.find(main_window, role="menu item", name="Exit"))
    assert session.exit_status() == 0
    os.kill(audio_server, signal.SIGCONT)

if __name__ == "__main__":
    e2e.run(scenario)
