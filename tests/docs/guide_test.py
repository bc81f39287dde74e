"""The guide cannot rot: every formula in it compiles, every value it states is
what the plug-in computes, every transcript prints what it shows and every
recipe has its picture. Arguments: the build folder."""
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import guide  # noqa: E402

LUMORA = os.path.join(os.path.abspath(sys.argv[1]), "lumora")
# The example picture: 5 x 5 with a transparency plane, red rising to the
# right and green downwards; the pixel read is x = 1, y = 2.
DEFAULT = {"X": 5, "Y": 5, "Z": 4, "x": 1, "y": 2, "a": 255}
# A value of any size comes back in the four bytes of the pixel: the red
# formula works it out and keeps it in cell 255 for the other channels. (So
# a "Value" formula has no top-level "," and no comment.)
BYTES = ["put((%s), 255) & 255", "get(255) >> 8 & 255", "get(255) >> 16 & 255", "get(255) >> 24"]


def output_of(command, **options):
    """Exit status and output of a command that starts Wine. The output goes through a file: Wine's
    own processes, when this one starts them, inherit its standard output and would hold a pipe open."""
    with tempfile.TemporaryFile() as out:
        status = subprocess.run(command, stdout=out, stderr=subprocess.STDOUT, **options).returncode
        out.seek(0)
        return status, out.read().decode().replace("\r\n", "\n")


def lumora(*args):
    return output_of([LUMORA, *args])


def run_example(formula, kind, where, work):
    """What the formula gives at the example pixel: its value ("Value"), or the red
    sample that "lumora fx FORMULA" writes there ("Pixel")."""
    pic = dict(DEFAULT, **{k: int(v) for k, v in re.findall(r"\b([rgbaxyXYZ])\s*=\s*(-?\d+)", where)})
    assert kind == "Pixel" or pic["Z"] == 4, "a value is read through the transparency plane"
    pixels = bytearray()
    for y in range(pic["Y"]):
        for x in range(pic["X"]):
            ramp = {"r": min(255, 10 + 50 * x), "g": min(255, 20 + 50 * y), "b": 30}
            pixels += bytes(pic.get(k, ramp.get(k)) for k in "rgba")
    kind_of_png = "PNG32:" if pic["Z"] == 4 else "PNG24:"
    subprocess.run(["convert", "-size", "%dx%d" % (pic["X"], pic["Y"]), "-depth", "8", "rgba:-",
                    kind_of_png + work + "/in.png"], input=bytes(pixels), check=True)
    args = ["fx", "--quiet"]
    for index, v in re.findall(r"slider (\d)\s*=\s*(\d+)", where):
        args += ["--slider", index + "=" + v]
    if kind == "Value":
        args += ["--transparency"]
        for option, text in zip(guide.CHANNEL_OPTIONS, [BYTES[0] % formula] + BYTES[1:]):
            args += [option, text]
    args += ["--", formula, work + "/in.png", work + "/out.png"]
    status, out = lumora(*args)
    assert status == 0, out
    raw = subprocess.run(["convert", work + "/out.png", "-depth", "8", "rgba:-"], stdout=subprocess.PIPE,
                         check=True).stdout
    at = 4 * (pic["y"] * pic["X"] + pic["x"])
    return int.from_bytes(raw[at:at + 4], "little", signed=True) if kind == "Value" else raw[at]


def compile_failures(examples, recipes):
    every = [e["formula"] for e in examples] + [f for args in recipes for f in guide.formulas(args)]
    _, out = lumora("check", "--", *every)
    verdicts = re.findall(r"^formula \d+: (ok, (\d+) of|.*)", out, re.M)
    if len(verdicts) != len(every):
        return ["lumora check answered %d of %d formulas:\n%s" % (len(verdicts), len(every), out)]
    failures = ["%s does not compile: %s" % (f, v) for f, (v, size) in zip(every, verdicts) if not size]
    for e, (_, size) in zip(examples, verdicts):
        if e["Bytes"] is not None and str(e["Bytes"]) != size:
            failures.append("%s: the guide says %d bytes, it takes %s" % (e["formula"], e["Bytes"], size))
    return failures


def number_failures(examples, work):
    failures = []
    for e in examples:
        for kind in ("Value", "Pixel"):
            if e[kind] is not None:
                got = run_example(e["formula"], kind, e["where"], work)
                if got != e[kind]:
                    failures.append("%s (%s): the guide says %s %d, it gives %d" %
                                    (e["formula"], e["where"], kind, e[kind], got))
    return failures


def transcript_failures(text, work):
    path = dict(os.environ, PATH=os.path.dirname(LUMORA) + os.pathsep + os.environ["PATH"])
    failures = []
    for command, shown in guide.transcripts(text):
        _, out = output_of(["sh", "-c", command], env=path, cwd=work)
        if out != shown:
            failures.append("%s prints:\n%s" % (command, out))
    return failures


def picture_failures(text, recipes):
    pictures = set(re.findall(r"\]\(gallery/([\w-]+\.jpg)\)", text))
    names = [os.path.splitext(args[-1])[0] + ".jpg" for args in recipes]
    return ["recipe %s has no picture" % n for n in names
            if n not in pictures or not os.path.exists(os.path.join(guide.GALLERY, n))]


def main():
    text = open(guide.GUIDE).read()
    examples, recipes = guide.examples(text), guide.recipes(text)
    failures = [] if len(examples) >= 50 and len(recipes) >= 25 else ["the guide lost examples or recipes"]
    with guide.wine_kept(os.path.dirname(LUMORA)), tempfile.TemporaryDirectory() as work:
        failures += compile_failures(examples, recipes) + picture_failures(text, recipes)
        failures += number_failures(examples, work) + transcript_failures(text, work)
    for f in failures:
        print("FAIL:", f)
    numbers = sum(e[k] is not None for e in examples for k in guide.NUMBERS)
    print("%d examples (%d numbers), %d transcripts, %d recipes" %
          (len(examples), numbers, len(guide.transcripts(text)), len(recipes)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
