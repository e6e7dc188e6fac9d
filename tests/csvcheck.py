#!/usr/bin/env python3
"""usage: csvcheck.py DATAFILE FLIGHTS_CSV CYCLES_CSV

Reads the exported CSV files with Python's csv module, as a spreadsheet would, and compares
every row with the data file, parsed here independently of Cellora's own reader."""
import csv
import io
import sys
import unicodedata
import xml.etree.ElementTree as ElementTree
from datetime import datetime
from itertools import zip_longest


def moment(text):  # "Fri Mar 1 10:15:00 2024", or empty
    return datetime.strptime(text, "%a %b %d %H:%M:%S %Y") if text else None


def as_text(cell):  # a cell a spreadsheet would run as a formula, also after blanks
    start = cell
    while start and unicodedata.category(start[0]) in ("Zs", "Zl", "Zp", "Cc", "Cf"):
        start = start[1:]
    sign = unicodedata.normalize("NFKC", start[:1])[:1]
    return "'" + cell if cell[:1] in ("\t", "\r") or sign in ("=", "+", "-", "@") else cell


def discharge(battery, cycle):
    current = int(cycle.get("Current"))
    return [as_text(battery.findtext("Name")), cycle.get("Discharged"),
            "%d.%02d" % (current // 100, current % 100)]


def figure(cycle, name, parts):  # "22.15" from 2215 hundredths; empty when unknown
    value = int(cycle.get(name, "0"))
    return "%d.%0*d" % (value // parts, len(str(parts)) - 1, value % parts) if value else ""


def expected_cycles(root):
    rows = []
    for battery in root.findall("./Battery"):
        capacity = int(battery.findtext("Capacity"))
        for cycle in battery.findall("./Data/Cycle"):
            when = moment(cycle.get("Date"))
            name, discharged, current = discharge(battery, cycle)
            share = "%.1f" % (100.0 * int(discharged) / capacity) if capacity else ""
            rows.append([name, when.isoformat() if when else "", discharged, current, share,
                         figure(cycle, "MinVoltage", 100), figure(cycle, "Resistance", 10)])
    return rows


def expected_flights(root):
    rows = []
    for model in root.findall("./Model"):
        for entry in model.findall("./FlightLog/LogData"):
            when = moment(entry.get("Date"))
            # The last battery with a cycle at that very moment (undated with undated), as
            # the logbook pairs them: the first such cycle of each battery.
            flown = ["", "", ""]
            for battery in root.findall("./Battery"):
                match = [c for c in battery.findall("./Data/Cycle") if moment(c.get("Date")) == when]
                flown = discharge(battery, match[0]) if match else flown
            rows.append([as_text(model.findtext("Name")),
                         when.date().isoformat() if when else "",
                         when.time().isoformat() if when else "",
                         entry.get("Duration"), as_text(entry.get("Location")),
                         str(int(entry.get("Temperature"))), as_text(entry.get("Notes"))] + flown)
    return rows


# The file in exactly the RFC 4180 form Python writes (UTF-8, fields quoted only when they
# hold a comma, a quote or a line break, CR LF), then row by row.
def compare(path, header, expected):
    with open(path, "rb") as stream:
        content = stream.read()
    rows = list(csv.reader(io.StringIO(content.decode("utf-8"), newline=""), strict=True))
    written = io.StringIO(newline="")
    csv.writer(written, lineterminator="\r\n").writerows(rows)
    if written.getvalue().encode("utf-8") != content:
        sys.exit("%s is not in the exact RFC 4180 form of its rows" % path)
    for number, (row, wanted) in enumerate(zip_longest(rows, [header.split()] + expected)):
        if row != wanted:
            sys.exit("%s row %d:\n  got      %r\n  expected %r" % (path, number, row, wanted))


if __name__ == "__main__":
    ROOT = ElementTree.parse(sys.argv[1]).getroot()
    compare(sys.argv[2], "model date time duration location temperature_c notes battery "
            "discharged_mah max_current_a", expected_flights(ROOT))
    compare(sys.argv[3], "battery date_time discharged_mah max_current_a capacity_share_percent "
            "lowest_voltage_v resistance_mohm", expected_cycles(ROOT))
