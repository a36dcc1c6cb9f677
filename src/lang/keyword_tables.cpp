// The keyword values that qualifiers and SET keywords take, shared by the
// commands that accept them. The verbs and qualifiers themselves are rows
// of the command table.
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"

namespace dcl {

namespace {

constexpr uint32_t kNoNeg = KW_NO_NEGATE;

// Values of DEFINE/NAME_ATTRIBUTES and DEFINE/TRANSLATION_ATTRIBUTES.
constexpr KeywordRecord kNameAttributeValues[] = {
    {"CONFIN", kNoNeg, qual::NAME_CONFINE},
    {"NO_ALI", kNoNeg, qual::NAME_NO_ALIAS},
};
constexpr KeywordRecord kTranslationAttributeValues[] = {
    {"CONCEA", kNoNeg, qual::TRANSLATION_CONCEALED},
    {"TERMIN", kNoNeg, qual::TRANSLATION_TERMINAL},
};

// Values of SET VERIFY=(...).
constexpr KeywordRecord kSetVerifyValues[] = {
    {"IMAGE", 0, qual::VERIFY_IMAGE},
    {"PROCED", 0, qual::VERIFY_PROCEDURE},
};

// Values of /DATE (DIRECTORY, SET CLI/DIRDATE).
constexpr KeywordRecord kDateValues[] = {
    {"ACCESS", kNoNeg, 800001}, {"ALL", kNoNeg, 800002},    {"CREATE", kNoNeg, 800003},
    {"MODIFI", kNoNeg, 800004}, {"STATUS", kNoNeg, 800005},
};

// Values of DIRECTORY /SIZE, /WIDTH and /SELECT (and SELECT=SIZE's limits).
constexpr KeywordRecord kSizeValues[] = {
    {"ALL", kNoNeg, qual::SIZE_ALL}, {"ALLOCA", kNoNeg, qual::SIZE_ALLOCATION}, {"USED", kNoNeg, qual::SIZE_USED},
};
constexpr KeywordRecord kWidthValues[] = {
    {"DISPLA", kNoNeg | KW_VALUE_ALLOWED, qual::WIDTH_DISPLAY},
    {"FILE", kNoNeg | KW_VALUE_ALLOWED, qual::WIDTH_FILE},
    {"OWNER", kNoNeg | KW_VALUE_ALLOWED, qual::WIDTH_OWNER},
    {"SIZE", kNoNeg | KW_VALUE_ALLOWED, qual::WIDTH_SIZE},
};
constexpr KeywordRecord kSelectValues[] = {
    {"SIZE", kNoNeg | KW_VALUE_ALLOWED, qual::SELECT_SIZE},
};
constexpr KeywordRecord kSizeLimitValues[] = {
    {"MAXIMU", kNoNeg | KW_VALUE_ALLOWED, qual::SELECT_MAXIMUM},
    {"MINIMU", kNoNeg | KW_VALUE_ALLOWED, qual::SELECT_MINIMUM},
};

constexpr KeywordRecord kRedirectValues[] = {
    {"APPEND", kNoNeg, 800006}, {"OVERWR", kNoNeg, 800007},
    {"ABORT", kNoNeg, 800008},  {"RENAME", kNoNeg, 800009},
};

constexpr KeywordRecord kUnsupportedValues[] = {
    {"IGNORE", kNoNeg, 800010}, {"INFORM", kNoNeg, 800011}, {"ERROR", kNoNeg, 800012},
};

// Values of HELP/USERLIBRARY: the tables searched for user libraries.
constexpr KeywordRecord kUserLibraryValues[] = {
    {"ALL", kNoNeg, qual::USERLIB_ALL},         {"GROUP", kNoNeg, qual::USERLIB_GROUP},
    {"NONE", kNoNeg, qual::USERLIB_NONE},       {"PROCES", kNoNeg, qual::USERLIB_PROCESS},
    {"SYSTEM", kNoNeg, qual::USERLIB_SYSTEM},
};

// Values of SEARCH /FORMAT, /HIGHLIGHT and /MATCH.
constexpr KeywordRecord kSearchFormatValues[] = {
    {"DUMP", kNoNeg, qual::FORMAT_DUMP},       {"NOFF", kNoNeg, qual::FORMAT_NOFF},
    {"NONULL", kNoNeg, qual::FORMAT_NONULL},   {"PASSAL", kNoNeg, qual::FORMAT_PASSALL},
    {"TEXT", kNoNeg, qual::FORMAT_TEXT},
};
constexpr KeywordRecord kSearchHighlightValues[] = {
    {"BLINK", kNoNeg, qual::HIGHLIGHT_BLINK},     {"BOLD", kNoNeg, qual::HIGHLIGHT_BOLD},
    {"REVERS", kNoNeg, qual::HIGHLIGHT_REVERSE},  {"UNDERL", kNoNeg, qual::HIGHLIGHT_UNDERLINE},
    {"HARDCO", kNoNeg, qual::HIGHLIGHT_HARDCOPY},
};
constexpr KeywordRecord kSearchMatchValues[] = {
    {"AND", kNoNeg, qual::MATCH_AND}, {"NOR", kNoNeg, qual::MATCH_NOR},
    {"NAND", kNoNeg, qual::MATCH_NAND}, {"OR", kNoNeg, qual::MATCH_OR},
};

// Values of DIFFERENCES /IGNORE.
constexpr KeywordRecord kDiffIgnoreValues[] = {
    {"BLANK_", kNoNeg, qual::IGNORE_BLANK_LINES}, {"COMMEN", kNoNeg, qual::IGNORE_COMMENTS},
    {"EDITED", kNoNeg, qual::IGNORE_EDITED},      {"EXACT", kNoNeg, qual::IGNORE_EXACT},
    {"FORM_F", kNoNeg, qual::IGNORE_FORM_FEEDS},  {"HEADER", kNoNeg | KW_VALUE_ALLOWED, qual::IGNORE_HEADER},
    {"PRETTY", kNoNeg, qual::IGNORE_PRETTY},      {"SPACIN", kNoNeg, qual::IGNORE_SPACING},
    {"TRAILI", kNoNeg, qual::IGNORE_TRAILING_SPACES},
};

// Values of CLOSE /DISPOSITION.
constexpr KeywordRecord kDispositionValues[] = {
    {"DELETE", kNoNeg, qual::DISPOSITION_DELETE}, {"KEEP", kNoNeg, qual::DISPOSITION_KEEP},
    {"PRINT", kNoNeg, qual::DISPOSITION_PRINT},   {"SUBMIT", kNoNeg, qual::DISPOSITION_SUBMIT},
};

constexpr KeywordTable kKeywordDirectory[] = {
    {verb::SET_VERIFY, kSetVerifyValues},
    {qual::DATE_VALUES, kDateValues},
    {qual::DEFINE_NAME_ATTRIBUTES, kNameAttributeValues},
    {qual::DEFINE_TRANSLATION_ATTRIBUTES, kTranslationAttributeValues},
    {qual::CLI_REDIRECT, kRedirectValues},
    {qual::CLI_UNSUPPORTED, kUnsupportedValues},
    {qual::DIR_SIZE, kSizeValues},
    {qual::DIR_WIDTH, kWidthValues},
    {qual::DIR_SELECT, kSelectValues},
    {qual::SELECT_SIZE_LIMITS, kSizeLimitValues},
    {qual::HELP_USERLIBRARY, kUserLibraryValues},
    {qual::SEARCH_FORMAT, kSearchFormatValues},
    {qual::SEARCH_HIGHLIGHT, kSearchHighlightValues},
    {qual::SEARCH_MATCH, kSearchMatchValues},
    {qual::DIFF_IGNORE, kDiffIgnoreValues},
    {qual::CLOSE_DISPOSITION, kDispositionValues},
};

}  // namespace

std::span<const KeywordTable> keyword_directory() { return kKeywordDirectory; }

}  // namespace dcl
