$ ! SET CLI and SHOW CLI.
$ SHOW CLI
$ ! CHECK: Passing unknown commands to shell
$ ! CHECK: Using UNIX dotfile interpretation
$ ! CHECK: Informing user when unsupported qualifiers are used
$ ! CHECK: Output redirection appends to existing files
$ ! CHECK: Mapping command lines to lower case
$ ! CHECK: Control-J is a line editing character
$ ! CHECK: Using native (decimal) process ids
$ ! CHECK: DIRECTORY/DATE default is the date of last status change
$ SET CLI/UPPERC/REDIRECT=ABORT/DIRDAT=MODIFIED/HEXPID/VMSDOT/NOCTRLJ/UNSUPP=IGNORE
$ SHOW CLI
$ ! CHECK: Passing unknown commands to shell
$ ! CHECK: Using VMS-like dotfile interpretation
$ ! CHECK: Ignoring use of unsupported qualifiers
$ ! CHECK: Output redirection aborts when file exists
$ ! CHECK: Mapping command lines to upper case
$ ! CHECK: Control-J is a line termination character
$ ! CHECK: Mapping native process ids to hexadecimal
$ ! CHECK: DIRECTORY/DATE default is the date of last modification
$ SET CLI/LOWERC/NOVMSDOT/REDIRECT=RENAME/DIRDATE=ALL/UNSUPP=INFORM
$ SHOW CLI/VERSION
$ ! CHECK: Tessel CLI version 1.91
$ SHOW CLI/VERSION=2
$ ! CHECKERR: %DCL-W-NOVALU, value not allowed - remove value specification
$ ! CHECKERR:  /VERSION=/
$ SHOW CLI EXTRA
$ ! CHECKERR: %DCL-W-MAXPARM, too many parameters - reenter command with fewer parameters
$ ! CHECKERR:  /extra/
$ ! Unimplemented options follow the unsupported-qualifier policy.
$ SET CLI/DEBUG=1
$ ! CHECKERR: %DCL-I-UNSUPQ, unsupported qualifier specified
$ ! CHECKERR:  /debug/
$ SET CLI/REDIRECT=SIDEWAYS
$ ! CHECKERR: %DCL-W-IVKEYW, unrecognized keyword - check validity and spelling
$ ! CHECKERR:  /SIDEWAYS/
$ SET CLI/REDIRECT
$ ! CHECKERR: %DCL-W-VALREQ, missing qualifier or keyword value - supply all required values
$ ! CHECKERR:  /REDIRECT/
$ SET CLI/NOSUCH
$ ! CHECKERR: %DCL-W-IVQUAL, unrecognized qualifier - check validity, spelling, and placement
$ ! CHECKERR:  /NOSUCH/
$ SET CLI/NOPASSTH
$ ls -l
$ ! CHECKERR: %DCL-W-IVVERB, unrecognized command verb - check validity and spelling
$ ! CHECKERR:  /ls/
$ SET CLI/EXIT_S=%x10
$ ! The exit-status override replaces the status the session ends with.
$ ! STATUS: 16
