$ ! Symbols of the three kinds, every assignment form, SHOW SYMBOL and
$ ! DELETE/SYMBOL, read from standard input.
$ a = 1
$ a == 2
$ write sys$output a
$ ! CHECK: 1
$ delete/symbol a
$ write sys$output a
$ ! CHECK: 2
$ delete/symbol/global/log a
$ ! CHECKERR: %DCL-I-DELSYM, Global symbol a has been deleted
$ write sys$output a
$ ! CHECKERR: %DCL-W-UNDSYM, undefined symbol - check validity and spelling
$ ! CHECKERR:  /A/
$ ab*cd :== Text
$ show symbol abc
$ ! CHECK:   AB*CD == "text"
$ show symbol a
$ ! CHECKERR: %DCL-W-UNDSYM, undefined symbol - check validity and spelling
$ ! CHECKERR:  /A/
$ show symbol abcde
$ ! CHECKERR: %DCL-W-UNDSYM, undefined symbol - check validity and spelling
$ ! CHECKERR:  /ABCDE/
$ abc == 1
$ ab*c == 2
$ ! CHECKERR: %DCL-W-ABSYMD, abbreviated symbol definition conflict - rename symbol
$ show symbol/global ab*
$ ! CHECK:   AB*CD == "text"
$ ! CHECK:   ABC == 1   Hex = 00000001  Octal = 00000000001
$ ! Substrings fill with blanks and pad the new text to the size.
$ s[0,3] := "ABCDEF"
$ s[5,2] := "Z"
$ show symbol s
$ ! CHECK:   S = "ABC  Z "
$ s[769,1] := x
$ ! CHECKERR: %DCL-W-IVRANGE, invalid position or length - check the string bounds
$ ! CHECKERR:  /769,1/
$ ! Bit fields of integers and of strings.
$ n = 5
$ n[1,2] = 3
$ show symbol n
$ ! CHECK:   N = 7   Hex = 00000007  Octal = 00000000007
$ n[0,0] = 1
$ m = -1
$ show symbol m
$ ! CHECK:   M = -1   Hex = FFFFFFFF  Octal = 37777777777
$ c[0,8] = 65
$ c[8,8] = %x42
$ show symbol c
$ ! CHECK:   C = "AB"
$ ! Unquoted text is case-mapped like the rest of the line.
$ u := Mixed "Quoted" Text
$ show symbol u
$ ! CHECK:   U = "mixed Quoted text"
$ ! $STATUS and $SEVERITY are the status of the last command.
$ $status == 1
$ ! CHECKERR: %DCL-W-RESSYM, reserved symbol - assign $STATUS and $SEVERITY only locally
$ ! CHECKERR:  /$STATUS/
$ show symbol $severity
$ ! CHECK:   $SEVERITY == "0"
$ show symbol $status
$ ! CHECK:   $STATUS == "%X00000001"
$ ! Environment symbols live in the process environment too.
$ x === "abc"
$ show symbol/environment x
$ ! CHECK:   X === "abc"
$ show symbol/environment home
$ ! CHECK:   HOME === "{{.*}}"
$ delete/symbol/environment x
$ show symbol x
$ ! CHECKERR: %DCL-W-UNDSYM, undefined symbol - check validity and spelling
$ ! CHECKERR:  /X/
$ 9x = 1
$ ! CHECKERR: %DCL-W-IVSYMB, invalid symbol name - check validity and spelling
$ ! CHECKERR:  /9x/
$ y = 1 +
$ ! CHECKERR: %DCL-W-EXPSYN, invalid expression syntax - check operators and operands
$ show symbol
$ ! CHECKERR: %DCL-W-NOFILE, no file found
$ ! A severe error ends a session read from standard input.
$ delete/symbol/all/environment
$ ! CHECKERR: %DCL-F-CONFQUAL, conflicting qualifiers
$ show symbol a
$ ! STATUS: 228
