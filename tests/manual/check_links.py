#!/usr/bin/env python3
"""Every page and anchor the program or the manual points at must exist.

Usage: check_links.py MANUAL_DIR PROGRAM_HEADER [COMMAND_IDS MENU_RC]
The program's pages are the kManual* names in PROGRAM_HEADER (the folder name
excepted); the manual's are every href and src of every page. Every link stays
inside MANUAL_DIR: the manual is copied beside the program on its own. With
COMMAND_IDS and MENU_RC, every item of the menu must have its entry
(id "c<number>") in menus.html.
"""
import html.parser
import os
import re
import sys
import urllib.parse


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.ids = set()
        self.links = []  # (attribute, value)

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if value is None:
                continue
            if name in ("id", "name") and (name == "id" or tag == "a"):
                if value in self.ids:
                    self.links.append(("duplicate id", value))
                self.ids.add(value)
            elif name in ("href", "src"):
                self.links.append((name, value))


def main(manual, header):
    errors = []
    pages = {}
    for name in sorted(os.listdir(manual)):
        if name.endswith(".html"):
            p = Page()
            with open(os.path.join(manual, name), encoding="utf-8") as f:
                p.feed(f.read())
            pages[name] = p

    def check(origin, target):
        parsed = urllib.parse.urlsplit(target)
        if parsed.scheme or parsed.netloc or target.startswith("/"):
            errors.append(f"{origin}: {target}: the manual must work offline, beside the program")
            return
        path = urllib.parse.unquote(parsed.path) or origin.split("#")[0]
        inside = os.path.normpath(path.replace("\\", "/"))
        if os.path.isabs(inside) or inside == ".." or inside.startswith("../"):
            errors.append(f"{origin}: {target}: leaves the manual's folder")
            return
        if not os.path.isfile(os.path.join(manual, path)):
            errors.append(f"{origin}: {target}: no such file")
            return
        if parsed.fragment:
            page = pages.get(path)
            if page is None or parsed.fragment not in page.ids:
                errors.append(f"{origin}: {target}: no such anchor")

    with open(header, encoding="utf-8") as f:
        named = re.findall(r'constexpr char (kManual\w+)\[\] = "([^"]*)";', f.read())
    program_pages = [value for name, value in named if name != "kManualFolder"]
    if len(program_pages) < 3:
        errors.append(f"{header}: expected the three help pages, found {program_pages}")
    for page in program_pages:
        check("program", page)

    if len(sys.argv) > 4:
        with open(sys.argv[3], encoding="utf-8") as f:
            ids = dict(re.findall(r"#define\s+(CM_\w+)\s+(\d+)", f.read()))
        with open(sys.argv[4], encoding="utf-8") as f:
            items = re.findall(r'MENUITEM\s+"[^"]*",\s*(CM_\w+)', f.read())
        entries = pages["menus.html"].ids if "menus.html" in pages else set()
        for item in items:
            if item not in ids:
                errors.append(f"{sys.argv[4]}: {item} has no number in {sys.argv[3]}")
            elif "c" + ids[item] not in entries:
                errors.append(f"menus.html: no entry (id c{ids[item]}) for the menu item {item}")

    for name, page in pages.items():
        for attr, value in page.links:
            if attr == "duplicate id":
                errors.append(f"{name}: id {value} is used twice")
            else:
                check(name, value)
                image = os.path.join(manual, value)
                if attr == "src" and os.path.isfile(image) and os.path.getsize(image) > 150_000:
                    errors.append(f"{name}: {value} is over 150 KB; shrink it")

    for e in errors:
        print(e)
    print(f"{len(pages)} pages, {sum(len(p.links) for p in pages.values())} links checked")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
