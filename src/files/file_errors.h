// Why a file could not be opened or written, as the RMS-style condition
// that follows the command's own message ("-RMS-E-DNF, directory not
// found"), derived from the system's error number.
#pragma once

#include <cstdint>
#include <string_view>

namespace dcl {

// The reason an open (or create, or rename) of `path` failed with `error`.
// A missing file is DNF when the directory it should be in is missing,
// else FNF; refused access and a directory opened as a file are PRV; a
// full disk or quota is DEVICEFULL; anything else PRV.
uint32_t open_failure_reason(int error, std::string_view path);

// The reason a write failed: DEVICEFULL for a full disk, a quota or the
// file-size limit, PRV for
// refused access, else WER.
uint32_t write_failure_reason(int error);

}  // namespace dcl
