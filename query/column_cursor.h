#pragma once

#include "fields/field_store.h"

#include <algorithm>

namespace query {

// Walks a column along records that mostly ascend (the hits of a database in
// file order): each look-up starts where the last one ended.
class ColumnCursor
{
public:
    explicit ColumnCursor(const fields::Column *column = nullptr) : column_(column) {}

    // The entry of the record in the column, or -1.
    qsizetype entryOf(int record)
    {
        if (!column_)
            return -1;
        const std::vector<quint32> &records = column_->records();
        if (record < last_)
            at_ = 0;
        last_ = record;
        for (int steps = 0; at_ < records.size() && records[at_] < quint32(record); ++steps, ++at_) {
            if (steps == 8) {
                at_ = size_t(std::lower_bound(records.begin() + qsizetype(at_), records.end(), quint32(record))
                             - records.begin());
                break;
            }
        }
        return at_ < records.size() && records[at_] == quint32(record) ? qsizetype(at_) : -1;
    }

    const fields::Column *column() const { return column_; }

private:
    const fields::Column *column_;
    size_t at_ = 0;
    int last_ = -1;
};

} // namespace query
