#include "key_decoder.h"

#include <cstring>
#include <cwctype>

namespace {

// Byte B that is not part of a character stands for itself as
// kByteBase + B: private use, never produced by valid UTF-8 below.
constexpr unsigned long kByteBase = 0x10FE00;

bool IsByteCharacter(unsigned long code)
{
    return code >= kByteBase + 0x80 && code <= kByteBase + 0xFF;
}

// The range of the second byte after a lead byte: what keeps out overlong
// forms, surrogates and code points above U+10FFFF.
void SecondByteRange(unsigned char lead, unsigned char &low, unsigned char &high)
{
    low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
}

std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// A character the editor would treat as a command key (C1 controls) or
// that stands for a byte is kept as its bytes instead.
bool KeptAsBytes(unsigned long code)
{
    if (code >= 0x80 && code < 0x100) {
        return std::iswprint(static_cast<wint_t>(code)) == 0;
    }
    return IsByteCharacter(code);
}

// How many of the `count` bytes make the next character, stored in
// `character`; 0 when they begin a sequence that needs bytes still to come.
std::size_t DecodeNext(const unsigned char *bytes, std::size_t count, bool moreToCome,
                       wchar_t &character)
{
    const unsigned char lead = bytes[0];
    const wchar_t asByte = static_cast<wchar_t>(kByteBase + lead);
    if (lead < 0x80) {
        character = static_cast<wchar_t>(lead);
        return 1;
    }
    const std::size_t length = SequenceLength(lead);
    if (length == 0) {
        character = asByte;
        return 1;
    }
    unsigned long code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= count) {
            character = asByte;
            return moreToCome ? 0 : 1;
        }
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (i == 1) {
            SecondByteRange(lead, low, high);
        }
        if (bytes[i] < low || bytes[i] > high) {
            character = asByte;
            return 1;
        }
        code = (code << 6) | (bytes[i] & 0x3F);
    }
    if (KeptAsBytes(code)) {
        character = asByte;
        return 1;
    }
    character = static_cast<wchar_t>(code);
    return length;
}

void AppendUtf8(std::string &bytes, unsigned long code)
{
    if (code < 0x80) {
        bytes += static_cast<char>(code);
    } else if (code < 0x800) {
        bytes += static_cast<char>(0xC0 | (code >> 6));
        bytes += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        bytes += static_cast<char>(0xE0 | (code >> 12));
        bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (code >> 18));
        bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

void KeyDecoder::Push(unsigned char byte)
{
    if (count_ < sizeof pending_) {
        pending_[count_++] = byte;
    }
}

void KeyDecoder::End()
{
    ended_ = true;
}

void KeyDecoder::Clear()
{
    count_ = 0;
}

bool KeyDecoder::Next(wchar_t &character)
{
    if (count_ == 0) {
        return false;
    }
    const std::size_t used = DecodeNext(pending_, count_, !ended_, character);
    if (used == 0) {
        return false;
    }
    count_ -= used;
    std::memmove(pending_, pending_ + used, count_);
    return true;
}

std::wstring DecodeBytes(const std::string &bytes)
{
    std::wstring text;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    for (std::size_t at = 0; at < bytes.size();) {
        wchar_t character = 0;
        at += DecodeNext(data + at, bytes.size() - at, false, character);
        text += character;
    }
    return text;
}

std::string EncodeBytes(const wchar_t *text, std::size_t length)
{
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) {
        const auto code = static_cast<unsigned long>(text[i]);
        if (IsByteCharacter(code)) {
            bytes += static_cast<char>(code - kByteBase);
        } else if (code <= 0x10FFFF) {
            AppendUtf8(bytes, code);
        } else {
            bytes += '?';
        }
    }
    return bytes;
}
