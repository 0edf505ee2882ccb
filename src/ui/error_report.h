#pragma once

#include <utility>

#include "common/error.h"

namespace brenvale {

// The application's error report: an operation that fails with Error stops where it is and
// its text is shown in an error box.
void ReportError(const Error& error);

// Wraps a slot so that an Error it throws is reported instead of escaping into Qt.
template <typename Fn>
auto Guarded(Fn fn) {
    return [fn = std::move(fn)]() {
        try {
            fn();
        } catch (const Error& error) {
            ReportError(error);
        }
    };
}

// The same for a slot that takes one argument of the signal.
template <typename Arg, typename Fn>
auto GuardedWith(Fn fn) {
    return [fn = std::move(fn)](Arg arg) {
        try {
            fn(arg);
        } catch (const Error& error) {
            ReportError(error);
        }
    };
}

}  // namespace brenvale
