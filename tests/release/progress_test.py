"""How the release tools show their steps and fail: a table's layout, a
step's lines and log, and what a command that fails leaves to say."""
import contextlib
import io
import sys
import tempfile
import unittest

import progress
from progress import Failure

# <cells, row after row>, <the table>: each column as wide as its widest
# cell, empty ones too, the last column unpadded.
TABLES = [([("a", "bb", "c"), ("dddd", "", "e")], "  a     bb  c\n  dddd      e"),
          ([("file", "identical")], "  file  identical")]

# <command>, <what the step's log must end with>, <what its Failure must say>,
# or None where the command succeeds.
COMMANDS = [([sys.executable, "-c", "print('made')"], "made\n", None),
            ([sys.executable, "-c", "import sys; print(*range(30), 'why', sep='\\n'); sys.exit(3)"], "why\n",
             r"^sort it: `.*` failed \(3\); its log: /shown/02-sort-it\.log$")]

# <what stops a tool>, <whether another tool ran it>, <what it says on
# standard error>, <its exit status>: one line at the most, and Ctrl-C said
# by the tool that was run.
STOPS = [(Failure("it broke", 2), False, "error: it broke\n", 2), (Failure(None), False, "", 1),
         (FileNotFoundError(2, "No such file or directory", "x"), False,
          "error: [Errno 2] No such file or directory: 'x'\n", 1),
         (KeyboardInterrupt(), False, "error: interrupted\n", 130), (KeyboardInterrupt(), True, "", 130)]


class Progress(unittest.TestCase):
    def test_table(self):
        for rows, expected in TABLES:
            with self.subTest(rows=rows):
                self.assertEqual(progress.table(rows), expected)

    def test_step_log_and_failure(self):
        for command, logged, failure in COMMANDS:
            with self.subTest(command=command[-1]), tempfile.TemporaryDirectory() as logs:
                steps = progress.Steps(3, logs, done=1, shown_as="/shown")
                said, stopped = io.StringIO(), None
                with contextlib.redirect_stdout(said):
                    try:
                        with steps.step("sort it"):
                            steps.run(command)
                    except Failure as failed:
                        stopped = failed
                with open(f"{logs}/02-sort-it.log") as log:
                    self.assertTrue(log.read().endswith(logged))
                ended = "failed after" if failure else "[0-9]+ s\n$"
                self.assertRegex(said.getvalue(), r"^\[2/3\] sort it \.\.\. " + ended)
                if failure:
                    self.assertIn(f"\n  {logged}", said.getvalue())  # the log's last lines, not its first
                    self.assertNotIn("\n  0\n", said.getvalue())
                    self.assertRegex(str(stopped), failure)
                else:
                    self.assertIsNone(stopped)

    def test_output_and_its_failure(self):
        self.assertEqual(progress.output([sys.executable, "-c", "print(' out\\n')"]), " out")
        with self.assertRaisesRegex(Failure, r"failed \(2\): second$"):
            progress.output([sys.executable, "-c", "import sys; sys.stderr.write('first\\nsecond\\n'); sys.exit(2)"])

    def test_one_error_line_and_status(self):
        for stop, inner, said, status in STOPS:
            with self.subTest(stop=repr(stop), inner=inner):
                errors = io.StringIO()

                def body():
                    raise stop
                with contextlib.redirect_stderr(errors), self.assertRaises(SystemExit) as exit:
                    progress.main(body, inner=inner)
                self.assertEqual((errors.getvalue(), exit.exception.code), (said, status))


if __name__ == "__main__":
    unittest.main()
