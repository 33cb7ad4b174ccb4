// Includes that repeat an earlier one exactly: the same header, preprocessed
// to its end within the same source file, from a definition table that has
// not changed since that earlier include began. Such an include writes the
// same lines again and defines nothing new. A header is included so again a
// few times, as any header is; past that, an exact repeat is not made. A
// tree that holds preprocessed copies of sources (headers without their
// guards, include copies that hold a header many times over) then costs in
// proportion to its size, not to the number of paths through its includes.
#pragma once

#include "platform/file_ops.h"

namespace vandrel {

// Exact repeats of one header made in a source file before they are left out.
inline constexpr int kMaxExactRepeats = 2;

// Forgets the includes noted so far (a new file of the source tree).
void ForgetIncludes();
// True when an include of `header` now is an exact repeat past the limit.
// An exact repeat within the limit is counted.
bool SkipsRepeatedInclude(const FileStamp& header);
// Notes an include of `header` that began at the definition table's
// `version` and ran to its end.
void NoteIncludeDone(const FileStamp& header, unsigned long long version);

}  // namespace vandrel
