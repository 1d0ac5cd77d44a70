#!/usr/bin/env python3
"""Runs umbravue-sun as a user would and checks what it prints and its exit
status. Usage: check_cli.py XML_OUT [EMULATOR] PROGRAM. Writes the cases as
GoogleTest-style XML, so they count like every other test.

An expected line ending in "~TOLERANCE" matches a printed line whose numbers
lie within the tolerance of its numbers and whose moments lie within that
many seconds of its moments (the Moon from astronomy-engine, the exact sun's
events from ERFA, as in the unit tests' tables); other lines match exactly."""

import datetime
import re
import subprocess
import sys
from xml.sax.saxutils import quoteattr

xml_out, command = sys.argv[1], [a for a in sys.argv[2:] if a]

BERLIN = """sun 2.8942 157.5000
sunrise 2027-03-28T04:52:00Z
sunset 2027-03-28T17:31:00Z
zone Europe/Berlin 7200
local 2027-03-28T03:30:00
moon -27.23345 45.80988 ~0.01
moonphase 0.68604 waning ~0.002
moonrise 2027-03-29T01:21:28.77Z ~30
moonset 2027-03-28T07:00:02.33Z ~30
civil-dawn 2027-03-28T04:18:00Z
civil-dusk 2027-03-28T18:05:00Z
nautical-dawn 2027-03-28T03:36:00Z
nautical-dusk 2027-03-28T18:47:00Z
astronomical-dawn 2027-03-28T02:53:00Z
astronomical-dusk 2027-03-28T19:30:00Z
"""

# Polar night in Longyearbyen, a real zone; a Moon that stays up all day, a
# sun that never gets within 6 degrees of the horizon.
LONGYEARBYEN = """sun -23.4369 -0.4839
sunrise none
sunset none
zone Arctic/Longyearbyen 3600
local 2026-12-21T13:00:00
moon 23.60202 139.71147 ~0.01
moonphase 0.90297 waxing ~0.002
moonrise none
moonset none
civil-dawn none
civil-dusk none
nautical-dawn 2026-12-21T09:58:11.91Z ~10
nautical-dusk 2026-12-21T11:52:41.36Z ~10
astronomical-dawn 2026-12-21T06:36:59.05Z ~10
astronomical-dusk 2026-12-21T15:13:53.98Z ~10
"""

# A London midsummer night that stays lighter than astronomical twilight.
LONDON = """sun 23.3874 0.0000
sunrise 2004-06-21T03:42:00Z
sunset 2004-06-21T20:21:00Z
moon 22.51144 44.44452 ~0.01
moonphase 0.11945 waxing ~0.002
moonrise 2004-06-22T07:51:40.00Z ~30
moonset 2004-06-21T23:13:08.77Z ~30
civil-dawn 2004-06-21T02:55:00Z
civil-dusk 2004-06-21T21:09:00Z
nautical-dawn 2004-06-21T01:40:00Z
nautical-dusk 2004-06-21T22:23:00Z
astronomical-dawn none
astronomical-dusk none
"""

# The last second of a 32-bit time_t: every event falls after it (the next
# moonrise at 03:24:48).
LAST_SECOND = """sun -20.3279 134.1177
sunrise none
sunset none
moon 21.90597 -73.50194 ~0.01
moonphase 0.95046 waxing ~0.002
moonrise none
moonset none
civil-dawn none
civil-dusk none
nautical-dawn none
nautical-dusk none
astronomical-dawn none
astronomical-dusk none
"""

