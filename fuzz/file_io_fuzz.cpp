// Fuzzes the files OPEN opens: the bytes before the first 0xFF are a file
// whose records must read back exactly as they lie (the record reader's
// buffer boundaries, long lines, NUL bytes, a last line without newline);
// the bytes after it are a sequence of OPEN, READ, WRITE, WRITE/UPDATE and
// CLOSE commands on two channels and three files, run through the real
// dispatcher in a private directory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

#include "core/dispatch.h"
#include "core/state_reset.h"
#include "fileio/open_files.h"
#include "lang/lexer.h"
#include "proc/procedure.h"
#include "status/cli_options.h"
#include "status/condition.h"
#include "status/messages.h"

#include "private_directory.h"

namespace {

PrivateDirectory& private_directory() {
    static PrivateDirectory dir("dclsh-fileio-fuzz");
    return dir;
}

void write_file(const char* name, std::string_view bytes) {
    FILE* f = std::fopen(name, "we");
    if (!f) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Every record read back, joined by newlines, is the file again.
void check_records(std::string_view content) {
    dcl::OpenFile file;
    if (file.open("f0.dat", dcl::OpenMode::read) != 0) std::abort();
    std::string record, joined;
    bool first = true;
    for (;;) {
        uint32_t status = file.read_record(record);
        if (status == dcl::cond::RMS_EOF) break;
        if (status != 1) return;  // a record too long: cut on purpose
        if (!first) joined += '\n';
        joined += record;
        first = false;
    }
    if (!content.empty() && content.back() == '\n') joined += '\n';
    if (joined != content) __builtin_trap();
}

// The text of a WRITE taken from the input: a quoted string, one line.
std::string quoted_text(std::string_view& ops) {
    size_t length = ops.empty() ? 0 : static_cast<unsigned char>(ops[0]) % 48;
    if (!ops.empty()) ops.remove_prefix(1);
    length = std::min(length, ops.size());
    std::string text = "\"";
    for (char c : ops.substr(0, length)) {
        if (c == '"') text += "\"\"";
        else text += (c == '\n' || c == '\0' || c == '\r') ? ' ' : c;
    }
    ops.remove_prefix(length);
    return text + "\"";
}

std::string next_command(std::string_view& ops) {
    unsigned char op = static_cast<unsigned char>(ops[0]);
    ops.remove_prefix(1);
    std::string channel = (op & 8) ? "A" : "B";
    std::string file = " f" + std::to_string((op >> 4) % 3) + ".dat";
    switch (op % 8) {
    case 0: return "OPEN/READ " + channel + file;
    case 1: return "OPEN/WRITE " + channel + file;
    case 2: return "OPEN/READ/WRITE " + channel + file;
    case 3: return "OPEN/APPEND " + channel + file;
    case 4: return "READ " + channel + " X";
    case 5: return "WRITE " + channel + " " + quoted_text(ops);
    case 6: return "WRITE/UPDATE " + channel + " " + quoted_text(ops);
    default: return (op & 0x80) ? "CLOSE/DISPOSITION=DELETE " + channel : "CLOSE " + channel;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t split = input.find('\xff');
    std::string_view content = input.substr(0, split);
    std::string_view ops = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    enter_fresh(private_directory());
    write_file("f0.dat", content);
    check_records(content);
    reset_process_state();
    // Whatever the line turns out to be, no shell may run it.
    cli_options().pass_to_shell = false;
    push_procedure_level("");
    std::string expanded;
    for (int count = 0; !ops.empty() && count < 64; ++count) {
        std::string command = next_command(ops);
        if (expand_command_line(expanded, command) == 1) {
            if (uint32_t status = run_command_line(expanded); status != 1 && status != 0) signal_condition(status);
        }
        discard_messages();
    }
    reset_process_state();
    leave(private_directory());
    return 0;
}
