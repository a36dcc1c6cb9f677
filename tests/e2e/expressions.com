$ ! Expressions, lexical functions, WRITE and ECHO.
$ write sys$output 1 + 2 * 3, " ", (1 + 2) * 3, " ", - - 3, " ", 2 * -3
$ ! CHECK: 7 9 3 -6
$ write sys$output "ABCABC" - "BC", " ", "AB" + "CD", " ", "5" + 1, " ", "ABC" + 1
$ ! CHECK: AABC ABCD 6 1
$ write sys$output 7 / 0, " ", 7 / 2, " ", -7 / 2, " ", (-2147483647 - 1) / -1
$ ! CHECK: 2147483647 3 -3 -2147483648
$ write sys$output .not. 0, " ", .not. 1 .eq. 1, " ", %x1f + 1, " ", %o17, " ", %d12
$ ! CHECK: -1 -2 32 15 12
$ write sys$output "abc" .lts. "abd", 10 .gt. 9, "10" .gts. "9", 3 .and. 5 .or. 8
$ ! CHECK: 1109
$ n = -5
$ write sys$output n * 2
$ ! CHECK: -10
$ write sys$output 12ab
$ ! CHECKERR: %DCL-W-IVCHAR, invalid numeric value - check for invalid digits
$ ! CHECKERR:  /12AB/
$ write sys$output 1 = 2
$ ! CHECKERR: %DCL-W-PARMDEL, invalid parameter delimiter - check use of special characters
$ ! CHECKERR:  /=/
$ write sys$output nosuch + 1
$ ! CHECKERR: %DCL-W-UNDSYM, undefined symbol - check validity and spelling
$ ! CHECKERR:  /NOSUCH/
$ write sys$output 1 .foo. 2
$ ! CHECKERR: %DCL-W-IVOPER, unrecognized operator in expression - check spelling and syntax
$ ! CHECKERR:  /.FOO./
$ ! String functions.
$ x = "abcdef"
$ write sys$output f$extract(0,3,x), "|", f$extr(4,10,x), "|", f$extract(9,1,"abc"), "|"
$ ! CHECK: abc|ef||
$ write sys$output f$element(1,",","A,""B,C"",D"), "|", f$element(5,",","A,B")
$ ! CHECK: "B,C"|,
$ write sys$output "[", f$edit("  a   b ! c ","trim,compress,uncomment,upcase"), "]"
$ ! CHECK: [A B ]
$ write sys$output f$locate("X","ABC"), f$locate("","ABC"), f$length("abc")
$ ! CHECK: 303
$ write sys$output f$integer("-12") + 1, " ", f$string(7 * 6), " ", f$type(x), " ", f$type(n)
$ ! CHECK: -11 42 STRING INTEGER
$ write sys$output "[", f$type(undefined_name), "]"
$ ! CHECK: []
$ write sys$output f$cvui(0,8,"A"), " ", f$cvsi(7,1,"A"), " ", f$cvsi(0,4,"O")
$ ! CHECK: 65 0 -1
$ write sys$output f$mode()
$ ! CHECK: BATCH
$ write sys$output f$time()
$ ! CHECK: {{[ \d]\d-[A-Z]{3}-\d{4} \d\d:\d\d:\d\d}}
$ write sys$output f$time(1)
$ ! CHECKERR: %DCL-W-SYMDEL, invalid symbol or value delimiter - check command syntax
$ ! CHECKERR:  /(/
$ write sys$output f$e(0,3,x)
$ ! CHECKERR: %DCL-W-ABFNAM, ambiguous function name - supply more characters
$ ! CHECKERR:  /F$E/
$ write sys$output f$getqui("display_queue","x")
$ ! CHECKERR: %SYSTEM-W-NOTAVAIL, option not available in Tessel version
$ ! ECHO writes to the current output; WRITE needs an open stream.
$ echo 1+2, "B"
$ ! CHECK: 3B
$ echo/x 1
$ ! CHECKERR: %DCL-W-EXPSYN, invalid expression syntax - check operators and operands
$ ! CHECKERR:  ///
$ write sys$error "to the error stream"
$ ! CHECKERR: to the error stream
$ write out "x"
$ ! CHECKERR: %DCL-W-UNDFIL, file has not been opened by DCL - check logical name
$ ! CHECKERR:  /OUT/
$ write sys$output
$ ! CHECKERR: %DCL-W-NOFILE, no file found
$ write sys$input "x"
$ ! CHECKERR: %RMS-F-FAC, record operation not permitted by specified file access (FAC)
$ ! CHECKERR:  /SYS$INPUT/
$ ! STATUS: 20
