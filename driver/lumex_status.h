// The driver's status codes and their texts, and the Windows-1251 texts of
// the self-test. Texts are kept once, in UTF-8 in the source, and turned
// into Windows-1251 bytes on first use.
#ifndef LUMEX_STATUS_H
#define LUMEX_STATUS_H

#include <string>

#include "lumex.h"

namespace lumex {

// Windows-1251 text of one of the driver's own codes; null when the driver
// has no text of its own for it.
const char* driverStatusText(ViStatus status);

// UTF-8 to Windows-1251; characters without a Windows-1251 form become '?'.
std::string toCp1251(const char* utf8);

// Copies text into a caller's buffer of LUMEX_TEXT_SIZE bytes, cut to fit.
void copyText(ViChar* buffer, const char* text);

// Texts of the self-test, in Windows-1251.
namespace text {
const std::string& selfTestPassed();
const std::string& selfTestFailed();
const std::string& noCarrierMemory();
const std::string& noLogicOne();  // printf format with one %x
const std::string& noLogicZeroAt2V();
const std::string& noLogicZeroAt9V5();
const std::string& suffix12V();
const std::string& suffix1V2();
const std::string& suffix9V5();
const std::string& initErrorSuffix();
const std::string& unknownStatus();
}  // namespace text

}  // namespace lumex

#endif
