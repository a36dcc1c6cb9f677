// The F$FAO formatter. A directive is "!", an optional number (digits, or
// "#" for the next argument), then either a code or "(" number code ")"
// for a repeat. The number before a code is its field width, the count of
// "!n*c", the value of "!n%C" or the width of "!n<"; inside a repeat the
// outer number counts the repetitions.
#include "lang/fao.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "lang/expression.h"
#include "lang/lexical_functions.h"
#include "status/condition.h"

namespace dcl {

FaoArgument::FaoArgument(int32_t number) : text(std::to_string(number)), integer(number) {}

FaoArgument::FaoArgument(std::string_view value)
    : text(value), integer(string_integer_value(value)) {}

namespace {

// Digits beyond this change nothing: the limit is far past kMaxFaoOutput.
constexpr int64_t kCountCeiling = 1'000'000;

struct Count {
    enum Kind : uint8_t { none, literal, from_argument };
    Kind kind = none;
    int64_t value = 0;
};

struct Directive {
    Count prefix;
    Count inner;  // the number inside the parentheses of a repeat
    bool repeated = false;
    char code = 0;  // A O X Z U S % / _ ^ ! - + * < >
    char size = 0;  // S B W L, the letter after %, or the character of *
};

enum class Choice : uint8_t { none, taking, skipping };

Count parse_count(std::string_view control, size_t& pos) {
    Count count;
    if (pos < control.size() && control[pos] == '#') {
        ++pos;
        count.kind = Count::from_argument;
        return count;
    }
    while (pos < control.size() && control[pos] >= '0' && control[pos] <= '9') {
        count.kind = Count::literal;
        count.value = std::min(count.value * 10 + (control[pos] - '0'), kCountCeiling);
        ++pos;
    }
    return count;
}

// Reads the code at `pos`. Codes are case-blind, the character of "*" is
// taken as it is.
bool parse_code(std::string_view control, size_t& pos, Directive& d) {
    if (pos >= control.size()) return false;
    char c = ascii_upper(control[pos++]);
    std::string_view single = "/_^!-+<>";
    if (single.find(c) != std::string_view::npos) {
        d.code = c;
        return true;
    }
    if (pos >= control.size()) return false;
    char next = control[pos++];
    char second = ascii_upper(next);
    d.code = c;
    d.size = c == '*' ? next : second;
    switch (c) {
    case '*': return true;
    case '%': return std::string_view("STDUICEF").find(second) != std::string_view::npos;
    case 'A': return second == 'S';  // AD, AC, AF and AZ pass descriptors DCL has not
    case 'O':
    case 'X':
    case 'Z':
    case 'U':
    case 'S': return second == 'B' || second == 'W' || second == 'L';
    default: return false;
    }
}

// Structure marks take no repeat.
bool structural(const Directive& d) {
    return d.code == '<' || d.code == '>' ||
           (d.code == '%' && (d.size == 'C' || d.size == 'E' || d.size == 'F'));
}

// Reads the directive after the "!" at pos - 1; pos ends after it.
bool parse_directive(std::string_view control, size_t& pos, Directive& d) {
    d.prefix = parse_count(control, pos);
    if (pos < control.size() && control[pos] == '(') {
        ++pos;
        d.repeated = true;
        d.inner = parse_count(control, pos);
        if (!parse_code(control, pos, d) || structural(d)) return false;
        return pos < control.size() && control[pos++] == ')';
    }
    return parse_code(control, pos, d);
}

// A string in a field: left-justified, blank-filled, cut on the right.
std::string fit_left(std::string text, int64_t width) {
    if (width > 0) text.resize(static_cast<size_t>(width), ' ');
    return text;
}

// A decimal number in a field: right-justified, `*`s when it does not fit.
std::string fit_decimal(const std::string& digits, int64_t width, char fill) {
    if (width <= 0) return digits;
    auto w = static_cast<size_t>(width);
    if (digits.size() > w) return std::string(w, '*');
    return std::string(w - digits.size(), fill) + digits;
}

// Hexadecimal and octal: zero-filled, cut on the left.
std::string fit_radix(const std::string& digits, int64_t width) {
    auto w = static_cast<size_t>(width);
    if (digits.size() >= w) return digits.substr(digits.size() - w);
    return std::string(w - digits.size(), '0') + digits;
}

int default_radix_width(char code, char size) {
    if (code == 'O') return size == 'B' ? 3 : size == 'W' ? 6 : 11;
    return size == 'B' ? 2 : size == 'W' ? 4 : 8;
}

class Formatter {
public:
    Formatter(std::span<const FaoArgument> arguments, const FaoEnvironment& environment)
        : arguments_(arguments), environment_(environment) {}

