#!/usr/bin/env python3
"""An independent reference of the EDL extraction, for the expected files of the golden cases.

Written apart from the C++ code on purpose: it decodes a list the way the loader does, applies
the eight removals with regular expressions, searches with Python's own backtracking `re`, and
prints the cue lines exactly as `tarvelin-cli extract` must (UTF-8, LF after each line).

  reference_extract.py FILE.edl                 print the cue lines of one list
  reference_extract.py --generate CASES_DIR     write CASES_DIR/*/cue-lines.txt from input.edl
  reference_extract.py --check CASES_DIR        regenerate into a temporary folder and compare
"""
import filecmp
import pathlib
import re
import sys
import tempfile

# --- decoding -------------------------------------------------------------------------------

def _windows_1252_table():
    table = []
    for byte in range(256):
        try:
            table.append(bytes([byte]).decode("cp1252"))
        except UnicodeDecodeError:
            table.append(chr(byte))  # the five undefined bytes keep their code point
    return table


CP1252 = _windows_1252_table()

RTF_SKIPPED = {
    "fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "fldinst", "themedata",
    "datastore", "listtable", "listoverridetable", "rsidtbl", "generator", "xmlnstbl", "header",
    "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "latentstyles",
    "colorschememapping", "revtbl", "filetbl",
}
RTF_CHARS = {"par": "\n", "line": "\n", "sect": "\n", "page": "\n", "row": "\n", "tab": "\t",
             "cell": "\t", "emdash": "\u2014", "endash": "\u2013", "lquote": "\u2018",
             "rquote": "\u2019", "ldblquote": "\u201c", "rdblquote": "\u201d",
             "bullet": "\u2022", "emspace": "\u2003"}
RTF_TOKEN = re.compile(rb"\\([a-zA-Z]{1,32})(-?\d+)? ?|\\'([0-9a-fA-F]{2})|\\(.)|([{}])|([\r\n])|(.)",
                       re.DOTALL)


def rtf_text(data):
    """Plain text of an RTF document: enough of the format for well-formed lists."""
    out = []
    skip_stack = [False]
    uc_stack = [1]
    pending = 0
    depth = 0
    pos = 0
    while pos < len(data):
        m = RTF_TOKEN.match(data, pos)
        pos = m.end()
        word, number, hexbyte, symbol, brace, newline, plain = m.groups()

        def put(ch):
            nonlocal pending
            if pending:
                pending -= 1
            elif not skip_stack[-1]:
                out.append(ch)

        if brace == b"{":
            pending = 0
            depth += 1
            skip_stack.append(skip_stack[-1])
            uc_stack.append(uc_stack[-1])
        elif brace == b"}":
            pending = 0
            depth -= 1
            skip_stack.pop()
            uc_stack.pop()
            if depth == 0:
                break
        elif newline:
            continue
        elif hexbyte:
            put(CP1252[int(hexbyte, 16)])
        elif symbol:
            if symbol in b"\\{}":
                put(symbol.decode("ascii"))
            elif symbol == b"*":
                skip_stack[-1] = True
            elif symbol == b"~":
                put("\u00a0")
        elif word:
            name = word.decode("ascii")
            if name == "u" and number is not None:
                pending = 0
                put(chr(int(number) & 0xFFFF))
                pending = uc_stack[-1]
            elif name == "uc":
                uc_stack[-1] = int(number or 0)
            elif name in RTF_SKIPPED:
                skip_stack[-1] = True
            elif name in RTF_CHARS:
                put(RTF_CHARS[name])
            elif pending:
                pending -= 1
        else:
            put(CP1252[plain[0]])
    return "".join(out)


def decode(data):
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8", errors="replace")
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le", errors="surrogatepass")
    if data.startswith(b"\xfe\xff"):
        return data[2:].decode("utf-16-be", errors="surrogatepass")
    if data.startswith(b"{\\rtf"):
        return rtf_text(data)
    return "".join(CP1252[b] for b in data)


def loaded_lines(text):
    """The file's lines: CR LF, LF CR, CR and LF each end one; a final break adds none."""
    parts = re.split(r"\r\n|\n\r|\r|\n", text)
    if parts and parts[-1] == "":
        parts.pop()
    return parts


# --- normalisation --------------------------------------------------------------------------

# Letters that compare equal to an upper-case ASCII letter once upper-cased.
EXTRA_LOWER = {"I": "\u0131", "S": "\u017f"}


def removal_regex(text, ignore_case):
    parts = []
    for ch in text:
        if ignore_case and "A" <= ch <= "Z":
            parts.append("[" + ch + ch.lower() + EXTRA_LOWER.get(ch, "") + "]")
        else:
            parts.append(re.escape(ch))
    return re.compile("".join(parts))


