#!/usr/bin/env python3
"""Reads the host's flights.csv and cycles.csv with Python's csv module, as a
spreadsheet would, and compares every row with the data file they came from,
parsed here independently of Cellora's own reader: the tests' one CSV oracle.

usage: csvcheck.py DATAFILE FLIGHTS_CSV CYCLES_CSV
"""
import csv
import io
import sys
import xml.etree.ElementTree as ElementTree
from datetime import datetime

FLIGHT_HEADER = ["model", "date", "time", "duration", "location", "temperature_c", "notes",
                 "battery", "discharged_mah", "max_current_a"]
CYCLE_HEADER = ["battery", "date_time", "discharged_mah", "max_current_a",
                "capacity_share_percent"]


def moment(text):
    """The data file's text date-time ("Fri Mar 1 10:15:00 2024"); None when empty."""
    return datetime.strptime(text, "%a %b %d %H:%M:%S %Y") if text else None


def amperes(hundredths):
    return "%d.%02d" % (hundredths // 100, hundredths % 100)


def cycles_of(battery):
    return battery.findall("./Data/Cycle")


def expected_cycles(root):
    rows = []
    for battery in root.findall("./Battery"):
        name = battery.findtext("Name")
        capacity = int(battery.findtext("Capacity"))
        for cycle in cycles_of(battery):
            when = moment(cycle.get("Date"))
            discharged = int(cycle.get("Discharged"))
            share = "%.1f" % (100.0 * discharged / capacity) if capacity else ""
            rows.append([as_text(name), when.isoformat() if when else "", str(discharged),
                         amperes(int(cycle.get("Current"))), share])
    return rows


def as_text(cell):
    """A cell a spreadsheet would run as a formula carries a leading apostrophe."""
    return "'" + cell if cell[:1] in ("=", "+", "-", "@", "\t", "\r") else cell


def battery_flown(root, when):
    """The last battery with a cycle at that very moment (undated with undated), as the
    logbook pairs them."""
    flown = []
    for battery in root.findall("./Battery"):
        for cycle in cycles_of(battery):
            if moment(cycle.get("Date")) == when:
                flown = [as_text(battery.findtext("Name")), cycle.get("Discharged"),
                         amperes(int(cycle.get("Current")))]
                break
    return flown


def expected_flights(root):
    rows = []
    for model in root.findall("./Model"):
        for entry in model.findall("./FlightLog/LogData"):
            when = moment(entry.get("Date"))
            rows.append([as_text(model.findtext("Name")),
                         when.date().isoformat() if when else "",
                         when.time().isoformat() if when else "",
                         entry.get("Duration"), as_text(entry.get("Location")),
                         str(int(entry.get("Temperature"))), as_text(entry.get("Notes"))]
                        + (battery_flown(root, when) or ["", "", ""]))
    return rows


def read_csv(path):
    """The rows of a file in exactly the RFC 4180 form that Python writes them: valid UTF-8,
    fields quoted only when they hold a comma, a quote or a line break, rows ending in CR LF."""
    with open(path, "rb") as stream:
        content = stream.read()
    rows = list(csv.reader(io.StringIO(content.decode("utf-8"), newline=""), strict=True))
    written = io.StringIO(newline="")
    csv.writer(written, lineterminator="\r\n").writerows(rows)
    if written.getvalue().encode("utf-8") != content:
        sys.exit("%s is not in the exact RFC 4180 form of its rows" % path)
    return rows


def compare(path, header, expected):
    rows = read_csv(path)
    if not rows or rows[0] != header:
        sys.exit("%s: header %r, expected %r" % (path, rows[:1], header))
    if len(rows) - 1 != len(expected):
        sys.exit("%s: %d rows, expected %d" % (path, len(rows) - 1, len(expected)))
    for number, (row, wanted) in enumerate(zip(rows[1:], expected), start=2):
        if row != wanted:
            sys.exit("%s row %d:\n  got      %r\n  expected %r" % (path, number, row, wanted))
    print("%s: %d rows match the data file" % (path, len(expected)))


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    root = ElementTree.parse(sys.argv[1]).getroot()
    compare(sys.argv[2], FLIGHT_HEADER, expected_flights(root))
    compare(sys.argv[3], CYCLE_HEADER, expected_cycles(root))


if __name__ == "__main__":
    main()
