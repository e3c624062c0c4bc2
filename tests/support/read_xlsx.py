#!/usr/bin/env python3
"""Dumps the first sheet of an .xlsx file with openpyxl, an independent reader.

Output (UTF-8, one item per line):
  sheet<TAB>title
  freeze<TAB>top-left cell of the frozen pane (or "none")
  width<TAB>column letter<TAB>width        (columns A-D)
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


def main(path):
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    out = [f"sheet\t{sheet.title}", f"freeze\t{sheet.freeze_panes or 'none'}"]
    for letter in "ABCD":
        out.append(f"width\t{letter}\t{sheet.column_dimensions[letter].width:g}")
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            out.append("\t".join(["cell", cell.coordinate, cell.data_type, cell.number_format,
                                  "bold" if cell.font.b else "plain", escape(unescape_xstring(str(cell.value)))]))
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv[1])
