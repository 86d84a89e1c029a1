#!/usr/bin/python3
"""Runs what README.md and docs/*.md show, so that the text cannot go stale.

    check_docs.py SOURCE_DIR BUILD_DIR

- Every code block that is a headless command (it begins with
  "QT_QPA_PLATFORM=offscreen", "/usr/bin/python3" or "bash scripts/screenshots.sh")
  runs as written, in a scratch folder laid out like the top of the source
  tree, and must end with status 0. A block whose next paragraph is "prints"
  must print exactly the block after it.
- A listing introduced by a paragraph that names an example file
  (`....tks`, `....script`, `....py`) must appear in that file, line by line
  and in order.
- The full verification leaves the protocol the text promises, and the
  screenshot command writes exactly the files of docs/screenshots.
"""
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

SOURCE = pathlib.Path(sys.argv[1]).resolve()
BUILD = pathlib.Path(sys.argv[2]).resolve()
DOCUMENTS = [SOURCE / "README.md"] + sorted((SOURCE / "docs").glob("*.md"))
COMMAND_STARTS = ("QT_QPA_PLATFORM=offscreen", "/usr/bin/python3", "bash scripts/screenshots.sh")
EXAMPLE_FILE = re.compile(r"`([\w./-]+\.(?:tks|script|py))`")

failures = []
scratch_folders = []


def blocks(text):
    """(paragraph before, block lines) for each indented or fenced block."""
    lines = text.split("\n")
    out, paragraph, i, after_blank = [], [], 0, False
    while i < len(lines):
        line = lines[i]
        if line.startswith("```"):
            j = i + 1
            while j < len(lines) and not lines[j].startswith("```"):
                j += 1
            out.append((paragraph, lines[i + 1:j]))
            paragraph, i, after_blank = [], j + 1, False
        elif line.startswith("    ") and (i == 0 or not lines[i - 1].strip()) and not line.lstrip().startswith(("-", "|")):
            j = i
            while j < len(lines) and (lines[j].startswith("    ") or not lines[j].strip()):
                j += 1
            body = [l[4:] for l in lines[i:j]]
            while body and not body[-1].strip():
                body.pop()
            out.append((paragraph, body))
            paragraph, i, after_blank = [], j, True
        else:
            # A paragraph lasts until the next text after a blank line.
            if line.strip():
                paragraph = [line] if after_blank else paragraph + [line]
            after_blank = not line.strip()
            i += 1
    return out


def command_of(block):
    """The shell command of a block, continuation lines joined, or None."""
    if not block or not block[0].startswith(COMMAND_STARTS):
        return None
    return " ".join(l.rstrip("\\").strip() for l in block)


def scratch_tree():
    """A folder laid out like the top of the tree: the sources linked in, the
    build linked as build/default, docs/ a real folder without screenshots."""
    top = pathlib.Path(tempfile.mkdtemp(prefix="docs_check_"))
    scratch_folders.append(top)
    for entry in SOURCE.iterdir():
        if entry.name not in ("build", "docs") and not entry.name.startswith("."):
            (top / entry.name).symlink_to(entry)
    (top / "build").mkdir()
    (top / "build" / "default").symlink_to(BUILD)
    (top / "docs").mkdir()
    for entry in (SOURCE / "docs").iterdir():
        if entry.name != "screenshots":
            (top / "docs" / entry.name).symlink_to(entry)
    return top


def run(command, where):
    env = {k: v for k, v in os.environ.items() if not k.startswith("SORVI_")}
    return subprocess.run(["bash", "-c", command], cwd=where, env=env, capture_output=True,
                          text=True, timeout=120)


def check_listing(document, paragraph, block):
    names = EXAMPLE_FILE.findall(" ".join(paragraph))
    if not names or not paragraph[-1].rstrip().endswith(":") or command_of(block):
        return
    path = SOURCE / names[-1]
    if not path.exists():
        failures.append(f"{document.name}: the listing names {names[-1]}, which does not exist")
        return
    wanted = [l.strip() for l in path.read_text().split("\n")]
    at = 0
    for line in (l.strip() for l in block if l.strip()):
        while at < len(wanted) and wanted[at] != line:
            at += 1
        if at == len(wanted):
            failures.append(f"{document.name}: listing line not in {names[-1]} (in that order): {line}")
            return
        at += 1


def check_command(document, command, expected):
    top = scratch_tree()
    result = run(command, top)
    if result.returncode != 0:
        failures.append(f"{document.name}: `{command}` ended with {result.returncode}\n{result.stderr}")
        return
    if expected is not None and result.stdout.rstrip("\n").split("\n") != expected:
        failures.append(f"{document.name}: `{command}` printed\n{result.stdout}instead of\n" + "\n".join(expected))
    if "full_verification.script" in command:
        protocol = (top / "sorvi.log").read_bytes().decode("cp1251")
        lines = [l for l in protocol.split("\r\n") if l.startswith("канал")]
        if len(lines) != 128 or not all(l.endswith("(норма)") for l in lines):
            failures.append(f"{document.name}: the full verification left {len(lines)} channel lines, "
                            "not 128 all \"норма\"")
    if "screenshots.sh" in command:
        made = sorted(p.name for p in (top / "docs" / "screenshots").iterdir())
        committed = sorted(p.name for p in (SOURCE / "docs" / "screenshots").iterdir())
        if made != committed:
            failures.append(f"{document.name}: `{command}` wrote {made}, docs/screenshots holds {committed}")


def main():
    ran = 0
    for document in DOCUMENTS:
        found = blocks(document.read_text())
        for k, (paragraph, block) in enumerate(found):
            check_listing(document, paragraph, block)
            command = command_of(block)
            if command is None:
                continue
            expected = None
            if k + 1 < len(found) and [l.strip() for l in found[k + 1][0]] == ["prints"]:
                expected = found[k + 1][1]
            check_command(document, command, expected)
            ran += 1
    for folder in scratch_folders:
        shutil.rmtree(folder)  # removes the links, never what they point to
    for failure in failures:
        print("FAILED:", failure)
    print(f"{ran} commands run from {len(DOCUMENTS)} documents, {len(failures)} failures")
    return 1 if failures or ran == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
