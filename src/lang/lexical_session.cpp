// Lexical functions about the session: F$CSID, F$MODE, F$TIME, F$VERIFY.
#include <array>
#include <cstdio>
#include <ctime>

#include "lang/lexical_functions.h"
#include "status/session.h"

namespace dcl {

// F$CSID(context): there are no character sets to walk; the call succeeds
// with an empty value.
uint32_t lexical_csid(LexicalCall& call) { return call.set_string({}); }

// F$MODE(): how standard input reached the session.
uint32_t lexical_mode(LexicalCall& call) {
    return call.set_string(session().interactive ? "INTERACTIVE" : "BATCH");
}

namespace {

constexpr std::array<const char*, 12> kMonthNames{
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC",
};
constexpr size_t kTimeWidth = 20;

}  // namespace

// F$TIME(): " 5-MAR-2024 09:07:02", right-aligned in 20 characters.
uint32_t lexical_time(LexicalCall& call) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr || local.tm_mon < 0 || local.tm_mon > 11)
        return call.set_string("00-XXX-0000 00:00:00");
    char text[64];
    int n = std::snprintf(text, sizeof text, "%2d-%3s-%4.4d %2.2d:%2.2d:%2.2d", local.tm_mday,
                          kMonthNames[static_cast<size_t>(local.tm_mon)], local.tm_year + 1900,
                          local.tm_hour, local.tm_min, local.tm_sec);
    std::string_view formatted(text, n > 0 ? static_cast<size_t>(n) : 0);
    call.result.assign(formatted.size() < kTimeWidth ? kTimeWidth - formatted.size() : 0, ' ');
    call.result.append(formatted);
    call.type = VALUE_STRING;
    return 1;
}

// F$VERIFY([procedure], [image]): the procedure-verify switch as it was;
// non-negative values given set the switches to their low bit, the image
// switch following the procedure value when it has none of its own.
uint32_t lexical_verify(LexicalCall& call) {
    ExprValue procedure, image;
    bool set_procedure = false, set_image = false;
    if (call.given(0)) {
        uint32_t status = call.evaluate(0, procedure);
        if (status != 1) return status;
        set_procedure = procedure.integer >= 0;
    }
    if (call.given(1)) {
        uint32_t status = call.evaluate(1, image);
        if (status != 1) return status;
        set_image = image.integer >= 0;
    }
    Session& s = session();
    int32_t previous = s.verify ? 1 : 0;
    if (set_procedure) s.verify = (procedure.integer & 1) != 0;
    if (set_image)
        s.image_verify = (image.integer & 1) != 0;
    else if (set_procedure)
        s.image_verify = (procedure.integer & 1) != 0;
    return call.set_integer(previous);
}

}  // namespace dcl
