$! P1 times a line with 20 apostrophe substitutions of symbols A..T.
$ a = "a"
$ b = "b"
$ c = "c"
$ d = "d"
$ e = "e"
$ f = "f"
$ g = "g"
$ h = "h"
$ i = "i"
$ j = "j"
$ k = "k"
$ l = "l"
$ m = "m"
$ n = "n"
$ o = "o"
$ p = "p"
$ q = "q"
$ r = "r"
$ s = "s"
$ t = "t"
$ limit = f$integer(p1)
$ count = 0
$ loop:
$ x = "''a'''b'''c'''d'''e'''f'''g'''h'''i'''j'''k'''l'''m'''n'''o'''p'''q'''r'''s'''t'"
$ count = count + 1
$ if count .lt. limit then goto loop
$ write sys$output count, " ", x
