#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brenvale {

// A colour of the settings file: low byte red, then green, then blue; from 0x80000000 up a
// system colour (0x80000000 plus its index).
using Colour = uint32_t;

struct NamedColour {
    std::string_view name;
    Colour value;
};

// The 42 colour names in their fixed order: 16 basic colours, 25 system colours, clNone.
std::span<const NamedColour> NamedColours();

// The name when value is a named colour, else "$" and 8 uppercase hexadecimal digits.
std::string FormatColour(Colour value);

// A name (any letter case) or an integer of the settings file; nullopt for anything else.
std::optional<Colour> ParseColour(std::string_view text);

}  // namespace brenvale
