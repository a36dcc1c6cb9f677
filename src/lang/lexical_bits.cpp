// F$CVSI and F$CVUI: a bit field of a string read as a signed or unsigned
// integer. Bits are numbered from bit 0 of the first byte upwards (the
// bytes form a little-endian number).
#include "lang/lexical_functions.h"
#include "status/condition.h"

namespace dcl {

namespace {

constexpr uint64_t kIntegerBits = 32;

// The `count` bits from bit `start` of `text`; the caller has checked that
// they lie inside it.
//
// A count above 32 keeps the low 32 bits of the field: a DCL integer holds
// no more. The field is read from a five-byte window, so a field that
// starts late in its first byte (start mod 8 plus count above 32) still
// gets all of its bits instead of zeros for the ones past the fourth byte.
uint32_t read_field(std::string_view text, uint64_t start, uint64_t count, bool sign_extend) {
    uint64_t width = count < kIntegerBits ? count : kIntegerBits;
    uint64_t first = start / 8;
    uint64_t window = 0;
    for (uint64_t k = 0; k < 5 && first + k < text.size(); ++k)
        window |= uint64_t{static_cast<unsigned char>(text[first + k])} << (8 * k);
    uint64_t mask = (uint64_t{1} << width) - 1;
    uint64_t field = (window >> (start % 8)) & mask;
    if (sign_extend && ((field >> (width - 1)) & 1) != 0) field |= ~mask;
    return static_cast<uint32_t>(field);
}

uint32_t bit_field(LexicalCall& call, bool sign_extend) {
    ExprValue start, count, text;
    uint32_t status = call.evaluate(0, start);
    if (status == 1) status = call.evaluate(1, count);
    if (status == 1) status = call.evaluate(2, text);
    if (status != 1) return status;
    if (start.integer < 0 || count.integer < 0) return cond::IVRANGE;
    uint64_t first_bit = static_cast<uint64_t>(start.integer);
    uint64_t bits = static_cast<uint64_t>(count.integer);
    if (first_bit + bits > 8 * uint64_t{text.text.size()}) {
        call.set_integer(0);
        return cond::IVRANGE;
    }
    if (bits == 0) return call.set_integer(0);
    uint32_t field = read_field(text.text, first_bit, bits, sign_extend);
    return call.set_integer(static_cast<int32_t>(field));  // modular: a full field may be negative
}

}  // namespace

uint32_t lexical_signed_field(LexicalCall& call) { return bit_field(call, true); }
uint32_t lexical_unsigned_field(LexicalCall& call) { return bit_field(call, false); }

}  // namespace dcl
