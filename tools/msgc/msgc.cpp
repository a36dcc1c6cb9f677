// dclsh-msgc: the message compiler. Reads one readable message source and
// writes the facility file, the message file, the named condition constants,
// the interpreter's built-in tables, or a user message file.
//
// Source lines (blank lines and lines starting with '#' are ignored):
//   facility NUMBER NAME [builtin]
//   VALUE IDENT [const=NAME] [builtin=KIND] [directives=0|1] "TEXT"
//   const NAME VALUE
// VALUE is the condition value with its usual severity; KIND is the built-in
// argument kind 0-3. The text runs from the first to the last double quote.
// A const line only names a value in the generated header (a shared message
// as one facility raises it); the value must find a stored message, exactly
// or through its message number alone.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Facility {
    uint32_t number = 0;
    std::string name;
    bool builtin = false;
};

struct Message {
    uint32_t value = 0;
    std::string ident;
    std::string constant;
    std::string text;
    int builtin_kind = -1;  // -1: not built in
    int directives = -1;    // -1: decide from the text
    size_t facility_index = SIZE_MAX;  // facility line that precedes it
    int line = 0;
};

struct Alias {
    std::string constant;
    uint32_t value = 0;
    int line = 0;
};

struct Source {
    std::vector<Facility> facilities;
    std::vector<Message> messages;
    std::vector<Alias> aliases;
};

constexpr uint32_t kFacilityMagic = 0x0B60B600;
constexpr uint32_t kMessageMagic = 0x0B6000B6;
constexpr uint32_t kStoredMask = ~(0x7u | 0x70000000u);  // severity, bits 28-30
constexpr uint32_t kNumberMask = 0xFFF8;                 // message number alone

[[noreturn]] void fail(const std::string& file, int line, const std::string& why) {
    std::cerr << file << ":" << line << ": " << why << "\n";
    std::exit(1);
}

bool has_directive(const std::string& text) {
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        if (text[i] == '!' && std::strchr("AOSUXZ", text[i + 1]) && text[i + 2] &&
            std::strchr("BCDFLSW", text[i + 2]))
            return true;
    }
    return false;
}

// strtoul alone would take "-1" or " 5"; a value must start with a digit.
bool parse_number(const std::string& s, uint32_t& out) {
    if (s.empty() || !std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(s.c_str(), &end, 0);
    if (*end != '\0' || errno != 0 || v > 0xFFFFFFFFul) return false;
    out = static_cast<uint32_t>(v);
    return true;
}

bool valid_identifier(const std::string& s) {
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
    });
}

void parse_facility(Source& src, std::istringstream& words, const std::string& file, int line) {
    Facility f;
    std::string number, flag;
    words >> number >> f.name >> flag;
    if (!parse_number(number, f.number) || f.number > 0xFFF || f.name.empty())
        fail(file, line, "bad facility line");
    if (!flag.empty() && flag != "builtin") fail(file, line, "unknown facility flag " + flag);
    f.builtin = flag == "builtin";
    src.facilities.push_back(f);
}

void parse_message(Source& src, const std::string& text_line, const std::string& file, int line) {
    size_t q1 = text_line.find('"');
    size_t q2 = text_line.rfind('"');
    if (q1 == std::string::npos || q2 == q1) fail(file, line, "message text must be quoted");
    Message m;
    m.line = line;
    m.text = text_line.substr(q1 + 1, q2 - q1 - 1);
    std::istringstream words(text_line.substr(0, q1));
    std::string value;
    words >> value >> m.ident;
    if (!parse_number(value, m.value) || m.ident.empty()) fail(file, line, "bad message line");
    for (std::string w; words >> w;) {
        if (w.rfind("const=", 0) == 0) {
            m.constant = w.substr(6);
        } else if (w.rfind("builtin=", 0) == 0) {
            if (w.size() != 9 || w[8] < '0' || w[8] > '3') fail(file, line, "builtin kind is 0-3");
            m.builtin_kind = w[8] - '0';
        } else if (w == "directives=0" || w == "directives=1") {
            m.directives = w.back() == '1';
        } else {
            fail(file, line, "unknown field " + w);
        }
    }
    if (m.constant.empty()) m.constant = m.ident;
    if (!valid_identifier(m.constant)) fail(file, line, "bad constant name " + m.constant);
    if (m.directives < 0) m.directives = has_directive(m.text);
    if (m.text.size() > 255 || m.ident.size() > 255) fail(file, line, "text or identification too long");
    if (!src.facilities.empty()) m.facility_index = src.facilities.size() - 1;
    src.messages.push_back(m);
}

