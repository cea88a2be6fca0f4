#include "storage/large_pages.h"

#include <sys/mman.h>

namespace storage {

void askForLargePages(void *data, qsizetype size)
{
#ifdef MADV_HUGEPAGE
    constexpr quintptr kLargePage = 2 * 1024 * 1024;
    const quintptr begin = (quintptr(data) + kLargePage - 1) & ~(kLargePage - 1);
    const quintptr end = (quintptr(data) + quintptr(size)) & ~(kLargePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

} // namespace storage
