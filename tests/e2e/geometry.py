#!/usr/bin/python3
"""Each window as it appears on a 96 DPI screen: its client area and every control sit at
the designed twips (15 twips to a pixel), the window is centred, and no caption is clipped
by its box."""

import e2e
from e2e import Rect, extents, text

TWIPS_PER_PIXEL = 15

# Controls by role and accessible name (or description, for an output label, whose caption
# is checked where the scenario writes one), with the designed rectangle in twips relative
# to the client area.
FORM1 = {
    "title": "Zelbor's Battery Tools",
    "client": (3495, 2145),
    "controls": [
        ("panel", "Chargely", None, (120, 120, 3255, 1935)),
        ("text", "Charger Output (MaH)", None, (120 + 240, 120 + 360, 975, 285)),
        ("label", "Charger Output (MaH)", None, (120 + 1320, 120 + 360, 1695, 255)),
        ("text", "Battery Capacity (MaH)", None, (120 + 240, 120 + 720, 975, 285)),
        ("label", "Battery Capacity (MaH)", None, (120 + 1320, 120 + 720, 1695, 255)),
        ("label", None, "Charge Time (Mins)", (120 + 240, 120 + 1080, 975, 255)),
        ("label", "Charge Time (Mins)", None, (120 + 1320, 120 + 1080, 1695, 255)),
        ("push button", "Calculate", None, (120 + 240, 120 + 1440, 2775, 255)),
    ],
}

FORM2 = {
    "title": "Charge Timer",
    "client": (4080, 1395),
    "controls": [
        ("panel", "Timer", None, (120, 120, 3855, 1215)),
        ("text", "Please Enter Charge Time (Mins)", None, (120 + 120, 120 + 360, 975, 285)),
        ("label", "Please Enter Charge Time (Mins)", None, (120 + 1200, 120 + 360, 2535, 255)),
        ("push button", "Charge Monitor", None, (120 + 120, 120 + 720, 3615, 255)),
    ],
}

ABOUT = {
    "title": "About Chargely",
    "client": (4080, 2805),
    "controls": [
        ("label", "Provided by", None, (1080, 0, 1455, 345)),
        ("image", None, None, (1200, 360, 1320, 465)),
        ("label", "Zelbor's Battery Calculator", None, (600, 840, 3045, 480)),
        ("label", "A simple timer and calculator to tell you how long to charge your battery "
         "and when it is fully charged.", None, (240, 1320, 3645, 930)),
        ("push button", "OK", None, (480, 2400, 1260, 345)),
        ("push button", "System Info...", None, (2280, 2400, 1245, 345)),
    ],
}
# The separator above the About window's buttons: a grey line from x 90 twips, and a
# white one two pixels wide from x 105 over it, both at y 2280 and ending at x 3960.
SEPARATOR_Y, GREY_FROM, WHITE_FROM, LINES_TO = 2280, 90, 105, 3960

INK = 90  # a pixel this dark (all channels) is part of a glyph, not a border or background


def pixels(twips):
    return round(twips / TWIPS_PER_PIXEL)


def ink_box(image, rect):
    """The bounding box, relative to RECT, of the glyph pixels inside RECT, or None."""
    columns, rows = [], []
    for y in range(rect.y, rect.bottom):
        for x in range(rect.x, rect.right):
            if max(image.pixel(x, y)) < INK:
                columns.append(x)
                rows.append(y)
    if not columns:
        return None
    return Rect(min(columns) - rect.x, min(rows) - rect.y,
                max(columns) - min(columns) + 1, max(rows) - min(rows) + 1)


def assert_unclipped(image, rect, what, inset=0, centred=False):
    """A caption clipped by its box leaves glyph pixels on the box's edge; a caption that
    fits leaves a clear margin. A left-aligned caption may start right at the left edge.
    INSET skips a border drawn inside the box."""
    inner = Rect(rect.x + inset, rect.y + inset, rect.width - 2 * inset,
                 rect.height - 2 * inset)
    ink = ink_box(image, inner)
    assert ink is not None, f"{what}: no caption drawn in {inner}"
    assert (ink.x > 0 or not centred) and ink.y > 0 and ink.right < inner.width \
        and ink.bottom < inner.height, \
        f"{what}: caption {ink} touches the edge of its {inner.width}x{inner.height} box"
    return ink


def client_area(window):
    """The window's extents below its menu bar, if it has one."""
    box = extents(window)
    menu_bars = list(e2e.find_all(window, role="menu bar"))
    if not menu_bars:
        return box
    menu = extents(menu_bars[0])
    assert (menu.x, menu.y, menu.width) == (box.x, box.y, box.width), \
        f"menu bar {menu} does not span the top of the window {box}"
    return Rect(box.x, menu.bottom, box.width, box.bottom - menu.bottom)


