#!/usr/bin/env python3
"""Dumps the first sheet (with --all: every sheet) of an .xlsx file with openpyxl, an
independent reader.

Output (UTF-8, one item per line):
  sheet<TAB>title
  freeze<TAB>top-left cell of the frozen pane (or "none")
  width<TAB>column letter<TAB>width        (columns A-D; with --all every column used)
  cell<TAB>coordinate<TAB>type<TAB>format<TAB>bold<TAB>value
Values escape backslash, TAB, CR and LF as \\\\, \\t, \\r, \\n.
"""
import re
import sys

import openpyxl


def unescape_xstring(text):
    """Decodes the _xHHHH_ escapes of spreadsheet strings, as Excel does when it reads them."""
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


def escape(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t").replace("\r", "\\r")
            .replace("\n", "\\n"))


def dump(sheet, letters):
    out = [f"sheet\t{sheet.title}", f"freeze\t{sheet.freeze_panes or 'none'}"]
    for letter in letters:
        out.append(f"width\t{letter}\t{sheet.column_dimensions[letter].width:g}")
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            value = cell.value
            if hasattr(value, "total_seconds"):
                value = f"{value.total_seconds():g}s"  # a time value, in seconds
            out.append("\t".join(["cell", cell.coordinate, cell.data_type, cell.number_format,
                                  "bold" if cell.font.b else "plain",
                                  escape(unescape_xstring(str(value)))]))
    return out


def main(args):
    every = args[0] == "--all"
    book = openpyxl.load_workbook(args[-1])
    out = []
    for sheet in book.worksheets if every else book.worksheets[:1]:
        letters = ([openpyxl.utils.get_column_letter(i + 1) for i in range(sheet.max_column)]
                   if every else "ABCD")
        out += dump(sheet, letters)
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv[1:])
