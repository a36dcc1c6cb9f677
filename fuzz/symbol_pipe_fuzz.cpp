// Fuzzes what an image may send down the symbol pipe: a stream of requests
// (length, header, data) served one by one, including truncated, oversized
// and garbage messages, and the symbol operations they ask for.
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#include "core/state_reset.h"
#include "proc/procedure.h"
#include "status/messages.h"
#include "unix/symbol_pipe.h"

namespace {

bool never_ended(dcl::ImageRun&) { return false; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    // A pipe holds 64 KiB: larger inputs would block the writer.
    if (size > 60000) return 0;
    reset_process_state();
    push_procedure_level("");
    int requests[2];
    if (pipe(requests) != 0) return 0;
    size_t written = 0;
    while (written < size) {
        ssize_t n = write(requests[1], data + written, size - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    close(requests[1]);  // the image is gone once its requests are read
    int replies = open("/dev/null", O_WRONLY);
    ImageRun run;
    while (serve_one_request(requests[0], replies, run, never_ended)) {
    }
    close(requests[0]);
    close(replies);
    discard_messages();
    return 0;
}
