#pragma once

#include <new>
#include <utility>

#include "common/error.h"

namespace brenvale {

// The application's error report: an operation that fails with Error stops where it is and
// its text is shown in an error box.
void ReportError(const Error& error);
// Memory ran out: the operation stops, the document stays as it was before it, and the
// user is told.
void ReportOutOfMemory();

// Runs fn; an Error or a lack of memory it ends with is reported instead of escaping into Qt.
// Returns whether fn ran to its end.
template <typename Fn>
bool RunReporting(Fn&& fn) {
    try {
        fn();
        return true;
    } catch (const Error& error) {
        ReportError(error);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
    return false;
}

// Wraps a slot so that what it throws is reported (see RunReporting).
template <typename Fn>
auto Guarded(Fn fn) {
    return [fn = std::move(fn)]() { RunReporting(fn); };
}

// The same for a slot that takes one argument of the signal.
template <typename Arg, typename Fn>
auto GuardedWith(Fn fn) {
    return [fn = std::move(fn)](Arg arg) { RunReporting([&] { fn(arg); }); };
}

}  // namespace brenvale
