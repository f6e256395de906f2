#!/usr/bin/env python3
"""Which sources tools/lint.sh --changed hands to clang-tidy, in a scratch git clone."""
import runpy
import subprocess
import tempfile
import types
import unittest
from pathlib import Path

LINT = Path(__file__).resolve().parents[2] / "tools" / "lint" / "clang_tidy_cached.py"
lint = types.SimpleNamespace(**runpy.run_path(str(LINT)))


def git(root, *args):
    subprocess.run(["git", "-C", str(root), "-c", "user.name=t", "-c", "user.email=t@t"]
                   + list(args), check=True, capture_output=True)


def write(path, text):
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(text)


def commit_change(root, name):
    write(root / name, "// changed and committed\n")
    git(root, "commit", "-qam", name)


# Each case changes the clone on its branch, then names the units that must be linted.
CASES = [
    ("fresh clone", lambda root: None, []),
    ("source edited", lambda root: write(root / "src/b.cpp", "// edited\n"), ["b.cpp"]),
    ("header read through an include link", lambda root: write(root / "src/a.h", "// x\n"),
     ["a.cpp"]),
    ("new header not yet added", lambda root: write(root / "src/new.h", "\n"), ["a.cpp"]),
    ("committed on the branch", lambda root: commit_change(root, "src/b.cpp"), ["b.cpp"]),
    ("main moved on, not the branch",
     lambda root: (git(root, "checkout", "-q", "main"), commit_change(root, "src/a.h"),
                   git(root, "checkout", "-q", "work")), []),
    (".clang-tidy changed", lambda root: write(root / ".clang-tidy", "Checks: '-*'\n"),
     ["a.cpp", "b.cpp"]),
]


class ChangedSources(unittest.TestCase):
    def test_selection(self):
        for name, change, expected in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as scratch:
                root = Path(scratch).resolve() / "clone"
                for file in (".clang-tidy", "src/a.cpp", "src/a.h", "src/b.cpp"):
                    write(root / file, f"// {file}\n")
                git(root, "init", "-q", "-b", "main")
                git(root, "add", ".")
                git(root, "commit", "-qm", "start")
                git(root, "checkout", "-qb", "work")
                # The build reaches each source folder through a link of its own.
                link = Path(scratch) / "build" / "include" / "src"
                link.parent.mkdir(parents=True)
                link.symlink_to(root / "src")
                units = [{"file": str(root / "src" / unit)} for unit in ("a.cpp", "b.cpp")]
                deps = {units[0]["file"]: [link / "a.h", link / "new.h"], units[1]["file"]: None}
                change(root)
                chosen, _ = lint.select_changed(units, deps, root)
                self.assertEqual([Path(unit["file"]).name for unit in chosen], expected)


if __name__ == "__main__":
    unittest.main()
