#!/usr/bin/python3
"""Checks that every shared library, plugin and font the installed program loaded while
the end-to-end scenarios drove it belongs to a package that installing ampero pulls in,
so that `apt-get install ./ampero_*.deb` gives a bare machine all the program needs.

The scenarios record the files mapped into the program (loaded-files.txt in each
scenario's artifacts). Usage: installed_dependencies.py ARTIFACTS_DIR"""

import glob
import os
import subprocess
import sys


def dependency_closure(package):
    listed = subprocess.run(
        ["apt-cache", "depends", "--recurse", "--no-recommends", "--no-suggests",
         "--no-conflicts", "--no-breaks", "--no-replaces", "--no-enhances", package],
        check=True, capture_output=True, text=True).stdout
    return {line.strip().split(":")[0] for line in listed.splitlines()
            if line and not line[0].isspace()}


# Libraries the program's toolkit opens by name when they are there and does without when
# they are not: the X cursor-theme library that the X11 platform plugin asks for.
OPTIONAL_LIBRARIES = ("libXcursor.so.",)


def linked_libraries(path):
    listed = subprocess.run(["ldd", path], capture_output=True, text=True).stdout
    return {os.path.realpath(line.split("=> ")[1].split(" (")[0])
            for line in listed.splitlines() if "=> /" in line}


def optional(loaded, closure_owned):
    """Files loaded only because they happen to be installed: toolkit plugins outside the
    dependency closure (the toolkit loads every plugin it finds), the optional libraries
    above, and the libraries those link to."""
    roots = {path for path in loaded
             if (("/qt6/plugins/" in path and path not in closure_owned)
                 or os.path.basename(path).startswith(OPTIONAL_LIBRARIES))}
    return roots.union(*(linked_libraries(root) for root in roots))


def is_dependency(path):
    """Libraries, plugins and fonts; not caches, shared memory or the program's own files."""
    name = os.path.basename(path)
    return name.endswith(".so") or ".so." in name or path.startswith("/usr/share/fonts/")


def merged_usr_aliases(path):
    """dpkg records /lib paths for some files that the loader finds through /usr/lib."""
    aliases = [path]
    for short, long in (("/lib/", "/usr/lib/"), ("/lib64/", "/usr/lib64/")):
        if path.startswith(long):
            aliases.append(short + path[len(long):])
        elif path.startswith(short):
            aliases.append(long + path[len(short):])
    return aliases


def owners(paths):
    queries = sorted({alias for path in paths for alias in merged_usr_aliases(path)})
    listed = subprocess.run(["dpkg-query", "--search", *queries], capture_output=True,
                            text=True).stdout
    owned = {}
    for line in listed.splitlines():
        packages, _, file = line.partition(": ")
        if file and not packages.startswith("diversion"):
            owned[file] = {package.strip().split(":")[0] for package in packages.split(",")}
    return {path: set().union(*(owned.get(alias, set()) for alias in merged_usr_aliases(path)))
            for path in paths}


def main():
    records = glob.glob(os.path.join(sys.argv[1], "*", "loaded-files.txt"))
    if not records:
        print(f"no loaded-files.txt under {sys.argv[1]}: run the end-to-end scenarios first")
        return 1
    loaded = set()
    for record in records:
        with open(record) as listed:
            loaded.update(path for path in listed.read().split("\n") if is_dependency(path))
    closure = dependency_closure("ampero")
    print(f"{len(loaded)} libraries and fonts loaded in {len(records)} scenarios; "
          f"installing ampero pulls in {len(closure)} packages")
    owned = owners(loaded)
    skipped = optional(loaded, {path for path, packages in owned.items() if packages & closure})
    failures = []
    for path, packages in sorted(owned.items()):
        if not packages:
            failures.append(f"{path} belongs to no package")
        elif path in skipped and not packages & closure:
            print(f"  {path}: {', '.join(sorted(packages))} (optional, loaded because present)")
        elif not packages & closure:
            failures.append(f"{path} comes from {', '.join(sorted(packages))}, which "
                            "installing ampero does not pull in")
        else:
            print(f"  {path}: {', '.join(sorted(packages & closure))}")
    for failure in failures:
        print(f"FAIL: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
