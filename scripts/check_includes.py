#!/usr/bin/env python3
"""Checks the include rules of src/ and looks for include circles.

  platform/  includes only platform/
  shell/     includes platform/ and shell/, never a feature folder
  a feature  includes platform/, shell/ and itself; any other feature only through
             a pair written in docs/include-allow-list.txt

src/main.cpp puts the program together and may include anything.
Exits 1 on a broken rule, a circle, or an allow-list line that no longer matches.
"""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SRC = ROOT / "src"
ALLOW_LIST = ROOT / "docs" / "include-allow-list.txt"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}


def folder_of(rel: str) -> str:
    """First folder under src/, or '' for files directly in src/."""
    parts = rel.split("/")
    return parts[0] if len(parts) > 1 else ""


def resolve(including: Path, name: str) -> str | None:
    """Path under src/ that the include names, or None for headers outside src/."""
    for base in (SRC, including.parent):
        candidate = (base / name).resolve()
        if candidate.is_file() and SRC in candidate.parents:
            return candidate.relative_to(SRC).as_posix()
    return None


def read_allow_list() -> dict[tuple[str, str], int]:
    pairs = {}
    for number, line in enumerate(ALLOW_LIST.read_text(encoding="utf-8").splitlines(), 1):
        entry = line.split("#", 1)[0].strip()
        if not entry:
            continue
        fields = entry.split()
        if len(fields) != 2 or "#" not in line:
            sys.exit(f"{ALLOW_LIST.name}:{number}: want 'src-file included-file  # reason'")
        pairs[(fields[0], fields[1])] = number
    return pairs


def collect_graph() -> dict[str, list[str]]:
    graph = {}
    for path in sorted(SRC.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        rel = path.relative_to(SRC).as_posix()
        text = path.read_text(encoding="utf-8", errors="replace")
        targets = (resolve(path, name) for name in INCLUDE.findall(text))
        graph[rel] = [t for t in targets if t is not None]
    return graph


def rule_breaks(graph, allowed) -> tuple[list[str], set]:
    problems, used = [], set()
    for source, targets in graph.items():
        origin = folder_of(source)
        if origin == "":
            continue
        for target in targets:
            dest = folder_of(target)
            if dest == origin or dest == "platform":
                continue
            if origin == "platform":
                problems.append(f"src/{source} includes {target}: platform/ includes only platform/")
            elif dest == "shell" and origin != "shell":
                continue
            elif origin == "shell":
                problems.append(f"src/{source} includes {target}: shell/ includes no feature folder")
            elif (source, target) in allowed:
                used.add((source, target))
            else:
                problems.append(
                    f"src/{source} includes {target}: one feature reaching another, "
                    f"not in docs/include-allow-list.txt"
                )
    return problems, used


def circles(graph) -> list[list[str]]:
    """Each include circle once, found by depth-first search."""
    found, seen_keys = [], set()
    state = {}  # file -> 1 while on the stack, 2 when done

    def visit(node, stack):
        state[node] = 1
        stack.append(node)
        for nxt in graph.get(node, []):
            if state.get(nxt) == 1:
                loop = stack[stack.index(nxt):]
                key = frozenset(loop)
                if key not in seen_keys:
                    seen_keys.add(key)
                    found.append(loop + [nxt])
            elif nxt not in state:
                visit(nxt, stack)
        stack.pop()
        state[node] = 2

    sys.setrecursionlimit(10000)
    for node in graph:
        if node not in state:
            visit(node, [])
    return found


def main() -> int:
    graph = collect_graph()
    allowed = read_allow_list()
    problems, used = rule_breaks(graph, allowed)
    for source, target in sorted(set(allowed) - used):
        problems.append(
            f"docs/include-allow-list.txt:{allowed[(source, target)]}: "
            f"{source} no longer includes {target}; remove the line"
        )
    for loop in circles(graph):
        problems.append("include circle: " + " -> ".join(loop))
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print(f"include rules: {len(graph)} files, {len(used)} allowed cross-feature includes, no circle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
