#!/usr/bin/python3
"""Takes the pictures of the user guide again: every window and the first page
of every print, from the real program on a virtual screen, on a generated
collection of plainly invented people. Run it through tools/guide-screenshots.sh,
which builds what is needed and runs this, with the accessibility bus, as an
ordinary user whose name and home folder the pictures show.

    tools/guide-screenshots.sh [NAME ...]     only the pictures whose names are given
    guide_screenshots.py --out DIR [NAME ...]  as that user: the pictures into DIR

The program is driven as a person would drive it: windows and controls are
found by their titles and captions through the accessibility tree, clicked
and typed into with xdotool; prints go through the real printer dialog into a
PDF whose first page becomes the picture. The pictures are written as small
PNGs (a palette of 256 colours), by default into docs/guide/images/.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
PROGRAM = os.path.join(BUILD, "orvanta")
COLLECTION_TOOL = os.path.join(BUILD, "bench", "make_sample_collection")
IMAGES = os.path.join(ROOT, "docs", "guide", "images")
SCREEN = "1600x1200"
PRINT_DPI = "72"

args = sys.argv[1:]
if args[:1] == ["--out"] and len(args) > 1:
    IMAGES, args = os.path.abspath(args[1]), args[2:]
wanted = set(args)
failures = []
# Print files, raw captures and the program's output: kept apart from the
# home folder, which the pictures show.
WORK = tempfile.mkdtemp(prefix="orvanta-guide-work-")


def log(text):
    print(text, flush=True)


def run(argv, **kw):
    return subprocess.run(argv, capture_output=True, text=True, **kw)


# ---- the virtual screen ---------------------------------------------------------------------------------------


class Screen:
    def __init__(self):
        self.procs = []
        for n in range(90, 140):
            if os.path.exists("/tmp/.X%d-lock" % n):
                continue
            self.display = ":%d" % n
            xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", SCREEN + "x24", "-nolisten", "tcp"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.environ["DISPLAY"] = self.display
            for _ in range(100):
                if xvfb.poll() is not None or run(["xdpyinfo"]).returncode == 0:
                    break
                time.sleep(0.1)
            if xvfb.poll() is None:
                self.procs.append(xvfb)
                break
        else:
            raise RuntimeError("no virtual screen could be started")
        self.procs.append(self.window_manager())
        self.procs.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1.5)

    @staticmethod
    def window_manager():
        """Openbox, once it manages the screen (the windows get their title
        bars); started again when it could not reach the new screen yet."""
        for _ in range(5):
            wm = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(50):
                if wm.poll() is not None:
                    break
                if "window id" in run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).stdout:
                    return wm
                time.sleep(0.1)
            if wm.poll() is None:
                wm.kill()
                wm.wait()
            time.sleep(0.5)
        raise RuntimeError("the window manager does not start")

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(3)
                except subprocess.TimeoutExpired:
                    p.kill()


# ---- the program ----------------------------------------------------------------------------------------------


def plain(name):
    """A caption as read: without the accelerator mark and a trailing "(Y)"."""
    return re.sub(r"\(&?[A-Za-z]\)(\.\.\.)?$", "", (name or "").replace("&", "")).strip()


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


class Program:
    def __init__(self, home):
        self.home = home
        env = dict(os.environ, HOME=home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   LANG="ja_JP.UTF-8", LANGUAGE="ja")
        env.pop("QT_QPA_PLATFORM", None)
        self.log = open(os.path.join(WORK, "program.log"), "a")
        self.proc = subprocess.Popen([PROGRAM], env=env, stdout=self.log, stderr=subprocess.STDOUT)

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()

    def app(self, timeout=20):
        end = time.time() + timeout
        while time.time() < end:
            if self.proc.poll() is not None:
                raise RuntimeError("the program ended (%s)" % self.proc.returncode)
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                a = desktop.getChildAtIndex(i)
                try:
                    if a is not None and a.name.lower() == "orvanta" and a.get_process_id() == self.proc.pid:
                        return a
                except Exception:
                    pass
            time.sleep(0.2)
        raise RuntimeError("the program is not on the accessibility bus")

    @staticmethod
    def search(node, pred, out, depth=0):
        if node is None or depth > 25:
            return
        try:
            if pred(node):
                out.append(node)
            if node.getRoleName() in ("table", "tree table", "tree") or node.childCount > 400:
                return
            for i in range(node.childCount):
                Program.search(node.getChildAtIndex(i), pred, out, depth + 1)
        except Exception:
            pass

    def find(self, pred, root=None, timeout=8, all=False):
        end = time.time() + timeout
        while True:
            top = root or self.app()
            try:
                top.clear_cache()
            except Exception:
                pass
            out = []
            self.search(top, pred, out)
            if out or time.time() > end:
                return out if all else (out[0] if out else None)
            time.sleep(0.25)

    def window(self, title, timeout=15):
        w = self.find(lambda n: n.getRoleName() in ("frame", "dialog", "alert", "window", "filler")
                      and n.name == title and showing(n), timeout=timeout)
        if w is None:
            raise RuntimeError("no window %r" % title)
        last = None
        for _ in range(20):  # until the window manager has put it in its place
            now = extents(w)
            if now == last:
                break
            last = now
            time.sleep(0.2)
        time.sleep(0.5)
        return w

    def control(self, name, root=None, roles=("push button", "radio button", "check box", "page tab", "menu item",
                                               "menu", "list item", "toggle button"), timeout=8):
        c = self.find(lambda n: n.getRoleName() in roles and plain(n.name) == name and showing(n), root, timeout)
        if c is None:
            raise RuntimeError("no control %r" % name)
        return c

    def click(self, node, double=False):
        x, y, w, h = extents(node)
        run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click"] + (["--repeat", "2"] if double else [])
            + ["1"])
        time.sleep(0.6)

    def click_row(self, root, row):
        """Clicks a row of the first table (or tree) of a window. Its cells
        tell no place of their own, so the row is found by the heading's and
        the rows' height on this screen."""
        table = self.find(lambda n: n.getRoleName() in ("table", "tree table", "tree") and showing(n), root)
        if table is None:
            raise RuntimeError("no table")
        x, y, w, h = extents(table)
        run(["xdotool", "mousemove", str(x + 40), str(y + 22 + 18 * row + 9), "click", "1"])
        time.sleep(0.6)

    def menu(self, menu, item):
        self.press(menu)
        self.press(item)

    def check_f1(self, title, page_title):
        """F1 in a window opens the guide at its page (the guide's title names it)."""
        self.window(title)
        run(["xdotool", "windowactivate", "--sync", self.x_window(title)])
        self.key("F1")
        guide = self.window("使い方 － " + page_title)
        self.press("閉じる", guide)
        self.window(title)

    def press(self, name, root=None, **kw):
        self.click(self.control(name, root, **kw))

    def key(self, *keys):
        run(["xdotool", "key"] + list(keys))
        time.sleep(0.5)

    def first_year_box(self, root):
        """The box at the top left of a window that holds a year (where a period starts)."""
        def year_box(n):
            if n.getRoleName() != "text" or not showing(n):
                return False
            return re.fullmatch(r"\d{4}", n.queryText().getText(0, -1)) is not None
        boxes = self.find(year_box, root, all=True)
        if not boxes:
            raise RuntimeError("no box with a year")
        return min(boxes, key=lambda n: (extents(n)[1], extents(n)[0]))

    def type_into(self, node, text):
        """Types into a box as a user would: all of its text replaced."""
        self.click(node)
        self.key("ctrl+a")
        run(["xdotool", "type", "--delay", "50", text])
        time.sleep(0.3)

    def set_text(self, node, text):
        node.queryEditableText().setTextContents(text)
        time.sleep(0.3)

    def alert(self, timeout=10):
        return self.find(lambda n: n.getRoleName() in ("alert", "dialog") and showing(n) and
                         self.find(lambda m: m.getRoleName() == "push button", n, timeout=0) is not None and
                         n.name not in ("印刷",), timeout=timeout)

    def answer(self, button, title=None, timeout=10):
        """Answers the message box now open with its button; returns the box's texts."""
        end = time.time() + timeout
        while time.time() < end:
            boxes = self.find(lambda n: n.getRoleName() == "alert" and showing(n), timeout=0.5, all=True)
            for box in boxes:
                if title is None or box.name == title:
                    texts = [l.name for l in self.find(lambda n: n.getRoleName() == "label", box, timeout=0, all=True)]
                    self.press(button, box)
                    return texts
        raise RuntimeError("no message box %s to answer with %r" % (title or "", button))

    def combo_next_to(self, label_text, root):
        """The drop-down list nearest to the right of (or under) a caption."""
        return self.next_to(label_text, root, ("combo box",))

    def next_to(self, label_text, root, roles):
        """The control of one of the roles nearest to the right of (or under) a caption."""
        label = self.find(lambda n: n.getRoleName() == "label" and n.name == label_text and showing(n), root)
        if label is None:
            raise RuntimeError("no caption %r" % label_text)
        lx, ly, lw, lh = extents(label)
        best = None
        for c in self.find(lambda n: n.getRoleName() in roles and showing(n), root, timeout=0, all=True):
            x, y, w, h = extents(c)
            if x >= lx + lw - 4 and abs((y + h / 2) - (ly + lh / 2)) < max(h, lh):
                d = x - lx
            elif abs(x - lx) < 30 and 0 <= y - ly < 60:
                d = 1000 + (y - ly)
            else:
                continue
            if best is None or d < best[0]:
                best = (d, c)
        if best is None:
            raise RuntimeError("nothing beside %r" % label_text)
        return best[1]

    def choose(self, combo, entry):
        self.click(combo)
        items = self.find(lambda n: n.getRoleName() == "list", combo, timeout=5)
        item = None
        if items is not None:
            for i in range(items.childCount):
                if items.getChildAtIndex(i).name == entry:
                    item = items.getChildAtIndex(i)
        if item is None:
            self.key("Escape")
            raise RuntimeError("no entry %r" % entry)
        self.click(item)

    # ---- pictures ----

    def x_window(self, title):
        found = [w for w in run(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid)]).stdout.split()
                 if run(["xdotool", "getwindowname", w]).stdout.rstrip("\n") == title]
        if not found:
            raise RuntimeError("no X window %r" % title)
        return found[-1]

    def shot(self, name, title, wait=0.8):
        if wanted and name not in wanted:
            return
        time.sleep(wait)
        raw = os.path.join(WORK, name + ".raw.png")
        xid = self.x_window(title)
        # The window with its title bar, as the user sees it.
        r = run(["import", "-frame", "-window", xid, raw])
        if r.returncode != 0 or not os.path.exists(raw):
            raise RuntimeError("could not capture %r: %s" % (title, r.stderr))
        save_png(raw, name)
        log("  %s.png  (%s)" % (name, title))

    def print_to_pdf(self, name, timeout=15):
        """Answers the printer dialog now open: prints into a PDF and keeps its first page as the picture."""
        dialog = self.find(lambda n: n.getRoleName() == "dialog" and n.name == "印刷" and showing(n) and
                           self.find(lambda m: m.getRoleName() == "text" and m.name.startswith("出力ファイル名"), n,
                                     timeout=0) is not None, timeout=timeout)
        if dialog is None:
            raise RuntimeError("no printer dialog offering a PDF file")
        pdf = os.path.join(WORK, name + ".pdf")
        field = self.find(lambda m: m.getRoleName() == "text" and m.name.startswith("出力ファイル名"), dialog)
        self.set_text(field, pdf)
        self.press("印刷", dialog)
        return pdf


