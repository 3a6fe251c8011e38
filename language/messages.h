#pragma once
// The numbered German texts that the program's own code shows in message
// boxes, titles and default names. Other parts ask for them by number.

#include <cstdint>

struct TMessage {
    int32_t number;
    const char16_t *text; // German, exactly as shown, trailing spaces included
};

// The catalogue in ascending number order, and its length.
const TMessage *Messages();
int MessageCount();

// The German text of message N, or nullptr when the catalogue does not hold N.
const char16_t *MessageText(int32_t n);
