#!/usr/bin/env python3
"""End-to-end checks of `tarvelin-cli extract` and of the tool's command line.

  cli_extract_test.py TARVELIN_CLI CASES_DIR

Every golden case must give its cue-lines.txt on standard output byte for byte, "Anzahl Titel: N"
on standard error and exit code 0. Then the command-line rules: usage errors exit 2, file
failures exit 1 with the German message, output that cannot be written exits 1, and the tool
never ends by a signal.
"""
import os
import pathlib
import subprocess
import sys
import tempfile

failures = []


def run(cli, *args, **kwargs):
    return subprocess.run([cli, *args], capture_output=True, timeout=120, **kwargs)


def expect(tag, condition, detail=""):
    if not condition:
        failures.append(tag + (": " + detail if detail else ""))


def check_cases(cli, cases):
    count = 0
    for case in sorted(p for p in cases.iterdir() if (p / "input.edl").is_file()):
        count += 1
        expected = (case / "cue-lines.txt").read_bytes()
        result = run(cli, "extract", str(case / "input.edl"))
        expect(case.name + " exit code", result.returncode == 0, str(result.returncode))
        expect(case.name + " cue lines", result.stdout == expected)
        titles = expected.count(b"\n")
        expect(case.name + " count", result.stderr == b"Anzahl Titel: %d\n" % titles,
               result.stderr.decode("utf-8", "replace"))
    expect("cases found", count > 0)


def check_command_line(cli, cases):
    with tempfile.TemporaryDirectory() as tmp:
        tmp = pathlib.Path(tmp)
        sample = next(p for p in sorted(cases.iterdir()) if (p / "input.edl").is_file())
        sample = str(sample / "input.edl")

        usage_errors = {
            "no_command": [],
            "unknown_command": ["zaubern"],
            "extract_without_file": ["extract"],
            "extract_two_files": ["extract", sample, sample],
            "unknown_option": ["extract", "--schnell", sample],
            "short_option": ["extract", "-x", sample],
        }
        for tag, args in usage_errors.items():
            result = run(cli, *args)
            expect(tag + " exits 2", result.returncode == 2, str(result.returncode))
            expect(tag + " prints usage", b"Aufruf: tarvelin-cli" in result.stderr)
            expect(tag + " nothing on stdout", result.stdout == b"")

        result = run(cli, "--version")
        expect("version", (result.returncode, result.stdout) == (0, b"tarvelin-cli 3.4.0\n"))
        result = run(cli, "--help")
        expect("help", result.returncode == 0 and b"extract" in result.stdout)
        result = run(cli, "extract", "--help")
        expect("extract help", result.returncode == 0 and
               result.stdout.startswith(b"Aufruf: tarvelin-cli extract"))
        result = run(cli, "extract", "--", sample)
        expect("double dash ends options", result.returncode == 0, str(result.returncode))

        missing = tmp / "fehlt.edl"
        result = run(cli, "extract", str(missing))
        expect("missing file exits 1", result.returncode == 1, str(result.returncode))
        expect("missing file message", result.stderr == (
            "Datei %s kann nicht geöffnet werden. Das System kann die angegebene Datei nicht "
            "finden\n" % missing).encode("utf-8"), result.stderr.decode("utf-8", "replace"))
        result = run(cli, "extract", str(tmp))
        expect("directory exits 1", result.returncode == 1, str(result.returncode))
        expect("directory message", "ist ein Ordner".encode("utf-8") in result.stderr)

        too_large = tmp / "gross.edl"
        with open(too_large, "wb") as out:
            out.truncate(16_777_216)
        result = run(cli, "extract", str(too_large))
        expect("too large exits 1", result.returncode == 1, str(result.returncode))
        expect("too large message", "Die Datei ist zu groß".encode("utf-8") in result.stderr)

        # Many cue lines, for the output failures below.
        big = tmp / "viele.edl"
        event = ("000001  MUSIK                            A     C        00:00:00:00 00:00:01:00 "
                 "01:00:00:00 01:00:01:00 \r\n*FROM CLIP NAME:  EIN LANGER TITEL.WAV\r\n")
        big.write_bytes((event * 20000).encode("ascii"))

        if os.path.exists("/dev/full"):
            with open("/dev/full", "wb") as full:
                result = subprocess.run([cli, "extract", str(big)], stdout=full,
                                        stderr=subprocess.PIPE, timeout=120)
            expect("full disk exits 1", result.returncode == 1, str(result.returncode))
            expect("full disk message", b"Die Ausgabe konnte nicht geschrieben werden" in
                   result.stderr)

        process = subprocess.Popen([cli, "extract", str(big)], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL)
        process.stdout.close()
        code = process.wait(timeout=120)
        expect("closed pipe ends without a signal", code == 1, str(code))


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    cli, cases = argv[1], pathlib.Path(argv[2])
    check_cases(cli, cases)
    check_command_line(cli, cases)
    for failure in failures:
        print("FAILED: " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