REMOVALS = [
    removal_regex("*FROM CLIP NAME: ", True),
    removal_regex("* FROM CLIP NAME: ", True),
    removal_regex("*  FROM CLIP NAME: ", True),
    removal_regex(" \r\n*", False),
    removal_regex("FROM CLIP NAME: ", True),
    removal_regex("AUD", True),
    removal_regex(" 3     4 ", True),
    removal_regex(" 1     2 ", True),
]


def normalise(work):
    for removal in REMOVALS:
        work = removal.sub("", work)  # one left-to-right pass, no overlaps
    return work


def split_lines(text):
    parts = re.split(r"\r\n|\r|\n", text)
    if parts and parts[-1] == "":
        parts.pop()
    return parts


# --- extraction -----------------------------------------------------------------------------

TC = r"(\d{2}:\d{2}:\d{2}:\d{2})"
# Name characters: blank to low line, the capitals of Windows-1252 and sharp s.
NAME = "[ -_A-Z\u00c0-\u00d6\u00d8-\u00df\u0152\u0160\u0178\u017d]+."
EXTENSIONS = ("MP3", "WAV", "M4A", "AIFF", "AIF", "NEW")
# The extraction pattern is these four timecodes, a lazy gap of any characters and a clip name.
# The lazy gap makes its earliest match start at the first four timecodes that have a clip name
# anywhere after them, and end at the first clip name after them; the search below takes the two
# parts in turn, so that a scan for the next clip name is not repeated at every restart.
TIMECODES = re.compile(TC + " " + TC + " " + TC + " " + TC, re.ASCII)
CLIP_NAME = re.compile("|".join(NAME + ext for ext in EXTENSIONS), re.DOTALL | re.ASCII)
# Another event's four record and source timecodes.
EVENT_TIMECODES = re.compile(" ".join([r"\d\d:\d\d:\d\d:\d\d"] * 4), re.ASCII)
LINE_END = re.compile(r"[\r\n]|$")


def own_matches(subject):
    """The matches whose events keep their own timecodes, as (timecodes, clip name) pairs.

    A match whose gap (from the end of its fourth timecode to the end of the line on which its
    clip text ends) holds another event's four timecodes is dropped, and the search starts again
    at the first of those timecodes.
    """
    pos = 0
    name, name_from = None, 0  # the first clip name starting at or after name_from
    while True:
        timecodes = TIMECODES.search(subject, pos)
        if timecodes is None:
            return
        gap = timecodes.end()
        if name is None or not name_from <= gap <= name.start():
            name, name_from = CLIP_NAME.search(subject, gap), gap
            if name is None:
                return
        line_end = LINE_END.search(subject, name.end()).start()
        later = EVENT_TIMECODES.search(subject, gap, line_end)
        if later is not None:
            pos = later.start()
            continue
        yield timecodes, name
        pos = name.end()


def cue_lines(data):
    lines = loaded_lines(decode(data))
    work = "".join(line + "\r\n" for line in lines)
    work = normalise(work)
    subject = "".join(line + "\r\n" for line in split_lines(work))
    subject = subject.split("\0", 1)[0]
    return [timecodes.group(3) + " " * 6 + timecodes.group(4) + " " * 8 + name.group(0)
            for timecodes, name in own_matches(subject)]


def cue_text(data):
    return "".join(line + "\n" for line in cue_lines(data)).encode("utf-8", errors="surrogatepass")


# --- golden case folders --------------------------------------------------------------------

def generate(cases, target):
    for case in sorted(p for p in cases.iterdir() if (p / "input.edl").is_file()):
        out = target / case.name
        out.mkdir(parents=True, exist_ok=True)
        (out / "cue-lines.txt").write_bytes(cue_text((case / "input.edl").read_bytes()))


def check(cases):
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        generate(cases, pathlib.Path(tmp))
        names = sorted(p.name for p in cases.iterdir() if (p / "input.edl").is_file())
        for name in names:
            expected = cases / name / "cue-lines.txt"
            fresh = pathlib.Path(tmp) / name / "cue-lines.txt"
            if not expected.is_file() or not filecmp.cmp(expected, fresh, shallow=False):
                print("differs: " + name, file=sys.stderr)
                failures += 1
    if not names:
        print("no cases found in " + str(cases), file=sys.stderr)
        return 1
    print("%d cases, %d differ" % (len(names), failures))
    return 1 if failures else 0


def main(argv):
    if len(argv) == 3 and argv[1] == "--generate":
        generate(pathlib.Path(argv[2]), pathlib.Path(argv[2]))
        return 0
    if len(argv) == 3 and argv[1] == "--check":
        return check(pathlib.Path(argv[2]))
    if len(argv) == 2:
        sys.stdout.buffer.write(cue_text(pathlib.Path(argv[1]).read_bytes()))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
