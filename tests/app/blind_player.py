# A blind player's game on the real accessibility bus, keys in, tree and events
# out: dbus-run-session -- python3 blind_player.py GAME ENGINE GALLERY. The
# position is read from the cells' names alone; the engine tool picks the moves.
import os, re, subprocess, sys, time  # noqa: E401

game, engine, gallery = map(os.path.abspath, sys.argv[1:4])
PIECES = {"нижняя шашка": "W", "нижняя дамка": "WK",
          "верхняя шашка": "B", "верхняя дамка": "BK"}
KEYS = {"Left": 0xFF51, "Up": 0xFF52, "Right": 0xFF53, "Down": 0xFF54, "Return": 0xFF0D}
RESULT = "(Ты победил!|Полная победа!|Ты проиграл!)"
started, children, heard, focused, presses = time.monotonic(), [], [], [], [0]


def check(condition, message):
    if not condition:
        raise SystemExit("FAIL: %s (heard last %s)" % (message, heard[-3:]))


def main():
    read_end, write_end = os.pipe()  # the display before the reader joins the bus
    children.append(subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp"],
                                     pass_fds=[write_end], stderr=subprocess.DEVNULL))
    os.environ["DISPLAY"] = ":" + os.read(read_end, 16).decode().strip()
    children.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"]))
    import pyatspi
    from gi.repository import GLib

    def listen(event):  # each text has its notice: its name still holds when read here
        if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            heard.append(event.source.name)
        elif event.detail1 and event.type.endswith("focused"):
            focused.append(event.source.name)

    pyatspi.Registry.registerEventListener(listen, "object:state-changed:showing",
                                           "object:state-changed:focused")

    def wait_for(what, predicate):
        limit = time.monotonic() + 60
        while time.monotonic() < limit:
            while GLib.MainContext.default().iteration(False):
                pass
            if predicate():
                return predicate()
            time.sleep(0.005)
        check(False, "no " + what)

    def find(role, pattern):
        return pyatspi.findDescendant(frame, lambda o: o.getRole() == role and
                                      re.fullmatch(pattern, o.name) is not None)

    def press(key):
        presses[0] += 1
        pyatspi.Registry.generateKeyboardEvent(KEYS[key], None, pyatspi.KEY_SYM)

    children.append(subprocess.Popen([game], cwd=gallery, env=dict(
        os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")))
    desktop = pyatspi.Registry.getDesktop(0)
    frame = wait_for("window", lambda: [a[0] for a in desktop if a and a.name == "Pelvanta"])[0]
    # No window manager gives the window the keyboard: do as one does.
    subprocess.run(["xdotool", "search", "--sync", "--name", "^Pelvanta$", "windowfocus", "--sync"],
                   check=True, stdout=subprocess.DEVNULL)
    thumbs = wait_for("thumbnails", lambda: pyatspi.findAllDescendants(frame, lambda o: (
        o.getRole() == pyatspi.ROLE_PUSH_BUTTON and o.name.startswith("Сопер"))))
    check([t.name for t in thumbs] == ["Соперница %d из %d" % (i + 1, len(thumbs))
                                       for i in range(len(thumbs))], "thumbnails' names")
    wait_for("focus on the first", lambda: thumbs[0].getState().contains(pyatspi.STATE_FOCUSED))
    press("Return")
    table = wait_for("board", lambda: find(pyatspi.ROLE_TABLE, "Доска")).queryTable()
    at = wait_for("a man framed", lambda: re.match("..(?=, нижняя шашка$)", focused[-1]))[0]

    def cell(square):
        return table.getAccessibleAt(8 - int(square[1]), ord(square[0]) - 97).name

    def position():
        pieces = [(s, PIECES.get(what.replace(", выбрана", ""), "")) for s, _, what in (
            cell(c + r).partition(", ") for c in "abcdefgh" for r in "12345678")]
        return "W:W%s:B%s" % tuple(",".join(p[1:] + s for s, p in pieces if p[:1] == side)
                                   for side in "WB")

    moves = 0
    while not any(re.match(RESULT, h) for h in heard):
        check(moves < 150, "no end after 150 moves")
        path = re.search("^chosen (\\S+)$", subprocess.check_output(
            [engine, "think", position(), "--depth", "5", "--weights", "2,1,1,3"], text=True),
            re.M)[1]
        count = len(heard)
        for i, square in enumerate(re.split("[-:]", path)):
            while at != square:
                dx, dy = ord(square[0]) - ord(at[0]), int(square[1]) - int(at[1])
                key, sx, sy = (("Right", 1, 0) if dx > 0 else ("Left", -1, 0)) if dx else (
                    ("Up", 0, 1) if dy > 0 else ("Down", 0, -1))
                press(key)
                at = chr(ord(at[0]) + sx) + str(int(at[1]) + sy)
                wait_for("focus on " + at, lambda: focused[-1].startswith(at + ","))
            press("Return")
            if i == 0:  # the piece is said as selected
                wait_for(square + " selected", lambda: cell(square).endswith(", выбрана"))
        moves += 1
        wait_for(path + " said", lambda: path in heard[count:])
        wait_for("the reply", lambda: len(heard) > heard.index(path, count) + 1)
        wait_for("the turn", lambda: frame.name == "Pelvanta: твой ход" or
                 re.match(RESULT, heard[-1]))

    result = next(h for h in heard if re.match(RESULT, h))
    check(re.fullmatch("(Ты победил|Полная победа)! Открыто фото 2 из \\d+", result), result)
    check(find(pyatspi.ROLE_LABEL, re.match(RESULT, result)[0]), "no label with the result")
    check(find(pyatspi.ROLE_PUSH_BUTTON, "Фото 2 из \\d+"), "no photo 2")
    said = [h for h in heard if re.fullmatch("[a-h][1-8]([-:][a-h][1-8])+", h)]
    line = find(pyatspi.ROLE_TEXT, ".*").name
    check(line == "".join(" > " + m for m in said), "moves line %r, said %s" % (line, said))
    print("blind_player: %d moves by keys (%d key presses); heard %d moves of the computer's, "
          "'%s' and %d focus events; %.1f s" % (moves, presses[0], len(said) - moves, result,
                                                len(focused), time.monotonic() - started))


try:
    main()
finally:
    for child in reversed(children):
        child.terminate()
        child.wait()
