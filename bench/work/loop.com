$! Counting loop: P1 iterations of an assignment and a conditional GOTO.
$ n = f$integer(p1)
$ i = 0
$ loop:
$ i = i + 1
$ if i .lt. n then goto loop
$ write sys$output i
