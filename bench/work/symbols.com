$! Defines P1 symbols S1, S2, ... (names built by substitution).
$ n = f$integer(p1)
$ i = 0
$ next:
$ i = i + 1
$ s'i' = i
$ if i .lt. n then goto next
$ write sys$output s1, " ", s'n'
