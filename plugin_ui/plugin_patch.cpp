#include "plugin_ui/plugin_patch.h"

#include <cstring>

#include "interface/property_list.h"

namespace {

uint32_t Read32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Texts of the definition end at their NUL or at the end of their slot.
std::string SlotText(const char* slot, size_t size) {
    const void* nul = std::memchr(slot, 0, size);
    return std::string(slot, nul ? static_cast<const char*>(nul) - slot : size);
}

void WritePascal(uint8_t* data, const std::string& text) {
    data[0] = uint8_t(text.size());
    std::memcpy(data + 1, text.data(), text.size());
    data[1 + text.size()] = 0;
}

}  // namespace

uint8_t* FindCode(uint8_t* start, uint8_t* end, uint32_t code, bool vendorWanted) {
    if (!start || !end || end - start < 4) return nullptr;
    for (uint8_t* p = start; p + 4 <= end; ++p) {
        if (Read32(p) != code) continue;
        if (vendorWanted && (p - start < 4 || Read32(p - 4) != kVendorCode)) continue;
        return p;
    }
    return nullptr;
}

std::string MenuNameFor(const FilterDefinition& definition) {
    std::string name = SlotText(definition.title, sizeof definition.title);
    if (definition.hasDialog) name += "...";
    return name;
}

PatchResult PatchPluginImage(uint8_t* begin, uint8_t* end, const FilterDefinition& definition) {
    std::string name = MenuNameFor(definition);
    std::string category = SlotText(definition.category, sizeof definition.category);
    if (name.size() > kMaxMenuTitle + 3 || category.size() > kMaxCategory)
        return PatchResult::TooLong;

    uint8_t* p = FindCode(begin, end, kKeyName, true);
    if (!p || end - p < ptrdiff_t(kPropertyDataOffset + kNameSlotSize)) return PatchResult::NoName;
    uint8_t* q = FindCode(p + kNextSearchOffset, end, kKeyCategory, false);
    if (!q || end - q < ptrdiff_t(kPropertyDataOffset + kCategorySlotSize))
        return PatchResult::NoCategory;
    uint8_t* r = q + kNextSearchOffset < end
                     ? FindCode(q + kNextSearchOffset, end, uint32_t(definition.size), false)
                     : nullptr;
    if (!r || end - r < ptrdiff_t(kDefinitionSize)) return PatchResult::NoDefinition;

    WritePascal(p + kPropertyDataOffset, name);
    WritePascal(q + kPropertyDataOffset, category);
    std::memcpy(r, &definition, kDefinitionSize);
    return PatchResult::Ok;
}
