#!/usr/bin/env python3
"""Counts the string literals naming a control of a window (unit names such
as "编辑框14") in the program's code outside the places that may know them:
the windows' layout tables, the form binding and the record's field table.
Comments do not count. Prints the count per file and in all; exits 1 when
there is any."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
FOLDERS = ["app", "audio", "exchange", "ledger", "library", "platform", "record", "security", "settings", "word"]
ALLOWED = {
    "app/MainWinLayout.h", "app/MainWinLayout.cpp",  # the main window's layout table
    "app/TextWin.cpp",                               # the reader window's layout table
    "app/FormBinding.cpp",                           # which control holds which field
    "record/RecordFields.cpp",                       # the record's field table
    "security/PasswordWinLayout.h", "security/PasswordWinLayout.cpp",
}
UNIT = re.compile(r"^(分组框|图片框|按钮|时钟|标签|滑块条|状态条|组合框|编辑框|超级按钮|超级编辑框|通用对话框|核验对话框|暂停)\w*$")
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|R"\((?:.|\n)*?\)"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)


def literals(text):
    for m in TOKEN.finditer(text):
        token = m.group(0)
        if token.startswith('"'):
            yield token[1:-1]


def main():
    total = 0
    for folder in FOLDERS:
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            name = path.relative_to(ROOT).as_posix()
            if name in ALLOWED:
                continue
            found = [s for s in literals(path.read_text(encoding="utf-8")) if UNIT.match(s)]
            if found:
                print(f"{name}: {len(found)} ({', '.join(found)})")
                total += len(found)
    print(f"unit-name literals outside the layout tables, the form binding and the field table: {total}")
    return 1 if total else 0


if __name__ == "__main__":
    sys.exit(main())
