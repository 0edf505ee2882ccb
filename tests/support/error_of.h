#pragma once

#include <string>

#include "common/error.h"

namespace brenvale::test {

// The text of the Error that fn throws; empty when it throws none.
template <typename Fn>
std::string ErrorOf(Fn&& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

}  // namespace brenvale::test
