#!/usr/bin/python3
"""The charge-time calculator used as a person uses it: typing into the boxes with Tab
between them, pressing "Calculate" by mouse and by keyboard, reading the result, meeting
the error box for an empty entry and a zero output, and leaving through "Exit"."""

import e2e
from e2e import states, text

MAIN_TITLE = "Zelbor's Battery Tools"


class Calculator:
    def __init__(self, session, window):
        self.session = session
        self.window = window
        self.output = session.find(window, role="text", name="Charger Output (MaH)")
        self.capacity = session.find(window, role="text", name="Battery Capacity (MaH)")
        # The result label is named by its text; its description tells what it holds.
        self.result = session.find(window, role="label", description="Charge Time (Mins)")
        self.calculate = session.find(window, role="push button", name="Calculate")

    def focused(self, control):
        return "focused" in states(control)

    def expect_focus(self, control, what):
        self.session.wait_until(lambda: self.focused(control), 5, f"the focus in {what}")

    def expect_entries(self, output, capacity):
        self.session.wait_until(
            lambda: (text(self.output), text(self.capacity)) == (output, capacity), 5,
            f"the entries to read {output!r} and {capacity!r}")

    def expect_result(self, expected):
        self.session.wait_until(lambda: self.result.get_name() == expected, 5,
                                f"the charge time to read {expected!r}")

    def enter_from_calculate(self, output, capacity):
        """With the focus on "Calculate", Tab round to the boxes and retype both."""
        session = self.session
        session.key("Tab")
        self.expect_focus(self.output, "the charger output box")
        session.key("ctrl+a", "BackSpace")
        if output:
            session.type_text(output)
        session.key("Tab")
        self.expect_focus(self.capacity, "the battery capacity box")
        session.key("ctrl+a", "BackSpace")
        if capacity:
            session.type_text(capacity)
        self.expect_entries(output, capacity)

    def press_calculate_by_keyboard(self):
        self.session.key("Tab")
        self.expect_focus(self.calculate, '"Calculate"')
        self.session.key("space")


def expect_error_box(session, number, description):
    box = session.window("Ampero")
    message = f"Run-time error '{number}':\n\n{description}"
    session.find(box, role="label", name=message)
    return box


def scenario(session):
    window = session.start_program()
    calc = Calculator(session, window)
    session.screenshot("main-window", window)

    # The focus starts in the charger output box; Tab moves to the capacity box.
    calc.expect_focus(calc.output, "the charger output box at start")
    session.type_text("300")
    session.key("Tab")
    calc.expect_focus(calc.capacity, "the battery capacity box")
    session.type_text("900")
    calc.expect_entries("300", "900")
    assert calc.result.get_name() != "180"

    session.click(calc.calculate)
    calc.expect_result("180")
    session.screenshot("calculated-by-mouse", window)

    calc.enter_from_calculate("200", "500")
    calc.press_calculate_by_keyboard()
    calc.expect_result("150")

    # "Calculate" is not the default button: Enter in a box calculates nothing.
    calc.enter_from_calculate("700", "100")
    session.key("Return")
    calc.press_calculate_by_keyboard()
    calc.expect_result("8.57142857142857")
    session.screenshot("calculated-by-keyboard", window)

    # An empty box: the conversion error is reported, the result stays, the program runs on.
    calc.enter_from_calculate("", "100")
    calc.press_calculate_by_keyboard()
    box = expect_error_box(session, 13, "Type mismatch")
    session.screenshot("type-mismatch", box)
    assert "focusable" in states(calc.calculate)
    session.key("Return")
    session.window_gone("Ampero")
    session.assert_running()
    calc.expect_result("8.57142857142857")

    # A zero output: division by zero, closed with the mouse this time.
    calc.expect_focus(calc.calculate, '"Calculate" after the message box')
    calc.enter_from_calculate("0", "100")
    calc.press_calculate_by_keyboard()
    box = expect_error_box(session, 11, "Division by zero")
    session.screenshot("division-by-zero", box)
    session.click(session.find(box, role="push button", name="OK"))
    session.window_gone("Ampero")
    session.assert_running()
    calc.expect_result("8.57142857142857")

    # The entries still work after the errors.
    calc.enter_from_calculate("50", "-100")
    calc.press_calculate_by_keyboard()
    calc.expect_result("-120")
    session.screenshot("after-errors", window)

    session.click(session.find(window, role="menu item", name="Exit"))
    status = session.exit_status()
    assert status == 0, f"Exit ended the program with status {status}"


if __name__ == "__main__":
    e2e.run(scenario)
