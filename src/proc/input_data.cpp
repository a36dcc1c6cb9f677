// Data lines for SYS$INPUT: collected from the procedure file into a
// scratch file before the command, checked and echoed after it.
#include "proc/input_data.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

#include "files/scratch.h"
#include "lang/command_parser.h"
#include "lang/keywords.h"
#include "lang/lexer.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr size_t kEchoPiece = 132;  // data lines are echoed in pieces of this size

// Reads the start of the next line: up to the line limit, its newline
// included when it fits. False at the end of the file.
bool read_head(FILE* in, std::string& head) {
    head.clear();
    int c = 0;
    while (head.size() < kMaxLineLength && (c = std::getc(in)) != EOF) {
        head.push_back(static_cast<char>(c));
        if (c == '\n') return true;
    }
    if (c == EOF) std::clearerr(in);
    return !head.empty();
}

// The rest of a line longer than its head, copied to `out` (dropped when
// `out` is null). Copied data always ends with a newline.
void finish_line(FILE* in, const std::string& head, FILE* out) {
    if (!head.empty() && head.back() == '\n') return;
    int c;
    while ((c = std::getc(in)) != EOF) {
        if (out) std::putc(c, out);
        if (c == '\n') return;
    }
    std::clearerr(in);
    if (out) std::putc('\n', out);
}

void copy_line(FILE* in, const std::string& head, FILE* out) {
    std::fwrite(head.data(), 1, head.size(), out);
    finish_line(in, head, out);
}

// "$", optional blanks, then `word` in any case.
bool dollar_word(std::string_view line, std::string_view word) {
    if (line.empty() || line[0] != '$') return false;
    size_t i = 1;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return starts_with_nocase(line.substr(i), word);
}

// A fresh scratch file for the data. Null after queueing the failure.
OwnedFile open_scratch(std::string& path) {
    path = create_temporary_file();
    OwnedFile file(path.empty() ? nullptr : std::fopen(path.c_str(), "w+e"));
    if (!file) {
        signal_condition(with_severity(cond::OPENOUT, SEV_SEVERE), "SYS$INPUT");
        signal_condition(cond::PRV);
    }
    return file;
}

// Lines not beginning with "$", from `head` on, up to the next "$" line,
// which is left to be read as a command.
void copy_plain_data(FILE* in, std::string& head, FILE* out) {
    for (;;) {
        copy_line(in, head, out);
        long start = std::ftell(in);
        if (!read_head(in, head)) return;
        if (head[0] == '$') {
            std::fseek(in, start, SEEK_SET);
            return;
        }
    }
}

// Lines after a DECK line up to the marker line (or "$ EOD"), which is
// consumed.
void copy_deck_data(FILE* in, const std::string& marker, FILE* out) {
    std::string head;
    while (read_head(in, head)) {
        bool ends = marker.empty() ? dollar_word(head, "EOD") : starts_with_nocase(head, marker);
        if (ends) {
            finish_line(in, head, nullptr);
            return;
        }
        copy_line(in, head, out);
    }
}

