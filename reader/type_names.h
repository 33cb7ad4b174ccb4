// The type-name table's lookups and additions (the table is g_typeNameTable,
// vocabulary.h). Items of a step that run ahead on the work threads
// (platform/ordered_work.h) look names up in a copy of the table that the
// committing thread keeps up to date and that they read without locks; what
// they add takes effect at their commit, and an item that found a name
// missing that an earlier item then added runs again. A name that an earlier
// item has added in a run not yet committed counts as added; the item's
// commit checks that it was.
#pragma once

#include <string>
#include <string_view>

namespace vandrel {

// True when the name is a type name for the calling thread's item (or for
// the table, outside an item).
bool IsTypeName(std::string_view name);

}  // namespace vandrel