def check_design(session, window, design):
    title = design["title"]
    client = client_area(window)
    width, height = (pixels(value) for value in design["client"])
    assert (client.width, client.height) == (width, height), \
        f"{title}: client area {client.width}x{client.height}, designed {width}x{height}"

    box = extents(window)
    for offset, room, axis in ((box.x, e2e.SCREEN[0] - box.width, "x"),
                               (box.y, e2e.SCREEN[1] - box.height, "y")):
        assert abs(offset - room / 2) <= 1, f"{title}: not centred in {axis} ({offset})"

    image = session.capture()
    for role, name, description, (left, top, w, h) in design["controls"]:
        label = name or description or ""
        what = f"{title}: {role} {label if len(label) < 40 else label[:36] + '...'!r}"
        control = session.find(window, role=role, name=name, description=description)
        found = extents(control)
        expected = Rect(client.x + pixels(left), client.y + pixels(top), pixels(w), pixels(h))
        assert found == expected, f"{what} at {found}, designed {expected}"
        if role == "label" and description is None:
            ink = assert_unclipped(image, found, what)
            e2e.log(f"{what}: caption {ink.width}x{ink.height} px in {found.width}x{found.height}")
        elif role == "push button":
            assert_unclipped(image, found, what, inset=2, centred=True)
        elif role == "text" and text(control):
            assert_text_inside(control, found, what)
        elif role == "panel":
            title_strip = Rect(found.x, found.y, found.width, 16)
            assert_unclipped(image, title_strip, f"{what} title")

    menu_bars = list(e2e.find_all(window, role="menu bar"))
    for menu_bar in menu_bars:
        bar = extents(menu_bar)
        for item in e2e.children(menu_bar):
            assert bar.contains(extents(item)), \
                f"{title}: menu entry {item.get_name()!r} at {extents(item)} outside {bar}"


def assert_text_inside(control, box, what):
    from gi.repository import Atspi
    length = Atspi.Text.get_character_count(control)
    shown = Atspi.Text.get_range_extents(control, 0, length, Atspi.CoordType.SCREEN)
    shown = Rect(shown.x, shown.y, shown.width, shown.height)
    assert box.contains(shown), f"{what}: text extents {shown} leave the box {box}"


def scenario(session):
    window = session.start_program()
    session.screenshot("main-window", window)
    check_design(session, window, FORM1)

    # The results the calculator writes for everyday entries fit the result box too.
    output = session.find(window, role="text", name="Charger Output (MaH)")
    capacity = session.find(window, role="text", name="Battery Capacity (MaH)")
    result = session.find(window, role="label", description="Charge Time (Mins)")
    calculate = session.find(window, role="push button", name="Calculate")
    for entries, expected in ((("50", "-100"), "-120"), (("300", "900"), "180"),
                              (("3", "1000"), "20000")):
        for box, entry in zip((output, capacity), entries):
            session.click(box)
            session.key("ctrl+a", "BackSpace")
            session.type_text(entry)
        session.click(calculate)
        session.wait_until(lambda: result.get_name() == expected, 5, f"the result {expected}")
        assert_unclipped(session.capture(), extents(result), f"result {expected}")
    session.screenshot("main-window-result", window)

    # The charge timer, opened with the mouse; its label's second caption fits too.
    session.click(session.find(window, role="menu item", name="Options"))
    session.click(session.find(window, role="menu item", name="Timer"))
    timer = session.window(FORM2["title"])
    session.screenshot("timer-window", timer)
    check_design(session, timer, FORM2)
    session.type_text("5")
    session.click(session.find(timer, role="push button", name="Charge Monitor"))
    counting = session.find(timer, role="label", name="Charge Time Remaining")
    assert_unclipped(session.capture(), extents(counting), "the counting caption")
    session.close_window(FORM2["title"])
    session.window_gone(FORM2["title"])

    session.click(session.find(window, role="menu item", name="About"))
    about = session.window(ABOUT["title"])
    session.screenshot("about-window", about)
    check_design(session, about, ABOUT)
    check_separator(session, about)
    session.key("Escape")
    session.window_gone(ABOUT["title"])


def check_separator(session, window):
    """The white line lies over the grey one but for the grey one's first pixel."""
    box = extents(window)
    image = session.capture(box)
    y = pixels(SEPARATOR_Y)
    rows = range(y - 1, y + 2)
    white_rows = [row for row in rows
                  if all(image.pixel(x, row) == (255, 255, 255)
                         for x in range(pixels(WHITE_FROM), pixels(LINES_TO)))]
    assert len(white_rows) == 2, f"white separator rows {white_rows} around y {y}"
    assert any(image.pixel(pixels(GREY_FROM), row) == (128, 128, 128) for row in rows), \
        "no grey at the start of the separator"
    assert all(image.pixel(pixels(LINES_TO), row) != (255, 255, 255) for row in rows), \
        "the separator runs past its end"


if __name__ == "__main__":
    e2e.run(scenario)
