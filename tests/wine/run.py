"""Runs one module of the Wine end-to-end tests: run.py EXE PROBE WORK MODULE."""

import os
import sys
import unittest

exe, probe, work, module = sys.argv[1:5]
os.environ.update(LAYERFIX_EXE=exe, LAYERFIX_PROBE=probe, LAYERFIX_WORK=work)
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
suite = unittest.defaultTestLoader.loadTestsFromName(module)
result = unittest.TextTestRunner(verbosity=2).run(suite)
failed = len(result.failures) + len(result.errors)
print(f"{result.testsRun - failed - len(result.skipped)} passed, {failed} failed, {len(result.skipped)} skipped")
sys.exit(0 if result.wasSuccessful() and result.testsRun > 0 and not result.skipped else 1)
