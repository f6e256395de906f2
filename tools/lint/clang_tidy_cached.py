#!/usr/bin/env python3
"""Runs clang-tidy over every compiled source of a build, skipping the sources already found
clean with the same inputs, like ccache does for the compiler.

A source is clean for a key made of its compile command, the text of the source and of every
header it reads (from the build's dependency files), .clang-tidy, the options clang-tidy is run
with and its version. Keys name empty files under $XDG_CACHE_HOME/pivanes/clang-tidy, so another
clone on the same machine re-uses them. Sources with remarks are not remembered: they are checked
again.

With --changed, only the sources that the current changes touch are checked: those that read a
file differing from the main line (see changed_files), committed or not.

    clang_tidy_cached.py [--changed] BUILD_DIR
"""
import argparse
import concurrent.futures
import functools
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys
import time
from pathlib import Path

SOURCE_ROOT = Path(__file__).resolve().parents[2]
# clang reads neither GCC's precompiled headers nor some of its warning options.
TIDY = ["clang-tidy", "--quiet", "-extra-arg=-Wno-unknown-warning-option"]
STAMP_LIFETIME_DAYS = 30


def cache_dir():
    base = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return Path(base) / "pivanes" / "clang-tidy"


def lint_units(build_dir):
    units = []
    built = str(build_dir.resolve()) + os.sep
    for entry in json.loads((build_dir / "compile_commands.json").read_text()):
        # What the build writes (moc output, precompiled headers) is not ours to lint.
        if "_autogen" in entry["file"] or entry["file"].startswith(built):
            continue
        args = shlex.split(entry["command"])
        pch = None
        kept = []
        skip = False
        for i, arg in enumerate(args):
            if skip:
                skip = False
            elif arg == "-include" and args[i + 1].endswith("cmake_pch.hxx"):
                pch, skip = args[i + 1], True
            elif arg != "-Winvalid-pch":
                kept.append(arg)
        entry["arguments"] = kept
        entry.pop("command")
        entry["pch"] = pch
        units.append(entry)
    return units


def depfile_paths(path, directory):
    """Files named by a make-style dependency file, or None when it is missing."""
    try:
        text = Path(path).read_text()
    except OSError:
        return None
    text = text.replace("\\\n", " ")
    names = re.split(r"(?<!\\)\s+", text.split(":", 1)[1])
    return [Path(directory, name.replace("\\ ", " ")) for name in names if name]


def ninja_dependencies(build_dir):
    """What Ninja recorded each output reads (it keeps the compiler's dependency files in its
    own log and deletes them), by absolute output path; None for a build without Ninja."""
    if not (build_dir / ".ninja_deps").exists():
        return None
    listing = subprocess.run(["ninja", "-C", str(build_dir), "-t", "deps"], capture_output=True,
                             text=True, check=True).stdout
    recorded = {}
    current = None
    for line in listing.splitlines():
        if line and not line[0].isspace():
            output, _, state = line.partition(": #deps")
            current = [] if state.endswith("(VALID)") else None
            if current is not None:
                recorded[os.path.normpath(build_dir.resolve() / output)] = current
        elif line.strip() and current is not None:
            current.append(build_dir.resolve() / line.strip())
    return recorded


def recorded_dependencies(output, directory, recorded):
    """The files a built output read, or None when the build has no fresh record of it."""
    if recorded is not None:
        return recorded.get(os.path.normpath(Path(directory, output)))
    return depfile_paths(Path(directory, output + ".d"), directory)


def dependencies(unit, recorded):
    """Every file the source reads: what the build recorded for it and for its precompiled
    header, or, for a source not built yet, what clang finds now."""
    args = unit["arguments"]
    directory = unit["directory"]
    output = args[args.index("-o") + 1]
    depfile = Path(directory, output + ".d")
    stale = recorded is None and (not depfile.exists() or
                                  depfile.stat().st_mtime < Path(unit["file"]).stat().st_mtime)
    deps = None if stale else recorded_dependencies(output, directory, recorded)
    if deps is not None and unit["pch"]:
        pch_deps = recorded_dependencies(unit["pch"] + ".gch", directory, recorded)
        deps = None if pch_deps is None else deps + pch_deps
    if deps is not None:
        return deps
    command = ["clang++"] + args[1:args.index("-o")] + args[args.index("-o") + 2:]
    result = subprocess.run(command + ["-Wno-unknown-warning-option", "-M", "-MG"],
                            cwd=directory, capture_output=True, text=True)
    if result.returncode != 0:
        return None
    text = result.stdout.replace("\\\n", " ")
    names = re.split(r"(?<!\\)\s+", text.split(":", 1)[1])
    return [Path(directory, name) for name in names if name]


