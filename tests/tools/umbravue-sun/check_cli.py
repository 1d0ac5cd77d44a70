#!/usr/bin/env python3
"""Runs umbravue-sun as a user would and checks what it prints and its exit
status. Usage: check_cli.py XML_OUT [EMULATOR] PROGRAM. Writes the cases as
GoogleTest-style XML, so they count like every other test."""

import subprocess
import sys
from xml.sax.saxutils import quoteattr

xml_out, command = sys.argv[1], [a for a in sys.argv[2:] if a]

BERLIN = """sun 2.8942 157.5000
sunrise 2027-03-28T04:52:00Z
sunset 2027-03-28T17:31:00Z
zone Europe/Berlin 7200
local 2027-03-28T03:30:00
"""

CASES = [
    # name, arguments, exit status, standard output (None: any), stderr part
    ("berlin_simple", ["--time", "2027-03-28T01:30:00Z", "--city", "133"], 0, BERLIN, ""),
    ("berlin_simple_default_model_is_simple",
     ["--model", "simple", "--city", "133", "--time", "2027-03-28T01:30:00Z"], 0, BERLIN, ""),
    # Polar night in Longyearbyen, a real zone; the exact sun to the second.
    ("polar_night_exact", ["--time", "2026-12-21T12:00:00Z", "--model", "exact", "--city", "578"], 0,
     None, ""),
    ("place_has_no_zone", ["--time", "2004-06-21T12:00:00Z", "--place", "51.5,-0.12"], 0,
     "sun 23.3874 0.0000\nsunrise 2004-06-21T03:42:00Z\nsunset 2004-06-21T20:21:00Z\n", ""),
    ("sun_only", ["--time", "2004-06-21T12:00:00Z", "--model", "exact"], 0, None, ""),
    ("help", ["--help"], 0, None, ""),
    ("missing_time", ["--city", "133"], 2, "", "--time is missing"),
    ("time_past_2038", ["--time", "2038-01-19T03:14:08Z"], 2, "", "bad time"),
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


def check(args, status, stdout, stderr_part):
    p = subprocess.run(command + args, capture_output=True, text=True, timeout=120)
    problems = []
    if p.returncode != status:
        problems.append(f"exit status {p.returncode}, expected {status}")
    out = p.stdout.replace("\r\n", "\n")
    err = p.stderr.replace("\r\n", "\n")
    if stdout is not None and out != stdout:
        problems.append(f"stdout {out!r}, expected {stdout!r}")
    if status == 0 and args != ["--help"] and not out.startswith("sun "):
        problems.append(f"stdout {out!r}")
    if status != 0:
        lines = err.splitlines()
        if len(lines) != 1 or not lines[0].startswith("umbravue-sun: ") or stderr_part not in lines[0]:
            problems.append(f"stderr {err!r}, expected one line with {stderr_part!r}")
    if args[-2:] == ["--city", "578"]:
        want = ["sunrise none", "sunset none", "zone Arctic/Longyearbyen 3600", "local 2026-12-21T13:00:00"]
        if out.splitlines()[1:] != want:
            problems.append(f"stdout {out!r}, expected the lines {want}")
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
