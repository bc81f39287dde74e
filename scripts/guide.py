"""The formula guide (docs/formula-language.md) as data, and its gallery.

The guide marks what a program may read in three ways that read naturally:
- a table with a "Formula" column holds one formula per row in backticks;
  its "Value" column (if any) states what the formula gives in the red
  channel, a "Pixel" column the red sample that "lumora fx FORMULA" writes,
  a "Bytes" column the code bytes it takes, and a "Where" column the picture,
  pixel and sliders they are worked out on;
- a "console" block holds "$ lumora ..." commands, each followed by what it prints;
- an "sh" block holding a "lumora fx ... coffee.png NAME.jpg" command is a
  recipe of the gallery, whose picture is docs/gallery/NAME.jpg.

    python3 scripts/guide.py gallery [BUILD]   # makes docs/gallery/ with BUILD/lumora
"""
import contextlib
import os
import re
import shlex
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GUIDE = os.path.join(ROOT, "docs", "formula-language.md")
GALLERY = os.path.join(ROOT, "docs", "gallery")
THUMBNAIL = ["-resize", "200x", "-strip", "-quality", "72"]
CHANNEL_OPTIONS = ("--red", "--green", "--blue", "--alpha")
NUMBERS = ("Value", "Pixel", "Bytes")


def blocks(text):
    """(info string, lines) of every fenced block."""
    found, info, lines = [], None, []
    for line in text.splitlines():
        if line.startswith("```"):
            if info is None:
                info, lines = line[3:].strip(), []
            else:
                found.append((info, lines))
                info = None
        elif info is not None:
            lines.append(line)
    return found


def cells(line):
    """The cells of a table row; "\\|" is a "|" inside a cell."""
    parts = re.split(r"(?<!\\)\|", line.strip().strip("|"))
    return [p.strip().replace("\\|", "|") for p in parts]


def code(cell):
    """The text of the cell's first code span, or None."""
    m = re.search(r"`([^`]+)`", cell)
    return m.group(1) if m else None


def examples(text):
    """Every row of a table with a Formula column: its formula, its "Where" text, and the
    numbers stated in its "Value", "Pixel" and "Bytes" columns (None where there is none)."""
    rows, header = [], None
    for line in text.splitlines() + [""]:
        if not line.startswith("|"):
            header = None
        elif header is None:
            header = cells(line)
        elif not re.fullmatch(r"[\s|:-]+", line) and "Formula" in header:
            row = dict(zip(header, cells(line)))
            example = {"formula": code(row["Formula"]), "where": row.get("Where", "")}
            for column in NUMBERS:
                stated = code(row.get(column, "")) or row.get(column, "")
                example[column] = int(stated) if stated else None
            rows.append(example)
    return rows


def transcripts(text):
    """(shell command, expected output) of every "$ lumora" line of a console block."""
    found = []
    for info, lines in blocks(text):
        if info != "console":
            continue
        for line in lines:
            if line.startswith("$ lumora "):
                found.append((line[2:], []))
            elif found:
                found[-1][1].append(line)
    return [(command, "\n".join(out) + "\n") for command, out in found]


def recipes(text):
    """The arguments after "lumora" of every recipe command."""
    found = []
    for info, lines in blocks(text):
        command = " ".join(lines).replace("\\ ", " ")
        if info == "sh" and command.startswith("lumora fx "):
            found.append(shlex.split(command)[1:])
    return found


def formulas(args):
    """The formulas of "fx" arguments: EXPR unless all three colours have their own, and each channel's."""
    own = {o: args[i + 1] for i, o in enumerate(args) if o in CHANNEL_OPTIONS}
    positional = [a for i, a in enumerate(args[1:], 1)
                  if not a.startswith("--") and args[i - 1] not in CHANNEL_OPTIONS + ("--slider",)]
    expression = [positional[0]] if len(own.keys() - {"--alpha"}) < 3 else []
    return expression + list(own.values())


@contextlib.contextmanager
def wine_kept(build):
    """Keeps a Wine program of the build's prefix waiting on its input meanwhile: without one the
    prefix starts afresh for every lumora, which costs seconds each time."""
    env = dict(os.environ, WINEPREFIX=os.path.join(ROOT, build, "wineprefix"))
    keeper = subprocess.Popen(["sh", os.path.join(ROOT, "cmake", "wine-run.sh"), "cmd"], stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    try:
        yield
    finally:
        keeper.stdin.close()
        keeper.wait()


def make_gallery(build):
    """Runs every recipe on the sample photograph; transparent parts show over a checkerboard."""
    os.makedirs(GALLERY, exist_ok=True)
    for old in os.listdir(GALLERY):
        os.remove(os.path.join(GALLERY, old))
    lumora = os.path.join(ROOT, build, "lumora")
    photo = os.path.join(ROOT, "assets", "coffee.png")
    size = subprocess.run(["identify", "-format", "%wx%h", photo], stdout=subprocess.PIPE,
                          text=True, check=True).stdout
    pictures = [("original", photo)]
    with tempfile.TemporaryDirectory() as work, wine_kept(build):
        for args in recipes(open(GUIDE).read()):
            name = os.path.splitext(args[-1])[0]
            pictures.append((name, os.path.join(work, name + ".png")))
            subprocess.run([lumora] + args[:-2] + ["--quiet", photo, pictures[-1][1]], check=True)
        for name, picture in pictures:
            subprocess.run(["convert", "-size", size, "tile:pattern:checkerboard", picture, "-composite"] +
                           THUMBNAIL + [os.path.join(GALLERY, name + ".jpg")], check=True)
            print("docs/gallery/%s.jpg" % name)


if __name__ == "__main__":
    if len(sys.argv) < 2 or sys.argv[1] != "gallery":
        sys.exit(__doc__)
    make_gallery(sys.argv[2] if len(sys.argv) > 2 else os.environ.get("BUILD", "build"))
