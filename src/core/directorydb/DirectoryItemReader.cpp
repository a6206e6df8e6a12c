#include "core/directorydb/DirectoryItemReader.h"

#include "core/common/Text.h"

#include <pugixml.hpp>

#include <stdexcept>

namespace {

constexpr std::size_t largestItemsText = std::size_t(16) << 20;

} // namespace

const DirectoryItem& DirectoryItemReader::Read(const pugi::xml_node& item)
{
    if (const pugi::xml_attribute name = item.attribute("name"))
        working.name = name.value();
    if (const pugi::xml_attribute index = item.attribute("index"))
        working.index = ParseLeadingInt(index.value());
    if (const pugi::xml_attribute value = item.attribute("value"))
        working.value = value.value();
    typeUnknown = false;
    if (const pugi::xml_attribute typeText = item.attribute("type")) {
        if (const auto type = ParseControlType(typeText.value()))
            working.type = *type;
        else
            typeUnknown = true;
    }
    textRead += working.name.size() + working.value.size();
    if (textRead > largestItemsText)
        throw std::length_error("the items are larger than allowed");
    return working;
}
