#!/usr/bin/env python3
"""End-to-end checks of "tarvelin-cli report".

Usage: cli_report_test.py TARVELIN_CLI DATA_DIR [--sample]

- every expected report file (report-fps<RATE>[-gap<SECONDS>].tsv beside an input.edl or a
  cue-lines.txt, written by tests/support/reference_report.py) equals the tool's output for the
  list (EDL road) or the cue lines (--cues), from a file and from standard input;
- for unusual rates and gaps the tool's standard output, message and exit code agree with the
  reference;
- --format text is the window's text file: the cue list, then the Musikfolge and the Summen;
- bad command lines exit with 2.

--sample (the sanitizer pass, where every run of the tool starts slowly) runs every fifth golden
file and the unusual rates and gaps on one cue-lines file and on text without cue lines; the
golden unit tests check every case in-process under the sanitizers.
"""
import os
import pathlib
import re
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "support"))
import reference_report  # noqa: E402

failures = []
SAMPLE_STRIDE = 5 if "--sample" in sys.argv[3:] else 1


def check(condition, what):
    if not condition:
        failures.append(what)


def run(cli, args, stdin=None):
    env = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_NUMERIC", "LANG")}
    env["LC_ALL"] = "C"
    return subprocess.run([cli, "report"] + args, input=stdin, capture_output=True, env=env,
                          timeout=120)


def expected_files(data):
    name = re.compile(r"report-fps([0-9,]+)(?:-gap([0-9,]+))?\.tsv")
    for root in ("cases", "report"):
        for case in sorted(p for p in (data / root).iterdir() if p.is_dir()):
            for expected in sorted(case.glob("report-*.tsv")):
                match = name.fullmatch(expected.name)
                if match:
                    yield case, expected, match.group(1), match.group(2)


def options(rate, gap):
    return ["--decimal", ",", "--fps", rate] + ([] if gap is None else ["--gap", gap])


def check_golden(cli, data):
    count = 0
    for case, expected, rate, gap in expected_files(data):
        count += 1
        if (count - 1) % SAMPLE_STRIDE:
            continue
        edl = case / "input.edl"
        source = [str(edl)] if edl.is_file() else ["--cues", str(case / "cue-lines.txt")]
        result = run(cli, options(rate, gap) + source)
        check(result.returncode == 0 and result.stderr == b"" and
              result.stdout == expected.read_bytes(), f"report differs from {expected}")
    check(count >= 100, f"only {count} expected report files found")

    # The reference also reads rows as "tarvelin-cli rows" prints them.
    for case in sorted((data / "report").glob("*/report-fps25.tsv")):
        env_rows = subprocess.run([cli, "rows", "--decimal", ",", "--fps", "25",
                                   str(case.parent / "cue-lines.txt")], capture_output=True)
        out, _, code = reference_report.run(env_rows.stdout, "rows", "25", ",", None)
        check(code == 0 and out == case.read_bytes(), f"reference from rows differs: {case}")

    music = data / "cases" / "sample-12-16-tl01-music"
    piped = run(cli, options("30", None) + ["-"], stdin=(music / "input.edl").read_bytes())
    check(piped.stdout == (music / "report-fps30.tsv").read_bytes(), "EDL from standard input")
    cues = data / "report" / "stereo-und-schnitte"
    piped = run(cli, options("25", None) + ["--cues", "-"],
                stdin=(cues / "cue-lines.txt").read_bytes())
    check(piped.stdout == (cues / "report-fps25.tsv").read_bytes(), "cues from standard input")


def check_against_reference(cli, data):
    settings = [("23,976", None), ("12,5", "0,04"), ("0", None), ("-25", None), ("0,5", None),
                ("abc", None), ("29.97", None), ("", None), ("1E15", None), ("10000", "0"),
                ("30", "0,3"), ("25", "100"), (" 25 ", "1,5")]
    cases = sorted((data / "report").glob("*/cue-lines.txt"))
    if SAMPLE_STRIDE > 1:
        cases = cases[:1]
    cases.append(data / "cues-without-lines")
    for cue_lines in cases:
        content = cue_lines.read_bytes() if cue_lines.is_file() else b"kein Cue\n"
        for rate, gap in settings:
            result = run(cli, options(rate, gap) + ["--cues", "-"], stdin=content)
            out, err, code = reference_report.run(content, "cues", rate, ",", gap)
            what = f"{cue_lines.parent.name} --fps '{rate}' --gap {gap}"
            check(result.stdout == out, f"stdout differs: {what}")
            check(result.stderr == err.encode("utf-8"),
                  f"stderr differs: {what}: {result.stderr!r} vs {err!r}")
            check(result.returncode == code, f"exit code: {what}")


def check_text(cli, data):
    case = data / "cases" / "fixture-zwoelf-titel"
    text = run(cli, ["--format", "text", str(case / "input.edl")])
    lines = text.stdout.decode("utf-8").split("\r\n")
    rows = (case / "rows-25-minsec.tsv").read_bytes().decode("utf-8").splitlines()
    tsv = (case / "report-fps25.tsv").read_bytes().decode("utf-8").split("\n")
    uses = tsv[1:tsv.index("")]
    totals = tsv[tsv.index("") + 2:-2]  # without the Gesamt line and the end
    check(text.returncode == 0 and lines[0].startswith("In ") and lines[-1] == "",
          "report --format text: cue list header")
    first = len(rows) + 1
    check(lines[first] == "" and lines[first + 1].split() == ["Nr", "Titel", "In", "Out", "Dauer"],
          "report --format text: Musikfolge after an empty line")
    for i, use in enumerate(uses):
        number, title, _, tc_in, tc_out, duration, _ = use.split("\t")
        line = lines[first + 2 + i]
        check(line.split()[0] == number and title in line and line.endswith(duration) and
              f"{tc_in}  {tc_out}" in line, f"report --format text: use {number}")
    summen = first + 2 + len(uses)
    check(lines[summen] == "" and lines[summen + 1].split() == ["Titel", "Einsätze", "Gesamtdauer"],
          "report --format text: Summen after an empty line")
    gesamt = lines[summen + 2 + len(totals)]
    check(gesamt.split()[0] == "Gesamt" and gesamt.split()[1:] == tsv[-2].split("\t")[2:4],
          "report --format text: Gesamt line")


def check_command_line(cli, data):
    edl = str(data / "cases" / "fixture-zwoelf-titel" / "input.edl")
    for bad in (["--gap", "-1", edl], ["--gap", "abc", edl], ["--format", "csv", edl],
                ["--format", "xlsx", edl], [], [edl, edl], ["--timecode", edl]):
        check(run(cli, bad).returncode == 2, f"usage error for {bad}")
    with tempfile.TemporaryDirectory() as folder:
        target = pathlib.Path(folder) / "musikfolge.tsv"
        made = run(cli, ["-o", str(target), edl])
        check(made.returncode == 0 and target.read_bytes() == run(cli, [edl]).stdout,
              "report -o FILE")
        failed = run(cli, ["--fps", "abc", "-o", str(target), edl])
        check(failed.returncode == 1 and failed.stdout == b"", "failed report with -o")
        check(target.read_bytes() == run(cli, [edl]).stdout, "a failed report replaced the file")
    helped = subprocess.run([cli, "--help"], capture_output=True)
    check(b"report" in helped.stdout, "--help lists report")


def main(cli, data):
    data = pathlib.Path(data).resolve()
    check_golden(cli, data)
    check_against_reference(cli, data)
    check_text(cli, data)
    check_command_line(cli, data)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
