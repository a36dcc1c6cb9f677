$! P1 runs of the procedure small.com (one assignment).
$ n = f$integer(p1)
$ i = 0
$ count == 0
$ next:
$ @small
$ i = i + 1
$ if i .lt. n then goto next
$ write sys$output count