def save_png(raw, name):
    """A picture of the guide: without metadata, in a palette, small on disk."""
    out = os.path.join(IMAGES, name + ".png")
    r = run(["convert", raw, "-strip", "-colors", "256", "-define", "png:compression-level=9", "PNG8:" + out])
    if r.returncode != 0:
        raise RuntimeError("convert: %s" % r.stderr)


def pdf_first_page(program, pdf, name, pages=(1,), names=None):
    if wanted and name not in wanted and not (names and wanted & set(names)):
        return
    for _ in range(60):  # the PDF is put in place once the whole print has worked
        if os.path.exists(pdf):
            break
        time.sleep(0.5)
    else:
        raise RuntimeError("no PDF %s" % pdf)
    for page, picture in zip(pages, names or [name]):
        base = os.path.join(WORK, picture)
        r = run(["pdftoppm", "-png", "-r", PRINT_DPI, "-f", str(page), "-l", str(page), "-singlefile", pdf, base])
        if r.returncode != 0:
            raise RuntimeError("pdftoppm: %s" % r.stderr)
        # A thin grey line shows the edge of the white page.
        run(["convert", base + ".png", "-bordercolor", "#9a9a9a", "-border", "1", base + ".png"])
        save_png(base + ".png", picture)
        log("  %s.png  (page %d of %s)" % (picture, page, os.path.basename(pdf)))


