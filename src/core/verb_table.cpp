// The command vocabulary: one row per verb, per SET and SHOW keyword and per
// command form, each naming its handler, its qualifier table and its
// traits. Codes stay as they are: procedures and message texts know them.
#include <algorithm>
#include <array>
#include <vector>

#include "core/handlers.h"
#include "lang/command_table.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "proc/input_data.h"

namespace dcl {

namespace {

constexpr uint8_t kAny = CommandRow::kAnyNumber;
constexpr uint32_t kNoNeg = KW_NO_NEGATE;
constexpr uint32_t kValue = KW_VALUE_ALLOWED;

constexpr CommandRow kSetKeywords[] = {
    {.key = {"ACCOUN", kNoNeg, 201}},
    {.key = {"ACL", kNoNeg, 202}},
    {.key = {"AUDIT", kNoNeg, 203}},
    {.key = {"BROADC", kNoNeg, 204}},
    {.key = {"CARD_R", kNoNeg, 205}},
    {.key = {"CLI", kNoNeg, verb::SET_CLI},
     .handler = set_cli, .qualifiers = &kSetCliQualifiers, .apply_each = apply_cli_qualifier},
    {.key = {"CLUSTE", kNoNeg, 207}},
    {.key = {"COMMAN", kNoNeg, 208}},
    {.key = {"CONTRO", kValue, 209}},
    {.key = {"DAY", kNoNeg, 210}},
    {.key = {"DEFAUL", kNoNeg, verb::SET_DEFAULT}, .handler = set_default, .max_parameters = 1,
     .prompts = {"_Directory: "}},
    {.key = {"DEVICE", kNoNeg, 212}},
    {.key = {"DIRECT", kNoNeg, 213}},
    {.key = {"DISPLA", kNoNeg, 214}},
    {.key = {"ENTRY", kNoNeg, 215}},
    {.key = {"FILE", kNoNeg, 216}, .traits = CMD_IMAGE},
    {.key = {"HOST", kNoNeg, 217}},
    {.key = {"KEY", kNoNeg, 218}},
    {.key = {"LOGINS", kNoNeg, 219}},
    {.key = {"MAGTAP", kNoNeg, 220}},
    {.key = {"MESSAG", kNoNeg, verb::SET_MESSAGE}, .handler = set_message,
     .qualifiers = &kSetMessageQualifiers, .max_parameters = 1},
    {.key = {"ON", 0, verb::SET_ON}, .handler = set_on},
    {.key = {"OUTPUT", kNoNeg | kValue, 223}},
    {.key = {"PASSWO", kNoNeg, 224}, .traits = CMD_IMAGE},
    {.key = {"PRINTE", kNoNeg, 225}},
    {.key = {"PROCES", kNoNeg, 226}},
    {.key = {"PROMPT", kNoNeg | kValue, verb::SET_PROMPT}, .handler = set_prompt,
     .qualifiers = &kSetPromptQualifiers},
    {.key = {"PROTEC", kNoNeg | kValue, 228}},
    {.key = {"QUEUE", kNoNeg, 229}},
    {.key = {"RESTAR", kNoNeg, 230}},
    {.key = {"RIGHTS", kNoNeg, 231}},
    {.key = {"RMS_DE", kNoNeg, 232}},
    {.key = {"SYMBOL", kNoNeg, 233}},
    {.key = {"TERMIN", kNoNeg, verb::SET_TERMINAL}, .handler = set_terminal,
     .qualifiers = &kSetTerminalQualifiers, .traits = CMD_IMAGE, .max_parameters = 1},
    {.key = {"UIC", kNoNeg, 235}},
    {.key = {"VERIFY", kValue, verb::SET_VERIFY}, .handler = set_verify},
    {.key = {"VOLUME", kNoNeg, 237}},
    {.key = {"WORKIN", kNoNeg, 238}},
};
static_assert(std::size(kSetKeywords) == 38);

constexpr CommandRow kShowKeywords[] = {
    {.key = {"ACCOUN", kNoNeg, 301}},
    {.key = {"ACL", kNoNeg, 302}},
    {.key = {"AUDIT", kNoNeg, 303}},
    {.key = {"BROADC", kNoNeg, 304}},
    {.key = {"CLI", kNoNeg, verb::SHOW_CLI}, .handler = show_cli, .qualifiers = &kShowCliQualifiers},
    {.key = {"CLUSTER", kNoNeg, 306}},
    {.key = {"CPU", kNoNeg, 307}},
    {.key = {"DAYTIM", kNoNeg, verb::SHOW_TIME}, .handler = show_time},
    {.key = {"DEFAUL", kNoNeg, verb::SHOW_DEFAULT}, .handler = show_default},
    {.key = {"DEVICE", kNoNeg, 309}},
    {.key = {"DISPLA", kNoNeg, 310}},
    {.key = {"ENTRY", kNoNeg, 311}},
    {.key = {"ERROR", kNoNeg, 312}},
    {.key = {"INTRUS", kNoNeg, 313}},
    {.key = {"KEY", kNoNeg, 314}},
    {.key = {"LICENS", kNoNeg, 315}},
    {.key = {"LOGICA", kNoNeg, verb::SHOW_LOGICAL},
     .handler = show_logical, .qualifiers = &kShowLogicalQualifiers,
     .traits = CMD_IMAGE | CMD_LISTS, .max_parameters = kAny, .listing = "show.lis"},
    {.key = {"MEMORY", kNoNeg, 317}},
    {.key = {"NETWOR", kNoNeg, 318}},
    {.key = {"PRINTE", kNoNeg, 319}},
    {.key = {"PROCES", kNoNeg, 320}, .traits = CMD_IMAGE},
    {.key = {"PROTEC", kNoNeg, 321}},
    {.key = {"QUEUE", kNoNeg, 322}, .traits = CMD_IMAGE},
    {.key = {"QUOTA", kNoNeg, 323}},
    {.key = {"RMS_DE", kNoNeg, 324}},
    {.key = {"STATUS", kNoNeg, verb::SHOW_STATUS}, .handler = show_status},
    {.key = {"SYMBOL", kNoNeg, verb::SHOW_SYMBOL},
     .handler = show_symbol, .qualifiers = &kShowSymbolQualifiers, .max_parameters = 1,
     .prompts = {"_Symbol: "}},
    {.key = {"SYSTEM", kNoNeg, 327}, .traits = CMD_IMAGE},
    {.key = {"TERMIN", kNoNeg, verb::SHOW_TERMINAL}, .handler = show_terminal, .traits = CMD_IMAGE},
    {.key = {"TIME", kNoNeg, verb::SHOW_TIME}, .handler = show_time},
    {.key = {"TRANSL", kNoNeg, verb::SHOW_TRANSLATION},
     .handler = show_translation, .qualifiers = &kShowTranslationQualifiers, .max_parameters = 1,
     .prompts = {"_Log name: "}},
    {.key = {"USERS", kNoNeg, verb::SHOW_USERS}, .handler = show_users,
     .qualifiers = &kShowUsersQualifiers, .traits = CMD_IMAGE, .max_parameters = 1, .listing = "show.lis"},
    {.key = {"WORKIN", kNoNeg, 332}},
    {.key = {"ZONE", kNoNeg, 333}},
};
static_assert(std::size(kShowKeywords) == 34);

// The forms that a qualifier selects.
constexpr CommandRow kDefineKeyRow = {
    .key = {"KEY", kNoNeg, qual::DEFINE_KEY_FORM},
    .handler = define_key_command, .qualifiers = &kDefineKeyQualifiers, .max_parameters = 2,
    .prompts = {"_Key name: ", "_Equivalence name: "}};
constexpr CommandForm kDefineForms[] = {
    {qual::DEFINE_CHARACTERISTIC, nullptr},
    {qual::DEFINE_FORM, nullptr},
    {qual::DEFINE_KEY, &kDefineKeyRow},
};

constexpr CommandRow kDeleteSymbolRow = {
    .key = {"SYMBOL", kNoNeg, qual::DELETE_SYMBOL_FORM},
    .handler = delete_symbol_command, .qualifiers = &kDeleteSymbolQualifiers,
    .max_parameters = 1, .prompts = {"_Symbol: "}};
// The forms not carried out are listed too: without them DELETE/KEY PF1
// would delete a file named pf1.
constexpr CommandForm kDeleteForms[] = {
    {qual::DELETE_CHARACTERISTIC, nullptr},
    {qual::DELETE_ENTRY, nullptr},
    {qual::DELETE_FORM, nullptr},
    {qual::DELETE_INTRUSION, nullptr},
    {qual::DELETE_KEY, nullptr},
    {qual::DELETE_QUEUE, nullptr},
    {qual::DELETE_SYMBOL, &kDeleteSymbolRow},
};

constexpr CommandRow kCreateDirectoryRow = {
    .key = {"DIRECT", kNoNeg, qual::CREATE_DIRECTORY_FORM},
    .handler = create_directory_command, .qualifiers = &kCreateDirectoryQualifiers,
    .traits = CMD_LISTS, .max_parameters = 1, .prompts = {"_Directory: "}};
constexpr CommandForm kCreateForms[] = {
    {qual::CREATE_DIRECTORY, &kCreateDirectoryRow},
    {qual::CREATE_FDL, nullptr},
    {qual::CREATE_NAME_TABLE, nullptr},
    {qual::CREATE_TERMINAL, nullptr},
};

// Searched in order by lookup_verb: the first match wins.
constexpr CommandRow kVerbs[] = {
    {.key = {"ACCOUN", 2, 1}},
    {.key = {"ALLOCA", 2, 2}},
    {.key = {"ANALYZ", 2, 3}},
    {.key = {"APPEND", 2, verb::APPEND}, .handler = append_command, .qualifiers = &kAppendQualifiers,
     .traits = CMD_IMAGE | CMD_LISTS, .max_parameters = 2, .prompts = {"_From: ", "_To: "}},
    {.key = {"ASSIGN", 2, verb::ASSIGN},
     .handler = assign_command, .qualifiers = &kAssignQualifiers, .traits = CMD_LISTS,
     .max_parameters = 2, .prompts = {"_Equ name: ", "_Log name: "}},
    {.key = {"ATTACH", 2, 6}},
    {.key = {"BACKUP", 2, 7}},
    {.key = {"CALL", 3, verb::CALL},
     .handler = call_command, .qualifiers = &kCallQualifiers, .tokens = TokenRule::procedure_words,
     .max_parameters = kAny},
    {.key = {"CANCEL", 3, 9}},
    {.key = {"CC", 2, 10}, .traits = CMD_IMAGE},
    {.key = {"CD", 2, verb::CD},
     .handler = cd_command, .traits = CMD_KEEPS_CASE, .tokens = TokenRule::rest_of_line,
     .max_parameters = 1},
    {.key = {"CLOSE", 2, verb::CLOSE}, .handler = close_command, .qualifiers = &kCloseQualifiers,
     .max_parameters = 1, .prompts = {"_Log name: "}},
    {.key = {"CONNEC", 4, 13}},
    {.key = {"CONTIN", 4, verb::CONTINUE}, .handler = continue_command},
    {.key = {"CONVER", 4, 15}},
    {.key = {"COPY", 3, verb::COPY}, .handler = copy_command, .qualifiers = &kCopyQualifiers,
     .traits = CMD_IMAGE | CMD_LISTS, .max_parameters = 2, .prompts = {"_From: ", "_To: "}},
    {.key = {"CREATE", 2, verb::CREATE}, .handler = create_command, .qualifiers = &kCreateQualifiers,
     .traits = CMD_IMAGE | CMD_LISTS, .max_parameters = 1, .prompts = {"_File: "}, .forms = kCreateForms,
     .form_rule = FormRule::by_name},
    {.key = {"DEALLO", 4, 18}},
    {.key = {"DEASSI", 4, verb::DEASSIGN},
     .handler = deassign_command, .qualifiers = &kDeassignQualifiers, .max_parameters = 1,
     .prompts = {"_Log name: "}},
    {.key = {"DEBUG", 3, 20}},
    {.key = {"DECK", 3, verb::DECK}, .qualifiers = &kDeckQualifiers},
    {.key = {"DEFINE", 3, verb::DEFINE},
     .handler = define_command, .qualifiers = &kDefineQualifiers, .traits = CMD_LISTS,
     .max_parameters = 2, .prompts = {"_Log name: ", "_Equ name: "}, .forms = kDefineForms,
     .form_rule = FormRule::by_name},
    {.key = {"DELETE", 3, verb::DELETE}, .handler = delete_files_command,
     .qualifiers = &kDeleteQualifiers, .traits = CMD_LISTS, .max_parameters = 1, .prompts = {"_File: "},
     .forms = kDeleteForms, .form_rule = FormRule::by_lookup},
    {.key = {"DEPOSI", 3, 24}},
    {.key = {"DIFFER", 3, verb::DIFFERENCES}, .handler = differences_command, .qualifiers = &kDifferencesQualifiers,
     .traits = CMD_IMAGE, .max_parameters = 2, .prompts = {"_File 1: ", "_File 2: "}},
    {.key = {"DIRECT", 3, verb::DIRECTORY}, .handler = directory_command,
     .qualifiers = &kDirectoryQualifiers, .traits = CMD_IMAGE | CMD_LISTS, .max_parameters = 1,
     .listing = "directory.lis"},
    {.key = {"DISCON", 4, 27}},
    {.key = {"DISMOU", 4, 28}, .traits = CMD_IMAGE},
    {.key = {"DUMP", 2, 29}, .traits = CMD_IMAGE},
    {.key = {"EDIT", 2, 30}, .traits = CMD_IMAGE},
    {.key = {"ELSE", 2, verb::ELSE}, .handler = verb_out_of_place, .traits = CMD_RAW},
    {.key = {"ENDIF", 4, verb::ENDIF}, .handler = verb_out_of_place, .traits = CMD_RAW},
    {.key = {"ENDSUB", 4, verb::ENDSUBROUTINE}, .handler = endsubroutine_command},
    {.key = {"EOD", 3, 34}},
    {.key = {"EOJ", 3, verb::EOJ}, .handler = eoj_command, .traits = CMD_IMAGE},
    {.key = {"EXAMIN", 3, 36}},
    {.key = {"EXCHAN", 3, 37}},
    {.key = {"EXIT", 3, verb::EXIT},
     .handler = exit_command, .traits = CMD_RAW, .tokens = TokenRule::expressions},
    {.key = {"FONT", 3, 39}},
    {.key = {"FOREIGN", 7, verb::FOREIGN},
     .handler = foreign_command, .traits = CMD_IMAGE | CMD_KEEPS_CASE,
     .tokens = TokenRule::rest_of_line, .max_parameters = 1},
    {.key = {"FORTRA", 2, 40}, .traits = CMD_IMAGE},
    {.key = {"GOSUB", 3, verb::GOSUB},
     .handler = gosub_command, .max_parameters = 1, .prompts = {"_label: "}},
    {.key = {"GOTO", 3, verb::GOTO},
     .handler = goto_command, .max_parameters = 1, .prompts = {"_Label: "}},
    {.key = {"HELP", 1, verb::HELP}, .handler = help_command, .qualifiers = &kHelpQualifiers,
     .traits = CMD_IMAGE | CMD_WORDS_AFTER_FIRST, .max_parameters = kAny, .listing = "help.lis"},
    {.key = {"IF", 2, verb::IF},
     .handler = if_command, .traits = CMD_RAW, .tokens = TokenRule::condition},
    {.key = {"INITIA", 3, 45}},
    {.key = {"INQUIR", 3, verb::INQUIRE}, .handler = inquire_command, .qualifiers = &kInquireQualifiers,
     .tokens = TokenRule::procedure_words, .max_parameters = 2, .prompts = {"_Symbol: "}},
    {.key = {"INSTAL", 3, 47}},
    {.key = {"JOB", 2, 48}},
    {.key = {"LIBRAR", 3, 49}, .traits = CMD_IMAGE},
    {.key = {"LICENS", 3, 50}},
    {.key = {"LINK", 3, 51}, .traits = CMD_IMAGE},
    {.key = {"LOGOUT", 2, verb::LOGOUT}, .handler = logout_command, .qualifiers = &kLogoutQualifiers,
     .traits = CMD_IMAGE},
    {.key = {"MACRO", 3, 53}},
    {.key = {"MAIL", 3, 54}, .traits = CMD_IMAGE},
    {.key = {"MERGE", 3, 55}, .traits = CMD_IMAGE},
    {.key = {"MESSAG", 3, 56}},
    {.key = {"MONITO", 3, 57}},
    {.key = {"MOUNT", 3, 58}, .traits = CMD_IMAGE},
    {.key = {"SHELL", 3, verb::SHELL},
     .handler = shell_command, .traits = CMD_IMAGE | CMD_KEEPS_CASE,
     .tokens = TokenRule::rest_of_line, .max_parameters = 1},
    {.key = {"NCS", 3, 59}},
    {.key = {"ON", 2, verb::ON}, .handler = on_command, .traits = CMD_RAW},
    {.key = {"OPEN", 2, verb::OPEN}, .handler = open_command, .qualifiers = &kOpenQualifiers,
     .max_parameters = 2, .prompts = {"_Log name: ", "_Filename: "}},
    {.key = {"PATCH", 3, 62}},
    {.key = {"PHONE", 2, 63}, .traits = CMD_IMAGE},
    {.key = {"PRINT", 2, 64}, .traits = CMD_IMAGE},
    {.key = {"PSWRAP", 2, 65}},
    {.key = {"PURGE", 2, verb::PURGE}, .handler = purge_command, .qualifiers = &kPurgeQualifiers,
     .traits = CMD_LISTS, .max_parameters = 1},
    {.key = {"READ", 3, verb::READ}, .handler = read_command, .qualifiers = &kReadQualifiers,
     .max_parameters = 2, .prompts = {"_Log name: ", "_Symbol: "}},
    {.key = {"RECALL", 3, verb::RECALL},
     .handler = recall_command, .qualifiers = &kRecallQualifiers, .traits = CMD_INTERACTIVE,
     .tokens = TokenRule::recall, .max_parameters = kAny},
    {.key = {"RENAME", 3, verb::RENAME}, .handler = rename_command, .qualifiers = &kRenameQualifiers,
     .traits = CMD_IMAGE | CMD_LISTS, .max_parameters = 2, .prompts = {"_From: ", "_To: "}},
    {.key = {"REPLY", 3, 70}, .traits = CMD_IMAGE},
    {.key = {"REQUES", 3, 71}},
    {.key = {"RETURN", 3, verb::RETURN},
     .handler = return_command, .traits = CMD_RAW, .tokens = TokenRule::expressions},
    {.key = {"RUN", 1, verb::RUN}},
    {.key = {"RUNOFF", 4, 74}},
    {.key = {"SEARCH", 3, verb::SEARCH}, .handler = search_command, .qualifiers = &kSearchQualifiers,
     .traits = CMD_IMAGE | CMD_LISTS, .max_parameters = 2, .listing = "search.lis",
     .prompts = {"_Filename(s): ", "_String(s): "}},
    {.key = {"SET", 3, verb::SET}, .tokens = TokenRule::keyword_first, .subcommands = kSetKeywords},
    {.key = {"SHOW", 2, verb::SHOW},
     .tokens = TokenRule::keyword_first, .subcommands = kShowKeywords},
    {.key = {"SORT", 2, 78}, .traits = CMD_IMAGE},
    {.key = {"SPAWN", 2, verb::SPAWN}, .tokens = TokenRule::procedure_words},
    {.key = {"START", 3, 80}},
    {.key = {"STOP", 3, 81}},
    {.key = {"SUBMIT", 4, 82}, .traits = CMD_IMAGE},
    {.key = {"SUBROU", 4, verb::SUBROUTINE}, .handler = subroutine_command},
    {.key = {"SYNCHR", 2, 84}},
    {.key = {"THEN", 2, verb::THEN}, .handler = verb_out_of_place, .traits = CMD_RAW},
    {.key = {"TYPE", 2, verb::TYPE}, .handler = type_command, .qualifiers = &kTypeQualifiers,
     .traits = CMD_IMAGE | CMD_LISTS, .max_parameters = 1, .listing = "type.lis", .prompts = {"_File: "}},
    {.key = {"UNLOCK", 3, 88}},
    {.key = {"VIEW", 1, 89}},
    {.key = {"WAIT", 2, 90}},
    {.key = {"WRITE", 2, verb::WRITE},
     .handler = write_command, .qualifiers = &kWriteQualifiers, .tokens = TokenRule::write,
     .max_parameters = kAny, .prompts = {"_Log name: ", "_Expression: "}},
    {.key = {"ECHO", 2, verb::ECHO},
     .handler = echo_command, .traits = CMD_NO_QUALIFIERS, .tokens = TokenRule::expressions,
     .max_parameters = kAny},
    {.key = {"UNIX", 2, verb::SHELL},
     .handler = shell_command, .traits = CMD_IMAGE | CMD_KEEPS_CASE,
     .tokens = TokenRule::rest_of_line, .max_parameters = 1},
    {.key = {"NT", 2, verb::SHELL},
     .handler = shell_command, .traits = CMD_IMAGE | CMD_KEEPS_CASE,
     .tokens = TokenRule::rest_of_line, .max_parameters = 1},
};
static_assert(std::size(kVerbs) == 95);

// A first word that is no verb: the line is a Unix command.
constexpr CommandRow kUnixRow = {
    .key = {"", 0, verb::NONE},
    .handler = unix_command, .traits = CMD_IMAGE | CMD_KEEPS_CASE,
    .tokens = TokenRule::rest_of_line, .max_parameters = kAny};

// "@file": the verb word is the procedure.
constexpr CommandRow kAtRow = {
    .key = {"@", 0, verb::AT},
    .handler = at_command, .qualifiers = &kAtQualifiers, .tokens = TokenRule::procedure_words,
    .max_parameters = kAny};

constexpr size_t kLastCode = 512;

// Row by code, built at compile time: the dispatcher and the tokenizer look
// a row up for every command.
struct CodeIndex {
    std::array<const CommandRow*, kLastCode> rows{};