CASES = [
    # name, arguments, exit status, standard output (None: any), stderr part
    ("berlin_simple", ["--time", "2027-03-28T01:30:00Z", "--city", "133"], 0, BERLIN, ""),
    ("berlin_simple_default_model_is_simple",
     ["--model", "simple", "--city", "133", "--time", "2027-03-28T01:30:00Z"], 0, BERLIN, ""),
    ("polar_night_exact", ["--time", "2026-12-21T12:00:00Z", "--model", "exact", "--city", "578"], 0,
     LONGYEARBYEN, ""),
    ("place_has_no_zone", ["--time", "2004-06-21T12:00:00Z", "--place", "51.5,-0.12"], 0, LONDON, ""),
    ("sun_and_moon_only", ["--time", "2004-06-21T12:00:00Z"], 0,
     "sun 23.3874 0.0000\nmoon 22.51144 44.44452 ~0.01\nmoonphase 0.11945 waxing ~0.002\n", ""),
    ("last_second", ["--time", "2038-01-19T03:14:07Z", "--model", "exact", "--place", "10,-170"], 0,
     LAST_SECOND, ""),
    ("help", ["--help"], 0, None, ""),
    ("missing_time", ["--city", "133"], 2, "", "--time is missing"),
    ("time_past_2038", ["--time", "2038-01-19T03:14:08Z"], 2, "", "bad time"),
    ("time_before_1901", ["--time", "1901-12-13T20:45:51Z", "--place", "0,0"], 2, "", "bad time"),
    ("time_not_a_date", ["--time", "2027-02-30T00:00:00Z"], 2, "", "bad time"),
    ("bad_model", ["--time", "2027-01-01T00:00:00Z", "--model", "precise"], 2, "", "bad model"),
    ("place_out_of_range", ["--time", "2027-01-01T00:00:00Z", "--place", "91,0"], 2, "", "bad place"),
    ("place_junk", ["--time", "2027-01-01T00:00:00Z", "--place", "10,20x"], 2, "", "bad place"),
    ("city_past_the_list", ["--time", "2027-01-01T00:00:00Z", "--city", "1162"], 2, "", "no city 1162"),
    ("city_negative", ["--time", "2027-01-01T00:00:00Z", "--city", "-1"], 2, "", "bad city index"),
    ("place_and_city", ["--time", "2027-01-01T00:00:00Z", "--city", "1", "--place", "0,0"], 2, "",
     "not both"),
    ("unknown_option", ["--time", "2027-01-01T00:00:00Z", "--verbose"], 2, "", "unknown option"),
    ("missing_value", ["--time"], 2, "", "needs a value"),
]

MOMENT = re.compile(r"^(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(?:\.\d+)?)Z$")


def token_value(token):
    m = MOMENT.match(token)
    if m:
        when = datetime.datetime.fromisoformat(m.group(1)).replace(tzinfo=datetime.timezone.utc)
        return when.timestamp()
    try:
        return float(token)
    except ValueError:
        return None


def line_matches(printed, expected):
    if "~" not in expected:
        return printed == expected
    body, tolerance = expected.rsplit(" ~", 1)
    want, got = body.split(), printed.split()
    if len(want) != len(got):
        return False
    for w, g in zip(want, got):
        wv, gv = token_value(w), token_value(g)
        if wv is None or gv is None:
            if w != g:
                return False
        elif MOMENT.match(w) and not MOMENT.match(g) or abs(wv - gv) > float(tolerance):
            return False
    return True


def output_matches(out, expected):
    printed, wanted = out.splitlines(), expected.splitlines()
    return len(printed) == len(wanted) and all(line_matches(p, w) for p, w in zip(printed, wanted))


def check(args, status, stdout, stderr_part):
    p = subprocess.run(command + args, capture_output=True, text=True, timeout=120)
    problems = []
    if p.returncode != status:
        problems.append(f"exit status {p.returncode}, expected {status}")
    out = p.stdout.replace("\r\n", "\n")
    err = p.stderr.replace("\r\n", "\n")
    if stdout is not None and not output_matches(out, stdout):
        problems.append(f"stdout {out!r}, expected {stdout!r}")
    if status == 0 and args != ["--help"] and not out.startswith("sun "):
        problems.append(f"stdout {out!r}")
    if status != 0:
        lines = err.splitlines()
        if len(lines) != 1 or not lines[0].startswith("umbravue-sun: ") or stderr_part not in lines[0]:
            problems.append(f"stderr {err!r}, expected one line with {stderr_part!r}")
    return problems


failures, cases = 0, []
for name, args, status, stdout, stderr_part in CASES:
    problems = check(args, status, stdout, stderr_part)
    failures += bool(problems)
    body = "".join(f"<failure message={quoteattr(p)}/>" for p in problems)
    cases.append(f'<testcase name="{name}" classname="UmbravueSunCli">{body}</testcase>')
    for p in problems:
        print(f"{name}: {p}")
with open(xml_out, "w") as f:
    f.write(f'<?xml version="1.0"?>\n<testsuites tests="{len(CASES)}" failures="{failures}">'
            f'<testsuite name="UmbravueSunCli" tests="{len(CASES)}" failures="{failures}">'
            + "".join(cases) + "</testsuite></testsuites>\n")
print(f"{len(CASES) - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
