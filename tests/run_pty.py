#!/usr/bin/env python3
"""Interactive runner for dclsh: drives the program through a pseudo-terminal
and checks what appears on the screen.

File format: cases start with `=== NAME`; then one step per line (blank lines
and lines starting with `#` are ignored):

    args WORDS...       command-line words (shlex-split, placeholders allowed)
    env NAME=VALUE      add to the environment; `env -NAME` removes one
    program PATH        run PATH instead of dclsh
    expect REGEX        wait up to 10 s until REGEX matches the screen output
                        that arrived since the previous match
    send TEXT           type TEXT (Python escapes: \\r, \\x03, \\x1a, \\x1b[A ...)
    sendbytes TEXT      type TEXT as bytes, \\xNN being one byte (text that is not
                        UTF-8, such as Latin-1)
    sendline TEXT       type TEXT followed by \\r (the Return key)
    signal NAME         send a signal (INT, TSTP, TERM, HUP or a number) to dclsh
    sleep SECONDS       let the child settle; never an assertion
    alive               the program has neither exited nor been stopped
    status N            wait up to 10 s for the program to exit with status N

The program starts at the first step that needs it; `args`, `env` and
`program` must come before that.  The text that `expect` searches is the
output with carriage returns, backspaces, NUL padding and escape sequences
(cursor movement, video attributes) removed, so `\\n` ends a screen line; the regex is
the rest of the line as written and is searched with re.MULTILINE (write a
trailing blank as `\\x20`, editors tend to strip it).

The terminal is laid out as a login session would: a session leader owns the
pseudo-terminal (80x24, the usual line discipline: Ctrl-C interrupt, Ctrl-Z
suspend, Ctrl-D end of file) and runs dclsh as the foreground process group,
so keyboard signals reach dclsh and a stop would really stop it.  Environment
and placeholders (@DCLSH@, @BUILD@, @WORK@, @HOME@, @CASEDIR@) are those of
run_cases.py, with a fresh work directory per case.  A failing case prints
its whole transcript.
"""

import argparse
import codecs
import fcntl
import os
import pty
import re
import select
import shlex
import shutil
import signal
import struct
import sys
import tempfile
import termios
import time

sys.dont_write_bytecode = True   # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_cases  # noqa: E402  (shared environment and placeholder rules)

EXPECT_TIMEOUT = 10.0
DROP_RE = re.compile(r"\x1b\[[0-?]*[ -/]*[@-~]|\x1bO.|\x1b[ -/]*[0-~]|[\r\x00\x08]")


class StepFailure(Exception):
    pass


class PtyCase:
    def __init__(self, name, path, line):
        self.name, self.path, self.line = name, path, line
        self.steps = []           # (line number, verb, argument)


def parse_pty_file(path):
    cases = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.startswith("=== "):
                cases.append(PtyCase(line[4:].strip(), path, number))
                continue
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if not cases:
                raise run_cases.CaseFileError("%s:%d: step outside a case" % (path, number))
            verb, _, arg = line.lstrip().partition(" ")
            if verb not in ("args", "env", "program", "expect", "send", "sendline",
                            "sendbytes", "signal", "sleep", "alive", "status"):
                raise run_cases.CaseFileError("%s:%d: unknown step '%s'" % (path, number, verb))
            cases[-1].steps.append((number, verb, arg))
    return cases


def normalise(raw, start):
    """Screen text of raw[start:] and, for each of its characters, the index
    just past it in raw."""
    text, ends, pos = [], [], start
    for m in DROP_RE.finditer(raw, start):
        text.append(raw[pos:m.start()])
        ends.extend(range(pos + 1, m.start() + 1))
        pos = m.end()
    text.append(raw[pos:])
    ends.extend(range(pos + 1, len(raw) + 1))
    return "".join(text), ends


