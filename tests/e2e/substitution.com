$ ! Symbol substitution, labels, continuation and verb symbols.
$ greeting = "Hello"
$ which = "greeting"
$ write sys$output 'which'
$ ! CHECK: Hello
$ write sys$output "''greeting' world, it's 'greeting'"
$ ! CHECK: Hello world, it's 'greeting'
$ write sys$output "[''f$length(greeting)']"
$ ! CHECK: [5]
$ ! A value that holds a reference is substituted again.
$ inner = "'which'"
$ outer = "'inner'"
$ write sys$output 'outer'
$ ! CHECK: Hello
$ ! One that holds itself is stopped.
$ self = "'self'"
$ write sys$output 'self'
$ ! CHECKERR: %DCL-W-BUFOVF, command buffer overflow - shorten expression or command line
$ ! Ampersands substitute once, after the apostrophes; undefined is nothing.
$ name = "greeting"
$ write sys$output &name + "!"
$ ! CHECK: Hello!
$ write sys$output "[" + "&p9" + "]", &p9 "x"
$ ! CHECK: [&p9]x
$ ! Labels at the start of a line; the command after them runs.
$ here: there : write sys$output "after labels"
$ ! CHECK: after labels
$ _done: write sys$output "underscore label"
$ ! CHECK: underscore label
$ ! Continuation lines are joined.
$ write sys$output -
    "joined", -  ! a comment here
    " line"
$ ! CHECK: joined line
$ ! A verb symbol replaces the verb once.
$ say :== write sys$output
$ say "via symbol"
$ ! CHECK: via symbol
$ ! TABs separate words like blanks.
$	tabbed	=	"tab"
$	say	tabbed
$ ! CHECK: tab
$ ! A quoted string that is not closed runs to the end of the line.
$ say "open
$ ! CHECK: open
$!nonvms say "for us only"
$ ! CHECK: for us only
$ write sys$output f$extract(0,3,"abcdef") ! trailing comment
$ ! CHECK: abc
$ write sys$output 'f$verify(0)'
$ ! CHECK: 0
