#pragma once

#include "transfer.h"

#include <QString>

namespace transfer {

// Copies the history in the file `source` to `copy`, the file itself being only read, checks
// the copy whole (its pages, its version, its tables and columns) and brings it up to this
// version: done, refused or failed with the reason, or cancelled through `progress`.
Result prepareCopy(const QString &source, const QString &copy, const Progress &progress);

} // namespace transfer
