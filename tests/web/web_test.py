#!/usr/bin/python3
"""Tarvelin im Browser, driven in headless Chromium and compared with tarvelin-cli.

  web_test.py --page build/web/site/index.html --cli tarvelin-cli --data tests/data --shots DIR
              [--skip NAME] [-k PATTERN]   (leave out or pick tests by name)

The page is opened from disk (file://), as a user who saved it would open it. Lists are loaded
through the hidden file input OpenDialog1; the cue lines, the cells of ListView1, the downloaded
text file and workbook must equal what tarvelin-cli makes of the same list at the same rate and
mode (the page reads rates with a decimal comma, so the tool gets --decimal ,). The failure
messages are the window's. Every request the browser makes is logged: none may leave the page's
own folder. Screenshots at 1280x800 and at a phone's 390x844 go to --shots.
"""
import argparse
import base64
import http.server
import json
import pathlib
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import openpyxl
from capacity_edl import capacity_edl
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

ARGS = None
CAPACITY = 16_777_215

# What the textarea RichEdit2 itself holds, past the page's value property (the whole text).
IN_DOCUMENT = ("return Object.getOwnPropertyDescriptor(HTMLTextAreaElement.prototype, 'value')"
               ".get.call(document.getElementById('RichEdit2'))")

# Cases whose rows are compared at every rate and in both modes; the others at 25 fps only.
FULL_CASES = ["fixture-zwoelf-titel", "fixture-sonderfaelle", "fixture-musik-rtf",
              "fixture-musik-utf16le-bom", "sample-25fps", "sample-12-16-tl01-music"]
RATES = ["24", "25", "30", "23,976", "29,97"]


def cli(*args):
    return subprocess.run([ARGS.cli, *args], capture_output=True, timeout=300)


def unescape_cell(cell):
    out, i = [], 0
    while i < len(cell):
        if cell[i] == "\\" and i + 1 < len(cell):
            out.append({"t": "\t", "r": "\r", "n": "\n", "\\": "\\"}[cell[i + 1]])
            i += 2
        else:
            out.append(cell[i])
            i += 1
    return "".join(out)


def cli_rows(edl, rate, minutes_and_seconds):
    """Rows and the failure message (or None) of tarvelin-cli convert."""
    args = ["convert", "--decimal", ",", "--fps", rate, str(edl)]
    if not minutes_and_seconds:
        args.insert(1, "--timecode")
    result = cli(*args)
    rows = [[unescape_cell(c) for c in line.split("\t")]
            for line in result.stdout.decode("utf-8").split("\n") if line]
    failure = result.stderr.decode("utf-8").strip() if result.returncode != 0 else None
    return rows, failure


def workbook_dump(path):
    """Everything a reader sees in a workbook: sheets, cells with type, format and weight,
    frozen panes and column widths."""
    book = openpyxl.load_workbook(path)
    dump = []
    for sheet in book.worksheets:
        dump.append(("sheet", sheet.title, sheet.freeze_panes))
        for letter, dimension in sorted(sheet.column_dimensions.items()):
            dump.append(("width", sheet.title, letter, dimension.width))
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is not None:
                    dump.append(("cell", sheet.title, cell.coordinate, cell.data_type,
                                 cell.number_format, bool(cell.font.b), cell.value))
    return dump


