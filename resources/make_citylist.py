#!/usr/bin/env python3
"""Writes the city list of globepix.dll from tzdata's zone.tab and iso3166.tab.

Run once by hand; its output, cities.csv, is committed and built into the
library as it is, because the registry stores cities by their index in this
list. Regenerating it with another tzdata may move indices: only do that
together with a settings migration.

One line per time zone location: "Name,Country,longitude,latitude" in
decimal degrees (east and north positive), sorted by name, CR LF line ends,
Windows code page 1252.
"""
import argparse
import sys

MAX_FIELD = 31  # name and country fields hold 31 characters plus a NUL

# The few names tzdata spells longer than the field allows.
SHORTER = {
    "South Georgia & the South Sandwich Islands": "South Georgia & S Sandwich Is",
}


def parse_coordinate(text):
    """+DDMM+DDDMM or +DDMMSS+DDDMMSS from zone.tab to (lat, lon) degrees."""
    split = max(text.rfind("+"), text.rfind("-"))
    lat_text, lon_text = text[:split], text[split:]

    def degrees(part, degree_digits):
        sign = -1.0 if part[0] == "-" else 1.0
        digits = part[1:]
        deg = int(digits[:degree_digits])
        minutes = int(digits[degree_digits:degree_digits + 2])
        seconds = int(digits[degree_digits + 2:] or 0)
        return sign * (deg + minutes / 60.0 + seconds / 3600.0)

    return degrees(lat_text, 2), degrees(lon_text, 3)


def read_tab(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            yield line.rstrip("\n").split("\t")


def fit(text, what):
    text = SHORTER.get(text, text)
    if "," in text:
        sys.exit(f"{what} contains a comma: {text!r}")
    if len(text.encode("cp1252")) > MAX_FIELD:
        sys.exit(f"{what} longer than {MAX_FIELD} characters, add it to SHORTER: {text!r}")
    return text


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--zoneinfo", default="/usr/share/zoneinfo")
    ap.add_argument("--output", default="cities.csv")
    args = ap.parse_args()

    countries = {code: name for code, name, *_ in read_tab(f"{args.zoneinfo}/iso3166.tab")}
    cities = []
    for fields in read_tab(f"{args.zoneinfo}/zone.tab"):
        code, coordinate, zone = fields[0], fields[1], fields[2]
        name = zone.rsplit("/", 1)[-1].replace("_", " ")
        lat, lon = parse_coordinate(coordinate)
        cities.append((fit(name, "city"), fit(countries[code], "country"), lon, lat))

    cities.sort(key=lambda c: (c[0].casefold(), c[0], c[1]))
    lines = [f"{name},{country},{lon:.4f},{lat:.4f}" for name, country, lon, lat in cities]
    with open(args.output, "wb") as f:
        f.write("\r\n".join(lines).encode("cp1252") + b"\r\n")
    print(f"{len(lines)} cities written to {args.output}")


if __name__ == "__main__":
    main()
