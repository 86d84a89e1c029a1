#include "channel_verdict.h"

#include <cctype>
#include <climits>
#include <cstdlib>

int cellState(std::string_view cellText) {
    const std::string text(cellText);
    const char* start = text.c_str();
    char* end = nullptr;
    const long value = std::strtol(start, &end, 10);
    if (end == start) return -1;
    if (value > INT_MAX || value < INT_MIN) return -1;
    return static_cast<int>(value);
}

const char* channelVerdict(int state, int expected) {
    if (state == expected) return "норма";
    if ((state == 0 || state == 1) && state == 1 - expected) return "не норма";
    return "не измерялось";
}

int channelBit(unsigned sample, int channel) {
    if (channel < 1 || channel > 32) return 0;
    return static_cast<int>((sample >> static_cast<unsigned>(channel - 1)) & 1u);
}
