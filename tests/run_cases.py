#!/usr/bin/env python3
"""End-to-end runner for dclsh: runs the program on case files and compares
its standard output, standard error and exit status with what they expect.

Two file forms.

`.case` files hold several cases:

    # comment lines before the first case are ignored
    === NAME
    (free text up to the first section is ignored)
    --- args
    -c "SHOW TIME"
    --- stdin
    text fed to standard input (absent: empty input, never a terminal)
    --- env
    NAME=VALUE          (added to the environment)
    -NAME               (removed from it, e.g. -HOME)
    --- file sub/name.txt
    contents of a file created under the work directory
    --- setup
    bash script (run with -e) in the work directory before the case
    --- program
    path of the program to run instead of dclsh (relative: to the work dir;
    a bare name is looked up on the case's PATH)
    --- argv0
    the name the program is given as argv[0]
    --- stdout
    expected standard output
    --- stderr
    expected standard error
    --- status
    expected exit status (default 0)

A section's text runs to the next section or case header; every line of it,
the last one included, ends with a newline.  Blank lines right before a
`===` header (or the end of the file), and `#` comment lines after such a
blank line, separate cases and are not part of the last section: to expect
trailing empty lines, put another section (e.g. `--- status`) after them.  A section header may end with the word `noeol`
to drop the final newline of its text (`--- stdin noeol`, `--- file x noeol`).
A text line that must itself begin with `---` or `===` is written with a
leading backslash (`\\---`), which is removed.  A missing `stdout` or `stderr`
section means that stream must be empty.

`.com` files are DCL procedures fed whole to standard input, with the
expectations written as DCL comments right under the command they check:

    $ ! ARGS: -s one two        (command-line words; none by default)
    $ ! ENV: NAME=VALUE         (as in an env section)
    $ MAIL
    $ ! CHECKERR: %SYSTEM-W-NOTAVAIL, option not available in Tessel version
    $ WRITE SYS$OUTPUT "hi"
    $ ! CHECK: hi
    $ ! STATUS: 0

Expected lines may contain `{{regex}}` parts, which match by Python regular
expression (placeholders inside them stand for their literal text);
everything else is literal, and the whole line must match.

Placeholders, substituted in every section, in arguments and in expected
text: @DCLSH@ (absolute path of the program under test), @BUILD@ (its
directory), @WORK@ (the case's fresh work directory, also the current
directory), @HOME@ (@WORK@/home, created empty), @CASEDIR@ (directory of the
case file).

A case with standard input runs twice: once with its input through a pipe
and once with it in a regular file (the two take different reading paths in
the program); both runs must pass.  DCL_CASE_STDIN=pipe or =file restricts
the runs to one of the two.

Each case runs with a clean environment: HOME=@HOME@, PATH, TERM=vt100,
LANG=C and the case's own entries.  PATH is the runner's PATH without any
directory that holds a program named dclsh, so that an installed copy can
never be picked up as the installation under test.  Sanitizer settings
(ASAN_OPTIONS and friends) are passed through.  Each case has 20 seconds;
a hang counts as a failure.
"""

import argparse
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile

CASE_TIMEOUT = 20
SECTION_KINDS = {"args", "stdin", "env", "file", "setup", "stdout", "stderr",
                 "status", "program", "argv0"}
PASS_THROUGH_ENV = ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS",
                    "MSAN_OPTIONS", "ASAN_SYMBOLIZER_PATH")

CASE_RE = re.compile(r"^=== (.*)$")
SECTION_RE = re.compile(r"^--- ([a-z0-9]+)(?: (.*))?$")
COM_DIRECTIVE_RE = re.compile(
    r"^\s*\$\s*!\s*(CHECK|CHECKERR|STATUS|ARGS|ENV):(?: ?)(.*)$")


class CaseFileError(Exception):
    pass


class Section:
    def __init__(self, kind, arg, line):
        self.kind = kind
        self.arg = arg
        self.line = line          # line number of the header
        self.lines = []           # text lines without their newline
        self.noeol = False

    def text(self):
        if not self.lines:
            return ""
        s = "\n".join(self.lines)
        return s if self.noeol else s + "\n"


