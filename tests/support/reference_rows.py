#!/usr/bin/env python3
"""An independent reference for the cue list computation, used to produce expected rows files.

It shares no code with the C++ program: the cue-line pattern runs on Python's own `re` engine
(leftmost match, lazy gap within the line, greedy runs, alternatives left to right), and the arithmetic
is exact rational arithmetic (`fractions`) rounded explicitly where the program rounds: numbers
read into the 64-bit significand of the extended format, the rate rounded to a double, every step
of the frame count rounded to the extended format, the count rounded half to even, divisions
truncating toward zero.

Usage:
  reference_rows.py [--fps RATE] [--timecode] [--decimal SEP] FILE
      prints the rows of a cue-line file as tarvelin-cli rows does (TAB-separated, escaped)
  reference_rows.py --generate DIR...
      writes rows-<fps>-<minsec|timecode>.tsv for fps 24, 25 and 30 next to every
      DIR/*/cue-lines.txt
"""
import math
import pathlib
import re
import sys
from fractions import Fraction

# Neither the gap nor the character before the extension crosses a line end (CR or LF), so a
# row stays on its line. Name characters: blank to low line, the capitals of Windows-1252, sharp s.
NAME = "[ -_A-Z\u00c0-\u00d6\u00d8-\u00df\u0152\u0160\u0178\u017d]+[^\r\n]"
CUE_LINE = re.compile(
    r"([0-9]{2}:[0-9]{2}:[0-9]{2}:[0-9]{2})      ([0-9]{2}:[0-9]{2}:[0-9]{2}:[0-9]{2})[^\r\n]*?(" +
    "|".join(NAME + ext for ext in ("MP3", "WAV", "M4A", "AIFF", "AIF", "NEW")) + ")")

NOT_A_FLOAT = "'%s' ist kein gültiger Gleitkommawert"
NOT_AN_INTEGER = "'%s' ist kein gültiger Integerwert"
DIVISION_BY_ZERO = "Division durch Null"

EXTENDED_BITS = 64
EXTENDED_MAX = (2 - Fraction(1, 2 ** 63)) * Fraction(2) ** 16383
DOUBLE_BITS = 53
DOUBLE_MAX = (2 - Fraction(1, 2 ** 52)) * Fraction(2) ** 1023


class ConversionError(Exception):
    pass


def round_half_even(q):
    floor = q.numerator // q.denominator
    rest = q - floor
    if rest > Fraction(1, 2) or (rest == Fraction(1, 2) and floor % 2 == 1):
        return floor + 1
    return floor


def round_to_bits(q, bits):
    """Rounds q to a binary significand of the given width, halves to even (no subnormals)."""
    if q == 0:
        return Fraction(0)
    sign = -1 if q < 0 else 1
    a = abs(q)
    exponent = a.numerator.bit_length() - a.denominator.bit_length()
    if Fraction(2) ** exponent > a:
        exponent -= 1
    scale = Fraction(2) ** (bits - 1 - exponent)
    return sign * Fraction(round_half_even(a * scale)) / scale


def ext(q):
    return round_to_bits(q, EXTENDED_BITS)


def read_number(text, sep):
    """Blanks, sign, digits with the separator, exponent, blanks; exact value rounded to extended."""
    pattern = re.compile(r" *([+-]?)([0-9]*)(?:" + re.escape(sep) + r"([0-9]*))?"
                         r"(?:[Ee]([+-]?[0-9]+))? *")
    match = pattern.fullmatch(text)
    if not match or (match.group(2) == "" and match.group(3) is None):
        raise ConversionError(NOT_A_FLOAT % text)
    digits = (match.group(2) or "") + (match.group(3) or "")
    exponent = int(match.group(4) or "0") - len(match.group(3) or "")
    if digits.strip("0") == "":
        return Fraction(0)
    # A value far outside the range is rejected before building a huge rational.
    magnitude = len(digits.lstrip("0")) + exponent
    if magnitude > 4940:
        raise ConversionError(NOT_A_FLOAT % text)
    if magnitude < -4960:
        return Fraction(0)
    value = Fraction(int(digits)) * Fraction(10) ** exponent
    if match.group(1) == "-":
        value = -value
    value = ext(value)
    if abs(value) > EXTENDED_MAX:
        raise ConversionError(NOT_A_FLOAT % text)
    return value


def read_rate(text, sep):
    rate = round_to_bits(read_number(text, sep), DOUBLE_BITS)
    if abs(rate) > DOUBLE_MAX:
        raise ConversionError(NOT_A_FLOAT % text)
    return rate


def general(value, sep):
    """General number format, 15 significant digits, for the integer values that occur here."""
    assert value.denominator == 1
    n = value.numerator
    if abs(n) < 10 ** 15:
        return str(n)
    digits = str(abs(n))
    exponent = len(digits) - 1
    kept = int(digits[:15]) + (1 if digits[15] >= "5" else 0)
    if kept == 10 ** 15:
        kept //= 10
        exponent += 1
    mantissa = str(kept).rstrip("0")
    text = mantissa[0] + (sep + mantissa[1:] if len(mantissa) > 1 else "") + "E" + str(exponent)
    return ("-" if n < 0 else "") + text


