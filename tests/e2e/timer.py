#!/usr/bin/python3
"""The charge timer as a person uses it: Options > Timer from the keyboard, a charge of
one minute that completes at 60 s, the alert heard every second in a recording of the
sound card, silence once the window is closed, and Ready again when it is reopened."""

import math
import time

import e2e
from e2e import states, text

MAIN_TITLE = "Zelbor's Battery Tools"
PROMPT = "Please Enter Charge Time (Mins)"
RATE = e2e.RECORDING_RATE
WINDOW_S = 0.005
LOUD_DBFS = -30.0  # an alert is under way
QUIET_DBFS = -50.0  # nothing is playing
QUIET_BEFORE_S = 0.1  # an alert starts only after this much quiet
LISTEN_S = 5.0


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


def scenario(session):
    main_window = session.start_program()
    started = session.start_recording()

    window = open_timer_by_keyboard(session, main_window)
    entry = expect_ready(session, window)
    session.screenshot("timer-ready", window)

    session.type_text("1")
    session.key("Tab")
    button = session.find(window, role="push button", name="Charge Monitor")
    session.wait_until(lambda: "focused" in states(button), 5, '"Charge Monitor" focused')
    session.key("space")
    pressed = time.monotonic()
    session.find(window, role="label", name="Charge Time Remaining")
    assert "enabled" not in states(entry), "the entry stays editable while counting"
    assert text(entry) == "1" and window.get_name() == "Charge Timer"
    session.screenshot("timer-counting", window)

    session.wait_until(lambda: window.get_name() == "Charge Complete", 75,
                       'the title "Charge Complete"')
    completed = time.monotonic()
    e2e.log(f"completed {completed - pressed:.2f} s after the press")
    assert 59.5 <= completed - pressed <= 61.5, \
        f"a one-minute charge completed after {completed - pressed:.2f} s"
    assert text(entry) == "0", f"the entry reads {text(entry)!r} at completion"
    session.screenshot("timer-complete", window)

    time.sleep(LISTEN_S)
    session.record_loaded_files()
    session.close_window("Charge Complete")
    closed = time.monotonic()
    session.window_gone("Charge Complete")
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

    window = open_timer_by_keyboard(session, main_window)
    expect_ready(session, window)
    session.screenshot("timer-reopened", window)
    session.close_window("Charge Timer")
    session.window_gone("Charge Timer")
    session.click(session.find(main_window, role="menu item", name="Exit"))
    assert session.exit_status() == 0


if __name__ == "__main__":
    e2e.run(scenario)
