#!/usr/bin/env python3
"""The user's guide from its sources, docs/help.md (Russian) and
docs/help-en.md (English), each in two places.

  helppage.py page OUT.htm [--english]
                             the help page "Справка" opens: plain HTML 3.2,
                             CR LF, for any browser from Windows 95 on; the
                             Russian one in Windows-1251, the English one in
                             plain ASCII
  helppage.py readme         writes each source into README.md between its
                             two markers
  helppage.py readme --check exits 1 when README.md holds anything else there

The source keeps to a small part of Markdown: "### " headings,
paragraphs, "- " lists (continued by lines indented two spaces), tables of
"|" rows under a "|---|" line, `code` and **bold**.
"""
import html
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE = os.path.join(ROOT, "docs", "help.md")
README = os.path.join(ROOT, "README.md")
BEGIN = "<!-- user guide: written from docs/help.md by scripts/helppage.py readme -->"
END = "<!-- end of user guide -->"
TITLE = "Brindlecap — справка"


class Guide:
    def __init__(self, source, begin, end, title, charset, codec):
        self.source, self.begin, self.end = source, begin, end
        self.title, self.charset, self.codec = title, charset, codec


RUSSIAN = Guide(SOURCE, BEGIN, END, TITLE, "windows-1251", "cp1251")
ENGLISH = Guide(
    os.path.join(ROOT, "docs", "help-en.md"),
    "<!-- English user guide: written from docs/help-en.md by scripts/helppage.py readme -->",
    "<!-- end of English user guide -->",
    "Brindlecap help", "us-ascii", "ascii")


def inline(text):
    out = []
    # Code first, so that its text is taken as it stands.
    for i, part in enumerate(re.split(r"`([^`]*)`", text)):
        part = html.escape(part, quote=False)
        if i % 2:
            out.append("<TT>" + part + "</TT>")
        else:
            out.append(re.sub(r"\*\*(.+?)\*\*", r"<B>\1</B>", part))
    return "".join(out)


def cells(line):
    return [c.strip() for c in line.strip().strip("|").split("|")]


def blocks(lines):
    """(kind, payload) for each block of the source."""
    i = 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
        elif line.startswith("### "):
            yield ("heading", line[4:].strip())
            i += 1
        elif line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                if not re.fullmatch(r"\|[-|: ]+\|", lines[i].strip()):
                    rows.append(cells(lines[i]))
                i += 1
            yield ("table", rows)
        elif line.startswith("- "):
            items = []
            while i < len(lines) and (lines[i].startswith("- ") or lines[i].startswith("  ")):
                if lines[i].startswith("- "):
                    items.append(lines[i][2:].strip())
                else:
                    items[-1] += " " + lines[i].strip()
                i += 1
            yield ("list", items)
        else:
            text = []
            while i < len(lines) and lines[i].strip() and lines[i][0] not in "#|-":
                text.append(lines[i].strip())
                i += 1
            if not text:
                raise SystemExit("helppage: cannot read line %d: %r" % (i + 1, line))
            yield ("p", " ".join(text))


def page(source, guide=RUSSIAN):
    out = [
        '<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 3.2 Final//EN">',
        "<HTML>",
        "<HEAD>",
        '<meta http-equiv="Content-Type" content="text/html; charset=%s">' % guide.charset,
        "<TITLE>%s</TITLE>" % html.escape(guide.title),
        "</HEAD>",
        "<BODY>",
        "<H1>%s</H1>" % html.escape(guide.title),
    ]
    for kind, payload in blocks(source.splitlines()):
        if kind == "heading":
            # Sections of the README's guide, sections of the page.
            out.append("<H2>%s</H2>" % inline(payload))
        elif kind == "p":
            out.append("<P>%s</P>" % inline(payload))
        elif kind == "list":
            out.append("<UL>")
            out.extend("<LI>%s" % inline(item) for item in payload)
            out.append("</UL>")
        elif kind == "table":
            out.append('<TABLE BORDER="1" CELLPADDING="3" CELLSPACING="0">')
            for n, row in enumerate(payload):
                tag = "TH" if n == 0 else "TD"
                out.append(
                    "<TR>" + "".join("<%s>%s</%s>" % (tag, inline(c), tag) for c in row) + "</TR>"
                )
            out.append("</TABLE>")
    out += ["</BODY>", "</HTML>", ""]
    # A character the code page lacks stops the build here rather than
    # showing as "?" on the user's screen.
    return "\r\n".join(out).encode(guide.codec)


def readme_with(source, readme, guide=RUSSIAN):
    start = readme.find(guide.begin)
    end = readme.find(guide.end)
    if start < 0 or end < start:
        raise SystemExit("helppage: README.md lacks the markers of " + os.path.basename(guide.source))
    return (readme[: start + len(guide.begin)] + "\n\n" + source.rstrip("\n") + "\n\n"
            + readme[end:])


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def main(argv):
    if len(argv) in (3, 4) and argv[1] == "page" and argv[3:] in ([], ["--english"]):
        guide = ENGLISH if argv[3:] else RUSSIAN
        with open(argv[2], "wb") as f:
            f.write(page(read(guide.source), guide))
        return 0
    if len(argv) in (2, 3) and argv[1] == "readme":
        readme = read(README)
        wanted = readme
        for guide in (ENGLISH, RUSSIAN):
            wanted = readme_with(read(guide.source), wanted, guide)
        if argv[2:] == ["--check"]:
            if wanted != readme:
                print("README.md's user guides differ from docs/help.md or docs/help-en.md: "
                      "run scripts/helppage.py readme")
                return 1
            return 0
        if len(argv) == 2:
            if wanted != readme:
                with open(README, "w", encoding="utf-8") as f:
                    f.write(wanted)
            return 0
    print(__doc__.strip())
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
