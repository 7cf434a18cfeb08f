"""Builds kelvaro_rpn._core from the repository's own engine and reentrant sources.

The extension needs no installed library: the C++ sources one folder up are
compiled into it, and kelvaro/version.h is written from CMakeLists.txt's
project(VERSION), as CMake writes it.
"""
import os
import re
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent


def project_version():
    cmake = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    match = re.search(r"project\s*\(\s*\w+[^)]*?\bVERSION\s+([0-9]+(?:\.[0-9]+){0,3})", cmake)
    if match is None:
        sys.exit("setup.py: no project(... VERSION x.y.z) in " + str(ROOT / "CMakeLists.txt"))
    return match.group(1)


VERSION = project_version()


def relative(path):
    # setuptools wants source paths relative to this folder.
    return os.path.relpath(path, HERE)


WARNINGS = ["-Wall", "-Wextra", "-Wpedantic"]
# Only the extension's own C files: the engine is held to -Werror by CMake's CI.
OWN_ERRORS = ["-Werror"] if os.environ.get("KELVARO_WARNINGS_AS_ERRORS") == "1" else []
C_FLAGS = ["-std=c11"] + WARNINGS + OWN_ERRORS
# -O3 for the engine: the blocked runs' loops over 256 values are vectorised only
# there (Python's own -O2 leaves them scalar: 5.8 against 3.4 ms for 3x^2+1 on
# 2,000,000 values, fast mode). No -ffast-math: every value stays the same.
CXX_FLAGS = ["-std=c++17", "-O3", "-fvisibility-inlines-hidden"] + WARNINGS


class BuildExt(build_ext):
    """Writes kelvaro/version.h and build_options.h, then compiles C and C++ files each
    with their own flags."""

    def build_extensions(self):
        generated = Path(self.build_temp) / "generated"
        self.write_version_header(generated / "kelvaro" / "version.h")
        # A build with numpy and one without are told apart by this header:
        # it changes, so build_ext does not take the other build as up to date.
        options = generated / "build_options.h"
        write_if_changed(options, "/* Written by setup.py. */\n" + (
            "#define KELVARO_WITH_NUMPY 1\n" if NUMPY_INCLUDE else ""))
        for ext in self.extensions:
            ext.include_dirs.insert(0, str(generated))
            ext.depends.append(str(options))
        compile_one = self.compiler._compile

        def compile_with_language_flags(obj, src, ext, cc_args, extra_postargs, pp_opts):
            flags = CXX_FLAGS if src.endswith(".cpp") else C_FLAGS
            compile_one(obj, src, ext, cc_args, extra_postargs + flags, pp_opts)

        self.compiler._compile = compile_with_language_flags
        super().build_extensions()

    @staticmethod
    def write_version_header(path):
        numbers = (VERSION.split(".") + ["", "", "", ""])[:4]
        text = (ROOT / "include" / "kelvaro" / "version.h.in").read_text(encoding="utf-8")
        for name, value in (("PROJECT_VERSION", VERSION), ("PROJECT_VERSION_MAJOR", numbers[0]),
                            ("PROJECT_VERSION_MINOR", numbers[1]),
                            ("PROJECT_VERSION_PATCH", numbers[2]),
                            ("PROJECT_VERSION_TWEAK", numbers[3])):
            text = text.replace("@" + name + "@", value)
        write_if_changed(path, text)


def write_if_changed(path, text):
    path.parent.mkdir(parents=True, exist_ok=True)
    if not path.exists() or path.read_text(encoding="utf-8") != text:
        path.write_text(text, encoding="utf-8")


engine = sorted(ROOT.glob("engine/*.cpp")) + sorted(ROOT.glob("reentrant/*.cpp"))
own = sorted(HERE.glob("src/*.c"))


def numpy_include():
    """Program.ufunc is built on numpy's C API when numpy is here to build with;
    KELVARO_WITHOUT_NUMPY=1 builds the package without it, as where numpy is not."""
    if os.environ.get("KELVARO_WITHOUT_NUMPY") == "1":
        return None
    try:
        import numpy
    except ImportError:
        return None
    return numpy.get_include()


NUMPY_INCLUDE = numpy_include()
include_dirs = [relative(ROOT / "include"), relative(ROOT), relative(HERE / "src")]
include_dirs += [NUMPY_INCLUDE] if NUMPY_INCLUDE else []
link_args = [] if sys.platform == "win32" else ["-pthread"]  # run_many's threads
if sys.platform.startswith("linux"):
    # Only PyInit__core leaves the module: the kelvaro_rpn_* names inside it
    # never meet those of a libKelvaroRPN loaded into the same process.
    link_args.append("-Wl,--version-script=" + relative(HERE / "src" / "exports.map"))

setup(
    version=VERSION,
    packages=["kelvaro_rpn"],
    package_data={"kelvaro_rpn": ["py.typed", "*.pyi"]},
    ext_modules=[
        Extension(
            "kelvaro_rpn._core",
            sources=[relative(p) for p in own + engine],
            include_dirs=include_dirs,
            define_macros=[("FMT_HEADER_ONLY", None)],
            extra_compile_args=["-fvisibility=hidden"],
            extra_link_args=link_args,
            depends=[relative(p) for p in sorted(ROOT.glob("engine/*.h"))
                     + sorted(HERE.glob("src/*.h"))
                     + sorted((ROOT / "include" / "kelvaro").glob("*.h"))],
            language="c++",
        )
    ],
    cmdclass={"build_ext": BuildExt},
)
