#!/usr/bin/python3
"""Benchmark of the page: a capacity-size list (16,777,215 characters) in headless Chromium
against tarvelin-cli convert on the same file, one run each.

  bench/web_capacity.py [--page build/web/site/index.html] [--cli build/release/cli/tarvelin-cli]
                        [--runs N]

Prints the page's size, the tool's time, the page's load time (file input to the filled
cue-line area shown) and compute time (press of "Rechnen TC" to the last row in the list), their
ratios to the tool, and the longest task the page's own thread ran in each (what a user would
feel as a freeze; the work itself runs in the worker). With --runs, tool and page take turns N
times.
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

# Records, inside the page, when the next action has ended and its result has been laid out and
# shown (the frame after it), and the longest task of the page's thread.
OBSERVE = """
window.benchLongest = 0;
new PerformanceObserver((list) => {
  for (const entry of list.getEntries()) {
    window.benchLongest = Math.max(window.benchLongest, entry.duration);
  }
}).observe({entryTypes: ['longtask']});
window.benchMark = (element) => {
  window.benchLongest = 0;
  window.benchStart = performance.now();
  window.benchEnd = null;
  const before = document.body.dataset.actions || '0';
  const watch = new MutationObserver(() => {
    if ((document.body.dataset.actions || '0') !== before) {
      watch.disconnect();
      requestAnimationFrame(() => setTimeout(() => { window.benchEnd = performance.now(); }));
    }
  });
  watch.observe(document.body, {attributes: true, attributeFilter: ['data-actions']});
};
"""


def timed_action(driver, trigger):
    """Seconds from the trigger to the end of the page's action, and its longest task."""
    driver.execute_script("window.benchMark()")
    trigger()
    while driver.execute_script("return window.benchEnd") is None:
        time.sleep(0.02)
    time.sleep(0.2)  # long tasks are reported a little after they end
    return driver.execute_script(
        "return [(window.benchEnd - window.benchStart) / 1000, window.benchLongest / 1000]")


def run_cli(cli, edl):
    start = time.monotonic()
    result = subprocess.run([cli, "convert", "--fps", "25", str(edl)],
                            capture_output=True, check=True)
    return time.monotonic() - start, result.stdout.count(b"\n")


def run_page(page, edl):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", "--window-size=1280,800"]:
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.get(pathlib.Path(page).resolve().as_uri())
        driver.execute_script(OBSERVE)
        load = timed_action(driver, lambda: driver.find_element(By.ID, "OpenDialog1")
                            .send_keys(str(edl)))
        compute = timed_action(driver, lambda: driver.find_element(By.ID, "Button5").click())
        shown = int(driver.find_element(By.ID, "Label11").text.split()[-1])
    finally:
        driver.quit()
    return load, compute, shown


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", default=str(ROOT / "build/web/site/index.html"))
    parser.add_argument("--cli", default=str(ROOT / "build/release/cli/tarvelin-cli"))
    parser.add_argument("--runs", type=int, default=1)
    args = parser.parse_args()

    site = pathlib.Path(args.page).resolve().parent
    files = [p for p in site.rglob("*") if p.is_file()]
    total = sum(p.stat().st_size for p in files)
    worker = (site / "tarvelin-worker.js").stat().st_size

    with tempfile.TemporaryDirectory() as folder:
        edl = pathlib.Path(folder) / "kapazitaet.edl"
        edl.write_bytes(capacity_edl(CAPACITY))

        print(f"page: {len(files)} files, {total / 1024:.0f} KiB "
              f"(worker with the embedded WebAssembly {worker / 1024:.0f} KiB)")
        for run in range(args.runs):
            cli_seconds, rows = run_cli(args.cli, edl)
            (load, load_longest), (compute, compute_longest), shown = run_page(args.page, edl)
            if shown != rows:
                raise SystemExit(f"the page shows {shown} rows, tarvelin-cli {rows}")
            print(f"run {run + 1}: list of {CAPACITY} characters, {rows} rows; "
                  f"tarvelin-cli convert {cli_seconds:.2f} s")
            print(f"  page load {load:.2f} s = {load / cli_seconds:.1f} x, "
                  f"compute and show {compute:.2f} s = {compute / cli_seconds:.1f} x, "
                  f"together {(load + compute) / cli_seconds:.1f} x tarvelin-cli")
            longest = lambda seconds: (f"{seconds * 1000:.0f} ms" if seconds > 0
                                       else "none over 50 ms")
            print(f"  longest task of the page's thread: load {longest(load_longest)}, "
                  f"compute {longest(compute_longest)}")


if __name__ == "__main__":
    main()
