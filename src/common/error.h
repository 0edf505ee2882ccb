#pragma once

#include <stdexcept>
#include <string>

namespace brenvale {

// The one exception type of the project. Its text is shown to the user as it stands (UTF-8).
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& userText) : std::runtime_error(userText) {}
};

}  // namespace brenvale
