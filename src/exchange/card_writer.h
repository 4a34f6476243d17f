#pragma once

#include "exchange/card_text.h"

// A file format cards are written in, one card after another.
class CardWriter {
public:
    virtual ~CardWriter() = default;
    virtual void write(const CardText& card) = 0;
    // Ends the file; false when the device refused what was written.
    virtual bool finish() = 0;
};
