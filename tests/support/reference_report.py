#!/usr/bin/env python3
"""An independent reference for the music report (Musikfolge), for the expected report files.

Written from the report's rules, apart from the C++ code: file names and titles with regular
expressions, times as exact fractions (`fractions.Fraction`) with the rate as the exact value of
the double the cue list computation reads, the gap as the exact decimal typed, the durations
rounded up with `math.ceil` on the exact difference. Cue rows come from `reference_rows.py`, cue
lines of an EDL from `reference_extract.py`.

Usage (output: the TSV form of "tarvelin-cli report --format tsv"):
  reference_report.py [--fps RATE] [--decimal SEP] [--gap SECONDS] --edl FILE.edl
  reference_report.py [--fps RATE] [--decimal SEP] [--gap SECONDS] --cues FILE|-
  reference_report.py [--fps RATE] [--decimal SEP] [--gap SECONDS] --rows FILE|-
      (rows as "tarvelin-cli rows" prints them)
  reference_report.py --generate DIR...
      writes report-fps<RATE>[-gap<SECONDS>].tsv (decimal comma) for the rates and gaps of
      MATRIX beside every DIR/*/input.edl (through the extraction reference) or, without one,
      every non-empty DIR/*/cue-lines.txt
"""
import math
import pathlib
import re
import sys
from fractions import Fraction

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import reference_extract  # noqa: E402
import reference_rows  # noqa: E402

# (rate, gap or None for the default) of every generated expected file.
MATRIX = [("24", None), ("25", None), ("30", None), ("29,97", None), ("30", "0"), ("24", "2,5"),
          ("25", "0,2")]

DEFAULT_GAP = Fraction(1)
AUDIO_EXTENSIONS = {".MP3", ".WAV", ".M4A", ".AIFF", ".AIF", ".NEW"}
DEBRIS = re.compile(r" TO CLIP NAME:", re.IGNORECASE | re.ASCII)
COPY_SUFFIX = re.compile(r"\.(?:SUB|COPY|NEW)\.[0-9]+\Z", re.IGNORECASE | re.ASCII)
TIMECODE = re.compile(r"([0-9]{2}):([0-9]{2}):([0-9]{2}):([0-9]{2})")
NO_RATE = "Keine Musikfolge: Die Bildrate '%s' ist nicht größer als null"


class ReportError(Exception):
    pass


def file_name(cell):
    name = cell.strip(" ")
    debris = DEBRIS.search(name)
    if debris:
        name = name[:debris.start()].strip(" ")
    while True:
        suffix = COPY_SUFFIX.search(name)
        if not suffix or not name[:suffix.start()].strip(" "):
            return name
        name = name[:suffix.start()].strip(" ")


def work_title(name):
    stem, dot, extension = name.rpartition(".")
    if dot and "." + extension.upper() in AUDIO_EXTENSIONS and stem.strip(" "):
        return stem.strip(" ")
    return name


def seconds(timecode, rate):
    match = TIMECODE.fullmatch(timecode)
    if not match:
        return None
    h, m, s, f = (int(group) for group in match.groups())
    return h * 3600 + m * 60 + s + Fraction(f) / rate


def read_gap(text, sep):
    """The exact decimal value of a gap text (digits, the separator, more digits)."""
    match = re.fullmatch(r" *\+?([0-9]*)(?:" + re.escape(sep) + r"([0-9]*))? *", text)
    if not match or not (match.group(1) or match.group(2)):
        raise ValueError(text)
    return Fraction((match.group(1) or "0") + "." + (match.group(2) or "0"))