def step(title, action):
    log(title)
    try:
        action()
    except Exception as e:  # every picture that can be made is made; the faults are told at the end
        failures.append("%s: %s" % (title, e))
        log("  FAILED: %s" % e)


# ---- the scenes -----------------------------------------------------------------------------------------------


# What the program keeps in the home folder: its data, backups, the folder it
# offers for files, and its settings.
PROGRAM_ITEMS = ["tonrix", "tonrixbu", "tonrixbu.generations", "my document", ".config/Orvanta"]


def new_home():
    """The user's home folder without anything the program left there, as on
    a computer where it has never run."""
    home = os.path.expanduser("~")
    for item in PROGRAM_ITEMS:
        path = os.path.join(home, item)
        if os.path.isdir(path) and not os.path.islink(path):
            shutil.rmtree(path)
        elif os.path.lexists(path):
            os.remove(path)
    return home


def remove_home(home):
    new_home()


def first_start(screen):
    home = new_home()
    p = Program(home)
    try:
        p.window("ﾛｸﾞｵﾝ", timeout=30)
        p.shot("login", "ﾛｸﾞｵﾝ")
        p.press("OK")
        p.answer("OK")
        p.window("部署登録")
        p.shot("departments", "部署登録")
        p.press("戻る")
        p.answer("OK")
        p.window("トンリクス日本版　Orvanta")
        p.press("終了")
        p.answer("いいえ", "バックアップの確認")
    finally:
        p.close()
        remove_home(home)