// The text of a command line read from the procedure: no "$", no comment,
// upper case outside quotes, no trailing blanks.
std::string command_text(std::string_view line) {
    std::string text;
    bool quoted = false;
    for (char c : line.substr(1)) {
        if (c == '\n') break;
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '!') break;
        text.push_back(quoted ? c : static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    text.erase(0, first);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

// /DOLLARS=marker: the data end at the marker, not at a "$" line.
constexpr KeywordRecord kDeckRows[] = {
    {"DOLLAR", KW_NEEDS_VALUE, qual::DECK_DOLLARS, ValueKind::string, 0, ""},
};

enum class DeckLine { NOT_DECK, DECK, FAILED };

// Parses a "$ DEC..." line. For DECK, `marker` receives the /DOLLARS value
// (empty: the data end at "$ EOD").
DeckLine parse_deck_line(std::string_view line, std::string& marker) {
    std::string text = command_text(line);
    std::string word;
    copy_until(word, text, " /!,=");
    uint32_t verb_number = 0;
    if (!is_success(lookup_verb(word, verb_number)) || verb_number != verb::DECK)
        return DeckLine::NOT_DECK;
    TokenList tokens;
    if (!tokenize_line(tokens, text, verb::DECK, false)) return DeckLine::FAILED;
    ParsedCommand deck;
    if (!parse_command(tokens, 0, *command_row(verb::DECK), deck)) return DeckLine::FAILED;
    const ParsedQualifier* dollars = deck.find(qual::DECK_DOLLARS);
    marker = dollars ? dollars->value : std::string();
    return DeckLine::DECK;
}

// Reads the data after the command line into a scratch file. Returns 1 with
// `data` null when there are none.
uint32_t read_data_lines(FILE* in, OwnedFile& data, std::string& path) {
    long start = std::ftell(in);
    std::string head;
    if (!read_head(in, head)) return 1;
    std::string marker;
    bool deck = false;
    if (head[0] == '$') {
        DeckLine kind = dollar_word(head, "DEC") ? parse_deck_line(head, marker) : DeckLine::NOT_DECK;
        if (kind == DeckLine::FAILED) return 0;
        if (kind == DeckLine::NOT_DECK) {
            std::fseek(in, start, SEEK_SET);
            return 1;
        }
        finish_line(in, head, nullptr);
        deck = true;
    }
    data = open_scratch(path);
    if (!data) {
        std::fseek(in, start, SEEK_SET);
        return 0;
    }
    if (deck) copy_deck_data(in, marker, data.get());
    else copy_plain_data(in, head, data.get());
    if (std::fflush(data.get()) != 0 || std::fseek(data.get(), 0, SEEK_SET) != 0) {
        data.reset();
        signal_condition(with_severity(cond::OPENIN, SEV_SEVERE), "SYS$INPUT");
        return cond::PRV;
    }
    return 1;
}

// Writes the first `length` bytes of the data to SYS$OUTPUT.
void echo_data(FILE* data, long length) {
    if (std::fseek(data, 0, SEEK_SET) != 0) return;
    char piece[kEchoPiece];
    FILE* out = redirection().output;
    while (length > 0) {
        size_t want = length < static_cast<long>(sizeof piece) ? static_cast<size_t>(length) : sizeof piece;
        size_t got = std::fread(piece, 1, want, data);
        if (got == 0) break;
        std::fwrite(piece, 1, got, out);
        length -= static_cast<long>(got);
    }
    std::fflush(out);
}

}  // namespace

const KeywordTable kDeckQualifiers{verb::DECK, kDeckRows};

uint32_t collect_input_data(bool dollar_line) {
    finish_input_data();
    ProcedureStack& ps = procedure_stack();
    const bool script_level = ps.depth == 0 && ps.script_input;
    if ((ps.depth <= 0 && !script_level) || ps.command_input == nullptr) return 1;
    OwnedFile data;
    std::string path;
    if (dollar_line || !script_level) {
        settle_input();
        uint32_t status = read_data_lines(ps.command_input, data, path);
        if (!is_success(status)) return status;
    }
    Redirection& r = redirection();
    FILE* substitute = data ? data.get() : nullptr;
    if (!substitute && r.input == ps.command_input) substitute = session().null_device;
    if (!substitute) return 1;
    InputData& d = input_data();
    d.active = true;
    d.replaced = r.input;
    d.substitute = substitute;
    d.depth = ps.depth;
    d.scratch = std::move(data);
    d.scratch_path = d.scratch ? std::move(path) : std::string();
    r.input = substitute;
    return 1;
}

void finish_input_data() {
    InputData& d = input_data();
    if (!d.active) return;
    d.active = false;
    Redirection& r = redirection();
    // A command that left the level (EXIT, LOGOUT) no longer owns the
    // stream it replaced.
    if (r.input == d.substitute) {
        if (procedure_depth() == d.depth) r.input = d.replaced;
        else settle_current_streams();
    }
    OwnedFile data = std::move(d.scratch);
    d.scratch_path.clear();
    if (!data) return;
    long reached = std::ftell(data.get());
    long size = std::fseek(data.get(), 0, SEEK_END) == 0 ? std::ftell(data.get()) : reached;
    if (session().image_verify && reached > 0) echo_data(data.get(), reached);
    if (reached >= 0 && reached < size) signal_condition(cond::SKPDAT);
}

const std::string& input_data_path() { return input_data().scratch_path; }

}  // namespace dcl
