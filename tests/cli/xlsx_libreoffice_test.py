#!/usr/bin/env python3
"""The exported workbook in LibreOffice: three sheets, and a SUM over the Dauer column that
LibreOffice itself evaluates equals the report's total.

Usage: xlsx_libreoffice_test.py TARVELIN_CLI DATA_DIR SOFFICE

The workbook of "tarvelin-cli report --format xlsx" for the real music reel gets formula cells
=SUM(...) under its Dauer and Gesamtdauer columns (added with openpyxl); LibreOffice converts
every sheet to CSV with the cells as shown, and the sums must read as the Gesamt line of the TSV
report. A private LibreOffice profile keeps parallel runs apart.
"""
import csv
import pathlib
import subprocess
import sys
import tempfile

import openpyxl


def main(cli, data, soffice):
    edl = pathlib.Path(data) / "cases" / "sample-12-16-tl01-music" / "input.edl"
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        folder = pathlib.Path(folder)
        book_path = folder / "musikfolge.xlsx"
        subprocess.run([cli, "report", "--fps", "30", "--format", "xlsx", "-o", str(book_path),
                        str(edl)], check=True)
        tsv = subprocess.run([cli, "report", "--fps", "30", str(edl)], check=True,
                             capture_output=True).stdout.decode("utf-8").splitlines()
        gesamt = tsv[-1].split("\t")
        total_text, total_seconds = gesamt[3], int(gesamt[4])

        book = openpyxl.load_workbook(book_path)
        if book.sheetnames != ["Ausgang GEMA VB", "Musikfolge", "Summen"]:
            failures.append(f"sheets: {book.sheetnames}")
        uses = book["Musikfolge"]
        last = uses.max_row
        stored = sum(round(cell.value.total_seconds()) for (cell,) in
                     uses.iter_rows(min_row=2, max_row=last, min_col=6, max_col=6))
        if stored != total_seconds:
            failures.append(f"stored durations sum to {stored} s, not {total_seconds}")
        uses.cell(row=last + 2, column=8, value=f"=SUM(F2:F{last})").number_format = "[mm]:ss"
        totals = book["Summen"]
        end = totals.max_row - 1  # the row above "Gesamt"
        totals.cell(row=end + 3, column=4, value=f"=SUM(D2:D{end})").number_format = "[mm]:ss"
        with_sums = folder / "summen.xlsx"
        book.save(with_sums)

        profile = (folder / "profile").as_uri()
        subprocess.run([soffice, f"-env:UserInstallation={profile}", "--headless",
                        "--convert-to",
                        "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1",
                        "--outdir", str(folder), str(with_sums)],
                       check=True, capture_output=True, timeout=240)
        read = {}
        for sheet in ("Musikfolge", "Summen"):
            with open(folder / f"summen-{sheet}.csv", encoding="utf-8") as f:
                read[sheet] = list(csv.reader(f))
        shown_uses = read["Musikfolge"][last + 1][7]
        shown_totals = read["Summen"][end + 2][3]
        if shown_uses != total_text or shown_totals != total_text:
            failures.append(f"LibreOffice sums {shown_uses} and {shown_totals}, not {total_text}")
        if read["Musikfolge"][1][5] != tsv[1].split("\t")[5]:
            failures.append(f"first Dauer shown as {read['Musikfolge'][1][5]}")
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(failures)} failure(s); total {total_text}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