def sample_home():
    home = new_home()
    r = run([COLLECTION_TOOL, home, "600"])
    if r.returncode != 0:
        raise RuntimeError("make_sample_collection: %s" % r.stderr)
    log(r.stdout.strip())
    return home


MAIN = "トンリクス日本版　Orvanta"


def main_window(p):
    p.window(MAIN, timeout=40)
    p.shot("main_window", MAIN)


def code_lists(p):
    p.press("職種の登録・変更・削除")
    w = p.window("職種登録")
    p.click(p.control("正看護婦", w, roles=("list item",)))
    p.shot("code_list_editor", "職種登録")
    p.press("変更", w)
    p.answer("OK", "変更確認")
    p.window("項目名変更")
    p.shot("rename_dialog", "項目名変更")
    p.press("キャンセル")
    p.press("戻る", w)
    p.answer("いいえ", "保存確認")
    p.answer("はい", "保存再確認")
    p.window(MAIN)
    p.press("その他詳細項目の設定")
    p.window("設問6解答")
    p.shot("answer_codes", "設問6解答")
    p.press("戻る")
    p.window(MAIN)


TABS = ["報告者", "職種・場所・患者", "事故状況", "原因器材・安全装置", "部位", "その他質問", "事故状況･背景の詳細", "事故防止"]


def reports(p):
    p.press("変更・表示")
    w = p.window("事故時報告書")
    for i, tab in enumerate(TABS):
        p.press(tab, w)
        p.shot("report_tab%d" % i, "事故時報告書")
    p.press(TABS[0], w)
    p.press("カルテ検索", w)
    p.press("報告者氏名", w)
    box = p.window("検索")
    p.set_text(p.find(lambda n: n.getRoleName() == "text" and showing(n), box), "花子")
    p.press("OK", box)
    result = p.window("検索結果")
    p.shot("search_result", "検索結果")
    items = p.find(lambda n: n.getRoleName() == "list item" and showing(n), result, all=True)
    p.click(items[0])
    p.window("事故時報告書")
    p.press("戻る")
    p.window(MAIN)


def print_and_picture(p, name, start, pages=(1,), names=None, after=None):
    start()
    # Most prints first tell which way to put the paper; the printer dialog follows.
    for _ in range(40):
        if p.find(lambda n: n.getRoleName() == "alert" and showing(n), timeout=0):
            p.answer("OK")
            break
        if p.find(lambda n: n.getRoleName() == "dialog" and n.name == "印刷" and showing(n), timeout=0):
            break
        time.sleep(0.25)
    pdf = p.print_to_pdf(name)
    if after:
        after()
    pdf_first_page(p, pdf, name, pages, names)


