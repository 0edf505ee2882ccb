#pragma once

#include <string>
#include <string_view>

namespace brenvale {

// Appends the UTF-8 of a CP932 text as XML 1.0 can carry it, its references as their
// characters: a character XML has no place for (a control character but TAB, LF and CR, not
// even as a reference, and U+FFFE and U+FFFF) becomes U+FFFD. With
// `attribute`, escaped as an attribute value in double quotes ("<", ">", "&", '"', and TAB,
// LF, CR as references). Decodes and escapes in one pass; returns whether the text needs its
// exact bytes to come back: a character became U+FFFD, or the bytes do not round-trip (see
// Cp932RoundTrips).
bool AppendXmlText(std::string& out, std::string_view cp932, bool attribute);

// Appends UTF-8 as the content of an element: "<", ">", "&" and '"' escaped, every byte that
// is not UTF-8 and every control character XML cannot carry as U+FFFD.
void AppendXmlContent(std::string& out, std::string_view utf8);

}  // namespace brenvale