class Case:
    def __init__(self, name, path, line):
        self.name = name
        self.path = path
        self.line = line
        self.args_text = ""
        self.stdin = ""
        self.env = []             # (name, value or None to remove)
        self.files = []           # (relative path, text)
        self.setup = None
        self.program = None
        self.argv0 = None
        self.stdout = ""          # expected text
        self.stderr = ""
        self.status = 0
        # Source line of every expected line, for the failure report.
        self.stdout_lines = []
        self.stderr_lines = []

    def where(self, line=None):
        return "%s:%d" % (self.path, self.line if line is None else line)


# ---------------------------------------------------------------- parsing

def unescape_line(line):
    if line.startswith("\\---") or line.startswith("\\==="):
        return line[1:]
    return line


def drop_separator(lines):
    """Remove the gap between a case's last section and the next case:
    trailing blank lines, and `#` comment lines that follow a blank line."""
    k = len(lines)
    while k > 0 and (lines[k - 1].strip() == "" or lines[k - 1].startswith("#")):
        k -= 1
    while k < len(lines) and lines[k].strip() != "":
        k += 1                    # the gap must begin with a blank line
    del lines[k:]


def parse_case_file(path):
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        raw = f.read().split("\n")
    if raw and raw[-1] == "":
        raw.pop()                 # the file's own final newline
    cases = []
    case = None
    section = None

    def close_section(at_case_end):
        if section is None:
            return
        if at_case_end:
            drop_separator(section.lines)
        apply_section(case, section)

    for number, line in enumerate(raw, 1):
        m = CASE_RE.match(line)
        if m:
            close_section(True)
            section = None
            case = Case(m.group(1).strip(), path, number)
            if not case.name:
                raise CaseFileError("%s:%d: case without a name" % (path, number))
            cases.append(case)
            continue
        m = SECTION_RE.match(line)
        if m:
            if case is None:
                raise CaseFileError("%s:%d: section outside a case" % (path, number))
            close_section(False)
            kind, arg = m.group(1), (m.group(2) or "").strip()
            if kind not in SECTION_KINDS:
                raise CaseFileError("%s:%d: unknown section kind '%s'"
                                    % (path, number, kind))
            section = Section(kind, arg, number)
            words = arg.split()
            if words and words[-1] == "noeol":
                section.noeol = True
                section.arg = arg[: arg.rfind("noeol")].strip()
            continue
        if section is not None:
            section.lines.append(unescape_line(line))
        # Lines outside sections (file header, case description) are comments.
    close_section(True)
    return cases


def apply_section(case, s):
    where = "%s:%d" % (case.path, s.line)
    if s.kind == "args":
        body = [l for l in s.lines if l.strip()]
        if len(body) > 1:
            raise CaseFileError("%s: args takes one line" % where)
        case.args_text = body[0] if body else ""
    elif s.kind == "stdin":
        case.stdin = s.text()
    elif s.kind == "env":
        for l in s.lines:
            l = l.strip()
            if not l or l.startswith("#"):
                continue
            if l.startswith("-"):
                case.env.append((l[1:], None))
            elif "=" in l:
                name, value = l.split("=", 1)
                case.env.append((name, value))
            else:
                raise CaseFileError("%s: env line '%s' is neither NAME=VALUE nor -NAME"
                                    % (where, l))
    elif s.kind == "file":
        if not s.arg:
            raise CaseFileError("%s: file section needs a path" % where)
        case.files.append((s.arg, s.text()))
    elif s.kind == "setup":
        case.setup = s.text()
    elif s.kind in ("program", "argv0"):
        body = [l.strip() for l in s.lines if l.strip()]
        if len(body) != 1:
            raise CaseFileError("%s: %s takes one line" % (where, s.kind))
        setattr(case, s.kind, body[0])
    elif s.kind in ("stdout", "stderr"):
        setattr(case, s.kind, s.text())
        setattr(case, s.kind + "_lines",
                [s.line + 1 + i for i in range(len(s.lines))])
    elif s.kind == "status":
        body = [l.strip() for l in s.lines if l.strip()]
        try:
            case.status = int(body[0]) if body else 0
            if len(body) > 1:
                raise ValueError
        except ValueError:
            raise CaseFileError("%s: status must be one integer" % where)


