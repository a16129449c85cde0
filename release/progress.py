"""How the release tools do long work and fail: a numbered line as each step
starts ("[4/15] linux-armhf: build, test and package") and its time once it
ends; the whole output of its commands in a log of its own, or shown as it
runs with --verbose; and where a command fails, the log's last lines and one
line on standard error, "error: " and what went wrong, with no traceback.
"""
import argparse
import contextlib
import os
import re
import shlex
import subprocess
import sys
import time


class Failure(Exception):
    """What stops a tool: one line that says why (None where a program it ran
    has said it), the exit status it ends with (by default, the tool's own for
    a failure), and the last lines of the log of the command that failed."""

    def __init__(self, message, status=None, tail=()):
        super().__init__(message)
        self.status, self.tail = status, tail


class Parser(argparse.ArgumentParser):
    """argparse's parser, whose help is a tool's own text, doc, its first
    paragraph above the options and the rest below them; an error on the
    command line is the usage and one line, "error: " and what is wrong, with
    exit status 2."""

    def __init__(self, doc=None, **options):
        if doc:
            options.update(zip(("description", "epilog"), doc.split("\n\n", 1)))
            options["formatter_class"] = argparse.RawDescriptionHelpFormatter
        super().__init__(**options)

    def error(self, message):
        self.print_usage(sys.stderr)
        self.exit(2, f"error: {message}\n")


def main(body, failed=1, inner=False):
    """Runs body() and exits with the status it returns; a Failure, an
    OSError or Ctrl-C ends it with its one error line, a Failure with its
    status or failed. Ctrl-C reaches every process of the tool: one that
    another runs, inner, leaves it to that one to say."""
    try:
        status = body()
    except (Failure, OSError) as failure:  # an OSError: a file that cannot be read or written, say
        if failure.args[0] is not None:
            print(f"error: {failure}", file=sys.stderr)
        status = getattr(failure, "status", None) or failed
    except KeyboardInterrupt:
        if not inner:
            print("error: interrupted", file=sys.stderr)
        status = 130
    sys.exit(status or 0)


def wait(process):
    """Waits for a process to end and returns its exit status. Ctrl-C reaches
    the whole process group, so the process has it too: it is waited for
    while it ends as it chooses, and Ctrl-C passed on."""
    try:
        return process.wait()
    except KeyboardInterrupt:
        process.wait()
        raise


def output(command, failure=None, **options):
    """Runs a command that must succeed and returns its standard output less
    its last line ends; where it fails, the Failure names it (or says
    failure) with the last line of its errors."""
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, **options)
    if done.returncode:
        said = "".join(": " + line for line in done.stderr.strip().splitlines()[-1:])
        raise Failure(f"{failure or shlex.join(command) + ' failed'} ({done.returncode}){said}")
    return done.stdout.rstrip("\n")


def table(rows):
    """The rows, each a line indented by two spaces, every column but the
    last as wide as its widest cell, two spaces apart."""
    widths = [max(len(row[column]) for row in rows) for column in range(len(rows[0]) - 1)]
    return "\n".join("  " + "  ".join([cell.ljust(width) for cell, width in zip(row, widths)] + [row[-1]])
                     for row in rows)


class Steps:
    """The numbered steps of one run of a tool, done of total done so far;
    each step's log is in logs, which the messages name as shown_as (where
    the run sees it under another path than its user does)."""

    def __init__(self, total, logs, verbose=False, done=0, shown_as=None):
        self.total, self.logs, self.verbose, self.done, self.shown_as = total, logs, verbose, done, shown_as or logs
        os.makedirs(logs, exist_ok=True)

    @contextlib.contextmanager
    def step(self, title):
        """The next step, from its first line to its time and the note it
        leaves, or to the time it failed after and its log's last lines."""
        self.done += 1
        self.title, self.note, start = title, None, time.monotonic()
        self.log = f"{self.logs}/{self.done:02}-{re.sub('[^a-z0-9]+', '-', title.lower()).strip('-')}.log"
        open(self.log, "w").close()
        said = f"[{self.done}/{self.total}] {title}"
        print(said, end="\n" if self.verbose else " ... ", flush=True)
        ended = f"{said}: " if self.verbose else ""
        try:
            yield
        except BaseException as stop:
            print(f"{ended}failed after {round(time.monotonic() - start)} s",
                  *(f"  {line}" for line in getattr(stop, "tail", ())), sep="\n", flush=True)
            raise
        print(f"{ended}{round(time.monotonic() - start)} s" + (f"; {self.note}" if self.note else ""), flush=True)

    def fail(self, message, status=None):
        """A Failure of this step, which names its log and shows its last
        lines where they were not shown as they came."""
        with open(self.log, "rb") as log:
            tail = [] if self.verbose else log.read().decode(errors="replace").splitlines()[-20:]
        return Failure(f"{self.title}: {message}; its log: {self.shown_as}/{os.path.basename(self.log)}", status, tail)

    def run(self, command, cwd=None, env=None, stdout=None, check=True):
        """Runs a command of this step, its output (or its errors, where
        stdout takes its output) into the log and, with --verbose, shown as it
        comes. Where it fails, so does the step, unless check is false: then
        its exit status is returned."""
        with open(self.log, "ab") as log, subprocess.Popen(
                command, cwd=cwd, env=env, stdout=stdout or subprocess.PIPE,
                stderr=subprocess.PIPE if stdout else subprocess.STDOUT) as process:
            log.write(f"$ {shlex.join(command)}\n".encode())
            try:
                for line in process.stderr if stdout else process.stdout:
                    log.write(line)
                    if self.verbose:
                        print(line.decode(errors="replace"), end="", flush=True)
            finally:
                status = wait(process)
        if status and check:
            raise self.fail(f"`{shlex.join(command)}` failed ({status})")
        return status
