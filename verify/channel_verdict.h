// The verdict on one channel of a verification stage: what the operator's
// sample cell says against the state the stage expects.
#pragma once

#include <string>
#include <string_view>

// The integer at the start of a cell's text (leading blanks skipped), or -1
// when the text does not start with a number.
int cellState(std::string_view cellText);

// "норма" when state is the expected one, "не норма" when it is the other
// logical state, "не измерялось" for anything else.
const char* channelVerdict(int state, int expected);

// The logical state of channel (1..32) in a sample word: bit channel-1.
int channelBit(unsigned sample, int channel);
