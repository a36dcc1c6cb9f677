// SHOW USERS [name]: the users logged in (the login records of processes
// still alive), one row per user or, with /FULL, per session.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <utmpx.h>
#include <vector>

#include "core/handlers.h"
#include "files/vms_time.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr KeywordRecord kRows[] = {
    {"OUTPUT", KW_VALUE_ALLOWED, qual::USERS_OUTPUT, ValueKind::output},
    {"FULL", 0, qual::USERS_FULL},
};

struct UserRow {
    std::string user;
    pid_t pid = 0;
    std::string line;
    int sessions = 1;
};

// A field of a login record: its bytes up to the first NUL, never beyond it.
template <size_t N>
std::string field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

bool alive(pid_t pid) { return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM); }

// The sessions counted, in the order found.
std::vector<UserRow> collect(std::string_view wanted, bool full, int& sessions) {
    std::vector<UserRow> rows;
    std::vector<UserRow> all;
    setutxent();
    while (const struct utmpx* record = getutxent()) {
        if (record->ut_type != USER_PROCESS || !alive(record->ut_pid)) continue;
        all.push_back({field(record->ut_user), record->ut_pid, field(record->ut_line)});
    }
    endutxent();
    // The name as given first; then, since unquoted words were case-mapped, without regard to case.
    bool exact = false;
    for (const UserRow& row : all) exact = exact || row.user == wanted;
    sessions = 0;
    for (UserRow& row : all) {
        if (!wanted.empty() && !(exact ? row.user == wanted : equal_nocase(row.user, wanted))) continue;
        ++sessions;
        if (!full) {
            auto same = [&](const UserRow& r) { return r.user == row.user; };
            if (auto it = std::find_if(rows.begin(), rows.end(), same); it != rows.end()) {
                ++it->sessions;
                continue;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

size_t distinct_users(const std::vector<UserRow>& rows) {
    std::vector<std::string_view> seen;
    for (const UserRow& row : rows)
        if (std::find(seen.begin(), seen.end(), row.user) == seen.end()) seen.push_back(row.user);
    return seen.size();
}

}  // namespace

const KeywordTable kShowUsersQualifiers{verb::SHOW_USERS, kRows};

uint32_t show_users(const ParsedCommand& cmd, CommandStreams& io) {
    bool full = cmd.flag(qual::USERS_FULL, false);
    const ParsedParameter* parameter = cmd.parameter(0);
    std::string wanted = parameter ? remove_quotes(parameter->text) : std::string();
    int sessions = 0;
    std::vector<UserRow> rows = collect(wanted, full, sessions);
    if (rows.empty()) {
        if (!wanted.empty()) signal_condition(cond::SHOW_NOSUCHUSER, wanted);
        return wanted.empty() ? 1 : 0;
    }
    std::fprintf(io.out, "      %s User Processes at %s\n", "Linux", format_time(std::time(nullptr)).c_str());
    std::fprintf(io.out, "   Total number of users = %zu,  number of sessions = %d\n\n", distinct_users(rows), sessions);
    std::fputs(full ? " Username           PID       Terminal\n" : " Username        Sessions\n", io.out);
    for (const UserRow& row : rows) {
        if (full)
            std::fprintf(io.out, " %-15s %9.9d    %-s\n", row.user.c_str(), static_cast<int>(row.pid), row.line.c_str());
        else
            std::fprintf(io.out, " %-17s%4d\n", row.user.c_str(), row.sessions);
    }
    std::fflush(io.out);
    return 1;
}

}  // namespace dcl
