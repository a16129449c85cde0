"""What the project's CMake files hold that the release tools need, asked of
CMake, which keeps each, by running its file as a script: the targets
(cmake/targets.cmake), the project's facts (cmake/project_facts.cmake), what
a program may hold of others' code (packaging/linked_in.cmake) and what its
link map shows it holds (cmake/link_map.cmake).
"""
import os

from progress import Failure, output

SOURCE = os.path.dirname(os.path.dirname(os.path.realpath(__file__)))
FIELDS = ("preset", "system", "processor", "deb", "rpm", "triplet", "emulator", "packages")


def script(path, **settings):
    """The lines that a CMake script of this tree prints with these settings."""
    return output(["cmake", *(f"-D{name}={value}" for name, value in settings.items()), "-P",
                   os.path.join(SOURCE, path)]).splitlines()


def targets(table="cmake/targets.cmake"):
    """Every target by its preset, in the table's order, each a dict of its
    fields, with "" for an empty one and its packages, the last, a list; of
    this tree's table, or another's file."""
    rows = {}
    for line in script(table, FIELDS=" ".join(FIELDS)):
        values = ["" if value == "-" else value for value in line.split()]
        rows[values[0]] = dict(zip(FIELDS, values), packages=values[len(FIELDS) - 1:])
    return rows


def chosen(every, names):
    """The targets named, comma-separated, in the table's order, or every
    target where none are; a name that is no target stops, naming them."""
    wanted = [name for name in (names or "").split(",") if name]
    for name in wanted:
        if name not in every:
            raise Failure(f"{name} is not a target; the targets are {', '.join(every)}", 2)
    return [target for target in every if not wanted or target in wanted]


def facts():
    """The project's facts, such as SPHERE_VERSION, by name."""
    return dict(line.split("=", 1) for line in script("cmake/project_facts.cmake"))


def linked_in():
    """What a program may hold of others' code: each library or start-up
    object's codes, by its file name less .a or .o, and each code's licence
    (an SPDX expression) and what it is."""
    libraries, codes = {}, {}
    for kind, name, *rest in (line.split("\t") for line in script("packaging/linked_in.cmake")):
        if kind == "library":
            libraries[name] = set(rest[0].split(","))
        else:
            codes[name] = rest
    return libraries, codes


def link_map_files(link_map):
    """The files of others' code that a program's link map shows it holds."""
    return script("cmake/link_map.cmake", MAP=link_map)