class Hasher:
    def __init__(self, build_dir):
        self.build_dir = build_dir.resolve()
        self.known = {}

    def place(self, path):
        """A path that is the same in another clone or build folder of the project."""
        text = str(path)
        text = text.replace(str(self.build_dir), "<build>")
        return text.replace(str(SOURCE_ROOT), "<source>")

    def content(self, path):
        path = Path(os.path.normpath(path))
        if path not in self.known:
            try:
                self.known[path] = hashlib.sha256(path.read_bytes()).hexdigest()
            except OSError:
                self.known[path] = "missing"
        return self.known[path]

    def key(self, unit, deps, common):
        if deps is None:
            return None
        digest = hashlib.sha256(common)
        digest.update(self.place(" ".join(unit["arguments"])).encode())
        digest.update(self.place(unit["file"]).encode())
        digest.update(self.content(unit["file"]).encode())
        for place, content in sorted({(self.place(os.path.normpath(d)), self.content(d))
                                      for d in deps}):
            digest.update(f"{place}={content}\n".encode())
        return digest.hexdigest()


def git(root, *args):
    """The command's output, or nothing when it fails (a clone without history)."""
    result = subprocess.run(["git", "-C", str(root)] + list(args), capture_output=True,
                            text=True)
    return result.stdout.strip() if result.returncode == 0 else ""


def changed_files(root):
    """What differs from the point where this clone left the main line (origin's default branch,
    else the local main, else the branch's upstream), committed or not, untracked files included,
    and that point. In a fresh clone of the main line nothing differs."""
    base = next((found for found in (git(root, "merge-base", "HEAD", ref)
                                     for ref in ("origin/HEAD", "main", "@{upstream}"))
                 if found), "HEAD")
    names = git(root, "diff", "--name-only", base).splitlines()
    names += git(root, "ls-files", "--others", "--exclude-standard").splitlines()
    return {(root / name).resolve() for name in names}, base


@functools.lru_cache(maxsize=None)
def real_path(path):
    return Path(path).resolve()


def touches(deps, changed):
    return any(real_path(str(dep)) in changed for dep in deps)


def run_tidy(unit, database):
    result = subprocess.run(TIDY + ["-p", str(database), unit["file"]], capture_output=True,
                            text=True)
    return result.returncode, result.stdout + result.stderr


def prune(stamps):
    limit = time.time() - STAMP_LIFETIME_DAYS * 86400
    for stamp in stamps.glob("*/*"):
        if stamp.stat().st_mtime < limit:
            stamp.unlink(missing_ok=True)


def count(number, word):
    """A French count: no plural for 0 or 1."""
    return f"{number} {word}{'s' if number > 1 else ''}"


def select_changed(units, deps, root=SOURCE_ROOT):
    """The units that read a changed file, and a line saying what was chosen; all units when the
    checks themselves changed."""
    changed, base = changed_files(root)
    since = f"depuis {base[:10]}"
    if (root / ".clang-tidy").resolve() in changed:
        return units, f".clang-tidy a changé {since}"
    chosen = [unit for unit in units if touches([unit["file"]] + (deps[unit["file"]] or []),
                                                  changed)]
    return chosen, f"{count(len(chosen), 'touché')} par les changements {since}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--changed", action="store_true")
    parser.add_argument("build_dir", nargs="?", default="build-test")
    arguments = parser.parse_args()
    build_dir = Path(arguments.build_dir)
    units = lint_units(build_dir)
    database = build_dir / "lint"
    database.mkdir(exist_ok=True)
    plain = [{k: u[k] for k in ("directory", "arguments", "file")} for u in units]
    (database / "compile_commands.json").write_text(json.dumps(plain, indent=1))

    version = subprocess.run(["clang-tidy", "--version"], capture_output=True).stdout
    # What the verdict depends on besides the unit; not this script, whose reports may change.
    common = version + (SOURCE_ROOT / ".clang-tidy").read_bytes() + " ".join(TIDY).encode()
    hasher = Hasher(build_dir)
    recorded = ninja_dependencies(build_dir)
    deps = {unit["file"]: dependencies(unit, recorded) for unit in units}
    chosen, choice = select_changed(units, deps) if arguments.changed else (units, None)
    stamps = cache_dir()
    to_check = []
    for unit in chosen:
        key = hasher.key(unit, deps[unit["file"]], common)
        stamp = None if key is None else stamps / key[:2] / key
        if stamp is not None and stamp.exists():
            stamp.touch()
        else:
            to_check.append((unit, stamp))
    print(f"clang-tidy : {count(len(units), 'fichier')}, {choice + ', ' if choice else ''}"
          f"{count(len(chosen) - len(to_check), 'déjà vu')} sans remarque, {len(to_check)} à "
          "vérifier.", flush=True)

    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count()) as pool:
        futures = {pool.submit(run_tidy, unit, database): (unit, stamp)
                   for unit, stamp in to_check}
        for done, future in enumerate(concurrent.futures.as_completed(futures), start=1):
            unit, stamp = futures[future]
            code, output = future.result()
            name = os.path.relpath(unit["file"], SOURCE_ROOT)
            print(f"[{done}/{len(to_check)}] {name} : "
                  f"{'sans remarque' if code == 0 else 'remarques'}", flush=True)
            if code == 0:
                if stamp is not None:
                    stamp.parent.mkdir(parents=True, exist_ok=True)
                    stamp.touch()
            else:
                failed += 1
                print(output, end="", flush=True)
    prune(stamps)
    print(f"clang-tidy : {count(len(to_check), 'vérifié')}, {failed} avec remarques.")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
