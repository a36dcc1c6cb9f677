$! P1 CALLs of a one-line SUBROUTINE; it runs at a level of its own, so
$! its count is global.
$ n = f$integer(p1)
$ i = 0
$ calls == 0
$ next:
$ call add
$ i = i + 1
$ if i .lt. n then goto next
$ write sys$output calls
$ exit
$ add: subroutine
$ calls == calls + 1
$ endsubroutine
