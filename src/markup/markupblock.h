#pragma once

#include <cstddef>

// Where markup is written: a block of memory filled from at towards end,
// and handed on when less than MinRoom bytes are left. The block holds at
// least MinRoom bytes, so a text of any length can be written through a
// block of fixed size.
class MarkupBlock {
public:
    static constexpr std::size_t MinRoom = 256;

    char *at = nullptr;
    char *end = nullptr;

    // Takes the bytes written up to out and gives room again: returns where
    // writing goes on, with MinRoom bytes or more before end.
    virtual char *HandOn(char *out) = 0;

    // out, or where writing goes on once the block is handed on.
    char *MakeRoom(char *out) { return std::size_t(end - out) < MinRoom ? HandOn(out) : out; }

    virtual ~MarkupBlock() = default;
};
