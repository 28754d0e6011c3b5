#!/usr/bin/env python3
"""The user guide's pages, from the light format they are written in to HTML.

    guide_html.py SOURCE_DIR OUT_DIR   writes OUT_DIR/<page>.html for every SOURCE_DIR/<page>.md
    guide_html.py --check SOURCE_DIR   checks the links, anchors and images of the pages

The pages (docs/guide/*.md) are written in a small part of Markdown, so that
they read well as text and turn into HTML that Qt's text browser shows as a
web browser does:

    # Title of the page            (the first line of every page, once)
    ## Section {#anchor}           (h2/h3; {#anchor} names the place a link or F1 can reach)
    A paragraph: lines that follow each other without an empty line.
    - item / 1. item               (continued on lines indented by two blanks)
    | head | head |               (a table: a heading line, a |---| line, then rows)
    > 注意の文                      (a framed note)
    ![説明](images/name.png)        (a picture on a line of its own, with its caption)
    **strong**, `key or file name`, [text](page.md#anchor)

index.md is the contents: its links give the order of the pages, and every
page shows links to the contents and to the page before and after it. The
check fails on a link to a missing page or anchor, a picture that is not
there, a picture that no page shows, a page the contents do not list, and any
link that leaves the guide (it is read without a network).
"""
import html
import os
import re
import sys

INDEX = "index"
STYLE = """
body { font-family: "IPAPGothic", "Noto Sans CJK JP", sans-serif; font-size: 11pt; color: #202020; }
h1 { font-size: 17pt; color: #17657e; margin-top: 4px; margin-bottom: 8px; }
h2 { font-size: 14pt; color: #17657e; margin-top: 18px; margin-bottom: 4px; }
h3 { font-size: 12pt; margin-top: 12px; margin-bottom: 2px; }
p { margin-top: 4px; margin-bottom: 6px; }
li { margin-top: 2px; margin-bottom: 2px; }
code { font-family: monospace; background-color: #eeeeee; }
p.nav { font-size: 10pt; color: #606060; }
p.figure { text-align: center; margin-top: 8px; margin-bottom: 12px; color: #404040; font-size: 10pt; }
table.grid { border-collapse: collapse; margin-top: 4px; margin-bottom: 8px; }
table.grid th { background-color: #dde9ee; }
table.note { margin-top: 6px; margin-bottom: 8px; }
"""


class Page:
    def __init__(self, name, path):
        self.name = name
        self.path = path
        self.title = None
        self.anchors = set()
        self.links = []  # (line number, target page or None for this page, anchor or None)
        self.images = []  # (line number, relative path)
        self.external = []  # (line number, target)
        self.errors = []
        self.body = []


INLINE = re.compile(r"`([^`]+)`|\*\*(.+?)\*\*|\[([^\]]+)\]\(([^)\s]+)\)")
HEADING = re.compile(r"^(#{1,3})\s+(.*?)(?:\s+\{#([A-Za-z0-9_-]+)\})?\s*$")
IMAGE = re.compile(r"^!\[([^\]]*)\]\(([^)\s]+)\)\s*$")
LIST_ITEM = re.compile(r"^(-|\d+\.)\s+(.*)$")


def join_lines(lines):
    """Lines of one paragraph as one text: Japanese runs on without a blank."""
    out = ""
    for line in (l.strip() for l in lines):
        if out and out[-1].isascii() and out[-1].isalnum() and line[:1].isascii() and line[:1].isalnum():
            out += " "
        out += line
    return out


def inline(page, text, lineno):
    parts = []
    pos = 0
    for m in INLINE.finditer(text):
        parts.append(html.escape(text[pos:m.start()], quote=False))
        code, strong, label, target = m.groups()
        if code is not None:
            parts.append("<code>%s</code>" % html.escape(code, quote=False))
        elif strong is not None:
            parts.append("<b>%s</b>" % inline(page, strong, lineno))
        else:
            parts.append('<a href="%s">%s</a>' % (html.escape(link_target(page, target, lineno)),
                                                 inline(page, label, lineno)))
        pos = m.end()
    parts.append(html.escape(text[pos:], quote=False))
    return "".join(parts)


