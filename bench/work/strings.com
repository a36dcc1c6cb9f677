$! String building: P1 appends of one character to a string symbol, which
$! starts again before it reaches the 1,024-character limit of a value.
$ n = f$integer(p1)
$ i = 0
$ s = ""
$ loop:
$ i = i + 1
$ s = s + "x"
$ if f$length(s) .ge. 999 then s = ""
$ if i .lt. n then goto loop
$ write sys$output i, " ", f$length(s)
