#!/usr/bin/env python3
"""Every GoogleTest case of every test executable is run by some CTest test: a suite that no CTest test
selects never runs, and nothing else would say so.

Usage: check_gtest_registration.py CTEST BUILD_DIR EXECUTABLES_FILE
EXECUTABLES_FILE names one test executable a line. Each one's --gtest_list_tests is compared with the
--gtest_filter of every CTest test that runs it (no filter: all of it); a suite with a case none of them
selects fails, named with its executable.
"""
import json
import re
import subprocess
import sys


def listed_cases(executable):
    """The full names (Suite.Case) of the executable's cases."""
    out = subprocess.run([executable, "--gtest_list_tests"], check=True, capture_output=True, text=True).stdout
    cases, suite = [], None
    for line in out.splitlines():
        name = line.split("#")[0].strip()
        if not name:
            continue
        if line.startswith(" "):
            cases.append(suite + name)
        else:
            suite = name
    return cases


def pattern(patterns):
    """A gtest filter's ':'-separated wildcards (* and ?) as one regular expression."""
    parts = [re.escape(p).replace(r"\*", ".*").replace(r"\?", ".") for p in patterns.split(":") if p]
    return re.compile("|".join("(?:%s)$" % p for p in parts)) if parts else None


def selector(arguments):
    """Whether a test run with these arguments runs a case: --gtest_filter=POSITIVE[-NEGATIVE]."""
    text = "*"
    for argument in arguments:
        if argument.startswith("--gtest_filter="):
            text = argument[len("--gtest_filter="):]
    positive, _, negative = text.partition("-")
    take, leave = pattern(positive or "*"), pattern(negative)
    return lambda case: bool(take.match(case)) and not (leave and leave.match(case))


def main(ctest, build_dir, executables_file):
    with open(executables_file) as names:
        executables = [line.strip() for line in names if line.strip()]
    shown = subprocess.run([ctest, "--show-only=json-v1"], cwd=build_dir, check=True, capture_output=True, text=True)
    selectors = {executable: [] for executable in executables}
    for test in json.loads(shown.stdout)["tests"]:
        command = test.get("command", [])
        for at, word in enumerate(command):
            if word in selectors:
                selectors[word].append(selector(command[at + 1:]))
    failures = 0
    for executable in executables:
        unrun = {}
        for case in listed_cases(executable):
            if not any(runs(case) for runs in selectors[executable]):
                unrun.setdefault(case.split(".")[0], []).append(case)
        for suite, cases in sorted(unrun.items()):
            print("%s: suite %s is run by no CTest test (%s)" % (executable, suite, ", ".join(cases)))
            failures += 1
    print("%d test executables, %d suites unregistered" % (len(executables), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
