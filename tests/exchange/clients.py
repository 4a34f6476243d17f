"""Reads and writes glossaries with tools nobody at Lexicarium wrote: the
Translate Toolkit for TBX, Python's csv module for CSV. Prints JSON.

  clients.py read-tbx FILE          [[source, target], ...] as the Toolkit reads them
  clients.py read-csv FILE SEP      the rows, as lists of fields
  clients.py write-csv FILE         rows read as JSON on stdin, written as a French
                                    spreadsheet saves them (UTF-8 with BOM, ";", CR LF)
"""
import csv
import json
import sys


def read_tbx(path):
    from translate.storage import tbx

    with open(path, "rb") as handle:
        store = tbx.tbxfile(handle)
    return [[unit.source, unit.target] for unit in store.units]


def read_csv(path, separator):
    with open(path, encoding="utf-8-sig", newline="") as handle:
        return list(csv.reader(handle, delimiter=separator))


def write_csv(path):
    rows = json.load(sys.stdin)
    with open(path, "w", encoding="utf-8-sig", newline="") as handle:
        csv.writer(handle, dialect="excel", delimiter=";").writerows(rows)
    return len(rows)


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "read-tbx":
        result = read_tbx(sys.argv[2])
    elif command == "read-csv":
        result = read_csv(sys.argv[2], sys.argv[3])
    else:
        result = write_csv(sys.argv[2])
    json.dump(result, sys.stdout, ensure_ascii=False)
