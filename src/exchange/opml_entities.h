#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace brenvale {

// The general entities an OPML file declares, to find the references the XML parser would drop
// without a word. In a file whose DTD has an external subset or parameter entities, which are
// never read, a reference to an entity nothing declared is no error to the parser: in an
// attribute value it becomes nothing. Such a reference is refused instead, so that no text
// loses characters.
class DeclaredEntities {
public:
    // An entity declared with its value; value is null for an external entity, which an
    // attribute cannot use.
    void declare(std::string_view name, const char* value, int length);

    // The name of the first reference in text (a start tag as the file has it) to an entity
    // that is not predefined, not declared, or declared with a value that refers to such an
    // entity; empty when there is none.
    std::string_view firstUndeclared(std::string_view text) const;

private:
    bool defined(std::string_view name, int depth) const;

    std::unordered_map<std::string, std::string> values_;
};

}  // namespace brenvale