    FaoResult run(std::string_view control, std::string& out);

private:
    bool take(const FaoArgument*& argument);
    bool resolve(Count& count);
    bool append(std::string_view text);
    bool step(const Directive& d);
    void choose(const Directive& d);
    bool perform(const Directive& d, const Count& count);
    bool number(char code, char size, const Count& width);
    bool special(char letter, const Count& width);
    std::string uic_text(uint32_t uic, bool names) const;
    bool close_field();
    bool fail(uint32_t status) {
        result_.status = status;
        return false;
    }

    std::span<const FaoArgument> arguments_;
    const FaoEnvironment& environment_;
    size_t next_ = 0;         // the next argument to use
    int64_t last_number_ = 0;  // for !%S and !n%C
    Choice choice_ = Choice::none;
    bool chosen_ = false;  // a case of the current choice has been taken
    std::vector<std::pair<size_t, int64_t>> fields_;  // open !n<: start, width
    std::string out_;
    FaoResult result_;
};

bool Formatter::take(const FaoArgument*& argument) {
    if (next_ >= arguments_.size()) return fail(cond::INSFARG);
    argument = &arguments_[next_++];
    return true;
}

bool Formatter::resolve(Count& count) {
    if (count.kind != Count::from_argument) return true;
    const FaoArgument* argument = nullptr;
    if (!take(argument)) return false;
    count.kind = Count::literal;
    count.value = std::max<int64_t>(argument->integer, 0);
    return true;
}

bool Formatter::append(std::string_view text) {
    if (out_.size() + text.size() > kMaxFaoOutput) return fail(cond::BUFOVF);
    out_.append(text);
    return true;
}

FaoResult Formatter::run(std::string_view control, std::string& out) {
    size_t pos = 0;
    while (pos < control.size() && result_.status == 1) {
        size_t bang = control.find('!', pos);
        if (choice_ != Choice::skipping &&
            !append(control.substr(pos, bang == std::string_view::npos ? bang : bang - pos)))
            break;
        if (bang == std::string_view::npos) break;
        pos = bang + 1;
        Directive d;
        if (!parse_directive(control, pos, d)) {
            result_.status = cond::IVKEYW;
            result_.directive = control.substr(bang, pos - bang);
            break;
        }
        step(d);
    }
    while (result_.status == 1 && !fields_.empty()) close_field();
    if (result_.status == 1) out = std::move(out_);
    return result_;
}

// One directive: choice marks act even in a case being skipped.
bool Formatter::step(const Directive& d) {
    if (d.code == '%' && (d.size == 'C' || d.size == 'E' || d.size == 'F')) {
        Count value = d.prefix;
        if (d.size == 'C' && choice_ != Choice::taking && !resolve(value)) return false;
        choose(Directive{value, {}, false, d.code, d.size});
        return true;
    }
    if (choice_ == Choice::skipping) return true;
    Count times = d.prefix, count = d.repeated ? d.inner : d.prefix;
    if (d.repeated && !resolve(times)) return false;
    if (!resolve(count)) return false;
    if (!d.repeated) times = {Count::literal, 1};
    if (times.value > static_cast<int64_t>(kMaxFaoOutput) ||
        count.value > static_cast<int64_t>(kMaxFaoOutput))
        return fail(cond::BUFOVF);
    for (int64_t i = 0; i < times.value; ++i)
        if (!perform(d, count)) return false;
    return true;
}

// !n%C opens the case for value n (the first match wins), !%E the case
// for any other value, !%F ends the choice.
void Formatter::choose(const Directive& d) {
    if (d.size == 'F') {
        choice_ = Choice::none;
        return;
    }
    if (choice_ == Choice::none) chosen_ = false;
    bool match = d.size == 'E' || d.prefix.value == last_number_;
    if (!chosen_ && match) {
        choice_ = Choice::taking;
        chosen_ = true;
    } else {
        choice_ = Choice::skipping;
    }
}

bool Formatter::perform(const Directive& d, const Count& count) {
    int64_t width = count.kind == Count::literal ? count.value : 0;
    const FaoArgument* argument = nullptr;
    switch (d.code) {
    case 'A':
        if (!take(argument)) return false;
        return append(fit_left(argument->text, width));
    case '/': return append("\n");  // no CR: the result goes into Unix text files
    case '_': return append("\t");
    case '^': return append("\f");
    case '!': return append("!");
    case '-':
        if (next_ > 0) --next_;
        return true;
    case '+':
        ++next_;
        return true;
    case '*':
        return append(std::string(static_cast<size_t>(count.kind == Count::none ? 1 : width), d.size));
    case '<':
        fields_.emplace_back(out_.size(), width);
        return true;
    case '>':
        if (fields_.empty()) {
            result_.directive = "!>";
            return fail(cond::IVKEYW);
        }
        return close_field();
    case '%': return special(d.size, count);
    default: return number(d.code, d.size, count);
    }
}

bool Formatter::close_field() {
    auto [start, width] = fields_.back();
    fields_.pop_back();
    if (width <= 0) return true;
    // The blanks of a field count against the limit like any text.
    if (start + static_cast<size_t>(width) > kMaxFaoOutput) return fail(cond::BUFOVF);
    out_.resize(start + static_cast<size_t>(width), ' ');
    return true;
}

bool Formatter::number(char code, char size, const Count& width_count) {
    const FaoArgument* argument = nullptr;
    if (!take(argument)) return false;
    auto raw = static_cast<uint32_t>(argument->integer);
    uint32_t value = size == 'B' ? raw & 0xFFu : size == 'W' ? raw & 0xFFFFu : raw;
    int64_t width = width_count.kind == Count::literal ? width_count.value : 0;
    int64_t signed_value = size == 'B'   ? static_cast<int8_t>(value)
                           : size == 'W' ? static_cast<int16_t>(value)
                                         : static_cast<int32_t>(value);
    last_number_ = code == 'S' ? signed_value : static_cast<int64_t>(value);
    char digits[32];
    if (code == 'O' || code == 'X') {
        std::snprintf(digits, sizeof digits, code == 'O' ? "%o" : "%X", value);
        return append(fit_radix(digits, width > 0 ? width : default_radix_width(code, size)));
    }
    std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(last_number_));
    return append(fit_decimal(digits, width, code == 'Z' ? '0' : ' '));
}

std::string Formatter::uic_text(uint32_t uic, bool names) const {
    std::string group, user;
    if (names && environment_.identifier_names != nullptr &&
        environment_.identifier_names(uic, group, user))
        return "[" + group + "," + user + "]";
    char text[32];
    std::snprintf(text, sizeof text, "[%o,%o]", uic >> 16, uic & 0xFFFFu);
    return text;
}

// The "!%" directives that produce text: plurals, times and UICs.
bool Formatter::special(char letter, const Count& width_count) {
    int64_t width = width_count.kind == Count::literal ? width_count.value : 0;
    if (letter == 'S') {
        bool upper = !out_.empty() && out_.back() >= 'A' && out_.back() <= 'Z';
        return append(fit_left(last_number_ == 1 ? "" : upper ? "S" : "s", width));
    }
    const FaoArgument* argument = nullptr;
    if (!take(argument)) return false;
    if (letter == 'U' || letter == 'I')
        return append(fit_left(uic_text(static_cast<uint32_t>(argument->integer), letter == 'I'), width));
    // A time of 0 is now; any other number counts seconds from 1970.
    VmsTime time = argument->integer == 0 ? environment_.now : VmsTime{argument->integer, 0};
    char hundredths[8];
    std::snprintf(hundredths, sizeof hundredths, ".%2.2d", time.hundredths % 100);
    std::string text = format_time(time.seconds) + hundredths;
    if (letter == 'T') text.erase(0, text.rfind(' ') + 1);
    return append(fit_left(text, width));
}

}  // namespace

FaoResult format_fao(std::string& out, std::string_view control,
                     std::span<const FaoArgument> arguments, const FaoEnvironment& environment) {
    Formatter formatter(arguments, environment);
    return formatter.run(control, out);
}

}  // namespace dcl
