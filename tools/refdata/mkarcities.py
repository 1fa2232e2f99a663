#!/usr/bin/env python3
"""Writes resources/data/ar_cities.csv, the AR kit's table of large cities.

Every city of resources/data/cities.csv with at least 500,000 inhabitants, largest first, with
the country's English name from the iso-codes package (/usr/share/iso-codes/json/iso_3166-1.json)
in place of its code. The first five rows and the last one are the kit's own fixed rows; the
data set's entries for those cities are left out. Run once; the output is committed.
"""
import csv
import json
import sys

FIXED_FIRST = [
    ("Shanghai", 21982184, "China", 121.47, 31.23),
    ("Bombay", 14472081, "India", 72.82, 18.96),
    ("İstanbul", 13203696, "Turkey", 29.0, 41.1),
    ("Buenos Aires", 13080908, "Argentina", -58.37, -34.61),
    ("Manila", 12825069, "Philippines", 120.98, 14.6),
]
FIXED_LAST = ("Ciudad López Mateos", 500085, "Mexico", -99.25, 19.56)
REPLACED = {"Shanghai", "Mumbai", "Istanbul", "Buenos Aires", "Manila", "Ciudad López Mateos"}


def main(root):
    with open("/usr/share/iso-codes/json/iso_3166-1.json", encoding="utf-8") as f:
        countries = {c["alpha_2"]: c.get("common_name", c["name"]) for c in json.load(f)["3166-1"]}
    with open(f"{root}/resources/data/cities.csv", encoding="utf-8") as f:
        cities = [r for r in csv.DictReader(f) if int(r["population"]) >= 500000]
    cities = [r for r in cities if r["name"] not in REPLACED
              and FIXED_LAST[1] < int(r["population"]) < FIXED_FIRST[-1][1]]
    cities.sort(key=lambda r: -int(r["population"]))
    with open(f"{root}/resources/data/ar_cities.csv", "w", encoding="utf-8", newline="") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(["name", "population", "country", "longitude", "latitude"])
        for row in FIXED_FIRST:
            out.writerow(row)
        for r in cities:
            out.writerow([r["name"], r["population"], countries.get(r["country"], r["country"]),
                          round(float(r["longitude"]), 2), round(float(r["latitude"]), 2)])
        out.writerow(FIXED_LAST)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".")
