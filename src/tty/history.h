// The command recall buffer kept across sessions: saved to a file when an
// interactive session ends and loaded when the next one starts.
#pragma once

#include <string>

#include "tty/recall.h"

namespace dcl {

// At most this much of a history file is read: the buffer's own limit
// (entries of at most 255 characters) makes a saved file far smaller, so
// anything beyond it is foreign and only its end is looked at.
inline constexpr size_t kMaxHistoryBytes = 64 * 1024;

// Adds the lines of `path` to the recall buffer, oldest first, so the
// file's last line becomes the newest entry. Lines longer than a recall
// entry and lines with control characters are skipped. A missing or
// unreadable file is no error: false, and the buffer is unchanged.
bool load_history(const std::string& path, RecallList& recall);

// Writes the buffer's entries, oldest first, one per line, to a new file
// of mode 0600 beside `path` and renames it over `path`, so that a crash
// or a kill at any moment leaves either the old file or the new one,
// whole. False when the file could not be written (nothing is reported:
// the session is ending).
bool save_history(const std::string& path, const RecallList& recall);

}  // namespace dcl
