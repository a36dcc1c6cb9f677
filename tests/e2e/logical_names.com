$ ! Logical names: DEFINE, ASSIGN, DEASSIGN, SHOW LOGICAL, SHOW TRANSLATION,
$ ! DEFINE/KEY and the lexical functions F$LOGICAL and F$TRNLNM.
$ ! ENV: TQ_SYS_INPUT=pipe_in
$ ! ENV: TQ_SYS_OUTPUT=pipe_out
$ ! ENV: TQ_SYS_ERROR=pipe_err
$ ! ENV: DCL_FAKE_SYSPRV=1
$ ! Several values make a search list; a new definition replaces them all.
$ define foo a,b,c
$ show logical foo
$ ! CHECK:    "FOO" = "a" (LNM$PROCESS_TABLE)
$ ! CHECK:         = "b"
$ ! CHECK:         = "c"
$ define foo x
$ ! CHECKERR: %DCL-I-SUPERSEDE, previous value of FOO has been superseded
$ define/nolog foo y
$ show translation foo
$ ! CHECK:   FOO = "y"  (LNM$PROCESS_TABLE)
$ show translation nosuch
$ ! CHECK:   NOSUCH = ""  (UNDEFINED)
$ ! ASSIGN takes the values first.
$ assign a,b bar
$ define baz a,b
$ show logical bar,baz
$ ! CHECK:    "BAR" = "a" (LNM$PROCESS_TABLE)
$ ! CHECK:         = "b"
$ ! CHECK:    "BAZ" = "a" (LNM$PROCESS_TABLE)
$ ! CHECK:         = "b"
$ ! Quoted parts keep their case; the search list's own names are upper case.
$ define "Mixed" "Hello ""World"""
$ show translation "Mixed"
$ ! CHECK:   Mixed = "Hello "World""  (LNM$PROCESS_TABLE)
$ define/table=lnm$job lnm$file_dev abc
$ show translation/table=lnm$job lnm$file_dev
$ ! CHECK:   LNM$FILE_DEV = "ABC"  (LNM$JOB_{{[0-9]+}})
$ deassign/job lnm$file_dev
$ define/table=lnm$job sys$output plain
$ show translation/table=lnm$job sys$output
$ ! CHECK:   SYS$OUTPUT = "plain"  (LNM$JOB_{{[0-9]+}})
$ deassign/job sys$output
$ ! A user-mode name hides the process one until an image command is over.
$ define um p
$ define/user_mode um x
$ show translation um
$ ! CHECK:   UM = "x"  (LNM$USERMODE)
$ show translation um
$ ! CHECK:   UM = "x"  (LNM$USERMODE)
$ show logical um
$ ! CHECK:    "UM" = "x" (LNM$USERMODE)
$ ! CHECK:    "UM" = "p" (LNM$PROCESS_TABLE)
$ show translation um
$ ! CHECK:   UM = "p"  (LNM$PROCESS_TABLE)
$ ! Values that are names themselves are followed one level deeper each
$ ! time, ten levels at most.
$ define a b
$ define b c,d
$ show logical a
$ ! CHECK:    "A" = "b" (LNM$PROCESS_TABLE)
$ ! CHECK: 1  "B" = "c" (LNM$PROCESS_TABLE)
$ ! CHECK: 1       = "d"
$ define loop loop
$ show logical loop
$ ! CHECK:    "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ ! CHECK: 1  "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ ! CHECK: 2  "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ ! CHECK: 3  "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ ! CHECK: 4  "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ ! CHECK: 5  "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ ! CHECK: 6  "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ ! CHECK: 7  "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ ! CHECK: 8  "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ ! CHECK: 9  "LOOP" = "loop" (LNM$PROCESS_TABLE)
$ show logical nosuch
$ ! CHECKERR: %SHOW-S-NOTRAN, no translation for logical name NOSUCH
$ ! Wildcards list the tables, keeping the matching names.
$ show logical f*,%ar
$ ! CHECK: (LNM$PROCESS_TABLE)
$ ! CHECK:
$ ! CHECK:   "BAR" = "a"
$ ! CHECK:         = "b"
$ ! CHECK:   "FOO" = "y"
$ ! CHECK:
$ ! CHECK: (LNM$JOB_{{[0-9]+}})
$ ! CHECK:
$ show logical qq*
$ ! CHECK: (LNM$PROCESS_TABLE)
$ ! CHECK:
$ ! CHECK: (LNM$JOB_{{[0-9]+}})
$ ! CHECK:
$ ! CHECKERR: %SHOW-S-NOTRAN, no translation for logical name QQ*
$ show symbol $status
$ ! CHECK:   $STATUS == "%X0078E009"
$ show logical/table=nosuch x
$ ! CHECKERR: %SHOW-W-IVLOGTAB, invalid logical name table
$ ! CHECKERR:  /NOSUCH/
$ ! The names the interpreter depends on come back as they were.
$ define sys$command elsewhere
$ ! CHECKERR: %DCL-I-SUPERSEDE, previous value of SYS$COMMAND has been superseded
$ deassign sys$command
$ show translation sys$command
$ ! CHECK:   SYS$COMMAND = "pipe_in"  (LNM$PROCESS_TABLE)
$ define/job sys$login elsewhere
$ ! CHECKERR: %DCL-I-SUPERSEDE, previous value of SYS$LOGIN has been superseded
$ deassign/job sys$login
$ show translation sys$login
$ ! CHECK:   SYS$LOGIN = "@HOME@/"  (LNM$JOB_{{[0-9]+}})
$ deassign/all
$ show logical
$ ! CHECK: (LNM$PROCESS)
$ ! CHECK:
$ ! CHECK:   "NL" = "[dev]null."
$ ! CHECK:   "SYS$COMMAND" = "pipe_in"
$ ! CHECK:   "SYS$ERROR" = "pipe_err"
$ ! CHECK:   "SYS$INPUT" = "pipe_in"
$ ! CHECK:   "SYS$OUTPUT" = "pipe_out"
$ ! CHECK:   "TT" = "/dev/tty"
$ ! CHECK:
$ ! CHECK: (LNM$JOB_{{[0-9]+}})
$ ! CHECK:
$ ! CHECK:   "SYS$HELP" = "@BUILD@/"
$ ! CHECK:   "SYS$LOGIN" = "@HOME@/"
$ ! CHECK:   "SYS$QUORVANE" = "@BUILD@/"
$ ! CHECK:   "SYS$SCRATCH" = "/tmp/"
$ ! CHECK:
$ ! Lexical functions: no translation is the empty string.
$ define baz a,b
$ write sys$output "[" + f$trnlnm("nosuch") + "]" + f$trnlnm("baz","lnm$system_table")
$ ! CHECK: []
$ n = f$trnlnm("baz",,,,,"LENGTH")
$ show symbol n
$ ! CHECK:   N = 1   Hex = 00000001  Octal = 00000000001
$ n = f$trnlnm("baz",,,,,"max_index")
$ show symbol n
$ ! CHECK:   N = 1   Hex = 00000001  Octal = 00000000001
$ write sys$output f$trnlnm("baz",,1) + f$logical("BAZ") + f$trnlnm("baz",,,"user",,"table_name")
$ ! CHECK: baLNM$PROCESS
$ write sys$output f$trnlnm("baz",,,,"case_sensitive") + f$trnlnm("BAZ",,,,"case_sensitive")
$ ! CHECK: a
$ write sys$output f$trnlnm("baz",,,,,"concealed")
$ ! CHECK: FALSE
$ write sys$output f$trnlnm("baz",,,"nosuch")
$ ! CHECKERR: %DCL-W-IVKEYW, unrecognized keyword - check validity and spelling
$ ! CHECKERR:  /NOSUCH/
$ ! Qualifier and parameter errors change nothing.
$ define/name_attributes=supersede x y
$ ! CHECKERR: %DCL-W-IVKEYW, unrecognized keyword - check validity and spelling
$ ! CHECKERR:  /SUPERSEDE/
$ define x a b
$ ! CHECKERR: %DCL-W-MAXPARM, too many parameters - reenter command with fewer parameters
$ ! CHECKERR:  /b/
$ define x
$ ! CHECKERR: %DCL-W-NOFILE, no file found
$ show translation x
$ ! CHECK:   X = ""  (UNDEFINED)
$ ! Keys.
$ define/key pf1 "show time"
$ ! CHECKERR: %DCL-I-DEFKEY, DEFAULT key PF1 has been defined
$ define/key pf5 x
$ ! CHECKERR: %DCL-W-IVKEYNAM, unrecognized key name - check validity and spelling
$ ! CHECKERR:  /PF5/
$ ! No system table exists, even with the privilege to write to it; the
$ ! severe error ends a session read from standard input.
$ define/table=lnm$system x y
$ ! CHECKERR: %SYSTEM-F-NOLOGTAB, no logical name table match
$ ! CHECKERR:  /X/
$ ! STATUS: 148
