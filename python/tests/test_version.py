import ctypes
import re
import sys
from importlib import metadata
from pathlib import Path

import pytest

import kelvaro_rpn as rpn
from kelvaro_rpn import _core

CMAKELISTS = Path(__file__).resolve().parents[2] / "CMakeLists.txt"


def project_version():
    text = CMAKELISTS.read_text(encoding="utf-8")
    return re.search(r"project\s*\(\s*\w+[^)]*?\bVERSION\s+([0-9.]+)", text).group(1)


@pytest.mark.skipif(not CMAKELISTS.exists(), reason="not run from a checkout")
def test_the_version_is_the_project_version():
    assert rpn.__version__ == project_version()


def test_the_sources_compiled_are_those_of_the_header():
    assert rpn.__version__ == _core.HEADER_VERSION
    assert re.fullmatch(r"\d+(\.\d+){2,3}", rpn.__version__)


def test_the_installed_distribution_has_the_same_version():
    try:
        installed = metadata.version("kelvaro-rpn")
    except metadata.PackageNotFoundError:
        pytest.skip("kelvaro-rpn is not installed, only built in place")
    assert installed == rpn.__version__


def test_the_type_hints_are_shipped():
    folder = Path(rpn.__file__).parent
    assert (folder / "py.typed").exists() and (folder / "_core.pyi").exists()


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="an ELF version script")
@pytest.mark.parametrize("name, exported", [("PyInit__core", True),
                                            ("kelvaro_rpn_evaluate", False),
                                            ("kelvaro_rpn_program_run_many", False)])
def test_only_the_module_entry_leaves_the_extension(name, exported):
    # Hidden, the engine's names never meet those of a libKelvaroRPN in the same process.
    assert hasattr(ctypes.CDLL(_core.__file__), name) == exported