def analysis_view(p, button, title, picture, print_button, choose=()):
    """Opens an analysis window from the main window, takes its picture and
    the first page of its print, and closes it. choose: (caption, entry) pairs
    to choose before the picture."""
    p.press(button)
    w = p.window(title)
    for caption, entry in choose:
        p.choose(p.combo_next_to(caption, w), entry)
    p.shot(picture, title, wait=2)
    print_and_picture(p, picture + "_print", lambda: p.press(print_button, w))
    return w


def close_view(p, w):
    p.press("戻る", w)
    p.window(MAIN)


def cross_table(p):
    close_view(p, analysis_view(p, "クロス集計", "クロス集計表", "cross_table", "印刷",
                                choose=[("縦項目", "発生時刻"), ("横項目", "緊急処置時")]))


def extraction(p):
    close_view(p, analysis_view(p, "データ抽出", "データ抽出", "extraction", "印刷"))


def summary(p):
    close_view(p, analysis_view(p, "レポート", "レポート", "summary", "レポート印刷"))


def graph(p):
    w = analysis_view(p, "グラフ", "グラフ ", "graph_bar", "グラフの印刷")
    for kind, picture in [("円グラフ", "graph_pie"), ("折れ線グラフ", "graph_line")]:
        p.press(kind, w)
        p.shot(picture, "グラフ ", wait=2)
        print_and_picture(p, picture + "_print", lambda: p.press("グラフの印刷", w))
    close_view(p, w)


def item_graph(p):
    close_view(p, analysis_view(p, "項目別グラフ", "売上状況", "item_graph", "印刷"))


def blank_sheet(p):
    def codes_too():
        p.answer("はい", "印刷")

    print_and_picture(p, "sheet_print", lambda: p.press("Tonrixシート印刷"), pages=(1, 3),
                      names=["sheet_print", "sheet_print_codes"], after=codes_too)
    p.window(MAIN)


def repair(p):
    """A data file whose count line says fewer reports than it holds, mended
    from the menu."""
    path = os.path.join(p.home, "tonrix", "data", "0.dat")
    with open(path, "rb") as f:
        count, rest = f.read().split(b"\r\n", 1)
    with open(path, "wb") as f:
        f.write(b" %d \r\n" % (int(count) - 10) + rest)
    p.press("ファイル")
    p.press("データファイルの修復")
    p.window("データファイルの修復")
    p.shot("repair_question", "データファイルの修復")
    p.answer("はい", "データファイルの修復")
    p.window("データファイルの修復")
    p.shot("repair_done", "データファイルの修復")
    p.answer("OK", "データファイルの修復")
    p.window(MAIN)


def backups(p):
    """Two backups made at once, then the list they can be restored from."""
    for picture in ("backup_done", None):
        p.press("ファイル")
        p.press("今すぐバックアップ")
        p.window("Orvanta", timeout=60)  # the message without a title of its own
        if picture:
            p.shot(picture, "Orvanta")
        p.answer("OK")
        p.window(MAIN)
    p.press("ファイル")
    p.press("バックアップから復元")
    w = p.window("バックアップから復元")
    p.shot("restore", "バックアップから復元")
    p.check_f1("バックアップから復元", "バックアップと復元")
    p.press("閉じる", w)
    p.window(MAIN)


def followup(p):
    """The newest report's follow-up, started from its report: the tests of
    the schedule, one of them opened, the sheet printed."""
    p.press("変更・表示")
    report = p.window("事故時報告書")
    p.press("経過観察", report)
    w = p.window("経過観察")
    p.press("予定を作成", w)
    p.answer("OK")
    # The first test done: its day and result entered.
    p.click_row(w, 0)
    p.press("変更", w)
    test = p.window("検査の変更")
    p.press("実施済み", test)
    p.set_text(p.next_to("結果", test, ("text",)), "陰性")
    p.shot("followup_test", "検査の変更")
    p.press("OK", test)
    w = p.window("経過観察")
    p.click_row(w, 2)
    p.shot("followup", "経過観察")
    p.check_f1("経過観察", "経過観察")
    print_and_picture(p, "followup_print", lambda: p.press("印刷", w))
    p.press("戻る", p.window("経過観察"))
    p.press("戻る", p.window("事故時報告書"))
    p.window(MAIN)


