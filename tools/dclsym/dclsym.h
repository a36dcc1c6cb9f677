/* Client side of the symbol pipe: an image started by dclsh as a foreign
   command reads, defines and deletes the interpreter's DCL symbols and
   reports its $STATUS through the pipes named by CLI_SYM_WRITEPIPE and
   CLI_SYM_READPIPE. Callable from C. */
#ifndef DCLSYM_H
#define DCLSYM_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Scopes: the three symbol tables. */
enum { DCLSYM_LOCAL = 1, DCLSYM_GLOBAL = 2, DCLSYM_ENVIRONMENT = 3 };

/* Results: 0 success, 10 failed, 11 unknown function, 12 abbreviation
   clash (the interpreter's reply codes); -1 no pipe or a pipe error; -2 the
   answer does not fit the caller's buffer or the request is too long. */
enum { DCLSYM_OK = 0, DCLSYM_NOPIPE = -1, DCLSYM_TOOLONG = -2 };

/* Looks a symbol up in all tables. The value is NUL-terminated in `value`
   (of `size` bytes); `scope` (may be NULL) receives where it was found. */
int dclsym_get(const char *name, char *value, size_t size, int *scope);

int dclsym_set(const char *name, const char *value, int scope);
int dclsym_delete(const char *name, int scope);

/* The condition value the interpreter takes as the image's $STATUS. */
int dclsym_report_status(unsigned long status);

#ifdef __cplusplus
}
#endif

#endif
