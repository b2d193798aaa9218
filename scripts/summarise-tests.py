"""Counts the test cases of a test run from the per-suite XML reports (GoogleTest and the
end-to-end suites) and CTest's own report; a suite that failed without saying which case
(a crash, a hang) counts as one failure, one that passed without cases (a fuzz run) as one pass. Prints "N passed, N failed"; exit 1 on a failure."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def cases(report):
    passed = failed = 0
    for case in ET.parse(report).getroot().iter("testcase"):
        if case.get("status") == "notrun" or case.find("skipped") is not None:
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        else:
            passed += 1
    return passed, failed


def main(args):
    # --failed-checks N: checks beside the tests that failed (the format, the exe's size budget, the
    # Windows calls' ledger)
    failed_checks = 0
    if args[:1] == ["--failed-checks"]:
        failed_checks, args = int(args[1]), args[2:]
    passed, failed = 0, failed_checks
    build_dirs = args
    for build in map(Path, build_dirs):
        ctest = build / "ctest.xml"
        if not ctest.exists():
            if build.exists():
                failed += 1  # the preset did not build or its tests did not run
            continue
        for suite in ET.parse(ctest).getroot().iter("testcase"):
            name = suite.get("name")
            suite_failed = suite.get("status") == "fail" or suite.find("failure") is not None
            report = build / "test-results" / f"{name}.xml"
            p = f = 0
            if report.exists():
                try:
                    p, f = cases(report)
                except ET.ParseError:
                    pass
            if suite_failed and f == 0:
                f = 1
                print(f"{build.name}: {name} failed without a test report (crash or hang)")
            elif not suite_failed and p == 0 and f == 0:
                p = 1  # a test without cases of its own, such as a fuzz run
            passed += p
            failed += f
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
