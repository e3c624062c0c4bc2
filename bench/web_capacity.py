#!/usr/bin/python3
"""Benchmark of the page: a capacity-size list (16,777,215 characters) in headless Chromium
against tarvelin-cli convert on the same file, one run each.

  bench/web_capacity.py [--page build/web/site/index.html] [--cli build/release/cli/tarvelin-cli]

Prints the page's size, the tool's time, the page's load time (file input to filled cue-line
area) and compute time (press of "Rechnen TC" to the last row in the list), their ratios to the
tool, and the longest task the page's own thread ran meanwhile (what a user would feel as a
freeze; the work itself runs in the worker).
"""
import argparse
import pathlib
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "web"))

from capacity_edl import capacity_edl  # noqa: E402
from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402

CAPACITY = 16_777_215

# Records, inside the page, when the next action ends and the longest task of its thread.
OBSERVE = """
window.benchLongest = 0;
new PerformanceObserver((list) => {
  for (const entry of list.getEntries()) {
    window.benchLongest = Math.max(window.benchLongest, entry.duration);
  }
}).observe({entryTypes: ['longtask']});
window.benchMark = (element) => {
  window.benchStart = performance.now();
  window.benchEnd = null;
  const before = document.body.dataset.actions || '0';
  const watch = new MutationObserver(() => {
    if ((document.body.dataset.actions || '0') !== before) {
      window.benchEnd = performance.now();
      watch.disconnect();
    }
  });
  watch.observe(document.body, {attributes: true, attributeFilter: ['data-actions']});
};
"""


def timed_action(driver, trigger):
    driver.execute_script("window.benchMark()")
    trigger()
    while driver.execute_script("return window.benchEnd") is None:
        time.sleep(0.02)
    return driver.execute_script("return (window.benchEnd - window.benchStart) / 1000")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", default=str(ROOT / "build/web/site/index.html"))
    parser.add_argument("--cli", default=str(ROOT / "build/release/cli/tarvelin-cli"))
    args = parser.parse_args()

    site = pathlib.Path(args.page).resolve().parent
    files = [p for p in site.rglob("*") if p.is_file()]
    total = sum(p.stat().st_size for p in files)
    worker = (site / "tarvelin-worker.js").stat().st_size

    with tempfile.TemporaryDirectory() as folder:
        edl = pathlib.Path(folder) / "kapazitaet.edl"
        edl.write_bytes(capacity_edl(CAPACITY))

        start = time.monotonic()
        result = subprocess.run([args.cli, "convert", "--fps", "25", str(edl)],
                                capture_output=True, check=True)
        cli_seconds = time.monotonic() - start
        rows = result.stdout.count(b"\n")

        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ["--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage", "--window-size=1280,800"]:
            options.add_argument(argument)
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        try:
            driver.get(pathlib.Path(args.page).resolve().as_uri())
            driver.execute_script(OBSERVE)
            load = timed_action(driver, lambda: driver.find_element(By.ID, "OpenDialog1")
                                .send_keys(str(edl)))
            compute = timed_action(driver, lambda: driver.find_element(By.ID, "Button5").click())
            shown = int(driver.find_element(By.ID, "Label11").text.split()[-1])
            longest = driver.execute_script("return window.benchLongest") / 1000
        finally:
            driver.quit()

    if shown != rows:
        raise SystemExit(f"the page shows {shown} rows, tarvelin-cli {rows}")
    print(f"page: {len(files)} files, {total / 1024:.0f} KiB "
          f"(worker with the embedded WebAssembly {worker / 1024:.0f} KiB)")
    print(f"list: {CAPACITY} characters, {rows} rows")
    print(f"tarvelin-cli convert: {cli_seconds:.2f} s")
    print(f"page load: {load:.2f} s, compute and show: {compute:.2f} s, "
          f"together {load + compute:.2f} s = {(load + compute) / cli_seconds:.1f} x tarvelin-cli")
    print(f"longest task of the page's thread: {longest:.2f} s")


if __name__ == "__main__":
    main()
