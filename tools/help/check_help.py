#!/usr/bin/env python3
"""Checks the compiled help files against the screensaver's own tables:
every page of the topic table and every pop-up id of the pop-up table must be
in the file of its language, and each file must carry the window type
"main".

    check_help.py HELP_SOURCE DIST_DIR      (HELP_SOURCE: services/help.cpp)"""
import os
import re
import subprocess
import sys
import tempfile


def chm_names(chm):
    out = subprocess.run(["chmls", "list", chm], check=True, capture_output=True, text=True).stdout
    return {line.split()[-1] for line in out.splitlines() if line.strip().startswith(("0", "1"))}


def chm_file(chm, name):
    with tempfile.TemporaryDirectory() as tmp:
        target = os.path.join(tmp, "out")
        subprocess.run(["chmls", "extract", chm, name, target], check=True, capture_output=True)
        with open(target, "rb") as f:
            return f.read()


def main():
    source = open(sys.argv[1], encoding="utf-8").read()
    dist = sys.argv[2]
    pages = re.findall(r'"::(html/(d|en)/[a-z]+\.html)>main"', source)
    table = source[source.index("kHelpPopupTable[] = {"):]
    table = table[table.index("{") + 1:table.index("};")]
    numbers = [int(n) for n in re.findall(r"\d+", table)]
    popup_ids = set(numbers[1::2]) - {0}
    faults = []
    for chm, code, popups in (("Wyn03d.chm", "d", "popups.txt"), ("Wyn03e.chm", "en", "popups_en.txt")):
        path = os.path.join(dist, chm)
        if not os.path.exists(path):
            faults.append(f"{chm} missing")
            continue
        names = chm_names(path)
        for page, lang in pages:
            if lang == code and "/" + page not in names:
                faults.append(f"{chm}: no {page}")
        if "/" + popups not in names:
            faults.append(f"{chm}: no {popups}")
        else:
            topics = set(int(t) for t in re.findall(rb"^\.topic (\d+)", chm_file(path, "/" + popups), re.M))
            for pid in sorted(popup_ids - topics):
                faults.append(f"{chm}: no pop-up {pid}")
        if "/#WINDOWS" not in names or b"main" not in chm_file(path, "/#STRINGS"):
            faults.append(f"{chm}: no window type main")
    german = {p for p, lang in pages if lang == "d"}
    english = {p for p, lang in pages if lang == "en"}
    print(f"help: {len(german)} German and {len(english)} English pages, {len(popup_ids)} pop-up ids checked")
    for fault in faults:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