def mm_ss(total):
    return "%02d:%02d" % (total // 60, total % 60)


def build(rows, rate_text, sep, gap):
    """rows: [in, out, length, title]. Returns (uses, totals, skipped)."""
    try:
        rate = reference_rows.read_rate(rate_text, sep)
    except reference_rows.ConversionError as error:
        raise ReportError(str(error))
    if rate <= 0:
        raise ReportError(NO_RATE % rate_text)
    by_name = {}
    skipped = 0
    for index, (tc_in, tc_out, _, title) in enumerate(rows):
        t_in, t_out = seconds(tc_in, rate), seconds(tc_out, rate)
        if t_in is None or t_out is None or t_out <= t_in:
            skipped += 1
            continue
        by_name.setdefault(file_name(title), []).append((t_in, t_out, index, tc_in, tc_out))

    uses = []  # [start, end, name, in text, out text]
    for name, timed in by_name.items():
        current = None
        for t_in, t_out, _, tc_in, tc_out in sorted(timed):
            if current is not None and t_in <= current[1] + gap:
                if t_out > current[1]:
                    current[1], current[4] = t_out, tc_out
                continue
            current = [t_in, t_out, name, tc_in, tc_out]
            uses.append(current)
    uses.sort(key=lambda use: (use[0], use[2]))

    totals = {}  # name -> [uses, seconds], in order of first use (dicts keep insertion order)
    numbered = []
    for number, (start, end, name, tc_in, tc_out) in enumerate(uses, 1):
        whole = math.ceil(end - start)
        numbered.append((number, work_title(name), name, tc_in, tc_out, whole))
        total = totals.setdefault(name, [0, 0])
        total[0] += 1
        total[1] += whole
    return numbered, totals, skipped


def escape(cell):
    return reference_rows.escape(cell)


def report_tsv(numbered, totals):
    lines = ["Nr\tTitel\tDatei\tIn\tOut\tDauer\tSekunden"]
    for number, title, name, tc_in, tc_out, whole in numbered:
        lines.append("\t".join([str(number), escape(title), escape(name), tc_in, tc_out,
                                mm_ss(whole), str(whole)]))
    lines += ["", "Titel\tDatei\tEinsätze\tGesamtdauer\tSekunden"]
    for name, (count, whole) in totals.items():
        lines.append("\t".join([escape(work_title(name)), escape(name), str(count), mm_ss(whole),
                                str(whole)]))
    all_seconds = sum(whole for _, whole in totals.values())
    lines.append("Gesamt\t\t%d\t%s\t%d" % (len(numbered), mm_ss(all_seconds), all_seconds))
    return b"".join(reference_rows.to_utf8(line) + b"\n" for line in lines)


def unescape(cell):
    return re.sub(r"\\(.)", lambda m: {"t": "\t", "r": "\r", "n": "\n"}.get(m.group(1), m.group(1)),
                  cell)


def rows_from_tsv(data):
    text = reference_rows.as_code_units(data.decode("utf-8", errors="replace"))
    return [[unescape(cell) for cell in line.split("\t")] for line in text.split("\n") if line]


def rows_from_cues(data, rate_text, sep):
    """The rows of a cue-line text in minutes-and-seconds mode, and the computation's failure."""
    rows = []
    failure = None
    try:
        reference_rows.compute_rows(reference_rows.cue_line_text(data), rate_text, True, sep, rows)
    except reference_rows.ConversionError as error:
        failure = str(error)
        rows.pop()  # the failing row: the report uses the rows before it
    return rows, failure


def run(data, kind, rate_text, sep, gap_text):
    """(stdout bytes, stderr text, exit code) as "tarvelin-cli report" must give them."""
    gap = DEFAULT_GAP if gap_text is None else read_gap(gap_text, sep)
    failure = None
    if kind == "rows":
        rows = rows_from_tsv(data)
    else:
        if kind == "edl":
            data = reference_extract.cue_text(data)
        rows, failure = rows_from_cues(data, rate_text, sep)
    try:
        out = report_tsv(*build(rows, rate_text, sep, gap)[:2])
    except ReportError as error:
        out = b""
        failure = failure or str(error)
    if failure is None:
        return out, "", 0
    shown = failure if failure and failure[-1] <= "." else failure + "."
    return out, shown + "\n", 1


def expected_name(rate, gap):
    return "report-fps%s%s.tsv" % (rate, "" if gap is None else "-gap" + gap)


def generate(folders):
    for folder in folders:
        for case in sorted(p for p in pathlib.Path(folder).iterdir() if p.is_dir()):
            if (case / "input.edl").is_file():
                data, kind = (case / "input.edl").read_bytes(), "edl"
            elif (case / "cue-lines.txt").is_file():
                data, kind = (case / "cue-lines.txt").read_bytes(), "cues"
            else:
                continue
            if kind == "edl" and not reference_extract.cue_text(data):
                continue  # no music: nothing a report could show beyond the empty one
            for rate, gap in MATRIX:
                out, err, code = run(data, kind, rate, ",", gap)
                if code != 0:
                    sys.exit(f"{case}: {err}")
                (case / expected_name(rate, gap)).write_bytes(out)


def main(args):
    if args and args[0] == "--generate":
        generate(args[1:])
        return 0
    rate, sep, gap, kind, path = "25", ",", None, "cues", "-"
    while args:
        arg = args.pop(0)
        if arg == "--fps":
            rate = args.pop(0)
        elif arg == "--decimal":
            sep = args.pop(0)
        elif arg == "--gap":
            gap = args.pop(0)
        elif arg in ("--edl", "--cues", "--rows"):
            kind, path = arg[2:], args.pop(0)
        else:
            print(__doc__, file=sys.stderr)
            return 2
    data = sys.stdin.buffer.read() if path == "-" else pathlib.Path(path).read_bytes()
    out, err, code = run(data, kind, rate, sep, gap)
    sys.stdout.buffer.write(out)
    sys.stderr.write(err)
    return code


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
