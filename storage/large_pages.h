#pragma once

#include <QtGlobal>

namespace storage {

// Asks the system to back a large buffer with large pages where it can: a
// buffer of hundreds of megabytes then takes its memory in a few hundred
// steps instead of tens of thousands (reading 210 MB into new memory: 0.6 s
// with small pages, 0.06 s with large ones). Only a hint, for the whole
// large pages inside the buffer; nothing changes when the system declines.
void askForLargePages(void *data, qsizetype size);

} // namespace storage
