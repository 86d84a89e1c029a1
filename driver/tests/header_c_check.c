/* Compiled as C99 with -pedantic: the driver header must serve C callers.
 * Also runs the C form of the two-call opening over the fake carrier. */
#include <stdio.h>
#include <string.h>

#include "lumex.h"

static ViInt16 _VI_FUNCH onEvent(ViSession vi, ViInt32 code)
{
    (void)vi;
    return (ViInt16)(code > 0);
}

int main(void)
{
    ViChar text[LUMEX_TEXT_SIZE];
    ViChar resource[] = "VXI0::24::INSTR";
    ViSession vi = 77;
    ViStatus status;
    ViInt16 mode = -1;
    ViInt32 samples = -1;
    lumex_user_handler handler = onEvent;

    if (lumex_error_message(VI_NULL, LUMEX_ERROR_RG_COM1, text) != VI_SUCCESS
        || strcmp(text, "\xCE\xF8\xE8\xE1\xEA\xE0 \xE7\xE0\xEF\xE8\xF1\xE8 \xE2 RG_COM1") != 0) {
        fprintf(stderr, "error message text wrong\n");
        return 1;
    }
    if (lumex_init_rsrc(resource, VI_TRUE, VI_TRUE, &vi) != VI_SUCCESS || vi != VI_NULL) {
        fprintf(stderr, "provisional handle wrong\n");
        return 1;
    }
    if (lumex_connect(vi, 0x100, 1, VI_TRUE, VI_TRUE) != VI_ERROR_PARAMETER1) {
        fprintf(stderr, "by-value connect accepted the provisional handle\n");
        return 1;
    }
    status = lumex_connect_ex(&vi, 0x100, 1, VI_TRUE, VI_TRUE);
    if (status != VI_SUCCESS || vi == VI_NULL) {
        fprintf(stderr, "connect failed: %ld\n", (long)status);
        return 1;
    }
    if (lumex_set_user_ihandle(vi, handler) != VI_SUCCESS || lumex_mode_q(vi, &mode, &samples) != VI_SUCCESS
        || mode != 0 || samples != 1000) {
        fprintf(stderr, "session not usable\n");
        return 1;
    }
    if (lumex_connect(vi, 0x100, 1, VI_TRUE, VI_FALSE) != VI_SUCCESS) {
        fprintf(stderr, "set-up again failed\n");
        return 1;
    }
    return lumex_close(vi) == VI_SUCCESS ? 0 : 1;
}
