// Numbers with units as a technician writes them in a bench file:
// "3V", "250 mV", "100k", "5ohm", "4.7 kOhm", "10ms", "16MiB", "0xE76".
// Parsing is locale-independent (a decimal point, never a comma).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace bench {

enum class Quantity {
    Volts,    // V, mV; a bare number is volts
    Ohms,     // ohm, Ohm, Ω, with prefixes k and M ("100k" alone is 100 kOhm)
    Seconds,  // s, ms, us, µs, ns; a bare number is seconds
};

// A plain decimal number ("3", "-0.5", "1e-3"), without unit.
std::optional<double> parseNumber(std::string_view text);

// A whole number in decimal or with "0x" in hexadecimal, within [lo, hi].
std::optional<std::int64_t> parseInteger(std::string_view text, std::int64_t lo, std::int64_t hi);

// A number in the given quantity, converted to the base unit (V, Ohm, s, byte).
std::optional<double> parseQuantity(std::string_view text, Quantity quantity);

// A memory size: a whole number of bytes (decimal, or hexadecimal with 0x),
// optionally followed by a unit B, K, KB, KiB, M, MB, MiB, G, GB or GiB in
// any letter case; every multiple is binary (K = 1024). Fractions and
// exponents are refused, and so is a size above 2^62 bytes.
std::optional<std::uint64_t> parseMemorySize(std::string_view text);

// What a channel input given as one scalar means: "3V" is a voltage, "5ohm" or
// "100k" a resistance, a bare number a voltage.
struct ScalarInput {
    bool resistance = false;
    double value = 0.0;
};
std::optional<ScalarInput> parseScalarInput(std::string_view text);

}  // namespace bench