    constexpr void add(const CommandRow& row) {
        if (row.code() < kLastCode && rows[row.code()] == nullptr) rows[row.code()] = &row;
    }
    constexpr CodeIndex() {
        add(kUnixRow);
        add(kAtRow);
        for (const CommandRow& row : kVerbs) add(row);
        for (const CommandRow& row : kSetKeywords) add(row);
        for (const CommandRow& row : kShowKeywords) add(row);
        add(kDefineKeyRow);
        add(kDeleteSymbolRow);
    }
};
constexpr CodeIndex kCodeIndex;

// The verb rows grouped by first letter, table order kept within a group:
// a typed word is compared with its own group only.
struct LetterIndex {
    std::array<const CommandRow*, std::size(kVerbs)> rows{};
    std::array<uint8_t, 257> start{};  // group of character c: [start[c], start[c + 1])

    constexpr LetterIndex() {
        size_t n = 0;
        for (unsigned c = 0; c < 256; ++c) {
            start[c] = static_cast<uint8_t>(n);
            for (const CommandRow& row : kVerbs)
                if (static_cast<unsigned char>(row.key.name[0]) == c) rows[n++] = &row;
        }
        start[256] = static_cast<uint8_t>(n);
    }
};
constexpr LetterIndex kLetterIndex;

void add_tables(std::vector<const KeywordTable*>& tables, const CommandRow& row) {
    if (row.qualifiers) tables.push_back(row.qualifiers);
    for (const CommandRow& sub : row.subcommands) add_tables(tables, sub);
    for (const CommandForm& form : row.forms)
        if (form.row) add_tables(tables, *form.row);
}

// Every qualifier table the rows name, sorted by id for bisection.
std::vector<const KeywordTable*> collect_qualifier_tables() {
    std::vector<const KeywordTable*> tables;
    add_tables(tables, kAtRow);
    for (const CommandRow& row : kVerbs) add_tables(tables, row);
    std::sort(tables.begin(), tables.end(),
              [](const KeywordTable* a, const KeywordTable* b) { return a->id < b->id; });
    tables.erase(std::unique(tables.begin(), tables.end()), tables.end());
    return tables;
}

}  // namespace

std::span<const CommandRow* const> verb_rows_starting_with(char first) {
    auto c = static_cast<unsigned char>(first);
    return std::span(kLetterIndex.rows)
        .subspan(kLetterIndex.start[c], kLetterIndex.start[c + 1] - kLetterIndex.start[c]);
}

const CommandRow* command_row(uint32_t code) {
    return code < kLastCode ? kCodeIndex.rows[code] : nullptr;
}

const KeywordTable* qualifier_table(uint32_t id) {
    static const std::vector<const KeywordTable*> tables = collect_qualifier_tables();
    auto it = std::lower_bound(tables.begin(), tables.end(), id,
                               [](const KeywordTable* t, uint32_t wanted) { return t->id < wanted; });
    return it != tables.end() && (*it)->id == id ? *it : nullptr;
}

}  // namespace dcl