def parse_com_file(path):
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        text = f.read()
    case = Case(os.path.basename(path), path, 1)
    case.stdin = text
    out, err = [], []
    for number, line in enumerate(text.split("\n"), 1):
        m = COM_DIRECTIVE_RE.match(line)
        if not m:
            continue
        kind, value = m.group(1), m.group(2)
        if kind == "CHECK":
            out.append(value)
            case.stdout_lines.append(number)
        elif kind == "CHECKERR":
            err.append(value)
            case.stderr_lines.append(number)
        elif kind == "STATUS":
            try:
                case.status = int(value.strip())
            except ValueError:
                raise CaseFileError("%s:%d: STATUS must be an integer" % (path, number))
        elif kind == "ARGS":
            case.args_text = value
        elif kind == "ENV":
            name, _, val = value.strip().partition("=")
            case.env.append((name[1:], None) if name.startswith("-") else (name, val))
    case.stdout = "".join(l + "\n" for l in out)
    case.stderr = "".join(l + "\n" for l in err)
    return [case]


# --------------------------------------------------------------- matching

def substitute(text, places):
    for key, value in places.items():
        text = text.replace(key, value)
    return text


def line_pattern(expected, places):
    """Compile one expected line: literal text with {{regex}} parts."""
    parts = re.split(r"\{\{(.*?)\}\}", expected)
    if len(parts) == 1:
        return None               # plain literal, compared as a string
    rx = []
    for i, p in enumerate(parts):
        if i % 2:                 # a regex part: placeholders stand for literal text
            for key, value in places.items():
                p = p.replace(key, re.escape(value))
            rx.append("(?:%s)" % p)
        else:
            rx.append(re.escape(substitute(p, places)))
    return re.compile("".join(rx), re.S)


class ExpectedLine:
    def __init__(self, line, places, source):
        self.raw, self.newline = line
        self.literal = substitute(self.raw, places)
        self.pattern = line_pattern(self.raw, places)
        self.source = source      # source line number or None

    def matches(self, actual):
        body, newline = actual
        if newline != self.newline:
            return False
        if self.pattern is None:
            return body == self.literal
        return self.pattern.fullmatch(body) is not None

    def shown(self):
        return show_line((self.raw if self.pattern else self.literal, self.newline))


def split_lines(text):
    """(text, ends-with-newline) for each line, so that a missing newline at
    the end of a stream is a difference like any other."""
    return [(m.group(1), m.group(2) == "\n")
            for m in re.finditer(r"([^\n]*)(\n|$)", text) if m.group(0)]


def align(expected, actual):
    """Longest common subsequence under ExpectedLine.matches; returns a list
    of ('=', e, a), ('-', e, None), ('+', None, a) in order."""
    n, m = len(expected), len(actual)
    if n * m > 4_000_000:         # pathological sizes: compare position-wise
        ops = []
        for i in range(max(n, m)):
            e = expected[i] if i < n else None
            a = actual[i] if i < m else None
            if e is not None and a is not None and e.matches(a):
                ops.append(("=", e, a))
            else:
                if e is not None:
                    ops.append(("-", e, None))
                if a is not None:
                    ops.append(("+", None, a))
        return ops
    table = [[0] * (m + 1) for _ in range(n + 1)]
    for i in range(n - 1, -1, -1):
        row, nxt = table[i], table[i + 1]
        for j in range(m - 1, -1, -1):
            if expected[i].matches(actual[j]):
                row[j] = nxt[j + 1] + 1
            else:
                row[j] = max(nxt[j], row[j + 1])
    ops, i, j = [], 0, 0
    while i < n and j < m:
        if expected[i].matches(actual[j]) and table[i][j] == table[i + 1][j + 1] + 1:
            ops.append(("=", expected[i], actual[j]))
            i, j = i + 1, j + 1
        elif table[i + 1][j] >= table[i][j + 1]:
            ops.append(("-", expected[i], None))
            i += 1
        else:
            ops.append(("+", None, actual[j]))
            j += 1
    ops += [("-", e, None) for e in expected[i:]]
    ops += [("+", None, a) for a in actual[j:]]
    return ops


def visible(line):
    """Show control characters and trailing blanks so that they can be seen."""
    out = []
    for ch in line:
        o = ord(ch)
        if ch == "\t":
            out.append("\\t")
        elif o < 32 or o == 127:
            out.append("\\x%02x" % o)
        else:
            out.append(ch)
    s = "".join(out)
    stripped = s.rstrip(" ")
    if len(stripped) != len(s):
        s = stripped + "\u00b7" * (len(s) - len(stripped))   # middle dots for blanks
    return s


def show_line(line):
    body, newline = line
    return visible(body) + ("" if newline else "   [no newline at end]")


