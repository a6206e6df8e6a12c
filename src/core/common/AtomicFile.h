#pragma once

#include "core/common/Result.h"

#include <string>
#include <string_view>

// Replaces the file at `path` with `bytes` in one step: the bytes go to a
// new file beside it, are flushed to disk, and the new file is renamed over
// the old one. A crash or a failure at any moment leaves either the old or
// the new content whole, never a mix. The file gets `permissions` (as for
// chmod). On failure the old file is untouched, the new one is removed, and
// the result says why.
Result WriteFileAtomically(const std::string& path, std::string_view bytes, unsigned permissions);

// Creates the file at `path` with `bytes` and `permissions`, but only if no
// file of that name exists yet: an existing file is never touched. The new
// file is flushed to disk before this returns. On failure a partly written
// file is removed, and the result says why; its error number EEXIST tells
// apart the one failure a caller may answer by trying another name.
Result WriteNewFile(const std::string& path, std::string_view bytes, unsigned permissions);

// Writes all of `bytes` to the open file `fd`, carrying on after
// interruptions; false when the system refused to take them all.
bool WriteAll(int fd, std::string_view bytes);
