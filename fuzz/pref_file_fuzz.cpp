// pref.txt: a file either gives three colours or fails with one of its
// numbers, and both forms the program writes read back as the same colours.
#include "base/failure.h"
#include "fuzz_check.h"
#include "storage/pref_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    storage::Prefs prefs;
    try {
        prefs = storage::readPrefsFromBytes(fuzzBytes(data, size));
    } catch (const base::Failure &failure) {
        const int n = failure.number();
        FUZZ_CHECK(n == base::ErrInputPastEndOfFile || n == base::ErrTypeMismatch || n == base::ErrOverflow
                   || n == base::ErrInvalidArgument);
        return 0;
    }
    for (const quint32 colour : {prefs.background, prefs.itemText, prefs.descriptionText})
        FUZZ_CHECK(colour <= 0xFFFFFF);
    for (const QByteArray &written : {storage::encodePrefs(prefs), storage::encodeDefaultPrefs(prefs)}) {
        const storage::Prefs back = storage::readPrefsFromBytes(written);
        FUZZ_CHECK(back.background == prefs.background && back.itemText == prefs.itemText
                   && back.descriptionText == prefs.descriptionText);
    }
    return 0;
}