def render_diff(case, stream, expected, actual, context=3):
    ops = align(expected, actual)
    changed = [k for k, op in enumerate(ops) if op[0] != "="]
    if not changed:
        return []
    out = ["  %s differs (- expected, + actual; trailing blanks shown as \u00b7):" % stream]
    # Group changes with their context into hunks.
    hunks, start, end = [], None, None
    for k in changed:
        lo, hi = max(0, k - context), min(len(ops), k + context + 1)
        if start is not None and lo <= end:
            end = max(end, hi)
        else:
            if start is not None:
                hunks.append((start, end))
            start, end = lo, hi
    hunks.append((start, end))
    for lo, hi in hunks:
        src = next((op[1].source for op in ops[lo:hi]
                    if op[1] is not None and op[1].source), None)
        out.append("  @@ %s @@" % (case.where(src) if src else case.path))
        for kind, e, a in ops[lo:hi]:
            if kind == "=":
                out.append("    " + show_line(a))
            elif kind == "-":
                out.append("  - " + e.shown())
            else:
                out.append("  + " + show_line(a))
    return out


def compare(case, stream, expected_text, actual_text, sources, places):
    exp_lines = split_lines(expected_text)
    srcs = list(sources) + [None] * (len(exp_lines) - len(sources))
    expected = [ExpectedLine(t, places, s) for t, s in zip(exp_lines, srcs)]
    actual = split_lines(actual_text)
    if len(expected) == len(actual) and all(e.matches(a) for e, a in zip(expected, actual)):
        return []
    diff = render_diff(case, stream, expected, actual) or ["  %s differs" % stream]
    if actual_text == "":
        diff.insert(1, "  (%s was empty)" % stream)
    return diff


# ---------------------------------------------------------------- running

def clean_path():
    keep = []
    for d in os.environ.get("PATH", "/usr/bin:/bin").split(":"):
        probe = os.path.join(d or ".", "dclsh")
        if os.path.isfile(probe) and os.access(probe, os.X_OK):
            continue
        keep.append(d)
    return ":".join(keep)


def case_environment(case, places):
    env = {"HOME": places["@HOME@"], "PATH": clean_path(),
           "TERM": "vt100", "LANG": "C"}
    for name in PASS_THROUGH_ENV:
        if name in os.environ:
            env[name] = os.environ[name]
    for name, value in case.env:
        if value is None:
            env.pop(name, None)
        else:
            env[name] = substitute(value, places)
    return env


def run_process(argv, cwd, env, stdin_bytes, executable=None, stdin_file=None):
    """Run in a new session (no controlling terminal); kill the whole group
    on timeout.  With `stdin_file` (an open regular file) standard input is
    that file instead of a pipe.  Returns (status, stdout, stderr, timed_out)."""
    proc = subprocess.Popen(argv, executable=executable, cwd=cwd, env=env,
                            stdin=stdin_file if stdin_file else subprocess.PIPE,
                            stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True)
    timed_out = False
    try:
        out, err = proc.communicate(None if stdin_file else stdin_bytes,
                                    timeout=CASE_TIMEOUT)
    except subprocess.TimeoutExpired:
        timed_out = True
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        out, err = proc.communicate()
    return proc.returncode, out, err, timed_out


def describe_status(code):
    if code is None:
        return "none"
    if code < 0:
        try:
            return "killed by %s" % signal.Signals(-code).name
        except ValueError:
            return "killed by signal %d" % -code
    return str(code)


def decode(b):
    return b.decode("utf-8", errors="surrogateescape")


def stdin_modes(case):
    """How the case's input is fed: a pipe, a regular file, or both."""
    if not case.stdin:
        return ["pipe"]
    wanted = os.environ.get("DCL_CASE_STDIN", "")
    return [wanted] if wanted in ("pipe", "file") else ["pipe", "file"]


def open_stdin_file(text):
    """The case's input as an unlinked regular file, positioned at 0."""
    f = tempfile.TemporaryFile(prefix="dclsh-stdin-")
    f.write(text)
    f.seek(0)
    return f