class Page:
    """One Chromium with the page; downloads land in a folder of its own."""

    def __init__(self, width=1280, height=800):
        self.downloads = pathlib.Path(tempfile.mkdtemp(prefix="tarvelin-web-dl-"))
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ["--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage", f"--window-size={width},{height}",
                         "--lang=de-DE", "--no-first-run", "--disable-background-networking",
                         "--disable-component-update", "--disable-sync"]:
            options.add_argument(argument)
        options.add_experimental_option("prefs", {
            "download.default_directory": str(self.downloads),
            "download.prompt_for_download": False,
        })
        options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.execute_cdp_cmd("Browser.setDownloadBehavior", {
            "behavior": "allow", "downloadPath": str(self.downloads)})
        self.script_timeout = None
        self.requests = []
        self.console = []
        self.open()

    def open(self):
        self.driver.get(pathlib.Path(ARGS.page).resolve().as_uri())
        self.wait(lambda: self.script("return !!document.getElementById('Button1')"))

    def close(self):
        self.collect_logs()
        self.driver.quit()

    def collect_logs(self):
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                self.requests.append(message["params"]["request"]["url"])
        self.console.extend(self.driver.get_log("browser"))

    def script(self, code, *args):
        return self.driver.execute_script(code, *args)

    def element(self, element_id):
        # A script finds the element in one round trip; WebDriver's own search takes several.
        found = self.script("return document.getElementById(arguments[0])", element_id)
        if found is None:
            raise AssertionError(f"no element {element_id}")
        return found

    def wait(self, condition, timeout=120, what="condition"):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            value = condition()
            if value:
                return value
            time.sleep(0.05)
        raise AssertionError(f"timed out waiting for {what}")

    def actions(self):
        return int(self.script("return document.body.dataset.actions || '0'"))

    def run(self, trigger, timeout=300):
        """Runs a trigger and waits until the page has handled the action it starts. The wait is
        one script in the page that returns when the page counts the action, not a poll."""
        before = self.actions()
        trigger()
        if timeout != self.script_timeout:
            self.driver.set_script_timeout(timeout)
            self.script_timeout = timeout
        counted = self.driver.execute_async_script("""
            const [before, done] = arguments;
            const count = () => parseInt(document.body.dataset.actions || '0', 10);
            if (count() > before) return done(count());
            new MutationObserver((changes, observer) => {
                if (count() > before) { observer.disconnect(); done(count()); }
            }).observe(document.body, {attributes: true, attributeFilter: ['data-actions']});
            """, before)
        if counted <= before:
            raise AssertionError("the page did not count its action")

    def load(self, path, timeout=300):
        self.run(lambda: self.element("OpenDialog1").send_keys(str(path)), timeout)

    def press(self, element, *keys):
        """Focuses the element and types the keys on the keyboard. This costs a tenth of the
        processor time of WebDriver's element click and a quarter of its element send_keys, which
        check the element's place and state before every call; clicks and send_keys are tested
        where they matter."""
        self.script("arguments[0].focus()", element)
        ActionChains(self.driver).send_keys(*keys).perform()

    def set_rate(self, rate):
        """Types the rate over the box's text, as a user would; nothing when it is there already."""
        box = self.element("ComboBox1")
        if box.get_property("value") != rate:
            self.script("arguments[0].focus()", box)
            (ActionChains(self.driver).key_down(Keys.CONTROL).send_keys("a").key_up(Keys.CONTROL)
             .send_keys(Keys.DELETE, rate).perform())

    def set_minutes_and_seconds(self, wanted):
        box = self.element("CheckBox1")
        if box.get_property("checked") != wanted:
            self.press(box, Keys.SPACE)

    def compute(self, timeout=300):
        button = self.element("Button5")
        self.run(lambda: self.press(button, Keys.ENTER), timeout)

    def rows(self):
        return self.script("""return Array.from(document.querySelectorAll('#ListView1 tbody tr'),
                              tr => Array.from(tr.cells, td => td.textContent));""")

    def text(self, element_id):
        return self.script("return document.getElementById(arguments[0]).textContent", element_id)

    def message(self):
        """The open message dialog's text, closed with OK; None when no dialog is open."""
        if not self.script("return document.getElementById('MessageBox').open"):
            return None
        text = self.text("MessageText")
        self.press(self.element("MessageOk"), Keys.ENTER)
        return text

    def download(self, button, suffix, mouse=False):
        for old in self.downloads.iterdir():
            old.unlink()
        element = self.element(button)
        if not element.is_enabled():
            raise AssertionError(f"{button} is disabled")
        self.run(element.click if mouse else lambda: self.press(element, Keys.ENTER))
        return self.wait(lambda: next((p for p in self.downloads.iterdir()
                                       if p.name.endswith(suffix)), None), 60, "the download")


class WebPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.page = Page()
        cls.data = pathlib.Path(ARGS.data).resolve()
        cls.cases = sorted(p for p in (cls.data / "cases").iterdir() if (p / "input.edl").is_file())
        cls.origins = [pathlib.Path(ARGS.page).resolve().parent.as_uri() + "/"]

    @classmethod
    def tearDownClass(cls):
        page = cls.page
        page.close()
        # The whole run: nothing but the page's own files, its worker and its downloads.
        foreign = [url for url in page.requests
                   if not url.startswith((*cls.origins, "blob:", "data:"))]
        errors = [entry for entry in page.console if entry["level"] == "SEVERE"]
        if foreign or errors:
            raise AssertionError(f"requests outside the page: {foreign}; console errors: {errors}")
        if not page.requests:
            raise AssertionError("no requests were recorded at all; the log is not working")

    def setUp(self):
        self.page.open()

    def test_01_start_state(self):
        page = self.page
        texts = {"Button1": "Öffnen EDL", "Label1": "Eingang EDL Datei", "Label10": "Anzahl Titel: 0",
                 "Label6": "Film:", "Label4": "fps", "Label5": "Ohne frames",
                 "CheckBox1Caption": "00:00", "Label11": "Anzahl Titel: 0",
                 "Label3": "Rechnen TC Code", "Button5": "Rechnen TC", "Label2": "Ausgang GEMA VB",
                 "Button3": "Speichern als Text", "Button4": "Nach Excel exportieren"}
        for element_id, text in texts.items():
            self.assertEqual(page.text(element_id).strip(), text, element_id)
        self.assertEqual(page.element("ComboBox1").get_property("value"), "25")
        self.assertEqual(page.script("""return Array.from(
            document.getElementById('ComboBox1').list.options, o => o.value)"""), ["24", "25", "30"])
        self.assertTrue(page.element("CheckBox1").is_selected())
        self.assertEqual(page.script("""return Array.from(
            document.querySelectorAll('#ListView1 thead th'), th => th.textContent)"""),
            ["In", "Out", "Länge", "Music Titles"])
        self.assertEqual(page.element("OpenDialog1").get_attribute("type"), "file")
        self.assertEqual(page.element("RichEdit2").tag_name, "textarea")
        self.assertTrue(page.element("Button1").is_enabled())
        for button in ("Button5", "Button3", "Button4"):
            self.assertFalse(page.element(button).is_enabled(), button)
        self.assertEqual(page.rows(), [])

    def test_02_cue_lines_of_every_case(self):
        page = self.page
        for case in self.cases:
            with self.subTest(case=case.name):
                expected = cli("extract", str(case / "input.edl"))
                self.assertEqual(expected.returncode, 0)
                page.load(case / "input.edl")
                lines = expected.stdout.decode("utf-8")
                self.assertEqual(page.element("RichEdit2").get_property("value"),
                                 lines[:-1] if lines.endswith("\n") else lines)
                self.assertEqual(page.text("Label10"), expected.stderr.decode("utf-8").strip())
                self.assertIsNone(page.message())
                self.assertTrue(page.element("Button5").is_enabled())

    def test_03_rows_at_rates_and_modes(self):
        page = self.page
        for case in self.cases:
            edl = case / "input.edl"
            page.load(edl)
            full = case.name in FULL_CASES
            for rate in RATES if full else ["25"]:
                for minutes_and_seconds in (True, False) if full else (True,):
                    with self.subTest(case=case.name, rate=rate, minsec=minutes_and_seconds):
                        expected, failure = cli_rows(edl, rate, minutes_and_seconds)
                        page.set_rate(rate)
                        page.set_minutes_and_seconds(minutes_and_seconds)
                        page.compute()
                        message = page.message()
                        self.assertEqual(page.rows(), expected)
                        self.assertEqual(message, failure)
                        if failure is None:
                            self.assertEqual(page.text("Label11"), f"Anzahl Titel: {len(expected)}")
        # An independent reference for one case: the golden rows.
        golden = self.data / "cases" / "fixture-zwoelf-titel"
        page.load(golden / "input.edl")
        page.set_rate("30")
        page.set_minutes_and_seconds(False)
        page.compute()
        reference = [[unescape_cell(c) for c in line.split("\t")] for line in
                     (golden / "rows-30-timecode.tsv").read_text(encoding="utf-8").splitlines()]
        self.assertEqual(page.rows(), reference)

    def test_04_edited_cue_lines(self):
        page = self.page
        for cue_lines in sorted((self.data / "cue-lines").glob("*/cue-lines.txt")):
            text = cue_lines.read_bytes().decode("utf-8-sig")
            for rate in ("25", "29,97", "1E15", "0,5"):
                with self.subTest(cue_lines=cue_lines.parent.name, rate=rate):
                    expected = cli("rows", "--decimal", ",", "--fps", rate, "--timecode",
                                   str(cue_lines))
                    page.script("""const area = document.getElementById('RichEdit2');
                        area.value = arguments[0];
                        area.dispatchEvent(new Event('input'));""", text)
                    page.set_rate(rate)
                    page.set_minutes_and_seconds(False)
                    page.compute()
                    message = page.message()
                    rows = [[unescape_cell(c) for c in line.split("\t")]
                            for line in expected.stdout.decode("utf-8").split("\n") if line]
                    self.assertEqual(page.rows(), rows)
                    failure = expected.stderr.decode("utf-8").strip() or None
                    self.assertEqual(message, failure)

    def test_05_downloads_equal_the_tools_files(self):
        page = self.page
        edl = self.data / "cases" / "fixture-sonderfaelle" / "input.edl"
        page.load(edl)
        page.set_rate("24")
        page.set_minutes_and_seconds(False)
        page.compute()
        self.assertTrue(page.element("Button3").is_enabled())
        self.assertTrue(page.element("Button4").is_enabled())
        with tempfile.TemporaryDirectory() as folder:
            for button, kind, suffix in (("Button3", "text", ".txt"), ("Button4", "xlsx", ".xlsx")):
                target = pathlib.Path(folder) / ("reference" + suffix)
                made = cli("convert", "--timecode", "--fps", "24", "--format", kind, "-o",
                           str(target), str(edl))
                self.assertEqual(made.returncode, 0, made.stderr)
                downloaded = page.download(button, suffix)
                self.assertEqual(downloaded.name, "input" + suffix)
                if kind == "text":
                    self.assertEqual(downloaded.read_bytes(), target.read_bytes())
                    self.assertIn("Gesamtdauer", downloaded.read_text(encoding="utf-8-sig"))
                else:
                    self.assertEqual(workbook_dump(downloaded), workbook_dump(target))
                    self.assertEqual(openpyxl.load_workbook(downloaded).sheetnames,
                                     ["Ausgang GEMA VB", "Musikfolge", "Summen"])
                self.assertIsNone(page.message())
        # After a failed computation the list is still saved, without the report, and a
        # warning says why.
        page.set_rate("0")
        page.compute()
        self.assertEqual(page.message(), "'' ist kein gültiger Gleitkommawert.")
        for button, suffix in (("Button3", ".txt"), ("Button4", ".xlsx")):
            with self.subTest(without_report=button):
                downloaded = page.download(button, suffix)
                self.assertTrue(downloaded.stat().st_size > 0)
                warning = page.message()
                self.assertTrue(warning.startswith(
                    "Die Cue-Liste wurde ohne Musikfolge gespeichert. "), warning)

    def test_06_failure_messages(self):
        page = self.page
        edl = self.data / "cases" / "fixture-zwoelf-titel" / "input.edl"
        page.load(edl)
        page.compute()
        self.assertEqual(page.text("Label11"), "Anzahl Titel: 12")
        cases = [("abc", "'abc' ist kein gültiger Gleitkommawert."),
                 ("0", "'' ist kein gültiger Gleitkommawert."),
                 ("0,5", "Division durch Null."),
                 ("29.97", "'29.97' ist kein gültiger Gleitkommawert.")]
        for rate, message in cases:
            with self.subTest(rate=rate):
                page.set_rate(rate)
                page.compute()
                self.assertEqual(page.message(), message)
                first = page.script("return document.getElementById('RichEdit2').value")[:28]
                self.assertEqual(page.rows(), [[first[:11], first[17:28], "", ""]])
                self.assertEqual(page.text("Label11"), "Anzahl Titel: 12")
        # A list one character beyond the capacity is refused and changes nothing.
        with tempfile.TemporaryDirectory() as folder:
            too_large = pathlib.Path(folder) / "zu-gross.edl"
            too_large.write_bytes(capacity_edl(CAPACITY + 1))
            before = page.script("return document.getElementById('RichEdit2').value")
            page.load(too_large)
            self.assertEqual(page.message(),
                             "Die Datei ist zu groß: höchstens 16.777.215 Zeichen.")
            self.assertEqual(page.script("return document.getElementById('RichEdit2').value"),
                             before)
            self.assertEqual(page.text("Label10"), "Anzahl Titel: 12")

    def test_07_enabling_mode_texts_cancel_and_drop(self):
        page = self.page
        area = page.element("RichEdit2")
        area.send_keys("x")
        self.assertTrue(page.element("Button5").is_enabled())
        area.send_keys(Keys.BACKSPACE)
        self.assertTrue(page.element("Button5").is_enabled())
        page.compute()
        self.assertFalse(page.element("Button3").is_enabled())  # no row, no change of the list

        page.element("CheckBox1").click()
        self.assertEqual((page.text("Label5"), page.text("CheckBox1Caption")),
                         ("Mit frames", "00:00:00:00"))
        page.element("CheckBox1").send_keys(Keys.SPACE)
        self.assertTrue(page.element("CheckBox1").is_selected())
        self.assertEqual((page.text("Label5"), page.text("CheckBox1Caption")),
                         ("Ohne frames", "00:00"))

        # Dropping a list onto the page loads it like the dialog.
        edl = self.data / "cases" / "fixture-zwoelf-titel" / "input.edl"
        payload = base64.b64encode(edl.read_bytes()).decode("ascii")
        page.run(lambda: page.script("""
            const bytes = Uint8Array.from(atob(arguments[0]), c => c.charCodeAt(0));
            const data = new DataTransfer();
            data.items.add(new File([bytes], 'gezogen.edl'));
            document.getElementById('ListView1Box').dispatchEvent(
                new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true}));
            """, payload))
        self.assertEqual(page.text("Label10"), "Anzahl Titel: 12")
        # The buttons also work with the mouse (elsewhere the keyboard presses them).
        page.run(page.element("Button5").click)
        self.assertTrue(page.element("Button3").is_enabled())
        self.assertEqual(len(page.rows()), 12)
        self.assertEqual(page.download("Button3", ".txt", mouse=True).name, "gezogen.txt")

        # Cancelling the dialog rebuilds the cue lines from the list loaded before: edits go.
        original = page.element("RichEdit2").get_property("value")
        page.script("""const area = document.getElementById('RichEdit2');
                       area.value = 'bearbeitet'; area.dispatchEvent(new Event('input'));""")
        page.run(lambda: page.script(
            "document.getElementById('OpenDialog1').dispatchEvent(new Event('cancel'))"))
        self.assertEqual(page.element("RichEdit2").get_property("value"), original)
        # Rows stay until the next computation, also when a list without music is loaded.
        page.load(self.data / "cases" / "fixture-ohne-musik" / "input.edl")
        self.assertEqual(page.text("Label10"), "Anzahl Titel: 0")
        self.assertEqual(len(page.rows()), 12)
        page.compute()
        self.assertEqual((page.rows(), page.text("Label11")), ([], "Anzahl Titel: 0"))
        self.assertTrue(page.element("Button4").is_enabled())

    def test_08_capacity_size_list(self):
        page = self.page
        with tempfile.TemporaryDirectory() as folder:
            edl = pathlib.Path(folder) / "kapazitaet.edl"
            edl.write_bytes(capacity_edl(CAPACITY))
            expected, failure = cli_rows(edl, "25", True)
            self.assertIsNone(failure)
            page.load(edl)
            self.assertIsNone(page.message())
            self.assertEqual(page.text("Label10"), f"Anzahl Titel: {len(expected)}")
            # The cue-line area holds all lines, the document only a window of them.
            self.assertEqual(page.script("return document.getElementById('RichEdit2').value"
                                         ".split('\\n').length"), len(expected))
            self.assertLess(page.script(IN_DOCUMENT).count("\n"), 1000)
            page.compute()
            self.assertEqual(page.text("Label11"), f"Anzahl Titel: {len(expected)}")
            # So long a list keeps only the rows in view in the document: the first ones now,
            # the last ones once the list is scrolled to its end (End selects the last row).
            shown = "return Array.from(document.querySelectorAll('#ListView1 tbody tr[data-index]'), tr => Array.from(tr.cells, td => td.textContent));"
            self.assertEqual(page.script(shown)[:3], expected[:3])
            self.assertLess(len(page.script(shown)), 200)
            page.element("ListView1Box").send_keys(Keys.END)
            page.wait(lambda: page.script(shown)[-1:] == expected[-1:], 10, "the list's end")
            self.assertEqual(page.script(shown)[-3:], expected[-3:])
            selected = page.script("return Array.from(document.querySelectorAll("
                                   "'#ListView1 tbody tr.selected'), tr => tr.cells[0].textContent)")
            self.assertEqual(selected, [expected[-1][0]])

    def test_09_screenshots(self):
        page = self.page
        page.load(self.data / "cases" / "fixture-zwoelf-titel" / "input.edl")
        page.compute()
        page.element("ListView1").find_elements(By.TAG_NAME, "tr")[3].click()
        self.screenshots("web")

    def screenshots(self, prefix):
        """Screenshots at 1280x800 and at a phone's 390x844, named prefix-WxH.png."""
        page = self.page
        shots = pathlib.Path(ARGS.shots)
        shots.mkdir(parents=True, exist_ok=True)
        for width, height in ((1280, 800), (390, 844)):
            page.driver.set_window_size(width, height)
            inner = page.script("return [window.innerWidth, window.innerHeight]")
            page.driver.set_window_size(2 * width - inner[0], 2 * height - inner[1])
            self.assertEqual(page.script("return [window.innerWidth, window.innerHeight]"),
                             [width, height])
            # Nothing sticks out sideways: the lists scroll inside their own boxes.
            self.assertLessEqual(page.script("return document.documentElement.scrollWidth"), width)
            page.driver.save_screenshot(str(shots / f"{prefix}-{width}x{height}.png"))
        page.driver.set_window_size(1280, 800)

    def test_10_served_over_http(self):
        page = self.page
        site = pathlib.Path(ARGS.page).resolve().parent
        served = []

        class Handler(http.server.SimpleHTTPRequestHandler):
            def __init__(self, *args, **kwargs):
                super().__init__(*args, directory=str(site), **kwargs)

            def log_message(self, format, *args):
                served.append(self.path)

        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        origin = f"http://127.0.0.1:{server.server_port}/"
        self.origins.append(origin)
        try:
            page.driver.get(origin + "index.html")
            page.wait(lambda: page.script("return !!document.getElementById('Button1')"))
            edl = self.data / "cases" / "sample-12-16-tl01-music" / "input.edl"
            page.load(edl)
            page.compute()
            expected = cli_rows(edl, "25", True)[0]
            self.assertTrue(expected)
            self.assertEqual(page.rows(), expected)
            self.assertEqual(page.download("Button4", ".xlsx").name, "input.xlsx")
        finally:
            server.shutdown()
            server.server_close()
        own = {"/" + str(p.relative_to(site)) for p in site.rglob("*") if p.is_file()}
        self.assertTrue(served)
        self.assertLessEqual(set(served), own)


    def test_11_long_cue_lines_edited_in_a_window(self):
        """A list too long for one textarea: the document keeps a window of its lines, and
        editing in the middle, scrolling and the keys act on the whole text."""
        page = self.page
        area = page.element("RichEdit2")
        box = page.element("RichEdit2Box")
        value = lambda: page.script("return document.getElementById('RichEdit2').value")
        keys = lambda *typed: ActionChains(page.driver).send_keys(*typed).perform()
        control = lambda key: (ActionChains(page.driver).key_down(Keys.CONTROL).send_keys(key)
                               .key_up(Keys.CONTROL).perform())
        first_shown = lambda: round(page.script(
            "return parseFloat(document.getElementById('RichEdit2').style.top) || 0") / 14)

        def scroll_to(fraction):
            page.script("arguments[0].scrollTop = arguments[1] * arguments[0].scrollHeight",
                        box, fraction)
            page.wait(lambda: abs(first_shown() - fraction * len(lines)) < 200, 10, "the window")

        def paste(text):
            page.script("""const data = new DataTransfer();
                data.setData('text/plain', arguments[0]);
                document.getElementById('RichEdit2').dispatchEvent(new ClipboardEvent('paste',
                    {clipboardData: data, bubbles: true, cancelable: true}));""", text)

        def in_view(index):
            top, height = box.get_property("scrollTop"), box.get_property("clientHeight")
            return top <= index * 14 + 4 < top + height

        def typed_line(before, after):
            """The index of the one line that differs, and its new text."""
            old, new = before.split("\n"), after.split("\n")
            self.assertEqual(len(old), len(new))
            changed = [i for i in range(len(old)) if old[i] != new[i]]
            self.assertEqual(len(changed), 1, changed)
            return changed[0], new[changed[0]]

        with tempfile.TemporaryDirectory() as folder:
            folder = pathlib.Path(folder)
            edl = folder / "lang.edl"
            edl.write_bytes(capacity_edl(2_000_000))
            page.load(edl)
            extracted = cli("extract", str(edl)).stdout.decode("utf-8")
            self.assertEqual(value(), extracted[:-1])
            lines = extracted[:-1].split("\n")
            self.assertGreater(len(lines), 10000)
            self.assertIn("windowed", box.get_attribute("class"))

            # A click in the middle of the list places the caret; End and typing edit that line,
            # Enter adds a line after it.
            scroll_to(0.5)
            ActionChains(page.driver).move_to_element(box).click().perform()
            new_line = "10:00:00:00      10:00:42:10         NEU.WAV"
            keys(Keys.END, " X", Keys.ENTER, new_line)
            edited = value().split("\n")
            index = next(i for i in range(len(lines)) if edited[i] != lines[i])
            self.assertTrue(0.4 * len(lines) < index < 0.6 * len(lines), index)
            expected = lines[:index] + [lines[index] + " X", new_line] + lines[index + 1:]
            self.assertEqual(edited, expected)
            self.assertTrue(page.element("Button5").is_enabled())
            self.assertLess(page.script(IN_DOCUMENT).count("\n"), 1000)
            self.screenshots("web-long-lines")

            # Scrolled away and back, the edit stays, in the value and in the document.
            scroll_to(0.0)
            self.assertNotIn(new_line, page.script(IN_DOCUMENT))
            scroll_to(index / len(lines))
            self.assertIn(lines[index] + " X\n" + new_line, page.script(IN_DOCUMENT))
            self.assertEqual(value().split("\n"), expected)

            # Ctrl+End reaches the last line, Ctrl+Home the first; arrows and PageDown go on
            # beyond the window, and the view follows the caret.
            control(Keys.END)
            shown = page.script(IN_DOCUMENT)
            self.assertTrue(shown.endswith("\n" + expected[-1]))
            self.assertEqual(area.get_property("selectionStart"), len(shown))
            self.assertTrue(page.script("const b = arguments[0];"
                                        "return b.scrollTop + b.clientHeight >= b.scrollHeight - 1",
                                        box))
            control(Keys.HOME)
            self.assertEqual((first_shown(), area.get_property("selectionStart"),
                              box.get_property("scrollTop")), (0, 0, 0))
            before = value()
            keys(*[Keys.ARROW_DOWN] * 250, "A")
            self.assertEqual(typed_line(before, value()), (250, "A" + expected[250]))
            before = value()
            keys(*[Keys.PAGE_DOWN] * 30, Keys.HOME, "P")
            index, line = typed_line(before, value())
            self.assertEqual(line, "P" + before.split("\n")[index])
            self.assertGreater(index, 250 + 30 * 5)
            self.assertTrue(in_view(index))

            # Typing after scrolling far away goes to the caret, which comes back into view; the
            # arrows go on from a caret at the window's edge.
            control(Keys.HOME)
            keys(*[Keys.ARROW_DOWN] * 3)
            scroll_to(0.5)
            before = value()
            keys("H")
            self.assertEqual(typed_line(before, value()), (3, "H" + before.split("\n")[3]))
            self.assertTrue(in_view(3))
            page.script("arguments[0].scrollTop = 503 * 14", box)
            page.wait(lambda: first_shown() == 3, 10, "a window from the caret's line")
            before = value()
            keys(Keys.ARROW_UP, "V")
            line = before.split("\n")[2]
            self.assertEqual(typed_line(before, value()), (2, line[:1] + "V" + line[1:]))
            expected = value().split("\n")

            # The rows and the saved text are the tool's on the edited lines.
            cue_lines = folder / "bearbeitet.txt"
            cue_lines.write_text(value(), encoding="utf-8")
            rows = cli("rows", "--fps", "25", str(cue_lines))
            self.assertEqual(rows.returncode, 0, rows.stderr)
            page.set_rate("25")
            page.set_minutes_and_seconds(True)
            page.compute()
            self.assertIsNone(page.message())
            self.assertEqual(page.rows(), [[unescape_cell(c) for c in line.split("\t")]
                                           for line in rows.stdout.decode("utf-8").splitlines()])
            reference = folder / "reference.txt"
            made = cli("report", "--cues", "--fps", "25", "--format", "text", "-o",
                       str(reference), str(cue_lines))
            self.assertEqual(made.returncode, 0, made.stderr)
            self.assertEqual(page.download("Button3", ".txt").read_bytes(), reference.read_bytes())

            # Ctrl+A takes the whole text: copy gives all of it, and typing replaces it.
            page.script("""document.addEventListener('copy', (event) => {
                window.copiedText = event.clipboardData.getData('text/plain'); });""")
            ActionChains(page.driver).move_to_element(box).click().perform()
            control("a")
            control("c")
            self.assertEqual(page.script("return window.copiedText"), "\n".join(expected))
            paste("\r\n".join(lines[:5000]))
            self.assertEqual(value(), "\n".join(lines[:5000]))
            self.assertIn("windowed", box.get_attribute("class"))
            control("a")
            keys("Z")
            self.assertEqual((value(), page.script(IN_DOCUMENT)), ("Z", "Z"))
            self.assertNotIn("windowed", box.get_attribute("class"))
            # A long paste into a short text goes in at the caret and makes the area windowed.
            keys(Keys.HOME)
            paste("\n".join(lines[:3000]) + "\n")
            self.assertEqual(value(), "\n".join(lines[:3000]) + "\nZ")
            self.assertIn("windowed", box.get_attribute("class"))
            paste("\n".join(lines[:2000]) + "\n")  # at the caret, after the first paste
            self.assertEqual(value(), "\n".join(lines[:3000] + lines[:2000]) + "\nZ")

        # Typing stops at the capacity of the whole text, not of the window.
        length = lambda: page.script("return document.getElementById('RichEdit2').value.length")
        page.script("""
            const line = '01:00:00:00      01:00:01:00         ' + 'T'.repeat(42) + '\\n';
            const whole = line.repeat(Math.floor(arguments[0] / line.length));
            document.getElementById('RichEdit2').value =
                whole + 'E'.repeat(arguments[0] - whole.length);""", CAPACITY)
        self.assertEqual(length(), CAPACITY)
        ActionChains(page.driver).move_to_element(box).click().perform()
        keys("y")
        self.assertEqual(length(), CAPACITY)
        keys(Keys.BACKSPACE, "yz")
        self.assertEqual(length(), CAPACITY)
        paste("x" * 200_000)
        self.assertEqual(length(), CAPACITY)
        self.assertEqual(page.script("return document.getElementById('RichEdit2').value"
                                     ".split('\\n').filter(line => line.includes('y')).length"), 1)

def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--shots", required=True)
    parser.add_argument("--skip", action="append", default=[],
                        help="leave out the tests whose name contains this (may be repeated)")
    ARGS, rest = parser.parse_known_args()
    for name in dir(WebPageTest):
        if name.startswith("test_") and any(part in name for part in ARGS.skip):
            delattr(WebPageTest, name)
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
