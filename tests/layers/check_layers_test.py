#!/usr/bin/env python3
"""The layer check itself: it passes a tree that keeps the picture and names
every include that crosses it the wrong way."""
import pathlib
import subprocess
import sys
import tempfile

SCRIPT = pathlib.Path(sys.argv[1])


def run(files: dict[str, str]) -> subprocess.CompletedProcess:
    with tempfile.TemporaryDirectory() as d:
        src = pathlib.Path(d) / "src"
        for name, text in files.items():
            path = src / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text, encoding="utf-8")
        return subprocess.run([sys.executable, str(SCRIPT), str(src)], capture_output=True, text=True)


def expect(cond: bool, what: str, result: subprocess.CompletedProcess) -> None:
    if not cond:
        print(f"FAILED: {what}\n{result.stdout}{result.stderr}")
        sys.exit(1)


good = run({
    "host/Range.h": '#include "host/Cell.h"\n#include <vector>\n',
    "workbook/A.cpp": '#include "host/Range.h"\n#include "platform/Toolkit.h"\n',
    "arrangement/B.cpp": '#include "settings/C.h"\n',
    "ui/W.cpp": '#include "arrangement/B.h"\n#include "tables/T.h"\n',
    "render/P.cpp": '#include <QPainter>\n#include "host/Range.h"\n',
    "gui/V.cpp": '#include <QWidget>\n#include "render/P.h"\n#include "entry/TolmDll.h"\n',
    "cli/M.cpp": '#include "entry/TolmDll.h"\n#include "render/P.h"\n',
    "main.cpp": '#include "gui/V.h"\n',
})
expect(good.returncode == 0, "a tree that keeps the picture passes", good)

cases = [
    ({"arrangement/R.cpp": '#include "ui/Toolkit.h"\n'}, "arrangement/ may not include ui/Toolkit.h"),
    ({"arrangement/R.cpp": '#include "entry/Component.h"\n'}, "arrangement/ may not include entry/Component.h"),
    ({"workbook/F.cpp": '#include "ui/Controls.h"\n'}, "workbook/ may not include ui/Controls.h"),
    ({"host/X.cpp": '#include "workbook/SystemNames.h"\n'}, "host/ may not include workbook/SystemNames.h"),
    ({"printing/P.cpp": '#include "settings/S.h"\n'}, "printing/ may not include settings/S.h"),
    ({"cli/C.cpp": '#include "gui/HostWindow.h"\n'}, "cli/ may not include gui/HostWindow.h"),
    ({"settings/S.cpp": '#include <QString>\n'}, "Qt header QString outside render/ and gui/"),
    ({"render/R.cpp": '#include <QWidget>\n'}, "render/ may not use widgets (QWidget)"),
    ({"render/R.cpp": '#include <QtWidgets/QLabel>\n'}, "render/ may not use widgets (QtWidgets/QLabel)"),
    ({"stray/Z.cpp": '#include "host/Range.h"\n'}, "folder 'stray' has no place"),
]
for files, message in cases:
    result = run(files)
    expect(result.returncode == 1 and message in result.stdout, f"reports: {message}", result)
print(f"{len(cases) + 1} passed, 0 failed")
