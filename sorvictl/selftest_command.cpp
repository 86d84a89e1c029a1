#include "selftest_command.h"

#include "driver_text.h"
#include "lumex.h"
#include "module_session.h"

namespace sorvictl {

int runSelftest(const std::string& resource, int position, Console& console) {
    // A module whose set-up failed is still tested: the self-test names
    // the step that failed.
    ModuleSession module(resource, position, true);
    ViInt16 result = -1;
    ViChar message[LUMEX_TEXT_SIZE] = {};
    const ViStatus status = lumex_self_test(module.vi(), &result, message);
    if (status < VI_SUCCESS && status != LUMEX_ERROR_SELF_TEST) check(module.vi(), status, "the self-test failed");
    console.out << "result: " << result << '\n' << "message: " << fromCp1251(message) << '\n';
    return result;
}

}  // namespace sorvictl
