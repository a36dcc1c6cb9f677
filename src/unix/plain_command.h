// Command lines that a Unix shell would only split into words and run as a
// program: those run without starting a shell, which saves the shell's
// start-up on every line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dcl {

// A redirection of a standard stream a plain command line may carry.
struct PlainRedirection {
    enum Kind { read, write, append, same_as } kind;
    int stream;               // 0, 1 or 2
    std::string_view target;  // the file; for same_as the other stream, "1" or "2"
};

// The words of `line` when it holds nothing the shell would interpret:
// only letters, digits, blanks and _-./,:+@%= (no quoting, expansion or
// operators), a first word that assigns nothing and is none of the shells'
// reserved words or built-in commands. With `redirections`, simple
// redirections of the standard streams are taken too ("<in", ">out",
// "2>>log", "2>&1", each with or without a blank before the file), in the
// order they stand. Otherwise false.
bool plain_command_words(std::string_view line, std::vector<std::string_view>& words,
                         std::vector<PlainRedirection>* redirections = nullptr);

// The program a shell would run for `name` (which has no slash): the first
// executable regular file "element/name" along `path_variable`, an empty
// element meaning the current directory. Empty when there is none.
std::string find_program(std::string_view name, std::string_view path_variable);

}  // namespace dcl
