// Fuzzes the readers of the message database files. The first byte chooses
// which file the rest of the input becomes: 0 a user message file, 1 the
// message file, 2 the facility file; the other two files are small valid
// ones. Lookups then use fixed values and values taken from the input.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "status/message_files.h"

#include "private_directory.h"

namespace {

std::string le32(uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

std::string valid_facilities() {
    std::string out = le32(0x0B60B600) + le32(2) + std::string(24, '\0');
    out += le32(0x00010000) + "RMS" + '\0';
    out += le32(0x00030000) + "CLI" + '\0';
    return out;
}

std::string valid_messages() {
    std::string out = le32(0x0B6000B6) + le32(2) + std::string(24, '\0');
    out += le32(0x1098) + "OPENIN" + '\0' + "error opening !AS as input" + '\0' + le32(1);
    out += le32(0x38090) + "IVVERB" + '\0' + "unrecognized command verb" + '\0' + le32(0);
    return out;
}

// Removed, with the three files, when the fuzzer ends.
const std::string& work_directory() {
    static PrivateDirectory dir("dclsh-msgfuzz");
    static const std::string path = dir.path + "/";
    return path;
}

void write_file(const std::string& path, const char* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(data, std::streamsize(size));
}

void look_up(uint32_t value) {
    std::string out;
    bool directives = false;
    dcl::get_message_text(out, value, dcl::PART_ALL, &directives);
    dcl::get_message_text(out, value, dcl::PART_TEXT | dcl::PART_FACILITY);
    dcl::get_facility_name(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string& dir = work_directory();
    const char* body = reinterpret_cast<const char*>(data + 1);
    std::string facilities = valid_facilities(), messages = valid_messages();
    unsigned mode = data[0] % 3;
    write_file(dir + "facil.dat", mode == 2 ? body : facilities.data(),
               mode == 2 ? size - 1 : facilities.size());
    write_file(dir + "messages.dat", mode == 1 ? body : messages.data(),
               mode == 1 ? size - 1 : messages.size());
    write_file(dir + "user.dat", body, mode == 0 ? size - 1 : 0);

    unsetenv("TQ_LOADMSG");
    dcl::reset_message_files();
    dcl::set_message_directory(dir);
    dcl::load_message_file(dir + "user.dat");
    for (uint32_t fixed : {0x1u, 0x6C109Cu, 0x38090u, 0x18292u, 0x8001012u}) look_up(fixed);
    for (size_t i = 1; i + 4 <= size && i < 65; i += 4) {
        uint32_t v = uint32_t(data[i]) << 24 | data[i + 1] << 16 | data[i + 2] << 8 | data[i + 3];
        look_up(v);
    }
    dcl::reset_message_files();
    return 0;
}
