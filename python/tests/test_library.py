"""Where the package finds the driver library, what it says when it does
not, and the driver's status codes as the C header has them."""
import ctypes.util
import os
import pathlib
import re
import shutil
import subprocess
import sys

import pytest

import sorvi
from sorvi import status

from conftest import HERE

TREE = HERE.parents[1]
PACKAGE = HERE.parent / "sorvi"
BUILT = pathlib.Path(sorvi.driver_library()).parent  # the library these tests use


def run_python(code, *, path, **environment):
    """Runs code in a fresh interpreter (a process finds its library once)
    with `path` first on sys.path and the SORVI_LIB_DIR given (or none)."""
    env = {k: v for k, v in os.environ.items() if k not in ("SORVI_LIB_DIR", "PYTHONPATH")}
    env.update(environment, PYTHONPATH=str(path), SORVI_BENCH="")
    return subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True, timeout=60,
                          cwd="/")


REPORT = """
import sorvi
try:
    print(sorvi.driver_library())
except sorvi.LibraryNotFoundError as error:
    print("NOT FOUND", error.searched)
    print(error)
"""


def copied_package(tmp_path, library_dir=None):
    """The package copied out of the tree, as an install with or without the
    note of where its library lies."""
    target = tmp_path / "site" / "sorvi"
    shutil.copytree(PACKAGE, target, ignore=shutil.ignore_patterns("__pycache__", "_installed.py"))
    if library_dir is not None:
        relative = os.path.relpath(library_dir, target)
        (target / "_installed.py").write_text(f"LIBRARY_DIR = {relative!r}\n")
    return target.parent


class TestLookup:
    def test_sorvi_lib_dir_is_the_only_place_when_set(self, tmp_path):
        found = run_python(REPORT, path=HERE.parent, SORVI_LIB_DIR=str(BUILT))
        assert found.stdout.strip() == str(BUILT / "liblumex_32.so.1")
        missing = run_python(REPORT, path=HERE.parent, SORVI_LIB_DIR=str(tmp_path))
        assert f"NOT FOUND ['$SORVI_LIB_DIR ({tmp_path}): no {tmp_path}/liblumex_32.so.1']" in missing.stdout
        assert "liblumex_32.so.1 was not found" in missing.stdout

    def test_next_to_an_installed_package(self, tmp_path):
        site = copied_package(tmp_path, library_dir=BUILT)
        found = run_python(REPORT, path=site)
        assert found.stdout.strip() == str(BUILT / "liblumex_32.so.1"), found.stderr

    @pytest.mark.skipif(not (TREE / "build/default/lib/liblumex_32.so.1").exists(), reason="no default build here")
    def test_the_default_build_of_its_own_tree(self):
        found = run_python(REPORT, path=HERE.parent)
        assert found.stdout.strip() == str(TREE / "build/default/lib/liblumex_32.so.1")

    @pytest.mark.skipif(ctypes.util.find_library("lumex_32") is not None, reason="a driver is installed system-wide")
    def test_nowhere_says_where_it_looked(self, tmp_path):
        site = copied_package(tmp_path, library_dir=tmp_path / "nothing")
        missing = run_python(REPORT + "\nsorvi.open('VXI0::24::INSTR', 1)", path=site)
        assert missing.stdout.startswith("NOT FOUND ['next to the installed package: no "
                                         f"{tmp_path}/nothing/liblumex_32.so.1', \"the system's library path: ")
        assert "set SORVI_LIB_DIR" in missing.stdout
        assert "LibraryNotFoundError" in missing.stderr  # and open() raises it too

    def test_a_file_that_is_not_the_driver(self, tmp_path):
        (tmp_path / "liblumex_32.so.1").write_bytes(b"not a library")
        found = run_python(REPORT, path=HERE.parent, SORVI_LIB_DIR=str(tmp_path))
        assert f"cannot load the driver library {tmp_path}/liblumex_32.so.1" in found.stdout

    def test_importing_needs_no_library(self, tmp_path):
        code = "import sorvi; sorvi.save([1], 'x.sorvi'); print(sorvi.load('x.sorvi'), sorvi.bits(1)[0])"
        env = {k: v for k, v in os.environ.items() if k != "SORVI_LIB_DIR"}
        env.update(PYTHONPATH=str(HERE.parent), SORVI_LIB_DIR=str(tmp_path))
        done = subprocess.run([sys.executable, "-c", code], env=env, cwd=tmp_path, capture_output=True, text=True)
        assert done.stdout == "[1] True\n", done.stderr


def test_status_codes_are_the_headers():
    header = (TREE / "driver" / "lumex.h").read_text()
    defined = {name: int(offset, 16) + (-(1 << 31) if error else 0)
               for name, error, offset in re.findall(r"#define (\w+) \((_VI_ERROR \+ )?(0x[0-9A-F]+)L\)", header)}
    ours = {name: value for name, value in vars(status).items() if name.isupper() and name != "VI_SUCCESS"}
    assert ours == defined


def test_version_is_the_projects():
    project = re.search(r"project\(sorvi VERSION ([\d.]+)", (TREE / "CMakeLists.txt").read_text()).group(1)
    assert sorvi.__version__ == project
