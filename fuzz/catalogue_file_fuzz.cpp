// datalist.txt: a file is read whole or stops at one of its failures with at
// most 50 entries; a whole catalogue written and read again gives the same
// entries and the same bytes.
#include "base/failure.h"
#include "catalogue/catalogue_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const catalogue::CatalogueRead read = catalogue::readCatalogueFromBytes(fuzzBytes(data, size));
    FUZZ_CHECK(read.catalogue.count() <= catalogue::kMaxEntries);
    FUZZ_CHECK(read.catalogue.complete == !read.failure.has_value());
    if (read.failure) {
        const int n = read.failure->number();
        FUZZ_CHECK(n == base::ErrOverflow || n == base::ErrSubscriptOutOfRange || n == base::ErrInputPastEndOfFile);
        return 0;
    }
    const QByteArray written = catalogue::encodeCatalogue(read.catalogue.entries);
    const catalogue::CatalogueRead again = catalogue::readCatalogueFromBytes(written);
    FUZZ_CHECK(!again.failure && again.catalogue.entries == read.catalogue.entries);
    FUZZ_CHECK(catalogue::encodeCatalogue(again.catalogue.entries) == written);
    return 0;
}
