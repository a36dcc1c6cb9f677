$! P1 GOSUB/RETURN calls of a one-line subroutine.
$ n = f$integer(p1)
$ i = 0
$ calls = 0
$ next:
$ gosub add
$ i = i + 1
$ if i .lt. n then goto next
$ write sys$output calls
$ exit
$ add:
$ calls = calls + 1
$ return