def link_target(page, target, lineno):
    if re.match(r"^[a-z]+:", target):
        page.external.append((lineno, target))
        return target
    name, _, anchor = target.partition("#")
    if name == "":
        page.links.append((lineno, None, anchor or None))
        return "#" + anchor
    if not name.endswith(".md") or "/" in name:
        page.errors.append("%s:%d: a link must name a page of the guide (page.md): %s" % (page.path, lineno, target))
        return target
    page.links.append((lineno, name[:-3], anchor or None))
    return name[:-3] + ".html" + ("#" + anchor if anchor else "")


def parse(name, path):
    page = Page(name, path)
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    body = page.body
    i = 0
    paragraph = []

    def flush():
        if paragraph:
            body.append("<p>%s</p>" % inline(page, join_lines(paragraph), i))
            paragraph.clear()

    while i < len(lines):
        line = lines[i].rstrip()
        lineno = i + 1
        if not line.strip():
            flush()
            i += 1
            continue
        m = HEADING.match(line)
        if m:
            flush()
            level, text, anchor = len(m.group(1)), m.group(2), m.group(3)
            if level == 1:
                if page.title is not None or body:
                    page.errors.append("%s:%d: the title (# ...) must be the first line, once" % (path, lineno))
                page.title = text
            else:
                tag = "h%d" % level
                if anchor:
                    if anchor in page.anchors:
                        page.errors.append("%s:%d: anchor #%s named twice" % (path, lineno, anchor))
                    page.anchors.add(anchor)
                    body.append('<%s id="%s"><a name="%s"></a>%s</%s>' % (tag, anchor, anchor,
                                                                         inline(page, text, lineno), tag))
                else:
                    body.append("<%s>%s</%s>" % (tag, inline(page, text, lineno), tag))
            i += 1
            continue
        m = IMAGE.match(line)
        if m:
            flush()
            alt, src = m.groups()
            page.images.append((lineno, src))
            body.append('<p class="figure"><img src="%s" alt="%s"><br>%s</p>' %
                        (html.escape(src), html.escape(alt), html.escape(alt, quote=False)))
            i += 1
            continue
        if LIST_ITEM.match(line):
            flush()
            ordered = LIST_ITEM.match(line).group(1) != "-"
            items = []
            while i < len(lines):
                m = LIST_ITEM.match(lines[i].rstrip())
                if m and (m.group(1) != "-") == ordered:
                    items.append([m.group(2)])
                elif items and lines[i].startswith("  ") and lines[i].strip():
                    items[-1].append(lines[i])
                else:
                    break
                i += 1
            tag = "ol" if ordered else "ul"
            body.append("<%s>%s</%s>" % (tag, "".join("<li>%s</li>" % inline(page, join_lines(item), i)
                                                      for item in items), tag))
            continue
        if line.startswith("|"):
            flush()
            rows = []
            while i < len(lines) and lines[i].strip().startswith("|"):
                rows.append((i + 1, [c.strip() for c in lines[i].strip().strip("|").split("|")]))
                i += 1
            if len(rows) < 2 or not all(re.match(r"^:?-+:?$", c) for c in rows[1][1]):
                page.errors.append("%s:%d: a table needs a heading line and a |---| line" % (path, rows[0][0]))
                continue
            out = ['<table class="grid" border="1" cellspacing="0" cellpadding="4">']
            out.append("<tr>%s</tr>" % "".join("<th>%s</th>" % inline(page, c, rows[0][0]) for c in rows[0][1]))
            for n, cells in rows[2:]:
                out.append("<tr>%s</tr>" % "".join("<td>%s</td>" % inline(page, c, n) for c in cells))
            out.append("</table>")
            body.append("".join(out))
            continue
        if line.startswith(">"):
            flush()
            note = []
            while i < len(lines) and lines[i].startswith(">"):
                note.append(lines[i][1:])
                i += 1
            body.append('<table class="note" width="100%%" border="0" cellspacing="0" cellpadding="8">'
                        '<tr><td bgcolor="#fff4d6">%s</td></tr></table>' % inline(page, join_lines(note), i))
            continue
        paragraph.append(line)
        i += 1
    flush()
    if page.title is None:
        page.errors.append("%s:1: the page has no title (# ...)" % path)
    return page