def visible(text):
    out = []
    for ch in text:
        o = ord(ch)
        if ch == "\n":
            out.append("\\n\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\x1b":
            out.append("^[")
        elif o < 32 or o == 127:
            out.append("\\x%02x" % o)
        else:
            out.append(ch)
    return "".join(out)


class Session:
    """dclsh running in the foreground of a pseudo-terminal session."""

    def __init__(self, argv, executable, env, cwd):
        self.transcript = []      # ('out' | 'step', text)
        self.raw = ""
        self.pos = 0              # raw index after the last expect match
        self.decoder = codecs.getincrementaldecoder("utf-8")("replace")
        self.eof = False
        self.pid = None           # dclsh itself
        self.state = None         # None running, else ('exited'|'signaled'|'stopped', n)
        status_r, status_w = os.pipe()
        leader, self.master = pty.fork()
        if leader == 0:
            os.close(status_r)
            self._leader(argv, executable, env, cwd, status_w)   # never returns
        os.close(status_w)
        self.leader = leader
        self.status_fd = status_r
        self.status_buf = b""
        deadline = time.monotonic() + EXPECT_TIMEOUT
        while self.pid is None and self.state is None and time.monotonic() < deadline:
            self.pump(deadline - time.monotonic())
        if self.pid is None:
            raise StepFailure("the program could not be started")

    # The session leader: owns the terminal, runs dclsh as its foreground job
    # and reports dclsh's pid and every change of its state over a pipe.
    @staticmethod
    def _leader(argv, executable, env, cwd, status_w):
        try:
            attrs = termios.tcgetattr(0)
            attrs[0] |= termios.ICRNL
            attrs[1] |= termios.OPOST | termios.ONLCR
            attrs[3] |= termios.ISIG | termios.ICANON | termios.ECHO | termios.ECHOE | termios.IEXTEN
            cc = attrs[6]
            cc[termios.VINTR], cc[termios.VQUIT], cc[termios.VSUSP] = b"\x03", b"\x1c", b"\x1a"
            cc[termios.VEOF], cc[termios.VERASE], cc[termios.VKILL] = b"\x04", b"\x7f", b"\x15"
            termios.tcsetattr(0, termios.TCSANOW, attrs)
            fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 0, 0))
            # Until exec the job is plain Python: let an early Ctrl-C simply
            # kill it as it would kill any program that has not set up yet.
            for s in (signal.SIGINT, signal.SIGQUIT, signal.SIGTSTP):
                signal.signal(s, signal.SIG_DFL)
            signal.signal(signal.SIGTTOU, signal.SIG_IGN)
            child = os.fork()
            if child == 0:
                try:
                    os.close(status_w)
                    os.setpgid(0, 0)
                    os.tcsetpgrp(0, os.getpid())
                    for s in (signal.SIGTTOU, signal.SIGPIPE, signal.SIGXFSZ):
                        signal.signal(s, signal.SIG_DFL)
                    os.chdir(cwd)
                    os.execve(executable, argv, env)
                except BaseException as e:
                    os.write(2, ("run_pty: cannot start %s: %s\n" % (executable, e)).encode())
                os._exit(127)
            try:
                os.setpgid(child, child)
            except OSError:
                pass                # the child did it first
            try:
                os.tcsetpgrp(0, child)
            except OSError:
                pass
            # Hold no terminal descriptor, so that the runner sees end of
            # output once dclsh and its children are gone.
            devnull = os.open(os.devnull, os.O_RDWR)
            for fd in (0, 1, 2):
                os.dup2(devnull, fd)
            os.write(status_w, b"pid %d\n" % child)
            while True:
                _, st = os.waitpid(child, os.WUNTRACED)
                if os.WIFSTOPPED(st):
                    os.write(status_w, b"stopped %d\n" % os.WSTOPSIG(st))
                elif os.WIFSIGNALED(st):
                    os.write(status_w, b"signaled %d\n" % os.WTERMSIG(st))
                    break
                elif os.WIFEXITED(st):
                    os.write(status_w, b"exited %d\n" % os.WEXITSTATUS(st))
                    break
        finally:
            os._exit(0)

    def pump(self, timeout):
        """Collect output and state reports for up to `timeout` seconds
        (returns early when something arrives)."""
        fds = [fd for fd in (None if self.eof else self.master, self.status_fd) if fd is not None]
        if not fds:
            return
        ready, _, _ = select.select(fds, [], [], max(0.0, timeout))
        if self.master in ready:
            try:
                data = os.read(self.master, 65536)
            except OSError:           # EIO: no process holds the terminal any more
                data = b""
            if data:
                text = self.decoder.decode(data)
                self.raw += text
                self.transcript.append(("out", text))
            else:
                self.eof = True
        if self.status_fd in ready:
            data = os.read(self.status_fd, 4096)
            if not data:
                os.close(self.status_fd)
                self.status_fd = None
            self.status_buf += data
            while b"\n" in self.status_buf:
                line, self.status_buf = self.status_buf.split(b"\n", 1)
                word, number = line.decode().split()
                if word == "pid":
                    self.pid = int(number)
                else:
                    self.state = (word, int(number))

    def drain(self):
        self.pump(0)
        while True:
            before = (len(self.raw), self.state, self.eof)
            self.pump(0)
            if (len(self.raw), self.state, self.eof) == before:
                return

    def step(self, text):
        self.transcript.append(("step", text))

    def expect(self, pattern):
        rx = re.compile(pattern, re.M)
        deadline = time.monotonic() + EXPECT_TIMEOUT
        while True:
            screen, ends = normalise(self.raw, self.pos)
            m = rx.search(screen)
            if m:
                if m.end() > 0:
                    self.pos = ends[m.end() - 1]
                return
            left = deadline - time.monotonic()
            if left <= 0 or (self.eof and self.status_fd is None):
                why = "program ended" if self.eof else "no match within %g s" % EXPECT_TIMEOUT
                shown = "".join("\n    : " + l for l in visible(screen).split("\n"))
                raise StepFailure("expect %r: %s; screen text since the last match:%s"
                                  % (pattern, why, shown))
            self.pump(left)

    def send(self, data):
        self.send_bytes(data.encode("utf-8"))

    def send_bytes(self, data):
        if self.state is not None:
            raise StepFailure("cannot type: the program has %s (%d)" % self.state)
        os.write(self.master, data)

    def settle(self, seconds):
        deadline = time.monotonic() + seconds
        while (left := deadline - time.monotonic()) > 0:
            if self.eof and self.status_fd is None:
                return            # nothing left that could still change
            self.pump(left)

    def alive(self):
        self.drain()
        if self.state is not None:
            raise StepFailure("the program has %s (signal/status %d)" % self.state)

    def wait_status(self, expected):
        deadline = time.monotonic() + EXPECT_TIMEOUT
        while self.state is None or self.state[0] == "stopped":
            if self.state is not None:
                raise StepFailure("the program was stopped by signal %d" % self.state[1])
            left = deadline - time.monotonic()
            if left <= 0:
                raise StepFailure("the program did not exit within %g s" % EXPECT_TIMEOUT)
            self.pump(left)
        self.drain()
        kind, n = self.state
        if kind != "exited":
            raise StepFailure("the program was killed by signal %d" % n)
        if n != expected:
            raise StepFailure("exit status %d, expected %d" % (n, expected))

    def signal(self, signum):
        os.kill(self.pid, signum)

    def close(self):
        # The whole job goes: a program run by a shell in the job would
        # otherwise outlive the case, and write into its removed directory.
        if self.pid is not None:
            try:
                os.killpg(self.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
        try:
            os.waitpid(self.leader, 0)
        except ChildProcessError:
            pass
        for fd in (self.master, self.status_fd):
            if fd is not None:
                try:
                    os.close(fd)
                except OSError:
                    pass


def parse_signal(name):
    name = name.strip().upper()
    if name.isdigit():
        return int(name)
    if not name.startswith("SIG"):
        name = "SIG" + name
    return getattr(signal, name)


def run_case(case, dclsh, verbose):
    work = tempfile.mkdtemp(prefix="dclsh-pty-")
    home = os.path.join(work, "home")
    os.mkdir(home)
    places = {"@DCLSH@": dclsh, "@BUILD@": os.path.dirname(dclsh), "@WORK@": work,
              "@HOME@": home, "@CASEDIR@": os.path.dirname(os.path.abspath(case.path))}
    setup = run_cases.Case(case.name, case.path, case.line)
    program, args = dclsh, []
    session = None
    current = case.line
    try:
        for number, verb, arg in case.steps:
            current = number
            if verb in ("args", "env", "program"):
                if session is not None:
                    raise StepFailure("'%s' after the program has started" % verb)
                if verb == "args":
                    args = [run_cases.substitute(a, places) for a in shlex.split(arg)]
                elif verb == "program":
                    program = run_cases.substitute(arg.strip(), places)
                    if not os.path.isabs(program):
                        program = os.path.join(work, program)
                else:
                    name, eq, value = arg.strip().partition("=")
                    if name.startswith("-"):
                        setup.env.append((name[1:], None))
                    elif eq:
                        setup.env.append((name, value))
                    else:
                        raise StepFailure("env takes NAME=VALUE or -NAME")
                continue
            if session is None:
                env = run_cases.case_environment(setup, places)
                session = Session([program] + args, program, env, work)
                session.step("(started %s)" % " ".join(shlex.quote(a) for a in [program] + args))
            session.step("%s %s" % (verb, arg) if arg else verb)
            if verb == "expect":
                session.expect(arg)
            elif verb == "send":
                session.send(codecs.decode(arg, "unicode_escape"))
            elif verb == "sendline":
                session.send(codecs.decode(arg, "unicode_escape") + "\r")
            elif verb == "sendbytes":
                session.send_bytes(codecs.escape_decode(arg.encode("utf-8"))[0])
            elif verb == "signal":
                session.signal(parse_signal(arg))
            elif verb == "sleep":
                session.settle(float(arg))
            elif verb == "alive":
                session.alive()
            elif verb == "status":
                session.wait_status(int(arg))
        return None
    except (StepFailure, ValueError, AttributeError, OSError, re.error) as e:
        lines = ["  %s:%d: %s" % (case.path, current, e)]
        if session is not None:
            session.drain()
            lines.append("  transcript (> steps, | output; ^[ is ESC):")
            for kind, text in merge(session.transcript):
                if kind == "step":
                    lines.append("    > " + text)
                else:
                    lines += ["    | " + l for l in visible(text).split("\n") if l != ""]
        return "\n".join(lines)
    finally:
        if session is not None:
            session.close()
        shutil.rmtree(work, ignore_errors=True)


def merge(transcript):
    """Join consecutive output chunks so that lines are not cut at read
    boundaries."""
    out = []
    for kind, text in transcript:
        if out and kind == "out" and out[-1][0] == "out":
            out[-1] = ("out", out[-1][1] + text)
        else:
            out.append((kind, text))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--dclsh", required=True, help="program under test")
    ap.add_argument("--verbose", "-v", action="store_true", help="list passing cases too")
    ap.add_argument("--case", "-k", metavar="REGEX", help="run only matching cases")
    ap.add_argument("files", nargs="+", help=".pty files")
    opts = ap.parse_args()
    dclsh = os.path.abspath(opts.dclsh)
    if not os.access(dclsh, os.X_OK):
        print("run_pty: %s is not an executable program" % dclsh, file=sys.stderr)
        return 2
    passed = failed = 0
    for path in opts.files:
        try:
            cases = parse_pty_file(path)
        except (OSError, run_cases.CaseFileError) as e:
            print("ERROR %s" % e)
            failed += 1
            continue
        for case in cases:
            if opts.case and not re.search(opts.case, case.name):
                continue
            failure = run_case(case, dclsh, opts.verbose)
            if failure:
                failed += 1
                print("FAIL %s (%s:%d)" % (case.name, case.path, case.line))
                print(failure)
            else:
                passed += 1
                if opts.verbose:
                    print("ok   %s" % case.name)
    print("%d passed, %d failed" % (passed, failed))
    if not passed and not failed and not opts.case:
        print("run_pty: no case found", file=sys.stderr)
        return 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
