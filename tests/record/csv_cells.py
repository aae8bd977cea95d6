#!/usr/bin/env python3
"""csv_cells.py FILE [SEPARATOR]: reads a CSV file with Python's own reader and prints every row,
one a line, each cell as UTF-8 hex and the cells separated by blanks (an empty cell is "-")."""
import csv
import sys

with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    for row in csv.reader(f, delimiter=sys.argv[2] if len(sys.argv) > 2 else ",", strict=True):
        print(" ".join(cell.encode("utf-8").hex() or "-" for cell in row))