def due_list(p):
    p.menu("ツール", "経過観察予定")
    w = p.window("経過観察予定")
    p.shot("due_list", "経過観察予定")
    p.check_f1("経過観察予定", "経過観察予定と予定表")
    print_and_picture(p, "due_list_print", lambda: p.press("印刷", w))
    p.press("戻る", p.window("経過観察予定"))
    p.window(MAIN)
    p.menu("ツール", "経過観察の予定表")
    w = p.window("経過観察の予定表")
    p.shot("schedule", "経過観察の予定表")
    p.click_row(w, 4)
    p.press("変更", w)
    p.window("予定表の変更")
    p.shot("schedule_entry", "予定表の変更")
    p.press("キャンセル", p.window("予定表の変更"))
    p.press("戻る", p.window("経過観察の予定表"))
    p.window(MAIN)


RATES = "発生率と推移"


def rates(p):
    p.menu("ツール", RATES)
    w = p.window(RATES)
    p.shot("rates", RATES, wait=2)
    # The table by occupation holds three columns a year: over the last
    # three 年度 it fits the window without a column cut off.
    first_year = p.first_year_box(w)
    years = int(first_year.queryText().getText(0, -1))
    p.press("職種別", w)
    p.type_into(first_year, str(years + 2))
    p.press("再計算", w)
    p.shot("rates_occupations", RATES, wait=1.5)
    p.type_into(first_year, str(years))
    p.press("再計算", w)
    for tab, picture in [("推移", "rates_trend"), ("介入の前後", "rates_before_after")]:
        p.press(tab, w)
        p.shot(picture, RATES, wait=1.5)
    p.check_f1(RATES, RATES)
    print_and_picture(p, "rates_print", lambda: p.press("表の印刷", w))
    print_and_picture(p, "rates_trend_print", lambda: p.press("推移の印刷", p.window(RATES)))
    p.press("戻る", p.window(RATES))
    p.window(MAIN)


def denominators(p):
    p.menu("ツール", "分母の登録")
    p.window("分母の登録")
    p.shot("denominators", "分母の登録")
    p.check_f1("分母の登録", "分母の登録")
    p.press("戻る", p.window("分母の登録"))
    p.window(MAIN)


def help_windows(p):
    p.press("ヘルプ")
    p.press("使い方")
    p.window("使い方 － はじめに")
    p.shot("guide_window", "使い方 － はじめに", wait=1.5)
    p.press("閉じる", p.window("使い方 － はじめに"))
    p.press("ヘルプ")
    p.press("バージョン情報")
    p.window("バージョン情報")
    p.shot("about", "バージョン情報")
    p.press("OK", p.window("バージョン情報"))
    p.window(MAIN)


def main():
    if os.getuid() == 0:
        sys.exit("run as an ordinary user (tools/guide-screenshots.sh does): the pictures show the user's name")
    for path in (PROGRAM, COLLECTION_TOOL):
        if not os.access(path, os.X_OK):
            sys.exit("%s is missing: build first (tools/build.sh)" % path)
    os.makedirs(IMAGES, exist_ok=True)
    screen = Screen()
    try:
        if not wanted or wanted & {"login", "departments"}:
            step("first start", lambda: first_start(screen))
        home = sample_home()
        p = Program(home)
        try:
            for title, scene in [("main window", main_window), ("code lists", code_lists), ("reports", reports),
                                 ("cross table", cross_table), ("extraction", extraction), ("summary", summary),
                                 ("graph", graph), ("item graph", item_graph), ("blank sheet", blank_sheet),
                                 ("follow-up", followup), ("due list and schedule", due_list), ("rates", rates),
                                 ("denominators", denominators),
                                 ("guide and version", help_windows), ("backups", backups),
                                 ("repair", repair)]:
                step(title, lambda: scene(p))
                if p.proc.poll() is not None:
                    failures.append("the program ended after: %s" % title)
                    break
            step("closing", lambda: (p.press("終了"), p.answer("いいえ", "バックアップの確認")))
        finally:
            p.close()
            remove_home(home)
    finally:
        screen.close()
        shutil.rmtree(WORK, ignore_errors=True)
    if failures:
        log("\nnot made:\n  " + "\n  ".join(failures))
        sys.exit(1)
    log("\nall pictures made in %s" % IMAGES)


if __name__ == "__main__":
    main()
