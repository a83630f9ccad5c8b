#!/usr/bin/env python3
"""Runs every tintmoor-cli example in README.md and docs/*.md and compares what
it prints with what the example shows, so the documentation cannot drift from
the program.

An example is a fenced code block whose first line is "$ tintmoor-cli ...".
Each "$ " line in it is a command; the lines up to the next one are what it
prints, standard output and error together. A line "..." stands for any
number of lines, and "..." within a line for any text. "$ echo $?" prints the
exit status of the command before it; no other commands are run.

Each example runs in a folder of its own, holding the files in examples/
beside this script, against a game installed in a Wine prefix as the demo
installation is: ~/.wine-aom, which is also $WINEPREFIX, with the default
colors and a playercolors.xmb in the game's data folder. Paths print as they
would for a user whose home folder is /home/me.

  doc_examples.py TINTMOOR_CLI SOURCE_DIR
"""
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

GAME = "Program Files (x86)/Microsoft Games/Age of Mythology"
SYSTEM_REG = (
    "WINE REGISTRY Version 2\n\n#arch=win64\n\n"
    "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
    '"AppPath"="C:\\\\Program Files (x86)\\\\Microsoft Games\\\\Age of Mythology\\\\"\n')


def examples(path):
    """Yields (line number, [(command, expected lines)]) for each example."""
    lines = path.read_text(encoding="utf-8").split("\n")
    i = 0
    while i < len(lines):
        if not lines[i].startswith("```"):
            i += 1
            continue
        start = i + 1
        end = start
        while end < len(lines) and not lines[end].startswith("```"):
            end += 1
        block = lines[start:end]
        i = end + 1
        if not block or not block[0].startswith("$ tintmoor-cli"):
            continue
        steps = []
        for line in block:
            if line.startswith("$ "):
                steps.append((line[2:], []))
            else:
                steps[-1][1].append(line)
        yield start + 1, steps


def pattern(expected):
    """The regular expression that output matching the expected lines matches."""
    parts = []
    for line in expected:
        if line.strip() == "...":
            parts.append(r"(?:[^\n]*\n)*?")
        else:
            text = ".*?".join(re.escape(piece) for piece in line.rstrip().split("..."))
            parts.append(r"[ \t]*".join([text, r"\n"]))
    return re.compile("".join(parts))


def make_home(root, source):
    """The user's home with the game in its Wine prefix; returns the home."""
    home = root / "home" / "me"
    prefix = home / ".wine-aom"
    data = prefix / "drive_c" / GAME / "data"
    data.mkdir(parents=True)
    (prefix / "dosdevices").mkdir()
    os.symlink("../drive_c", prefix / "dosdevices" / "c:")
    (prefix / "system.reg").write_text(SYSTEM_REG)
    shutil.copy(source / "data" / "playercolors.xml", data)
    (data / "playercolors.xmb").write_bytes(b"the game's own build of its colors")
    return home


def run_example(cli, source, steps):
    """Runs one example; returns the first mismatch as text, or None."""
    with tempfile.TemporaryDirectory() as tmp:
        root = pathlib.Path(tmp).resolve()
        home = make_home(root, source)
        work = root / "work"
        shutil.copytree(pathlib.Path(__file__).parent / "examples", work)
        (work / "docs").mkdir(exist_ok=True)  # the README's pictures are drawn there
        env = dict(os.environ, HOME=str(home), WINEPREFIX=str(home / ".wine-aom"), NO_COLOR="1",
                   LC_ALL="C", PATH=f"{cli.parent}{os.pathsep}{os.environ.get('PATH', '')}")
        status = 0
        for command, expected in steps:
            if command == "echo $?":
                output = f"{status}\n"
            elif command.startswith("tintmoor-cli "):
                done = subprocess.run(["bash", "-c", command], cwd=work, env=env, timeout=300,
                                      stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
                status = done.returncode
                # A terminal shows CR LF (csv) as it shows LF.
                output = done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
                output = output.replace(str(root), "")
            else:
                return f"$ {command}\nonly tintmoor-cli and echo $? are run in an example"
            if not output.endswith("\n"):
                output += "\n"
            want = "".join(line + "\n" for line in expected)
            if not pattern(expected).fullmatch(output):
                return f"$ {command}\n--- the example shows:\n{want}--- the program printed:\n{output}"
    return None


def main():
    cli = pathlib.Path(sys.argv[1]).resolve()
    source = pathlib.Path(sys.argv[2]).resolve()
    documents = [source / "README.md"] + sorted((source / "docs").glob("*.md"))
    ran = failed = 0
    for document in documents:
        for line, steps in examples(document):
            ran += 1
            mismatch = run_example(cli, source, steps)
            if mismatch:
                failed += 1
                print(f"{document.relative_to(source)}:{line}: the example differs\n{mismatch}")
    print(f"{ran} examples, {failed} differ")
    return 1 if failed or not ran else 0


sys.exit(main())