void parse_alias(Source& src, std::istringstream& words, const std::string& file, int line) {
    Alias a;
    a.line = line;
    std::string value, extra;
    words >> a.constant >> value >> extra;
    if (!valid_identifier(a.constant) || !parse_number(value, a.value) || !extra.empty())
        fail(file, line, "bad const line");
    src.aliases.push_back(a);
}

Source read_source(const std::string& file) {
    std::ifstream in(file);
    if (!in) fail(file, 0, "cannot open");
    Source src;
    std::string text_line;
    for (int line = 1; std::getline(in, text_line); ++line) {
        std::istringstream words(text_line);
        std::string first;
        if (!(words >> first) || first[0] == '#') continue;
        if (first == "facility")
            parse_facility(src, words, file, line);
        else if (first == "const")
            parse_alias(src, words, file, line);
        else
            parse_message(src, text_line, file, line);
    }
    return src;
}

// Refuses what would make the files ambiguous: one stored value twice, one
// constant name for two values, one facility number twice; and a const line
// whose value no lookup would find.
void check_source(const Source& src, const std::string& file) {
    std::map<uint32_t, int> stored;
    std::map<std::string, uint32_t> constants;
    for (const Message& m : src.messages) {
        auto [it, fresh] = stored.emplace(m.value & kStoredMask, m.line);
        if (!fresh)
            fail(file, m.line, "value also defined on line " + std::to_string(it->second));
        auto [c, cfresh] = constants.emplace(m.constant, m.value);
        if (!cfresh && c->second != m.value) fail(file, m.line, "constant " + m.constant + " reused");
    }
    for (const Alias& a : src.aliases) {
        if (!constants.emplace(a.constant, a.value).second)
            fail(file, a.line, "constant " + a.constant + " reused");
        if (!stored.count(a.value & kStoredMask) && !stored.count(a.value & kNumberMask))
            fail(file, a.line, "no message for " + a.constant);
    }
    std::set<uint32_t> numbers;
    for (const Facility& f : src.facilities)
        if (!numbers.insert(f.number).second)
            fail(file, 0, "facility " + std::to_string(f.number) + " defined twice");
}

// A user message file shows each message under the facility line above it,
// but files it by the facility of its value: the two must agree.
void check_user_facilities(const Source& src, const std::string& file) {
    for (const Message& m : src.messages)
        if (m.facility_index != SIZE_MAX &&
            src.facilities[m.facility_index].number != ((m.value >> 16) & 0xFFF))
            fail(file, m.line, m.ident + " is not of the facility above it");
}

// The interpreter's database names every facility its messages use; without a
// facility line they would show as NONAME.
void check_facilities(const Source& src, const std::string& file) {
    std::set<uint32_t> numbers;
    for (const Facility& f : src.facilities) numbers.insert(f.number);
    for (const Message& m : src.messages)
        if (!numbers.count((m.value >> 16) & 0xFFF))
            fail(file, m.line, "no facility line for " + m.ident);
}

void put_u32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string header_block(uint32_t magic, uint32_t count) {
    std::string out;
    put_u32(out, magic);
    put_u32(out, count);
    out.append(24, '\0');
    return out;
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) fail(path, 0, "cannot write");
}

std::string facility_file(const Source& src) {
    std::vector<Facility> sorted = src.facilities;
    std::sort(sorted.begin(), sorted.end(),
              [](const Facility& a, const Facility& b) { return a.number < b.number; });
    std::string out = header_block(kFacilityMagic, static_cast<uint32_t>(sorted.size()));
    for (const Facility& f : sorted) {
        put_u32(out, f.number << 16);
        out += f.name;
        out.push_back('\0');
    }
    return out;
}

