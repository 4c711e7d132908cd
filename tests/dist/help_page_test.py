#!/usr/bin/env python3
"""The help pages and the README's user guides, from docs/help.md and docs/help-en.md."""
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
import helppage  # noqa: E402

failures = 0


def check(what, ok):
    global failures
    if not ok:
        print("FAILED:", what)
        failures += 1


# The README holds the source's text, unchanged, between its markers.
check("README.md's user guide is docs/help.md",
      subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "helppage.py"), "readme",
                      "--check"]).returncode == 0)
readme = "intro\n%s\nold text\n%s\noutro\n" % (helppage.BEGIN, helppage.END)
check("a stale guide is replaced between the markers, the rest kept",
      helppage.readme_with("### A\n\nnew\n", readme)
      == "intro\n%s\n\n### A\n\nnew\n\n%s\noutro\n" % (helppage.BEGIN, helppage.END))

# The Markdown the source may use, as the page shows it.
cases = [
    ("plain text", "plain text"),
    ("a < b & c > d", "a &lt; b &amp; c &gt; d"),
    ("`C:\\Brindlecap` and `<b>`", "<TT>C:\\Brindlecap</TT> and <TT>&lt;b&gt;</TT>"),
    ("**Архив** `a.zip`", "<B>Архив</B> <TT>a.zip</TT>"),
    ("`**not bold**`", "<TT>**not bold**</TT>"),
]
for source, shown in cases:
    check("inline %r" % source, helppage.inline(source) == shown)

source = """### Раздел

Первая строка
вторая строка.

- пункт один
  продолжение
- пункт два

| Поле | Допустимо |
|---|---|
| Загрузка процессора, % | от 0 до 100 |
"""
expected = [
    ("heading", "Раздел"),
    ("p", "Первая строка вторая строка."),
    ("list", ["пункт один продолжение", "пункт два"]),
    ("table", [["Поле", "Допустимо"], ["Загрузка процессора, %", "от 0 до 100"]]),
]
check("blocks of a small source", list(helppage.blocks(source.splitlines())) == expected)

# The page of the real source.
with tempfile.TemporaryDirectory() as work:
    path = os.path.join(work, "brindlecap.htm")
    subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "helppage.py"), "page", path],
                   check=True)
    data = open(path, "rb").read()
check("every line ends in CR LF", data.endswith(b"\r\n") and b"\n" not in data.replace(b"\r\n", b""))
text = data.decode("cp1251")
check("the code page is declared in the head", re.search(
    r'<HEAD>\r\n<meta http-equiv="Content-Type" content="text/html; charset=windows-1251">\r\n',
    text) is not None)
check("HTML 3.2 declared", text.startswith('<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 3.2 Final//EN">'))
tags = set(t.upper() for t in re.findall(r"</?([A-Za-z0-9]+)", text))
check("only HTML 3.2 elements: %s" % sorted(tags),
      tags <= {"HTML", "HEAD", "META", "TITLE", "BODY", "H1", "H2", "P", "UL", "LI", "TABLE",
               "TR", "TH", "TD", "TT", "B"})
help_source = open(os.path.join(ROOT, "docs", "help.md"), encoding="utf-8").read()
for heading in re.findall(r"^### (.*)$", help_source, re.M):
    check("section %s on the page" % heading, "<H2>%s</H2>" % heading in text)
for row in ["<TR><TD>Автоматическое очищение каждые (мин)</TD><TD>от 0 до 99; 0 — без "
            "автоматического очищения</TD></TR>",
            "<TR><TD>Обновление информации (м.сек)</TD><TD>от 100 до 9999</TD></TR>",
            "<TR><TD><TT>Brindlecap.exe C 100 D</TT></TD>"]:
    check("page row %s" % row, row in text)

# The English page (its maker refuses anything but ASCII) from its own source.
english_source = open(helppage.ENGLISH.source, encoding="utf-8").read()
english = helppage.page(english_source, helppage.ENGLISH).decode("ascii")
check("the English page has the source's sections",
      all("<H2>%s</H2>" % h in english for h in re.findall(r"^### (.*)$", english_source, re.M)))

print("help page: %d failed" % failures)
sys.exit(1 if failures else 0)
