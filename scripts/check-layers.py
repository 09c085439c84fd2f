#!/usr/bin/env python3
"""Fails when an #include crosses a layer the wrong way.

Each folder under src/ is a layer; a file may include headers of the layers
listed for its folder below, and Qt only where Qt is allowed. Prints every
offending line as FILE:LINE: message and exits 1 when there is one.
"""
import pathlib
import re
import sys

DOMAIN_BASE = {"host", "platform", "workbook"}
ALLOWED = {
    "host": {"host"},
    "platform": {"platform"},
    "workbook": DOMAIN_BASE,
    "settings": DOMAIN_BASE | {"settings"},
    "arrangement": DOMAIN_BASE | {"settings", "arrangement"},
    "tables": DOMAIN_BASE | {"settings", "tables"},
    "printing": DOMAIN_BASE | {"printing"},
    "ui": DOMAIN_BASE | {"settings", "arrangement", "tables", "printing", "ui"},
    "entry": DOMAIN_BASE | {"settings", "arrangement", "tables", "printing", "ui", "entry"},
    "render": {"host", "render"},
}
EVERYTHING = set(ALLOWED) | {"cli", "gui"}
ALLOWED["cli"] = EVERYTHING - {"gui"}
ALLOWED["gui"] = EVERYTHING
QT_ALLOWED = {"render", "gui"}
# Qt Widgets (and the dialogs of PrintSupport) belong to the desktop front end only.
WIDGET_HEADERS = re.compile(r"^(QtWidgets/|QtPrintSupport/QPrint(Dialog|PreviewDialog|PreviewWidget))|^Q(Widget|Dialog|MainWindow|Application|PushButton|Label|LineEdit|TableView|Abstract(Item|Scroll)View|PrintDialog|PrintPreview\w*)\b")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(path: pathlib.Path, src: pathlib.Path) -> str:
    rel = path.relative_to(src).parts
    return rel[0] if len(rel) > 1 else ""


def check(src: pathlib.Path) -> list[str]:
    problems = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".cpp"}:
            continue
        layer = layer_of(path, src)
        if not layer:
            continue  # the program's main sees every layer
        allowed = ALLOWED.get(layer)
        if allowed is None:
            problems.append(f"{path}:1: folder '{layer}' has no place in the layer picture")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            kind, header = m.groups()
            if kind == '"':
                target = header.split("/")[0] if "/" in header else layer
                if target not in allowed:
                    problems.append(f"{path}:{number}: {layer}/ may not include {header}")
            elif header.startswith("Q"):
                if layer not in QT_ALLOWED:
                    problems.append(f"{path}:{number}: Qt header {header} outside render/ and gui/")
                elif layer == "render" and WIDGET_HEADERS.search(header):
                    problems.append(f"{path}:{number}: render/ may not use widgets ({header})")
    return problems


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    problems = check(src)
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) cross a layer the wrong way")
        return 1
    print("layers: every include follows the layer picture")
    return 0


if __name__ == "__main__":
    sys.exit(main())