std::string message_file(const Source& src) {
    std::vector<const Message*> sorted;
    for (const Message& m : src.messages) sorted.push_back(&m);
    std::sort(sorted.begin(), sorted.end(), [](const Message* a, const Message* b) {
        return (a->value & kStoredMask) < (b->value & kStoredMask);
    });
    std::string out = header_block(kMessageMagic, static_cast<uint32_t>(sorted.size()));
    for (const Message* m : sorted) {
        put_u32(out, m->value & kStoredMask);
        out += m->ident;
        out.push_back('\0');
        out += m->text;
        out.push_back('\0');
        put_u32(out, m->directives ? 1u : 0u);  // unaligned, directly after the text
    }
    return out;
}

std::string c_string(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

std::string hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

std::string constants_header(const Source& src) {
    std::string out =
        "// Generated by dclsh-msgc from data/messages.msg; edit that file instead.\n"
        "#pragma once\n#include <cstdint>\n\nnamespace dcl::cond {\n";
    std::set<std::string> done;
    for (const Message& m : src.messages) {
        if (!done.insert(m.constant).second) continue;
        out += "inline constexpr uint32_t " + m.constant + " = " + hex(m.value) + ";  // " +
               m.ident + "\n";
    }
    for (const Alias& a : src.aliases)
        out += "inline constexpr uint32_t " + a.constant + " = " + hex(a.value) + ";\n";
    return out + "}  // namespace dcl::cond\n";
}

std::string builtin_source(const Source& src) {
    std::string out =
        "// Generated by dclsh-msgc from data/messages.msg; edit that file instead.\n"
        "#include \"status/builtin_tables.h\"\n\nnamespace dcl {\nnamespace {\n"
        "const BuiltinMessage kMessages[] = {\n";
    for (const Message& m : src.messages) {
        if (m.builtin_kind < 0) continue;
        out += "    {" + hex(m.value) + ", " + c_string(m.ident) + ", " + c_string(m.text) +
               ", ArgKind(" + std::to_string(m.builtin_kind) + ")},\n";
    }
    out += "};\nconst BuiltinFacility kFacilities[] = {\n";
    for (const Facility& f : src.facilities) {
        if (!f.builtin) continue;
        out += "    {" + std::to_string(f.number) + ", " + c_string(f.name) + "},\n";
    }
    out +=
        "};\n}  // namespace\n\n"
        "std::span<const BuiltinMessage> builtin_messages() { return kMessages; }\n"
        "std::span<const BuiltinFacility> builtin_facilities() { return kFacilities; }\n\n"
        "}  // namespace dcl\n";
    return out;
}

void put_counted(std::string& out, const std::string& s, const std::string& what) {
    if (s.size() > 255) fail(what, 0, "longer than 255 characters");
    out.push_back(static_cast<char>(s.size()));
    out += s;
}

// A user message file: FACQ and MSGQ records in source order, so that each
// message follows the facility line above it.
std::string user_file(const Source& src) {
    std::string out;
    size_t written_facility = SIZE_MAX;
    for (const Message& m : src.messages) {
        if (m.facility_index != SIZE_MAX && m.facility_index != written_facility) {
            out += "FACQ";
            put_counted(out, src.facilities[m.facility_index].name, "facility");
            written_facility = m.facility_index;
        }
        out += "MSGQ";
        put_counted(out, m.ident, m.ident);
        put_counted(out, m.text, m.ident);
        for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((m.value >> (8 * i)) & 0xFF));
        out.push_back(m.directives ? 1 : 0);
        out.push_back(0);
    }
    return out;
}

int usage() {
    std::cerr << "usage: dclsh-msgc SOURCE [--header F] [--builtin F] [--facil F] [--messages F]"
                 " [--user F]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) return usage();
    std::string source = argv[1];
    Source src = read_source(source);
    check_source(src, source);
    // Every check comes before the first file is written: a mistake leaves
    // no half-made set of files behind.
    const std::set<std::string> options = {"--header", "--builtin", "--facil", "--messages",
                                           "--user"};
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string opt = argv[i];
        if (!options.count(opt)) return usage();
        if (opt == "--facil" || opt == "--messages") check_facilities(src, source);
        if (opt == "--user") check_user_facilities(src, source);
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string opt = argv[i], path = argv[i + 1];
        if (opt == "--header")
            write_file(path, constants_header(src));
        else if (opt == "--builtin")
            write_file(path, builtin_source(src));
        else if (opt == "--facil")
            write_file(path, facility_file(src));
        else if (opt == "--messages")
            write_file(path, message_file(src));
        else
            write_file(path, user_file(src));
    }
    return 0;
}
