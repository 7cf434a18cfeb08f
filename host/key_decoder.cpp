#include "key_decoder.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <iterator>

namespace {

// Bytes below this are characters of their own in UTF-8.
constexpr unsigned long kAsciiEnd = 0x80;
// Code points from kAsciiEnd to here are Latin-1; the editor looks those up
// as command keys unless the locale calls them printable.
constexpr unsigned long kLatin1End = 0x100;
constexpr unsigned long kLastCodePoint = 0x10FFFF;
constexpr unsigned long kSurrogatesFirst = 0xD800;
constexpr unsigned long kSurrogatesLast = 0xDFFF;
// Byte B that is not part of a character stands for itself as
// kByteBase + B: private use, and never decoded from UTF-8 (see KeptAsBytes).
constexpr unsigned long kByteBase = 0x10FE00;

// A continuation byte is 10xxxxxx and carries six bits.
constexpr unsigned char kContinuationTag = 0x80;
constexpr unsigned char kContinuationTagMask = 0xC0;
constexpr unsigned long kContinuationBits = 6;
constexpr unsigned long kContinuationPayload = 0x3F;

// The sequences of more than one byte: how long, which lead bytes start
// them (its tag and the range of valid leads), and the lowest code point
// they may hold (below it the form is overlong).
struct SequenceForm {
    std::size_t length;
    unsigned char leadTag;
    unsigned char firstLead;
    unsigned char lastLead;
    unsigned long lowest;
};

constexpr SequenceForm kForms[] = {
    {2, 0xC0, 0xC2, 0xDF, 0x80},
    {3, 0xE0, 0xE0, 0xEF, 0x800},
    {4, 0xF0, 0xF0, 0xF4, 0x10000},
};

const SequenceForm *FormLedBy(unsigned char lead)
{
    const auto *form = std::find_if(std::begin(kForms), std::end(kForms), [lead](const SequenceForm &f) {
        return lead >= f.firstLead && lead <= f.lastLead;
    });
    return form == std::end(kForms) ? nullptr : form;
}

// The shortest form for a code point from kAsciiEnd on.
const SequenceForm &FormHolding(unsigned long code)
{
    return *std::find_if(std::rbegin(kForms), std::rend(kForms),
                         [code](const SequenceForm &f) { return code >= f.lowest; });
}

bool IsContinuation(unsigned char byte)
{
    return (byte & kContinuationTagMask) == kContinuationTag;
}

bool IsByteCharacter(unsigned long code)
{
    return code >= kByteBase + kAsciiEnd && code <= kByteBase + 255;
}

bool IsCodePoint(unsigned long code, const SequenceForm &form)
{
    return code >= form.lowest && code <= kLastCodePoint &&
           !(code >= kSurrogatesFirst && code <= kSurrogatesLast);
}

// A character the editor would take for a command key (the C1 controls) or
// that stands for a byte is kept as its bytes instead.
bool KeptAsBytes(unsigned long code)
{
    if (code < kLatin1End) {
        return std::iswprint(static_cast<wint_t>(code)) == 0;
    }
    return IsByteCharacter(code);
}

// How many of the `count` bytes make the next character, stored in
// `character`; 0 when they begin a sequence that needs bytes still to come.
// A byte that starts no valid sequence is taken alone, as a byte
// character, and the ones after it are looked at afresh.
std::size_t DecodeNext(const unsigned char *bytes, std::size_t count, bool moreToCome,
                       wchar_t &character)
{
    const unsigned char lead = bytes[0];
    character = static_cast<wchar_t>(kByteBase + lead);
    if (lead < kAsciiEnd) {
        character = static_cast<wchar_t>(lead);
        return 1;
    }
    const SequenceForm *form = FormLedBy(lead);
    if (form == nullptr) {
        return 1;
    }
    unsigned long code = lead & static_cast<unsigned char>(~form->leadTag);
    for (std::size_t i = 1; i < form->length; ++i) {
        if (i >= count) {
            return moreToCome ? 0 : 1;
        }
        if (!IsContinuation(bytes[i])) {
            return 1;
        }
        code = (code << kContinuationBits) | (bytes[i] & kContinuationPayload);
    }
    if (!IsCodePoint(code, *form) || KeptAsBytes(code)) {
        return 1;
    }
    character = static_cast<wchar_t>(code);
    return form->length;
}

void AppendUtf8(std::string &bytes, unsigned long code)
{
    if (code < kAsciiEnd) {
        bytes += static_cast<char>(code);
        return;
    }
    const SequenceForm &form = FormHolding(code);
    unsigned long shift = kContinuationBits * (form.length - 1);
    bytes += static_cast<char>(form.leadTag | (code >> shift));
    while (shift > 0) {
        shift -= kContinuationBits;
        bytes += static_cast<char>(kContinuationTag | ((code >> shift) & kContinuationPayload));
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
        } else if (code <= kLastCodePoint) {
            AppendUtf8(bytes, code);
        } else {
            bytes += '?';
        }
    }
    return bytes;
}
