#!/usr/bin/env python3
"""End-to-end checks of "tarvelin-cli rows" and "tarvelin-cli convert".

Usage: cli_rows_test.py TARVELIN_CLI DATA_DIR [--sample]

- every expected rows file (rows-<fps>-<minsec|timecode>.tsv beside a cue-lines.txt, written by
  tests/support/reference_rows.py) equals the tool's output, from a file and from standard input;
- for unusual rates (fractions, negative, zero, below one, not a number, absurdly large) the
  tool's standard output, error message and exit code agree with the reference;
- convert gives the rows of extract + rows, its text and xlsx outputs, and leaves an existing
  file alone when the computation fails;
- the decimal separator follows --decimal, else LC_ALL, LC_NUMERIC, LANG.

--sample (the sanitizer pass, where every run of the tool starts slowly) runs every fifth golden
file and the unusual rates on one cue-lines file only; the golden unit tests check every case
in-process under the sanitizers.
"""
import os
import pathlib
import re
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "support"))
import reference_rows  # noqa: E402

failures = []
SAMPLE_STRIDE = 5 if "--sample" in sys.argv[3:] else 1


def check(condition, what):
    if not condition:
        failures.append(what)


def run(cli, args, stdin=None, env_overrides=None):
    env = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_NUMERIC", "LANG")}
    env.update(env_overrides or {"LC_ALL": "C"})
    return subprocess.run([cli] + args, input=stdin, capture_output=True, env=env, timeout=120)


def golden_files(data):
    for root in ("cases", "cue-lines"):
        for cue_lines in sorted((data / root).glob("*/cue-lines.txt")):
            for expected in sorted(cue_lines.parent.glob("rows-*.tsv")):
                match = re.fullmatch(r"rows-([0-9]+)-(minsec|timecode)\.tsv", expected.name)
                if match:
                    yield cue_lines, expected, match.group(1), match.group(2) == "timecode"


def check_golden(cli, data):
    count = 0
    for cue_lines, expected, fps, timecode in golden_files(data):
        count += 1
        if (count - 1) % SAMPLE_STRIDE:
            continue
        args = ["rows", "--fps", fps] + (["--timecode"] if timecode else [])
        result = run(cli, args + [str(cue_lines)])
        check(result.returncode == 0 and result.stdout == expected.read_bytes(),
              f"rows differs from {expected}")
    check(count >= 18, f"only {count} expected rows files found")
    cue_lines, expected, fps, timecode = next(golden_files(data))
    piped = run(cli, ["rows", "--fps=" + fps] + (["--timecode"] if timecode else []) + ["-"],
                stdin=cue_lines.read_bytes())
    check(piped.stdout == expected.read_bytes(), "rows from standard input differs")


def check_against_reference(cli, data):
    rates = ["23,976", "29,97", "12,5", " 25 ", "-25", "0", "0,5", "abc", "29.97", "", "1E15",
             "1E300", "10000", "1E400", "2E9", "3E9", "-1E10", "0,9999"]
    cases = sorted((data / "cue-lines").glob("*/cue-lines.txt"))
    for cue_lines in cases[:1] if SAMPLE_STRIDE > 1 else cases:
        content = cue_lines.read_bytes()
        for rate in rates:
            for timecode in (False, True):
                args = ["rows", "--decimal", ",", "--fps", rate] + (["--timecode"] if timecode else [])
                result = run(cli, args + [str(cue_lines)])
                tsv, failure = reference_rows.rows_for(content, rate, not timecode, ",")
                shown = None if failure is None else (
                    failure if failure[-1] <= "." else failure + ".")
                what = f"{cue_lines.parent.name} --fps '{rate}' timecode={timecode}"
                check(result.stdout == tsv, f"stdout differs: {what}")
                check(result.returncode == (0 if shown is None else 1), f"exit code: {what}")
                expected_err = b"" if shown is None else (shown + "\n").encode("utf-8")
                check(result.stderr == expected_err,
                      f"stderr differs: {what}: {result.stderr!r} vs {expected_err!r}")


