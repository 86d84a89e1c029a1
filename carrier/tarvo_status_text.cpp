#include "tarvo_status_text.h"

#include <cstdint>

namespace tarvo {

namespace {
struct Entry {
    std::uint32_t status;
    const char* text;
};

// Plain ASCII, so the texts are the same bytes in every code page.
constexpr Entry kTexts[] = {
    {0x00000000, "Operation completed successfully."},
    {0x3FFF0085, "The status code passed to the operation could not be interpreted."},
    {0x3FFC0104, "Error query is not supported by this instrument."},
    {0x3FFC0105, "Revision query is not supported by this instrument."},
    {0xBFFF0000, "Unknown system error (miscellaneous error)."},
    {0xBFFF000E, "The given session or object reference is invalid or closed."},
    {0xBFFF000F, "Specified type of lock cannot be obtained, or specified operation cannot be performed, because the "
                 "resource is locked."},
    {0xBFFF0011, "Insufficient location information or the requested device or resource is not present in the "
                 "system; no carrier there."},
    {0xBFFF0012, "Invalid resource reference specified. Parsing error."},
    {0xBFFF0015, "Timeout expired before operation completed."},
    {0xBFFF001D, "The specified attribute is not defined or supported by the referenced session."},
    {0xBFFF003A, "Unable to start operation because setup is invalid (due to attributes being set to an inconsistent "
                 "state)."},
    {0xBFFF003C, "Insufficient system resources to perform the necessary memory allocation: the carrier memory or the "
                 "memory reserved for the mezzanine is too small."},
    {0xBFFF003E, "Could not perform operation because of I/O error."},
    {0xBFFF0051, "Specified offset is not a register of the mezzanine (odd or outside its register window)."},
    {0xBFFF0071, "A specified user buffer is not valid or cannot be accessed for the required size (null pointer)."},
    {0xBFFF0072, "The resource is valid, but VISA cannot currently access it: the mezzanine position is already open."},
    {0xBFFF0080, "Invalid size of window, or the range lies outside the memory reserved for the mezzanine."},
    {0xBFFC0001, "Parameter 1 out of range."},
    {0xBFFC0002, "Parameter 2 out of range."},
    {0xBFFC0003, "Parameter 3 out of range."},
    {0xBFFC0004, "Parameter 4 out of range."},
    {0xBFFC0005, "Parameter 5 out of range."},
    {0xBFFC0011, "Instrument identification query failed."},
};
}  // namespace

const char* statusText(ViStatus status) {
    for (const Entry& e : kTexts)
        if (e.status == static_cast<std::uint32_t>(status)) return e.text;
    return nullptr;
}

}  // namespace tarvo