def load(source):
    pages = {}
    for entry in sorted(os.listdir(source)):
        if entry.endswith(".md"):
            name = entry[:-3]
            pages[name] = parse(name, os.path.join(source, entry))
    return pages


def order_of(pages):
    """The pages in the order the contents list them, the contents first."""
    order = [INDEX]
    for _, target, _ in pages[INDEX].links if INDEX in pages else []:
        if target and target in pages and target not in order:
            order.append(target)
    return order


def nav(pages, order, name):
    if name == INDEX:
        return ""
    if name not in order:
        return '<p class="nav"><a href="index.html">目次</a></p>'
    at = order.index(name)
    parts = ['<a href="index.html">目次</a>']
    if at > 1:
        prev = order[at - 1]
        parts.append('← 前: <a href="%s.html">%s</a>' % (prev, html.escape(pages[prev].title, quote=False)))
    if at + 1 < len(order):
        nxt = order[at + 1]
        parts.append('次: <a href="%s.html">%s</a> →' % (nxt, html.escape(pages[nxt].title, quote=False)))
    return '<p class="nav">%s</p>' % "　｜　".join(parts)


def write(pages, out):
    os.makedirs(out, exist_ok=True)
    order = order_of(pages)
    for name, page in pages.items():
        text = ('<!DOCTYPE html>\n<html lang="ja">\n<head>\n<meta charset="utf-8">\n<title>%s</title>\n'
                '<style>%s</style>\n</head>\n<body>\n%s\n<h1>%s</h1>\n%s\n<hr>\n%s\n</body>\n</html>\n' %
                (html.escape(page.title or name, quote=False), STYLE, nav(pages, order, name),
                 html.escape(page.title or name, quote=False), "\n".join(page.body), nav(pages, order, name)))
        with open(os.path.join(out, name + ".html"), "w", encoding="utf-8") as f:
            f.write(text)


def check(pages, source):
    faults = []
    for page in pages.values():
        faults += page.errors
        for lineno, target in page.external:
            faults.append("%s:%d: the guide is read without a network; no link may leave it: %s" %
                          (page.path, lineno, target))
        for lineno, target, anchor in page.links:
            to = pages.get(target or page.name)
            if to is None:
                faults.append("%s:%d: no page %s.md" % (page.path, lineno, target))
            elif anchor and anchor not in to.anchors:
                faults.append("%s:%d: no anchor #%s in %s.md" % (page.path, lineno, anchor, to.name))
    shown = set()
    for page in pages.values():
        for lineno, src in page.images:
            shown.add(os.path.normpath(src))
            if not src.startswith("images/") or not os.path.isfile(os.path.join(source, src)):
                faults.append("%s:%d: no picture %s" % (page.path, lineno, src))
    images = os.path.join(source, "images")
    for entry in sorted(os.listdir(images)) if os.path.isdir(images) else []:
        if os.path.normpath("images/" + entry) not in shown:
            faults.append("%s: no page shows this picture" % os.path.join(images, entry))
    if INDEX not in pages:
        faults.append("%s: no contents page %s.md" % (source, INDEX))
    else:
        listed = set(order_of(pages))
        for name in sorted(pages):
            if name not in listed:
                faults.append("%s: the contents (index.md) do not list this page" % pages[name].path)
    return faults


def main(argv):
    if len(argv) == 3 and argv[1] == "--check":
        source = argv[2]
        pages = load(source)
        faults = check(pages, source)
        for fault in faults:
            print(fault, file=sys.stderr)
        if faults:
            return 1
        print("guide: %d pages, links, anchors and pictures checked" % len(pages))
        return 0
    if len(argv) == 3:
        pages = load(argv[1])
        write(pages, argv[2])
        return 0
    print(__doc__.split("\n\n")[1], file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
