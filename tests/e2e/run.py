"""Runs the cases of one end-to-end script for CTest: python3 run.py test_game.

unittest exits 0 when a case skips, so CTest would show the script as passed. Here any failure or error
fails the script, whatever else skipped; otherwise a skipped case makes the script exit SKIPPED, which
CTest's SKIP_RETURN_CODE shows as not run, with the reasons in its output."""
import sys
import unittest

SKIPPED = 77  # the e2e block of tests/CMakeLists.txt sets the same code


def run(name):
    suite = unittest.defaultTestLoader.loadTestsFromName(name)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    if not result.wasSuccessful() or result.testsRun == 0:
        return 1
    if result.skipped:
        for case, reason in result.skipped:
            print("SKIPPED %s: %s" % (case.id(), reason))
        return SKIPPED
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: run.py test_module")
    sys.exit(run(sys.argv[1]))
