"""Counts passed and failed test cases from GoogleTest XML files.

Usage: count_results.py RESULTS_DIR CTEST_FAILED_LOG
Prints "PASSED FAILED". A ctest entry that failed but whose XML shows no
failure (a crash, a time-out, no XML at all) adds one failure.
"""
import glob
import os
import sys
import xml.etree.ElementTree as ET

results_dir, failed_log = sys.argv[1], sys.argv[2]
passed = failed = 0
clean = set()
for path in glob.glob(os.path.join(results_dir, "*.xml")):
    name = os.path.splitext(os.path.basename(path))[0]
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError:
        continue
    total = int(root.get("tests", 0))
    bad = int(root.get("failures", 0)) + int(root.get("errors", 0))
    skipped = int(root.get("disabled", 0)) + int(root.get("skipped", 0))
    passed += max(total - bad - skipped, 0)
    failed += bad
    if bad == 0:
        clean.add(name)
if os.path.exists(failed_log):
    with open(failed_log) as f:
        for line in f:
            name = line.strip().split(":", 1)[-1]
            if name and name in clean or (name and not os.path.exists(os.path.join(results_dir, name + ".xml"))):
                failed += 1
print(passed, failed)
