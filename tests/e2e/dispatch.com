$ ! Verb recognition and dispatch of commands read from standard input.
$ MAIL
$ ! CHECKERR: %SYSTEM-W-NOTAVAIL, option not available in Tessel version
$ pho x
$ ! CHECKERR: %SYSTEM-W-NOTAVAIL, option not available in Tessel version
$ SET HOST
$ ! CHECKERR: %SYSTEM-W-NOTAVAIL, option not available in Tessel version
$ SHOW QUEUE
$ ! CHECKERR: %SYSTEM-W-NOTAVAIL, option not available in Tessel version
$ SHOW NOSUCH
$ ! CHECKERR: %DCL-W-IVKEYW, unrecognized keyword - check validity and spelling
$ ! CHECKERR:  /NOSUCH/
$ SHOW
$ ! CHECKERR: %DCL-W-NOFILE, no file found
$ SHOW/FULL
$ ! CHECKERR: %DCL-W-NOQUAL, qualifiers not allowed - supply only verb and parameters
$ ! CHECKERR:  /full/
$ SE TIME
$ ! CHECKERR: %DCL-W-ABVERB, ambiguous command verb - supply more characters
$ ! CHECKERR:  /SE/
$ FOR x.for
$ ! CHECKERR: %SYSTEM-W-NOTAVAIL, option not available in Tessel version
$ SET CLI=x
$ ! CHECKERR: %DCL-W-NOVALU, value not allowed - remove value specification
$ ! CHECKERR:  /CLI=/
$ SET NOCLI
$ ! CHECKERR: %DCL-W-NOTNEG, qualifier or keyword not negatable - remove "NO" or omit
$ ! CHECKERR:  /NOCLI/
$ DIRECTORY ,a
$ ! CHECKERR: %DCL-W-PARMDEL, invalid parameter delimiter - check use of special characters
$ ! CHECKERR:  /,a/
$ ! A comment line, an empty line and a shell comment run nothing.
$
# not DCL
$ PRINT x ! a verb this interpreter does not carry out
$ ! CHECKERR: %SYSTEM-W-NOTAVAIL, option not available in Tessel version
$ SUBMIT a -
b
$ ! CHECKERR: %SYSTEM-W-NOTAVAIL, option not available in Tessel version
$ ! Out of place: the parts of a block IF met on their own.
$ ENDIF
$ ! CHECKERR: %DCL-E-OUTOFPLACE, THEN, ELSE or ENDIF is out of place - use only in an IF block
$ ! An error ends a session read from standard input; nothing more runs.
$ SHOW TIME
$ ! STATUS: 74
