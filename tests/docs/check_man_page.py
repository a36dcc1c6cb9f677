#!/usr/bin/env python3
"""Checks the manual page against the program it describes.

- it renders without a warning (groff -ww, or man --warnings);
- every option letter the program's usage line offers has an entry under
  OPTIONS and a place in the SYNOPSIS, and OPTIONS lists no letter the
  program does not take;
- every environment variable the sources read by name is under ENVIRONMENT.

The option list comes from the program itself (its usage line for an
unknown option), so a new option cannot slip past undocumented. Exit 77
(skipped) when neither groff nor man is installed and all else passed.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

SKIPPED = 77


def section(page, name):
    """The roff source of section NAME, up to the next .SH."""
    match = re.search(r'^\.SH "?' + re.escape(name) + r'"?\n(.*?)(?=^\.SH |\Z)', page, re.M | re.S)
    return match.group(1) if match else ''


def program_options(dclsh):
    """Option letters from the usage line the program prints for a bad one."""
    env = dict(os.environ, TESSEL=str(Path(dclsh).resolve().parent), HOME=os.environ.get('HOME', '/'))
    run = subprocess.run([dclsh, '-?'], env=env, stdin=subprocess.DEVNULL,
                         capture_output=True, text=True, timeout=30)
    usage = next((line for line in run.stderr.splitlines() if line.startswith('usage:')), None)
    if run.returncode != 1 or usage is None:
        sys.exit(f'FAIL: no usage line from {dclsh} -? (status {run.returncode}):\n{run.stderr}')
    letters = set(''.join(re.findall(r'\[-([A-Za-z]+)', usage)))
    if not letters:
        sys.exit(f'FAIL: no options found in {usage!r}')
    return letters


def check_options(page, letters):
    problems = []
    options = section(page, 'OPTIONS')
    documented = set(re.findall(r'^\.TP\n\.B[IR]?\s+\\-([A-Za-z])\b', options, re.M))
    for letter in sorted(letters - documented):
        problems.append(f'option -{letter} has no entry under OPTIONS')
    for letter in sorted(documented - letters):
        problems.append(f'OPTIONS describes -{letter}, which the program does not take')
    synopsis = set(''.join(re.findall(r'\\-([A-Za-z]+)', section(page, 'SYNOPSIS'))))
    for letter in sorted(letters - synopsis):
        problems.append(f'option -{letter} is missing from the SYNOPSIS')
    return problems


def check_environment(page, source_dirs):
    environment = section(page, 'ENVIRONMENT')
    read = set()
    for directory in source_dirs:
        for path in Path(directory).rglob('*'):
            if path.suffix in ('.cpp', '.h'):
                read |= set(re.findall(r'getenv\("([A-Za-z_][A-Za-z0-9_]*)"\)', path.read_text(errors='replace')))
    if not read:
        return [f'no getenv calls found under {source_dirs}: wrong source directory?']
    return [f'environment variable {name} is not under ENVIRONMENT'
            for name in sorted(read) if not re.search(r'\b' + name + r'\b', environment)]


def render_warnings(page_path):
    """Warnings of the formatter, or None when there is none installed."""
    if shutil.which('groff'):
        command = ['groff', '-man', '-Tutf8', '-ww', '-z', str(page_path)]
    elif shutil.which('man'):
        command = ['man', '--warnings', '-l', str(page_path)]
    else:
        return None
    run = subprocess.run(command, capture_output=True, text=True, timeout=60,
                         env=dict(os.environ, MANWIDTH='80', MAN_KEEP_FORMATTING='0'))
    output = run.stderr.strip()
    if run.returncode != 0 and not output:
        output = f'{command[0]} exited with status {run.returncode}'
    return output


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--dclsh', required=True)
    parser.add_argument('--page', required=True, help='the built page, version filled in')
    parser.add_argument('--sources', nargs='+', required=True)
    args = parser.parse_args()

    page = Path(args.page).read_text()
    problems = []
    if '@PROJECT_VERSION@' in page:
        problems.append('the version was not filled in')
    problems += check_options(page, program_options(args.dclsh))
    problems += check_environment(page, args.sources)
    warnings = render_warnings(args.page)
    if warnings:
        problems.append('the page renders with warnings:\n' + warnings)
    for problem in problems:
        print('FAIL:', problem)
    if problems:
        return 1
    if warnings is None:
        print('SKIPPED: neither groff nor man is installed, the page was not rendered '
              '(the option and environment checks passed)')
        return SKIPPED
    print('man page: renders cleanly, all options and environment variables described')
    return 0


if __name__ == '__main__':
    sys.exit(main())
