// The command vocabulary as data: the verb table, and the qualifier and
// keyword directories through which handlers find their tables. Commands
// add their qualifier tables here as they are implemented.
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"

namespace dcl {

namespace {

// {name, minimum abbreviation, verb}; searched in order, first match wins.
constexpr KeywordRecord kVerbs[] = {
    {"ACCOUN", 2, 1},  {"ALLOCA", 2, 2},  {"ANALYZ", 2, 3},  {"APPEND", 2, 4},
    {"ASSIGN", 2, 5},  {"ATTACH", 2, 6},  {"BACKUP", 2, 7},  {"CALL", 3, 8},
    {"CANCEL", 3, 9},  {"CC", 2, 10},     {"CD", 2, 11},     {"CLOSE", 2, 12},
    {"CONNEC", 4, 13}, {"CONTIN", 4, 14}, {"CONVER", 4, 15}, {"COPY", 3, 16},
    {"CREATE", 2, 17}, {"DEALLO", 4, 18}, {"DEASSI", 4, 19}, {"DEBUG", 3, 20},
    {"DECK", 3, 21},   {"DEFINE", 3, 22}, {"DELETE", 3, 23}, {"DEPOSI", 3, 24},
    {"DIFFER", 3, 25}, {"DIRECT", 3, 26}, {"DISCON", 4, 27}, {"DISMOU", 4, 28},
    {"DUMP", 2, 29},   {"EDIT", 2, 30},   {"ELSE", 2, 31},   {"ENDIF", 4, 32},
    {"ENDSUB", 4, 33}, {"EOD", 3, 34},    {"EOJ", 3, 35},    {"EXAMIN", 3, 36},
    {"EXCHAN", 3, 37}, {"EXIT", 3, 38},   {"FONT", 3, 39},   {"FOREIGN", 7, 93},
    {"FORTRA", 2, 40}, {"GOSUB", 3, 41},  {"GOTO", 3, 42},   {"HELP", 1, 43},
    {"IF", 2, 44},     {"INITIA", 3, 45}, {"INQUIR", 3, 46}, {"INSTAL", 3, 47},
    {"JOB", 2, 48},    {"LIBRAR", 3, 49}, {"LICENS", 3, 50}, {"LINK", 3, 51},
    {"LOGOUT", 2, 52}, {"MACRO", 3, 53},  {"MAIL", 3, 54},   {"MERGE", 3, 55},
    {"MESSAG", 3, 56}, {"MONITO", 3, 57}, {"MOUNT", 3, 58},  {"SHELL", 3, 87},
    {"NCS", 3, 59},    {"ON", 2, 60},     {"OPEN", 2, 61},   {"PATCH", 3, 62},
    {"PHONE", 2, 63},  {"PRINT", 2, 64},  {"PSWRAP", 2, 65}, {"PURGE", 2, 66},
    {"READ", 3, 67},   {"RECALL", 3, 68}, {"RENAME", 3, 69}, {"REPLY", 3, 70},
    {"REQUES", 3, 71}, {"RETURN", 3, 72}, {"RUN", 1, 73},    {"RUNOFF", 4, 74},
    {"SEARCH", 3, 75}, {"SET", 3, 76},    {"SHOW", 2, 77},   {"SORT", 2, 78},
    {"SPAWN", 2, 79},  {"START", 3, 80},  {"STOP", 3, 81},   {"SUBMIT", 4, 82},
    {"SUBROU", 4, 83}, {"SYNCHR", 2, 84}, {"THEN", 2, 85},   {"TYPE", 2, 86},
    {"UNLOCK", 3, 88}, {"VIEW", 1, 89},   {"WAIT", 2, 90},   {"WRITE", 2, 91},
    {"ECHO", 2, 92},   {"UNIX", 2, 87},   {"NT", 2, 87},
};
static_assert(std::size(kVerbs) == 95);

constexpr uint32_t kNoNeg = KW_NO_NEGATE;
constexpr uint32_t kValue = KW_VALUE_ALLOWED;

constexpr KeywordRecord kSetKeywords[] = {
    {"ACCOUN", kNoNeg, 201}, {"ACL", kNoNeg, 202},    {"AUDIT", kNoNeg, 203},
    {"BROADC", kNoNeg, 204}, {"CARD_R", kNoNeg, 205}, {"CLI", kNoNeg, 206},
    {"CLUSTE", kNoNeg, 207}, {"COMMAN", kNoNeg, 208}, {"CONTRO", kValue, 209},
    {"DAY", kNoNeg, 210},    {"DEFAUL", kNoNeg, 211}, {"DEVICE", kNoNeg, 212},
    {"DIRECT", kNoNeg, 213}, {"DISPLA", kNoNeg, 214}, {"ENTRY", kNoNeg, 215},
    {"FILE", kNoNeg, 216},   {"HOST", kNoNeg, 217},   {"KEY", kNoNeg, 218},
    {"LOGINS", kNoNeg, 219}, {"MAGTAP", kNoNeg, 220}, {"MESSAG", kNoNeg, 221},
    {"ON", 0, 222},          {"OUTPUT", kNoNeg | kValue, 223},
    {"PASSWO", kNoNeg, 224}, {"PRINTE", kNoNeg, 225}, {"PROCES", kNoNeg, 226},
    {"PROMPT", kNoNeg | kValue, 227}, {"PROTEC", kNoNeg | kValue, 228},
    {"QUEUE", kNoNeg, 229},  {"RESTAR", kNoNeg, 230}, {"RIGHTS", kNoNeg, 231},
    {"RMS_DE", kNoNeg, 232}, {"SYMBOL", kNoNeg, 233}, {"TERMIN", kNoNeg, 234},
    {"UIC", kNoNeg, 235},    {"VERIFY", kValue, 236}, {"VOLUME", kNoNeg, 237},
    {"WORKIN", kNoNeg, 238},
};
static_assert(std::size(kSetKeywords) == 38);

constexpr KeywordRecord kShowKeywords[] = {
    {"ACCOUN", kNoNeg, 301},  {"ACL", kNoNeg, 302},    {"AUDIT", kNoNeg, 303},
    {"BROADC", kNoNeg, 304},  {"CLI", kNoNeg, 305},    {"CLUSTER", kNoNeg, 306},
    {"CPU", kNoNeg, 307},     {"DAYTIM", kNoNeg, 329}, {"DEFAUL", kNoNeg, 308},
    {"DEVICE", kNoNeg, 309},  {"DISPLA", kNoNeg, 310}, {"ENTRY", kNoNeg, 311},
    {"ERROR", kNoNeg, 312},   {"INTRUS", kNoNeg, 313}, {"KEY", kNoNeg, 314},
    {"LICENS", kNoNeg, 315},  {"LOGICA", kNoNeg, 316}, {"MEMORY", kNoNeg, 317},
    {"NETWOR", kNoNeg, 318},  {"PRINTE", kNoNeg, 319}, {"PROCES", kNoNeg, 320},
    {"PROTEC", kNoNeg, 321},  {"QUEUE", kNoNeg, 322},  {"QUOTA", kNoNeg, 323},
    {"RMS_DE", kNoNeg, 324},  {"STATUS", kNoNeg, 325}, {"SYMBOL", kNoNeg, 326},
    {"SYSTEM", kNoNeg, 327},  {"TERMIN", kNoNeg, 328}, {"TIME", kNoNeg, 329},
    {"TRANSL", kNoNeg, 330},  {"USERS", kNoNeg, 331},  {"WORKIN", kNoNeg, 332},
    {"ZONE", kNoNeg, 333},
};
static_assert(std::size(kShowKeywords) == 34);


constexpr uint32_t kNeedsValue = KW_VALUE_REQUIRED | KW_VALUE_ALLOWED;

// SET CLI: the interpreter's own options.
constexpr KeywordRecord kSetCliQualifiers[] = {
    {"CTRLJ", 0, qual::CLI_CTRLJ},          {"DEBUG", kNeedsValue, qual::CLI_DEBUG},
    {"DIRDAT", kNeedsValue, qual::CLI_DIRDATE}, {"EXIT_S", kNeedsValue, qual::CLI_EXIT_STATUS},
    {"FORTRA", kNeedsValue, qual::CLI_FORTRAN}, {"HEXPID", 0, qual::CLI_HEXPID},
    {"INDEXE", kNeedsValue, qual::CLI_INDEXED}, {"INQUIR", kNeedsValue, qual::CLI_INQUIRE},
    {"LOWERC", 0, qual::CLI_LOWERCASE},     {"PASSTH", 0, qual::CLI_PASSTHROUGH},
    {"REDIRE", kNeedsValue, qual::CLI_REDIRECT}, {"RUNSYM", 0, qual::CLI_RUNSYM},
    {"UNSUPP", kNeedsValue, qual::CLI_UNSUPPORTED}, {"UPPERC", 0, qual::CLI_UPPERCASE},
    {"VERIFY", 0, qual::CLI_VERIFY},        {"VMSDOT", 0, qual::CLI_VMSDOT},
};
static_assert(std::size(kSetCliQualifiers) == 16);

constexpr KeywordRecord kShowCliQualifiers[] = {
    {"DEFAUL", 0, qual::SHOW_CLI_DEFAULTS},
    {"QUEUES", 0, qual::SHOW_CLI_QUEUES},
    {"VERSIO", 0, qual::SHOW_CLI_VERSION},
};

// DEFINE; ASSIGN uses the first 11 records.
constexpr KeywordRecord kDefineQualifiers[] = {
    {"EXECUT", 0, qual::DEFINE_EXECUTIVE},     {"GROUP", 0, qual::DEFINE_GROUP},
    {"JOB", 0, qual::DEFINE_JOB},              {"LOG", 0, qual::DEFINE_LOG},
    {"NAME_A", kValue, qual::DEFINE_NAME_ATTRIBUTES},
    {"PROCES", 0, qual::DEFINE_PROCESS},       {"SUPERV", 0, qual::DEFINE_SUPERVISOR},
    {"SYSTEM", 0, qual::DEFINE_SYSTEM},        {"TABLE", kNeedsValue, qual::DEFINE_TABLE},
    {"TRANSL", kValue, qual::DEFINE_TRANSLATION_ATTRIBUTES},
    {"USER", 0, qual::DEFINE_USER},            {"CHARAC", kNoNeg, qual::DEFINE_CHARACTERISTIC},
    {"FORM", kNoNeg, qual::DEFINE_FORM},       {"KEY", kNoNeg, qual::DEFINE_KEY},
};
static_assert(std::size(kDefineQualifiers) == 14);
constexpr std::span<const KeywordRecord> kAssignQualifiers{kDefineQualifiers, 11};

constexpr KeywordRecord kDefineKeyQualifiers[] = {
    {"ECHO", 0, qual::KEY_ECHO},          {"ERASE", 0, qual::KEY_ERASE},
    {"IF_STA", kNeedsValue, qual::KEY_IF_STATE}, {"LOCK_S", 0, qual::KEY_LOCK_STATE},
    {"LOG", 0, qual::KEY_LOG},            {"SET_ST", kNeedsValue, qual::KEY_SET_STATE},
    {"TERMIN", 0, qual::KEY_TERMINATE},
};

constexpr KeywordRecord kDeassignQualifiers[] = {
    {"ALL", kNoNeg, qual::DEASSIGN_ALL},   {"EXECUT", 0, qual::DEASSIGN_EXECUTIVE},
    {"GROUP", 0, qual::DEASSIGN_GROUP},    {"JOB", 0, qual::DEASSIGN_JOB},
    {"PROCES", 0, qual::DEASSIGN_PROCESS}, {"SUPERV", 0, qual::DEASSIGN_SUPERVISOR},
    {"SYSTEM", 0, qual::DEASSIGN_SYSTEM},  {"TABLE", kNeedsValue, qual::DEASSIGN_TABLE},
    {"USER", 0, qual::DEASSIGN_USER},
};

constexpr KeywordRecord kShowLogicalQualifiers[] = {
    {"ACCESS", kNeedsValue, qual::LOGICAL_ACCESS_MODE}, {"ALL", 0, qual::LOGICAL_ALL},
    {"DESCEN", 0, qual::LOGICAL_DESCENDANTS}, {"FULL", 0, qual::LOGICAL_FULL},
    {"GROUP", 0, qual::LOGICAL_GROUP},        {"JOB", 0, qual::LOGICAL_JOB},
    {"OUTPUT", kValue, qual::LOGICAL_OUTPUT}, {"PROCES", 0, qual::LOGICAL_PROCESS},
    {"STRUCT", 0, qual::LOGICAL_STRUCTURE},   {"SYSTEM", 0, qual::LOGICAL_SYSTEM},
    {"TABLE", kNeedsValue, qual::LOGICAL_TABLE},
};

constexpr KeywordRecord kShowTranslationQualifiers[] = {
    {"OUTPUT", kValue, qual::TRANSLATION_OUTPUT},
    {"FULL", 0, qual::TRANSLATION_FULL},
    {"TABLE", kNeedsValue, qual::TRANSLATION_TABLE},
};

// Values of DEFINE/NAME_ATTRIBUTES and DEFINE/TRANSLATION_ATTRIBUTES.
constexpr KeywordRecord kNameAttributeValues[] = {
    {"CONFIN", kNoNeg, qual::NAME_CONFINE},
    {"NO_ALI", kNoNeg, qual::NAME_NO_ALIAS},
};
constexpr KeywordRecord kTranslationAttributeValues[] = {
    {"CONCEA", kNoNeg, qual::TRANSLATION_CONCEALED},
    {"TERMIN", kNoNeg, qual::TRANSLATION_TERMINAL},
};

// @ and CALL: a listing file for the procedure's output.
constexpr KeywordRecord kAtQualifiers[] = {
    {"OUTPUT", kNeedsValue, qual::AT_OUTPUT},
};

constexpr KeywordRecord kRecallQualifiers[] = {
    {"ALL", kNoNeg, qual::RECALL_ALL},
    {"ERASE", 0, qual::RECALL_ERASE},
};

// DECK: the end marker of data lines that may begin with "$".
constexpr KeywordRecord kDeckQualifiers[] = {
    {"DOLLAR", kNeedsValue, qual::DECK_DOLLARS},
};

// Values of SET VERIFY=(...).
constexpr KeywordRecord kSetVerifyValues[] = {
    {"IMAGE", 0, qual::VERIFY_IMAGE},
    {"PROCED", 0, qual::VERIFY_PROCEDURE},
};

constexpr KeywordRecord kShowSymbolQualifiers[] = {
    {"ALL", kNoNeg, qual::SHOW_SYMBOL_ALL},       {"GLOBAL", kNoNeg, qual::SHOW_SYMBOL_GLOBAL},
    {"LOCAL", kNoNeg, qual::SHOW_SYMBOL_LOCAL},   {"ENVIRO", kNoNeg, qual::SHOW_SYMBOL_ENVIRONMENT},
    {"LOG", 0, qual::SHOW_SYMBOL_LOG},
};

// DELETE: the file qualifiers (their flags are settled with the file
// commands) and the qualifiers that select another form of the command.
constexpr KeywordRecord kDeleteQualifiers[] = {
    {"BACKUP", kNoNeg, qual::DELETE_BACKUP},   {"BEFORE", kValue, qual::DELETE_BEFORE},
    {"BY_OWN", kValue, qual::DELETE_BY_OWNER}, {"CHARAC", kNoNeg, qual::DELETE_CHARACTERISTIC},
    {"CONFIR", 0, qual::DELETE_CONFIRM},       {"CREATE", kNoNeg, qual::DELETE_CREATED},
    {"ENTRY", kNoNeg, qual::DELETE_ENTRY},     {"ERASE", 0, qual::DELETE_ERASE},
    {"EXCLUD", kNeedsValue, qual::DELETE_EXCLUDE}, {"EXPIRE", kNoNeg, qual::DELETE_EXPIRED},
    {"FORM", kNoNeg, qual::DELETE_FORM},       {"INTRUS", kNoNeg, qual::DELETE_INTRUSION},
    {"KEY", kNoNeg, qual::DELETE_KEY},         {"LOG", 0, qual::DELETE_LOG},
    {"MODIFI", kNoNeg, qual::DELETE_MODIFIED}, {"QUEUE", kNoNeg, qual::DELETE_QUEUE},
    {"SINCE", kValue, qual::DELETE_SINCE},     {"SYMBOL", kNoNeg, qual::DELETE_SYMBOL},
};
static_assert(std::size(kDeleteQualifiers) == 18);

constexpr KeywordRecord kDeleteSymbolQualifiers[] = {
    {"ALL", kNoNeg, qual::DELETE_SYMBOL_ALL},     {"ENVIRO", kNoNeg, qual::DELETE_SYMBOL_ENVIRONMENT},
    {"GLOBAL", kNoNeg, qual::DELETE_SYMBOL_GLOBAL}, {"LOCAL", kNoNeg, qual::DELETE_SYMBOL_LOCAL},
    {"LOG", 0, qual::DELETE_SYMBOL_LOG},
};

constexpr KeywordRecord kWriteQualifiers[] = {
    {"ERROR", kNoNeg | kNeedsValue, qual::WRITE_ERROR},
    {"SYMBOL", 0, qual::WRITE_SYMBOL},
    {"UPDATE", 0, qual::WRITE_UPDATE},
};

// Values of /DATE (DIRECTORY, SET CLI/DIRDATE).
constexpr KeywordRecord kDateValues[] = {
    {"ACCESS", kNoNeg, 800001}, {"ALL", kNoNeg, 800002},    {"CREATE", kNoNeg, 800003},
    {"MODIFI", kNoNeg, 800004}, {"STATUS", kNoNeg, 800005},
};

constexpr KeywordRecord kRedirectValues[] = {
    {"APPEND", kNoNeg, 800006}, {"OVERWR", kNoNeg, 800007},
    {"ABORT", kNoNeg, 800008},  {"RENAME", kNoNeg, 800009},
};

constexpr KeywordRecord kUnsupportedValues[] = {
    {"IGNORE", kNoNeg, 800010}, {"INFORM", kNoNeg, 800011}, {"ERROR", kNoNeg, 800012},
};

constexpr KeywordTable kQualifierDirectory[] = {
    {verb::ASSIGN, kAssignQualifiers},
    {verb::CALL, kAtQualifiers},
    {verb::DEASSIGN, kDeassignQualifiers},
    {verb::DECK, kDeckQualifiers},
    {verb::DEFINE, kDefineQualifiers},
    {verb::DELETE, kDeleteQualifiers},
    {verb::WRITE, kWriteQualifiers},
    {verb::AT, kAtQualifiers},
    {verb::RECALL, kRecallQualifiers},
    {verb::SET_CLI, kSetCliQualifiers},
    {verb::SHOW_CLI, kShowCliQualifiers},
    {verb::SHOW_LOGICAL, kShowLogicalQualifiers},
    {verb::SHOW_SYMBOL, kShowSymbolQualifiers},
    {verb::SHOW_TRANSLATION, kShowTranslationQualifiers},
    {qual::DEFINE_KEY_FORM, kDefineKeyQualifiers},
    {qual::DELETE_SYMBOL_FORM, kDeleteSymbolQualifiers},
};

constexpr KeywordTable kKeywordDirectory[] = {
    {verb::SET, kSetKeywords},
    {verb::SHOW, kShowKeywords},
    {verb::SET_VERIFY, kSetVerifyValues},
    {qual::DATE_VALUES, kDateValues},
    {qual::DEFINE_NAME_ATTRIBUTES, kNameAttributeValues},
    {qual::DEFINE_TRANSLATION_ATTRIBUTES, kTranslationAttributeValues},
    {qual::CLI_REDIRECT, kRedirectValues},
    {qual::CLI_UNSUPPORTED, kUnsupportedValues},
};

}  // namespace

std::span<const KeywordRecord> verb_table() { return kVerbs; }

// Qualifier tables, keyed by the verb or keyword whose qualifiers they list;
// commands add theirs as they are implemented.
std::span<const KeywordTable> qualifier_directory() { return kQualifierDirectory; }

std::span<const KeywordTable> keyword_directory() { return kKeywordDirectory; }

}  // namespace dcl
