// Between the bytes typed at a terminal and the wide characters of the line
// editor, losing none: UTF-8 becomes its characters, so that the editor
// shows and moves over them as such, and every other byte becomes a
// character of its own in a private-use range, which turns back into the
// same byte.
#ifndef RPN_KEY_DECODER_H
#define RPN_KEY_DECODER_H

#include <cstddef>
#include <string>

class KeyDecoder {
public:
    void Push(unsigned char byte);
    // No more bytes will come: an unfinished sequence is taken byte by byte.
    void End();
    void Clear();

    // The next character, once its bytes are all in.
    bool Next(wchar_t &character);
    // Every byte was taken and End was called.
    bool Exhausted() const { return ended_ && count_ == 0; }

private:
    unsigned char pending_[4] = {};
    std::size_t count_ = 0;
    bool ended_ = false;
};

std::wstring DecodeBytes(const std::string &bytes);
std::string EncodeBytes(const wchar_t *text, std::size_t length);

#endif
