// Formatting of message lines: the built-in table's format, the message
// database's directive format, and their routing to the streams.
#include <cstdio>
#include <string>

#include "status/builtin_tables.h"
#include "status/condition.h"
#include "status/message_files.h"
#include "status/messages.h"
#include "status/streams.h"

namespace dcl {

namespace {

const BuiltinMessage* find_builtin(uint32_t value) {
    for (uint32_t key : {value & 0x1FFFFFF8u, value & MESSAGE_NUMBER_MASK})
        for (const BuiltinMessage& m : builtin_messages())
            if (m.value == key) return &m;
    return nullptr;
}

// "%s" in a built-in text takes the arguments in order; an empty argument
// shows as "!AS", as the message database would show a missing one.
std::string fill_arguments(std::string_view text, const QueuedCondition& e) {
    std::string out;
    int used = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            const std::string& arg = used++ == 0 ? e.arg1 : e.arg2;
            out += arg.empty() ? "!AS" : arg;
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string builtin_text(const BuiltinMessage& m, const QueuedCondition& e) {
    switch (m.kind) {
    case ArgKind::continuation:
        return e.arg1.empty() ? std::string(m.text) : std::string(m.text) + "\n /" + e.arg1 + "/";
    case ArgKind::one:
    case ArgKind::two:
        return fill_arguments(m.text, e);
    case ArgKind::none:
        break;
    }
    return m.text;
}

// The built-in layout, each part left out when its option is off:
// "%FAC-S-IDENT, text". The text alone stands bare, without the "%".
std::string compose(uint32_t value, std::string_view ident, const std::string& text,
                    const DisplayOptions& d) {
    if (!has_prefix(d)) return d.text && !text.empty() ? text + "\n" : std::string();
    std::string line = "%";
    auto add = [&line](std::string_view part) {
        if (line.size() > 1) line += '-';
        line += part;
    };
    if (d.facility) add(facility_name(value));
    if (d.severity) add(std::string(1, severity_letter(value)));
    if (d.ident) add(ident);
    if (d.text) line += ", " + text;
    return line + "\n";
}

std::string number_for(char kind, char size, uint32_t n) {
    char buf[16];
    if (kind == 'U') {
        std::snprintf(buf, sizeof buf, "%u", n);
    } else {
        std::snprintf(buf, sizeof buf, size == 'B' ? "%2X" : size == 'W' ? "%4X" : "%8X", n);
    }
    return buf;
}

bool is_directive(std::string_view t, size_t i) {
    return i + 2 < t.size() && t[i] == '!' &&
           std::string_view("AOSUXZ").find(t[i + 1]) != std::string_view::npos &&
           std::string_view("BCDFLSW").find(t[i + 2]) != std::string_view::npos;
}

}  // namespace

std::string expand_directives(std::string_view text, const QueuedCondition& e) {
    bool has_as = text.find("!AS") != std::string_view::npos;
    std::string out;
    int index = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!is_directive(text, i)) {
            out.push_back(text[i]);
            continue;
        }
        std::string_view directive = text.substr(i, 3);
        const std::string* arg = index == 0 ? &e.arg1 : index == 1 ? &e.arg2 : nullptr;
        uint32_t n = index == 1 ? e.value : 0;
        ++index;
        i += 2;
        if (arg && !arg->empty()) {
            out += *arg;
        } else if (has_as) {
            out += directive;
        } else if (directive[1] == 'U' || directive[1] == 'X') {
            out += number_for(directive[1], directive[2], n);
        } else if (!(directive[1] == 'A' && directive[2] == 'D' && i + 1 == text.size())) {
            out += directive;
        }
    }
    return out;
}

namespace {

std::string database_line(const QueuedCondition& e, const DisplayOptions& d) {
    unsigned parts = 0;
    if (d.facility) parts |= PART_FACILITY;
    if (d.severity) parts |= PART_SEVERITY;
    if (d.ident) parts |= PART_IDENT;
    if (d.text) parts |= PART_TEXT;
    std::string text;
    bool directives = false;
    get_message_text(text, e.value, parts, &directives);
    if (text.empty()) return {};
    if (!directives) {
        // The argument line belongs to the text and goes with it.
        if (d.text && !e.arg1.empty()) text += "\n /" + e.arg1 + "/";
    } else {
        text = expand_directives(text, e);
    }
    show_cli_as_dcl(text);
    return text + "\n";
}

}  // namespace

void show_cli_as_dcl(std::string& line) {
    if (line.rfind("%CLI", 0) == 0 && (line.size() == 4 || line[4] == '-' || line[4] == ','))
        line.replace(1, 3, "DCL");
}

char severity_letter(uint32_t value) { return "WSEIF?L?"[severity_of(value)]; }

std::string facility_name(uint32_t value) {
    uint32_t number = facility_of(value);
    for (const BuiltinFacility& f : builtin_facilities())
        if (f.number == number) return f.name;
    return get_facility_name(value);
}

std::string format_condition(const QueuedCondition& entry, const DisplayOptions& display) {
    if (const BuiltinMessage* m = find_builtin(entry.value))
        return compose(entry.value, m->ident, builtin_text(*m, entry), display);
    return database_line(entry, display);
}

void put_message(uint32_t value, std::string_view ident, std::string_view text) {
    std::string line = compose(value, ident, std::string(text), message_queue().display);
    if (!line.empty()) write_message(line, severity_of(value));
}

void write_message(std::string_view text, uint32_t severity) {
    const Redirection& r = redirection();
    auto put = [&](FILE* f) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fflush(f);
    };
    // A redirected SYS$OUTPUT gets a copy of the messages, except for a
    // command's own /OUTPUT or /NOOUTPUT.
    if (r.output != stdout && !r.cmd_output_redirected && !r.no_output) {
        put(r.output);
        if (severity != SEV_SUCCESS && r.error != r.output) put(r.error);
    } else {
        put(r.error);
    }
}

}  // namespace dcl
