#pragma once

#include <string>
#include <string_view>

namespace brenvale {

// The icon suffix "@NN@" that follows a Topic caption in the document file and the tree
// clipboard text.
bool HasIconSuffix(std::string_view text);
std::string FormatIconSuffix(int icon);
std::string_view StripIconSuffix(std::string_view text);
int ParseIconSuffix(std::string_view text);

}  // namespace brenvale