def run_case(case, dclsh, keep, verbose, mode="pipe"):
    """Returns a list of failure lines (empty: passed)."""
    work = tempfile.mkdtemp(prefix="dclsh-case-")
    home = os.path.join(work, "home")
    os.mkdir(home)
    places = {"@DCLSH@": dclsh, "@BUILD@": os.path.dirname(dclsh),
              "@WORK@": work, "@HOME@": home,
              "@CASEDIR@": os.path.dirname(os.path.abspath(case.path))}
    failures = []
    try:
        env = case_environment(case, places)
        for rel, text in case.files:
            target = os.path.join(work, substitute(rel, places))
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write(substitute(text, places))
        if case.setup is not None:
            status, out, err, timed_out = run_process(
                ["bash", "-e", "-c", substitute(case.setup, places)], work, env, b"")
            if status != 0 or timed_out:
                failures.append("  setup script failed (status %s%s):"
                                % (describe_status(status), ", timed out" if timed_out else ""))
                failures += ["    " + l for l in decode(out + err).splitlines()]
                return failures
        args = [substitute(a, places)
                for a in shlex.split(case.args_text)]
        program = dclsh
        if case.program:
            program = substitute(case.program, places)
            if "/" in program and not os.path.isabs(program):
                program = os.path.join(work, program)
        argv0 = substitute(case.argv0, places) if case.argv0 else program
        executable = None
        if case.argv0:
            executable = program
            if "/" not in program:
                executable = shutil.which(program, path=env.get("PATH", "")) or program
        if verbose:
            print("  $ (cd %s && %s)" % (work, " ".join(shlex.quote(a) for a in [argv0] + args)))
        stdin_bytes = substitute(case.stdin, places).encode("utf-8", "surrogateescape")
        try:
            if mode == "file":
                with open_stdin_file(stdin_bytes) as f:
                    status, out, err, timed_out = run_process(
                        [argv0] + args, work, env, None, executable, f)
            else:
                status, out, err, timed_out = run_process(
                    [argv0] + args, work, env, stdin_bytes, executable)
        except OSError as e:
            failures.append("  cannot start %s: %s" % (program, e))
            return failures
        out, err = decode(out), decode(err)
        if timed_out:
            failures.append("  timed out after %d s (killed)" % CASE_TIMEOUT)
        failures += compare(case, "stdout", case.stdout, out, case.stdout_lines, places)
        failures += compare(case, "stderr", case.stderr, err, case.stderr_lines, places)
        if not timed_out and status != case.status:
            failures.append("  exit status %s, expected %d"
                            % (describe_status(status), case.status))
        if failures and verbose:
            failures.append("  full stdout:")
            failures += ["    | " + visible(l) for l in out.split("\n")]
            failures.append("  full stderr:")
            failures += ["    | " + visible(l) for l in err.split("\n")]
        return failures
    finally:
        # Failing cases keep their work directory under --verbose, for a look.
        if keep or (failures and verbose):
            if failures:
                failures.append("  work directory kept: %s" % work)
        else:
            shutil.rmtree(work, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--dclsh", required=True, help="program under test")
    ap.add_argument("--verbose", "-v", action="store_true",
                    help="show each command, full output of failing cases, keep their work dirs")
    ap.add_argument("--keep", action="store_true", help="keep every work directory")
    ap.add_argument("--case", "-k", metavar="REGEX",
                    help="run only the cases whose name matches")
    ap.add_argument("files", nargs="+", help=".case or .com files")
    opts = ap.parse_args()

    dclsh = os.path.abspath(opts.dclsh)
    if not os.access(dclsh, os.X_OK):
        print("run_cases: %s is not an executable program" % dclsh, file=sys.stderr)
        return 2
    passed = failed = 0
    for path in opts.files:
        try:
            cases = parse_com_file(path) if path.endswith(".com") else parse_case_file(path)
        except (OSError, CaseFileError) as e:
            print("ERROR %s" % e)
            failed += 1
            continue
        for case in cases:
            if opts.case and not re.search(opts.case, case.name):
                continue
            for mode in stdin_modes(case):
                label = case.name if mode == "pipe" else case.name + " [stdin from a file]"
                failures = run_case(case, dclsh, opts.keep, opts.verbose, mode)
                if failures:
                    failed += 1
                    print("FAIL %s (%s)" % (label, case.where()))
                    print("\n".join(failures))
                else:
                    passed += 1
                    if opts.verbose:
                        print("ok   %s" % label)
    print("%d passed, %d failed" % (passed, failed))
    if not passed and not failed and not opts.case:
        print("run_cases: no case found", file=sys.stderr)
        return 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
