#pragma once

#include <string_view>

namespace brenvale {

// The shared-mime-info package of the .bnv type, as resources/desktop/brenvale-mime.xml holds
// it (built in when the program is configured).
std::string_view MimePackageText();

}  // namespace brenvale
