#!/usr/bin/env python3
"""Compiles one-line files with the flags of a library's source (from compile_commands.json):
an include the layering forbids must fail to compile, an allowed one must compile.

  include_views_test.py BUILD/compile_commands.json SRC
"""
import json
import shlex
import subprocess
import sys
import tempfile
from pathlib import Path

# (source whose flags are used, included header, expected to compile)
CASES = [
    ("platform/dao/Database.cpp", "platform/vb/Format.h", True),
    ("platform/dao/Database.cpp", "shell/MainModule.h", False),
    ("platform/ui/MessageBox.cpp", "records/RecordWindows.h", False),
    ("shell/frmMDI.cpp", "shell/MainModule.h", True),
    ("shell/frmMDI.cpp", "records/RecordWindows.h", False),
    ("shell/frmMDI.cpp", "maintenance/Maintenance.h", False),
    ("search/frmSearch.cpp", "records/RecordWindows.h", True),  # in the allow-list
    ("search/frmSearch.cpp", "drill/TestStatement.h", False),  # no longer granted
    ("search/frmSearch.cpp", "drill/frmTest.h", False),  # same folder, not granted
    ("search/frmSearch.cpp", "options/frmOption.h", False),
    ("drill/frmTest.cpp", "search/frmSearch.h", False),
    ("about/frmAbout.cpp", "sets/DataBaseSets.h", False),
]


def command_for(entries, src: Path, source: str):
    wanted = (src / source).resolve()
    for entry in entries:
        if Path(entry["directory"], entry["file"]).resolve() == wanted:
            args = entry.get("arguments") or shlex.split(entry["command"])
            return entry["directory"], args
    sys.exit(f"{source}: not in compile_commands.json")


def syntax_only(args, test_file: str):
    out, skip = [], False
    for arg in args:
        if skip:
            skip = False
        elif arg in ("-o", "-c"):
            skip = True
        elif not arg.endswith(".cpp"):
            out.append(arg)
    if Path(out[0]).name == "ccache":
        out = out[1:]
    return out + ["-fsyntax-only", test_file]


def main():
    entries = json.loads(Path(sys.argv[1]).read_text())
    src = Path(sys.argv[2])
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        test_file = str(Path(tmp) / "include_test.cpp")
        for source, header, allowed in CASES:
            Path(test_file).write_text(f'#include "{header}"\n')
            directory, args = command_for(entries, src, source)
            result = subprocess.run(syntax_only(args, test_file), cwd=directory,
                                    capture_output=True, text=True)
            compiled = result.returncode == 0
            # Refused because the header is not there to see, not for some other error.
            hidden = f"{header}: No such file or directory" in result.stderr
            if compiled != allowed or (not compiled and not hidden):
                failures += 1
                what = "compiled" if compiled else "did not compile"
                print(f"FAIL {source} + {header}: {what}\n{result.stderr[:2000]}")
            else:
                print(f"ok   {source} + {header}: {'compiles' if compiled else 'refused'}")
    print(f"{len(CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
