// Settings files (".tfs"): the eight slider values and the four formulas of a
// filter definition as 8-bit text.
//
// Every line ends with a single carriage return; no line feed is written.
// Line 1 is the magic "%RGB-1.0", lines 2-9 the slider values in decimal,
// then each formula (red, green, blue, alpha) as pieces of at most 63 bytes,
// each piece escaped on its own and written as one line, and an empty line
// that ends the formula. A piece never ends between a CR and its LF: that
// piece ends one byte earlier, so the pair is stored as one "\r" escape and
// comes back as the CR LF it was. (Files written when the cut still split a
// pair hold "\r" and "\n" on two lines; they load as CR LF LF, as before.)
//
// Free of Win32: the dialogs and the maker hand us bytes and a byte source.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "interface/definition.h"

constexpr char kSettingsMagic[] = "%RGB-1.0";
constexpr int kSettingsPieceBytes = 63;     // formula bytes per line
constexpr int kSettingsLineCapacity = 256;  // ReadLine's buffer: 255 bytes and a NUL
constexpr int kSettingsEscapedPiece = 4 * kSettingsPieceBytes;

// Escapes `count` bytes of `source` into `dest` (room for 4 * count + 1
// bytes), NUL-terminated; returns the escaped length.
size_t EscapeSettingsText(char* dest, const char* source, size_t count);

// Unescapes the NUL-terminated line `source` into `dest` (room for
// strlen(source) + 1 bytes; the result is never longer), NUL-terminated;
// returns the length up to the first NUL of the result.
size_t UnescapeSettingsText(char* dest, const char* source);

// A slider line as an integer: leading white space, an optional sign, decimal
// digits up to the first other byte (0 when there are none); clamped to
// 0..255, a value too large for 32 bits counting as beyond that range.
int32_t ParseSliderLine(const char* line);

// Where the reader takes its bytes from, one at a time.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // False at the end of the data or on a read error.
    virtual bool ReadByte(uint8_t& byte) = 0;
};

class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    explicit MemoryByteSource(const std::string& text)
        : MemoryByteSource(text.data(), text.size()) {}
    bool ReadByte(uint8_t& byte) override {
        if (pos_ >= size_) return false;
        byte = data_[pos_++];
        return true;
    }
    size_t position() const { return pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Reads bytes up to a carriage return (not stored) or until 255 bytes are
// stored, into `line` (kSettingsLineCapacity bytes), NUL-terminated. A piece
// cut by the limit ends there: the carriage return after it is read next as
// an empty line. False when the data ends before the carriage return.
bool ReadLine(ByteSource& source, char* line);

// Appends `text` and one carriage return.
void WriteLine(std::string& out, const char* text);

// The whole file for the slider values and formulas of `definition`.
// Formulas are taken up to their NUL, at most 1023 bytes.
std::string EncodeSettings(const FilterDefinition& definition);

// Reads a settings file into the slider values and formulas of `definition`,
// touching no other field. False on a wrong magic line or a line that ends
// before its carriage return; the fields read so far are then already
// stored, so a caller that must keep what it had decodes into a copy.
bool DecodeSettings(ByteSource& source, FilterDefinition& definition);
