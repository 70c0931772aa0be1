#pragma once
// A list that RAS writes into the caller's buffer (the devices, the
// connections): asked once and, when the buffer was too small, once more with
// the size RAS named. Never a third time.
#include <windows.h>

#include "ui/raii.h"
#include "platform/ras/ras.h"

namespace dialup {

template <typename Record> class RasList {
  public:
    typedef DWORD (*Enumerate)(Record* records, DWORD* bytes, DWORD* count);

    RasList() : count_(0) {}

    // The first ask goes with a buffer of firstRecords records; with none it
    // only learns the size, and less than a record's size then means nothing
    // to list. Returns the last ask's result; count() is 0 unless it was 0.
    DWORD fill(Enumerate enumerate, DWORD firstRecords) {
        count_ = 0;
        DWORD bytes = firstRecords * sizeof(Record);
        DWORD count = 0;
        if (firstRecords) {
            if (!start(bytes)) return ERROR_NOT_ENOUGH_MEMORY;
            DWORD result = enumerate(records(), &bytes, &count);
            if (result != ERROR_BUFFER_TOO_SMALL) return finish(result, count, firstRecords);
            if (bytes < sizeof(Record)) bytes = sizeof(Record);
        } else {
            DWORD result = enumerate(NULL, &bytes, &count);
            // No size means no record, or a failed call: either way nothing to list.
            if (bytes < sizeof(Record)) return result;
        }
        if (!start(bytes)) return ERROR_NOT_ENOUGH_MEMORY;
        const DWORD capacity = bytes / sizeof(Record);
        count = 0;
        DWORD result = enumerate(records(), &bytes, &count);
        return finish(result, count, capacity);
    }

    Record* records() const { return buffer_.as<Record>(); }
    DWORD count() const { return count_; }

  private:
    // A zeroed buffer whose first record tells RAS the record's size.
    int start(DWORD bytes) {
        if (!buffer_.allocate(bytes, LPTR)) return 0;
        records()[0].dwSize = sizeof(Record);
        return 1;
    }

    // Never more records than the buffer holds, whatever RAS counted.
    DWORD finish(DWORD result, DWORD count, DWORD capacity) {
        if (result == 0) count_ = count < capacity ? count : capacity;
        return result;
    }

    ui::LocalBuffer buffer_;
    DWORD count_;
};

} // namespace dialup