def check_convert(cli, data):
    case = data / "cases" / "fixture-zwoelf-titel"
    edl = str(case / "input.edl")
    result = run(cli, ["convert", "--fps", "25", edl])
    check(result.returncode == 0 and result.stdout == (case / "rows-25-minsec.tsv").read_bytes(),
          "convert differs from the expected rows")
    text = run(cli, ["convert", "--timecode", "--format", "text", edl])
    lines = text.stdout.split(b"\r\n")
    check(text.returncode == 0 and lines[0].startswith(b"In ") and b"Music Titles" in lines[0],
          "convert --format text lacks its header")
    rows = (case / "rows-25-timecode.tsv").read_bytes().decode("utf-8").splitlines()
    # The cue list ends at the empty line before the music report, as in the window's file.
    check(lines.index(b"") == len(rows) + 1 and lines[-1] == b"" and
          lines[len(rows) + 2].split() == [b"Nr", b"Titel", b"In", b"Out", b"Dauer"],
          "convert --format text: rows, then the music report")
    first = rows[0].split("\t")
    check(lines[1].decode("utf-8").split()[:3] == first[:3], "convert --format text first row")

    check(run(cli, ["convert", "--format", "xlsx", edl]).returncode == 2, "xlsx without -o")
    check(run(cli, ["convert", "--format", "csv", edl]).returncode == 2, "unknown format")
    with tempfile.TemporaryDirectory() as folder:
        book = pathlib.Path(folder) / "Liste.xlsx"
        made = run(cli, ["convert", "--format", "xlsx", "-o", str(book), edl])
        check(made.returncode == 0 and book.read_bytes()[:2] == b"PK", "convert -o xlsx")
        before = book.read_bytes()
        failed = run(cli, ["convert", "--fps", "abc", "--format", "xlsx", "-o", str(book), edl])
        check(failed.returncode == 1 and failed.stderr ==
              "'abc' ist kein gültiger Gleitkommawert.\n".encode("utf-8"), "failed convert message")
        check(book.read_bytes() == before, "a failed convert replaced the file")
        tsv = pathlib.Path(folder) / "rows.tsv"
        run(cli, ["convert", "-o", str(tsv), edl])
        check(tsv.read_bytes() == (case / "rows-25-minsec.tsv").read_bytes(), "convert -o tsv")
        check(sorted(p.name for p in pathlib.Path(folder).iterdir()) == ["Liste.xlsx", "rows.tsv"],
              "temporary files left behind")


def check_decimal_separator(cli, data):
    cue_lines = str(data / "cue-lines" / "long-durations" / "cue-lines.txt")
    environments = [
        ({"LC_ALL": "de_DE.UTF-8"}, ","),
        ({"LC_ALL": "C"}, "."),
        ({"LC_ALL": "", "LC_NUMERIC": "de_AT.UTF-8", "LANG": "en_US.UTF-8"}, ","),
        ({"LC_NUMERIC": "POSIX", "LANG": "de_DE.UTF-8"}, "."),
        ({"LANG": "de_DE.UTF-8"}, ","),
        ({"LANG": "en_US.UTF-8"}, "."),
        ({}, "."),
    ]
    for env, separator in environments:
        other = "." if separator == "," else ","
        good = run(cli, ["rows", "--fps", f"29{separator}97", cue_lines], env_overrides=env)
        bad = run(cli, ["rows", "--fps", f"29{other}97", cue_lines], env_overrides=env)
        check(good.returncode == 0 and bad.returncode == 1, f"separator for {env}")
    forced = run(cli, ["rows", "--decimal", ".", "--fps", "29.97", cue_lines],
                 env_overrides={"LC_ALL": "de_DE.UTF-8"})
    check(forced.returncode == 0, "--decimal overrides the locale")
    check(run(cli, ["rows", "--decimal", "ab", cue_lines]).returncode == 2, "--decimal of two")


def main(cli, data):
    data = pathlib.Path(data).resolve()
    check_golden(cli, data)
    check_against_reference(cli, data)
    check_convert(cli, data)
    check_decimal_separator(cli, data)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
