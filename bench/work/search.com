$! Counts the files F$SEARCH finds for [...]*.C below the current directory.
$ n = 0
$ loop:
$ f = f$search("[...]*.C")
$ if f .eqs. "" then goto done
$ n = n + 1
$ goto loop
$ done:
$ write sys$output n
