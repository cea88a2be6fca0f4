#pragma once

#include "base/failure.h"

#include <QString>

#include <optional>
#include <type_traits>

namespace base {

// What an operation of the program object came to: done; refused, when the
// program declined and says why in its own words; failed, when the system
// failed it (a file missing, a disk full), reported in the long
// "Unanticipated error #" form unless the caller words it otherwise; or
// cancelled, when the user stopped it, with nothing to report.
class [[nodiscard]] Outcome
{
public:
    static Outcome done() { return Outcome(); }
    static Outcome refused(QString message)
    {
        Outcome o;
        o.refusal_ = std::move(message);
        return o;
    }
    static Outcome failed(Failure failure)
    {
        Outcome o;
        o.failure_ = std::move(failure);
        return o;
    }
    static Outcome cancelled()
    {
        Outcome o;
        o.cancelled_ = true;
        return o;
    }

    bool ok() const { return !failure_ && !refusal_ && !cancelled_; }
    bool wasCancelled() const { return cancelled_; }
    const std::optional<Failure> &failure() const { return failure_; }
    // The message to show when not ok: the refusal, or the failure's long form.
    QString message() const { return failure_ ? failure_->longMessage() : refusal_.value_or(QString()); }

private:
    std::optional<Failure> failure_;
    std::optional<QString> refusal_;
    bool cancelled_ = false;
};

// Runs a piece of work and tells what it came to: the Outcome the work returns
// (done when it returns nothing), or failed with the Failure it throws. The
// one place where a thrown Failure becomes an Outcome.
template <class Work>
Outcome attempt(Work &&work)
{
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Work>>) {
            work();
            return Outcome::done();
        } else {
            return work();
        }
    } catch (const Failure &failure) {
        return Outcome::failed(failure);
    }
}

} // namespace base