def read_int32(text):
    match = re.fullmatch(r" *([+-]?)([0-9]+)", text)
    if not match:
        raise ConversionError(NOT_AN_INTEGER % text)
    value = int(match.group(2)) * (-1 if match.group(1) == "-" else 1)
    if not -2 ** 31 <= value < 2 ** 31:
        raise ConversionError(NOT_AN_INTEGER % text)
    return value


def timecode_to_frames(timecode, rate_text, sep, previous):
    rate = read_rate(rate_text, sep)
    if rate == 0:
        return previous
    rest = timecode
    fields = []
    for _ in range(3):
        colon = rest.find(":")
        if colon < 0:
            fields.append("")
        else:
            fields.append(rest[:colon])
            rest = rest[colon + 1:]
    fields.append(rest)
    h, m, s, f = (read_number(field, sep) for field in fields)
    count = ext(ext(ext(ext(ext(h * 60) + m) * 60) + s) * rate)
    count = round_half_even(ext(count + f))
    if not -2 ** 63 <= count < 2 ** 63:
        raise ConversionError(NOT_AN_INTEGER % general(Fraction(count), sep))
    return general(Fraction(count), sep)


def quot(a, b):
    q = abs(a) // abs(b)
    return q if (a < 0) == (b < 0) else -q


def rem(a, b):
    return a - b * quot(a, b)


def pad(value):
    text = str(value)
    return "0" * (2 - len(text)) + text


def whole_rate(rate):
    whole = math.floor(rate)
    if whole == 0:
        raise ConversionError(DIVISION_BY_ZERO)
    return whole


def frames_to_timecode(frames, rate):
    r = whole_rate(rate)
    t = quot(frames, r)
    return ":".join([pad(quot(quot(t, 60), 60)), pad(rem(quot(t, 60), 60)), pad(rem(t, 60)),
                     pad(rem(frames, r))])


def frames_to_min_sec(frames, rate):
    t = quot(frames, whole_rate(rate))
    text = pad(quot(t, 60)) + ":" + pad(rem(t, 60))
    return "00:01" if text == "00:00" else text


def compute_rows(text, rate_text, minutes_and_seconds, sep, rows):
    out_frames = ""
    in_frames = ""
    for match in CUE_LINE.finditer(text):
        row = [match.group(1), match.group(2), "", ""]
        rows.append(row)
        out_frames = timecode_to_frames(match.group(2), rate_text, sep, out_frames)
        in_frames = timecode_to_frames(match.group(1), rate_text, sep, in_frames)
        difference = ext(read_number(out_frames, sep) - read_number(in_frames, sep))
        frames = read_int32(general(difference, sep))
        rate = read_rate(rate_text, sep)
        row[2] = (frames_to_min_sec if minutes_and_seconds else frames_to_timecode)(frames, rate)
        row[3] = match.group(3)


def as_code_units(text):
    """One character per UTF-16 code unit, as the program counts them."""
    return "".join(c if ord(c) < 0x10000 else
                   chr(0xD800 + ((ord(c) - 0x10000) >> 10)) + chr(0xDC00 + ((ord(c) - 0x10000) & 0x3FF))
                   for c in text)


def cue_line_text(data):
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    text = data.decode("utf-8", errors="replace")
    parts = re.split(r"\r\n|\r|\n", text)
    if parts and parts[-1] == "" and len(parts) > 1:
        parts.pop()
    if parts == [""]:
        parts = []
    return as_code_units("\r\n".join(parts))


def escape(cell):
    return (cell.replace("\\", "\\\\").replace("\t", "\\t").replace("\r", "\\r")
            .replace("\n", "\\n"))


def to_utf8(text):
    return text.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace").encode("utf-8")


def rows_tsv(rows):
    return b"".join(to_utf8("\t".join(escape(cell) for cell in row)) + b"\n" for row in rows)


def rows_for(data, fps, minutes_and_seconds, sep=","):
    rows = []
    failure = None
    try:
        compute_rows(cue_line_text(data), fps, minutes_and_seconds, sep, rows)
    except ConversionError as error:
        failure = str(error)
    return rows_tsv(rows), failure


def generate(folders):
    for folder in folders:
        for cue_lines in sorted(pathlib.Path(folder).glob("*/cue-lines.txt")):
            data = cue_lines.read_bytes()
            for fps in ("24", "25", "30"):
                for mode, minutes_and_seconds in (("minsec", True), ("timecode", False)):
                    tsv, failure = rows_for(data, fps, minutes_and_seconds)
                    if failure:
                        sys.exit(f"{cue_lines}: {failure}")
                    (cue_lines.parent / f"rows-{fps}-{mode}.tsv").write_bytes(tsv)


def main(args):
    if args and args[0] == "--generate":
        generate(args[1:])
        return 0
    fps, minutes_and_seconds, sep, files = "25", True, ",", []
    while args:
        arg = args.pop(0)
        if arg == "--fps":
            fps = args.pop(0)
        elif arg == "--timecode":
            minutes_and_seconds = False
        elif arg == "--decimal":
            sep = args.pop(0)
        else:
            files.append(arg)
    data = sys.stdin.buffer.read() if not files or files[0] == "-" else pathlib.Path(files[0]).read_bytes()
    tsv, failure = rows_for(data, fps, minutes_and_seconds, sep)
    sys.stdout.buffer.write(tsv)
    if failure:
        shown = failure if failure and failure[-1] <= "." else failure + "."
        sys.stderr.write(shown + "\n")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
