#include "tarvo_status_text.h"

#include "status_texts.h"
#include "visa.h"

namespace tarvo {

namespace {

// Plain ASCII, so the texts are the same bytes in every code page.
constexpr sorvi::StatusText kTexts[] = {
    {VI_SUCCESS, "Operation completed successfully."},
    {VI_WARN_UNKNOWN_STATUS, "The status code passed to the operation could not be interpreted."},
    {VI_WARN_NSUP_ERROR_QUERY, "Error query is not supported by this instrument."},
    {VI_WARN_NSUP_REV_QUERY, "Revision query is not supported by this instrument."},
    {VI_ERROR_SYSTEM_ERROR, "Unknown system error (miscellaneous error)."},
    {VI_ERROR_INV_OBJECT, "The given session or object reference is invalid or closed."},
    {VI_ERROR_RSRC_LOCKED,
     "Specified type of lock cannot be obtained, or specified operation cannot be performed, because the "
     "resource is locked."},
    {VI_ERROR_RSRC_NFOUND,
     "Insufficient location information or the requested device or resource is not present in the "
     "system; no carrier there."},
    {VI_ERROR_INV_RSRC_NAME, "Invalid resource reference specified. Parsing error."},
    {VI_ERROR_TMO, "Timeout expired before operation completed."},
    {VI_ERROR_NSUP_ATTR, "The specified attribute is not defined or supported by the referenced session."},
    {VI_ERROR_INV_SETUP,
     "Unable to start operation because setup is invalid (due to attributes being set to an inconsistent "
     "state)."},
    {VI_ERROR_ALLOC,
     "Insufficient system resources to perform the necessary memory allocation: the carrier memory or the "
     "memory reserved for the mezzanine is too small."},
    {VI_ERROR_IO, "Could not perform operation because of I/O error."},
    {VI_ERROR_INV_OFFSET, "Specified offset is not a register of the mezzanine (odd or outside its register window)."},
    {VI_ERROR_USER_BUF,
     "A specified user buffer is not valid or cannot be accessed for the required size (null pointer)."},
    {VI_ERROR_RSRC_BUSY,
     "The resource is valid, but VISA cannot currently access it: the mezzanine position is already open."},
    {VI_ERROR_INV_SIZE, "Invalid size of window, or the range lies outside the memory reserved for the mezzanine."},
    {VI_ERROR_PARAMETER1, "Parameter 1 out of range."},
    {VI_ERROR_PARAMETER2, "Parameter 2 out of range."},
    {VI_ERROR_PARAMETER3, "Parameter 3 out of range."},
    {VI_ERROR_PARAMETER4, "Parameter 4 out of range."},
    {VI_ERROR_PARAMETER5, "Parameter 5 out of range."},
    {VI_ERROR_FAIL_ID_QUERY, "Instrument identification query failed."},
};
}  // namespace

const char* statusText(ViStatus status) { return sorvi::findStatusText(kTexts, status); }

}  // namespace tarvo
