// Row walkers of the FUNC and OPER resources.
#include "formula/tables.h"
#include <cstring>

namespace {

constexpr uint32_t kNameBytes = 8;
constexpr uint32_t kRowHeader = kNameBytes + 2;  // name and int16 arity or code length

int16_t ReadInt16(const uint8_t* p) { return int16_t(uint16_t(p[0] | (p[1] << 8))); }

bool NameEquals(const uint8_t* row, const char* text, int length) {
    if (length <= 0 || uint32_t(length) > kNameBytes) return false;
    if (std::memcmp(row, text, size_t(length)) != 0) return false;
    return uint32_t(length) == kNameBytes || row[length] == 0;
}

}  // namespace

int FindFunction(ByteTable funcs, const char* text, int length) {
    for (uint32_t at = 0; at + kRowHeader <= funcs.size && funcs.bytes[at] != 0; at += kRowHeader) {
        const uint8_t* row = funcs.bytes + at;
        if (NameEquals(row, text, length)) {
            const int arity = ReadInt16(row + kNameBytes);
            return arity < 0 ? 0 : arity;
        }
    }
    return -1;
}

bool FindTemplate(ByteTable opers, const char* name, TemplateRow* out) {
    const int length = int(std::strlen(name));
    uint32_t at = 0;
    while (at + kRowHeader <= opers.size && opers.bytes[at] != 0) {
        const uint8_t* row = opers.bytes + at;
        const int code = ReadInt16(row + kNameBytes);
        if (code < 0 || at + kRowHeader + uint32_t(code) > opers.size) return false;
        if (NameEquals(row, name, length)) {
            out->code = row + kRowHeader;
            out->length = code;
            return true;
        }
        at += kRowHeader + uint32_t(code);
    }
    return false;
}
