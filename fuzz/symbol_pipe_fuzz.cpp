// Fuzzes what an image may send down the symbol pipe: a stream of requests
// (length, header, data) served one by one, including truncated, oversized
// and garbage messages, and the symbol operations they ask for.
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#include "core/state_reset.h"
#include "pipe_input.h"
#include "proc/procedure.h"
#include "status/messages.h"
#include "unix/symbol_pipe.h"

namespace {

bool never_ended(dcl::ImageRun&) { return false; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    // The image is gone once its requests are read.
    int requests = pipe_with_input(data, size);
    if (requests < 0) return 0;
    reset_process_state();
    push_procedure_level("");
    int replies = open("/dev/null", O_WRONLY);
    ImageRun run;
    while (serve_one_request(requests, replies, run, never_ended)) {
    }
    close(requests);
    close(replies);
    discard_messages();
    return 0;
}
