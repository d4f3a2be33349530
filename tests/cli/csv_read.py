#!/usr/bin/env python3
"""Reads a CSV file with Python's own reader and prints it as one JSON document:
{"rows": [[field, ...], ...]} - every line as read, the header line (if any) first.
Exits 1 when the file is not valid UTF-8 or not well-formed CSV."""
import csv
import json
import sys

try:
    with open(sys.argv[1], encoding="utf-8", newline="") as f:
        rows = list(csv.reader(f, strict=True))
except (UnicodeDecodeError, csv.Error) as error:
    print(error, file=sys.stderr)
    sys.exit(1)
print(json.dumps({"rows": rows}))
