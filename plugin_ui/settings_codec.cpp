#include "plugin_ui/settings_codec.h"

#include <cstring>

namespace {

char OctalDigit(unsigned value) { return char('0' + (value & 7)); }

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

size_t FormulaLength(const char* formula) {
    const void* nul = std::memchr(formula, 0, kFormulaCapacity - 1);
    return nul ? size_t(static_cast<const char*>(nul) - formula) : kFormulaCapacity - 1;
}

}  // namespace

size_t EscapeSettingsText(char* dest, const char* source, size_t count) {
    char* out = dest;
    for (size_t i = 0; i < count; ++i) {
        uint8_t c = uint8_t(source[i]);
        switch (c) {
        case '"':
        case '\'':
        case '\\':
            *out++ = '\\';
            *out++ = char(c);
            break;
        case 0x08: *out++ = '\\', *out++ = 'b'; break;
        case 0x09: *out++ = '\\', *out++ = 't'; break;
        case 0x0A: *out++ = '\\', *out++ = 'n'; break;
        case 0x0B: *out++ = '\\', *out++ = 'v'; break;
        case 0x0C: *out++ = '\\', *out++ = 'f'; break;
        case 0x0D:
            *out++ = '\\';
            *out++ = 'r';
            // CR LF is one line break of an edit field: one escape. Only
            // inside this piece; EncodeSettings never cuts between the two.
            if (i + 1 < count && source[i + 1] == '\n') ++i;
            break;
        default:
            if (c >= 0x20 && c <= 0x7F) {
                *out++ = char(c);
            } else {
                *out++ = '\\';
                *out++ = OctalDigit(c >> 6);
                *out++ = OctalDigit(c >> 3);
                *out++ = OctalDigit(c);
            }
        }
    }
    *out = 0;
    return size_t(out - dest);
}

size_t UnescapeSettingsText(char* dest, const char* source) {
    char* out = dest;
    const char* p = source;
    while (*p) {
        char c = *p++;
        if (c != '\\') {
            *out++ = c;
            continue;
        }
        char e = *p;
        if (e == 0) break;  // a backslash ends the line
        ++p;
        switch (e) {
        case 'n': *out++ = '\n'; break;
        // "\r" takes two bytes in the line and gives two: the result is never
        // longer than the line.
        case 'r': *out++ = '\r', *out++ = '\n'; break;
        case 't': *out++ = '\t'; break;
        case 'v': *out++ = '\v'; break;
        case 'b': *out++ = '\b'; break;
        case 'f': *out++ = '\f'; break;
        default:
            if (IsOctal(e)) {
                unsigned value = unsigned(e - '0');
                for (int more = 0; more < 2 && IsOctal(*p); ++more)
                    value = value * 8 + unsigned(*p++ - '0');
                *out++ = char(value & 0xFF);
            } else {
                *out++ = e;
            }
        }
    }
    *out = 0;
    return std::strlen(dest);
}

int32_t ParseSliderLine(const char* line) {
    const char* p = line;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        // Past 255 the exact value no longer matters; stop growing so that
        // any run of digits stays in range.
        if (value <= 255) value = value * 10 + (*p - '0');
        ++p;
    }
    if (negative) value = -value;
    return value < 0 ? 0 : value > 255 ? 255 : int32_t(value);
}

bool ReadLine(ByteSource& source, char* line) {
    int stored = 0;
    while (stored < kSettingsLineCapacity - 1) {
        uint8_t byte;
        if (!source.ReadByte(byte)) {
            line[stored] = 0;
            return false;
        }
        if (byte == '\r') break;
        line[stored++] = char(byte);
    }
    line[stored] = 0;
    return true;
}

void WriteLine(std::string& out, const char* text) {
    out += text;
    out += '\r';
}

std::string EncodeSettings(const FilterDefinition& definition) {
    std::string out;
    WriteLine(out, kSettingsMagic);
    for (int32_t value : definition.sliderValue) WriteLine(out, std::to_string(value).c_str());
    char escaped[kSettingsEscapedPiece + 1];
    for (const char* formula : definition.formula) {
        size_t length = FormulaLength(formula);
        size_t at = 0;
        for (;;) {
            size_t piece =
                length - at < size_t(kSettingsPieceBytes) ? length - at : kSettingsPieceBytes;
            // A CR LF that the cut would split goes whole into the next
            // piece, which then starts with it.
            if (piece > 1 && at + piece < length && formula[at + piece - 1] == '\r' &&
                formula[at + piece] == '\n')
                --piece;
            EscapeSettingsText(escaped, formula + at, piece);
            WriteLine(out, escaped);
            at += piece;
            if (piece == 0) break;  // the empty line ends the formula
        }
    }
    return out;
}

bool DecodeSettings(ByteSource& source, FilterDefinition& definition) {
    char line[kSettingsLineCapacity];
    char piece[kSettingsLineCapacity];
    if (!ReadLine(source, line) || std::strcmp(line, kSettingsMagic) != 0) return false;
    for (int32_t& value : definition.sliderValue) {
        if (!ReadLine(source, line)) return false;
        value = ParseSliderLine(line);
    }
    for (char* formula : definition.formula) {
        formula[0] = 0;
        size_t stored = 0, counted = 0;
        for (;;) {
            if (!ReadLine(source, line)) return false;
            size_t n = UnescapeSettingsText(piece, line);
            if (n == 0) break;
            // A formula is cut before the first piece that does not fit
            // whole; the pieces after it up to the empty line are skipped.
            if (counted + n < size_t(kFormulaCapacity)) {
                std::memcpy(formula + stored, piece, n + 1);
                stored += n;
            }
            counted += n;
        }
    }
    return true;
}
