$! P1 translations of a logical name.
$ define bench_name "value"
$ n = f$integer(p1)
$ i = 0
$ loop:
$ x = f$trnlnm("BENCH_NAME")
$ i = i + 1
$ if i .lt. n then goto loop
$ write sys$output x
