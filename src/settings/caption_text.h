#pragma once

#include <string>
#include <string_view>

namespace brenvale {

// A menu caption as a list shows it: without its access key, whether written as "(&N)" after
// the text or as "&" before a letter; "&&" stands for one "&". The dots of "開く(&O)..." stay.
std::string PlainCaption(std::string_view caption);

}  // namespace brenvale
