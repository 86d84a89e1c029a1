/* lumex_block: take one block of samples from a SORVI module with the
 * lumex_32 driver and print what the 32 channels read.
 *
 *   lumex_block [RESOURCE [POSITION]]    (default: VXI0::24::INSTR 1)
 *
 * Build against the installed driver with either
 *   cc lumex_block.c $(pkg-config --cflags --libs lumex_32) -o lumex_block
 * or the CMake project beside this file (find_package(lumex_32)).
 * Exit status: 0 when the block was read, 1 otherwise. */
#define _POSIX_C_SOURCE 200809L /* nanosleep */

#include <iconv.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "lumex.h"
#include "tarvo_32.h"

enum { BLOCK_SAMPLES = 200 };

/* Driver texts are Windows-1251 bytes; a Linux terminal shows UTF-8. */
static void printCp1251(const char* prefix, const char* cp1251)
{
    char utf8[4 * LUMEX_TEXT_SIZE];
    char* in = (char*)cp1251;
    char* out = utf8;
    size_t inLeft = strlen(cp1251);
    size_t outLeft = sizeof utf8 - 1;
    iconv_t converter = iconv_open("UTF-8", "CP1251");
    if (converter == (iconv_t)-1) {
        fprintf(stderr, "%s: %s\n", prefix, cp1251);
        return;
    }
    iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    *out = '\0';
    fprintf(stderr, "%s: %s\n", prefix, utf8);
}

/* Prints a status that is not VI_SUCCESS with its text. Returns 1 for an
 * error (the caller stops), 0 for success or a warning (the caller goes on). */
static int failed(ViSession vi, ViStatus status, const char* call)
{
    ViChar text[LUMEX_TEXT_SIZE];
    char prefix[96];
    if (status == VI_SUCCESS)
        return 0;
    lumex_error_message(vi, status, text);
    snprintf(prefix, sizeof prefix, "%s: %s 0x%08lX", call, status < 0 ? "error" : "warning",
             (unsigned long)(ViUInt32)status);
    printCp1251(prefix, text);
    return status < 0;
}

/* Waits until the module has stopped (the block is complete). */
static int waitStopped(ViSession vi, int timeoutMs)
{
    const struct timespec tick = {0, 10 * 1000000L};
    ViInt16 state = 1;
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        if (failed(vi, lumex_state(vi, &state), "lumex_state"))
            return 0;
        if (state == 0)
            return 1;
        nanosleep(&tick, NULL);
    }
    fprintf(stderr, "lumex_state: the block did not end within %d ms\n", timeoutMs);
    return 0;
}

int main(int argc, char** argv)
{
    char resource[256];
    ViInt16 position = (ViInt16)(argc > 2 ? atoi(argv[2]) : 1);
    ViSession carrier = VI_NULL;
    ViSession vi = VI_NULL;
    ViUInt32 memoryBytes = 0;
    static ViUInt32 block[BLOCK_SAMPLES];
    int result = 1;

    snprintf(resource, sizeof resource, "%s", argc > 1 ? argv[1] : "VXI0::24::INSTR");

    /* 1. The carrier, by its VISA resource name. */
    if (failed(VI_NULL, tarvo_init(resource, VI_TRUE, VI_TRUE, &carrier), "tarvo_init"))
        return 1;
    /* 2. The module at its position: check its type, reset it. */
    if (failed(VI_NULL, lumex_init(carrier, position, VI_TRUE, VI_TRUE, &vi), "lumex_init"))
        goto closeCarrier;
    /* 3. A quarter of the carrier memory for this module, in 4-byte samples. */
    if (failed(vi, tarvo_mem_q(carrier, &memoryBytes), "tarvo_mem_q")
        || failed(vi, lumex_alloc(vi, (ViInt32)(memoryBytes / 16)), "lumex_alloc"))
        goto closeModule;
    /* 4. Input relays on: after a reset they are off and the inputs see no signal. */
    if (failed(vi, lumex_input_trigger(vi, VI_TRUE), "lumex_input_trigger"))
        goto closeModule;
    /* 5. Thresholds of both groups (volts), 6. sample period (seconds),
     * 7. mode: one block. These are stored and reach the module at start. */
    if (failed(vi, lumex_set_porog(vi, 2.0), "lumex_set_porog")
        || failed(vi, lumex_sample_period(vi, 0.001), "lumex_sample_period")
        || failed(vi, lumex_mode_block(vi, BLOCK_SAMPLES), "lumex_mode_block"))
        goto closeModule;
    /* 8. Start, wait for the end of the block, 9. read it. */
    if (failed(vi, lumex_start(vi), "lumex_start") || !waitStopped(vi, 5000)
        || failed(vi, lumex_read_block(vi, 0, BLOCK_SAMPLES, block), "lumex_read_block"))
        goto closeModule;

    printf("%s position %d: %d samples at 1 ms, threshold 2.0 V\n", resource, position, BLOCK_SAMPLES);
    printf("last sample 0x%08lX, channels 1-32: ", (unsigned long)block[BLOCK_SAMPLES - 1]);
    for (int channel = 1; channel <= 32; ++channel)
        putchar((block[BLOCK_SAMPLES - 1] >> (channel - 1)) & 1u ? '1' : '0');
    putchar('\n');
    result = 0;

    /* 10. Close the module, then the carrier. */
closeModule:
    failed(vi, lumex_close(vi), "lumex_close");
closeCarrier:
    failed(VI_NULL, tarvo_close(carrier), "tarvo_close");
    return result;
}
