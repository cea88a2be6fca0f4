#pragma once

#include "app/item_database.h"

#include <QString>

#include <functional>

// Changes to one record of a database file. Items have no key of their own and
// names may repeat, so a record is named by its place in the file (from 0)
// together with the item the caller saw there. When the file no longer holds
// that item at that place (it was changed since the list was filled), nothing
// is written. The file is rewritten atomically; a Failure leaves it as it was.
namespace recordedit {

enum class Outcome {
    Done,
    RecordChanged, // the file no longer holds the expected item at that place
};

// Both run beforeWriting, when given, once the record is found and before the
// file is touched; a Failure it throws stops the change.

// Replaces the record with the replacement; every other record is written back as read.
Outcome replaceRecord(const QString &path, int record, const Item &expected, const Item &replacement,
                      const std::function<void()> &beforeWriting = {});

// Removes exactly that record; the others keep their order.
Outcome removeRecord(const QString &path, int record, const Item &expected,
                     const std::function<void()> &beforeWriting = {});

} // namespace recordedit
