/* A program an integrator could write against visa.h and tarvo_32.h alone,
 * linked with the two stand-ins: find the default bench's carriers with
 * "?*INSTR", open the first one, see the SORVI modules, read RG_ID and
 * acquire a block and a cycle whose channel bits follow the bench inputs and
 * the thresholds written into the control registers.
 *
 * On the default bench, inputs 25..32 of the module at position 1 are fixed:
 * 3 V, 1 V, 3 V, 1 V, 100 kOhm, 5 Ohm, 100 kOhm, 5 Ohm. At a 2.0 V threshold
 * they read 1,0,1,0,1,0,1,0 (bits 24..31 = 0x55); at 5.0 V only the two
 * 100 kOhm sensors read 1 (0x50). Runs in real time. Exit status 0 = pass. */
#include <stdio.h>
#include <string.h>
#include <time.h>

#include "tarvo_32.h"
#include "visa.h"

enum { RG_ID = 0x02, RG_COM1 = 0x04, RG_PERIOD = 0x06, RG_COM3 = 0x0C, RG_LOAD1 = 0x12, RG_LOAD3 = 0x14 };

static int failures = 0;

#define CHECK(cond, ...)                                    \
    do {                                                    \
        if (!(cond)) {                                      \
            fprintf(stderr, "%s:%d: ", __FILE__, __LINE__); \
            fprintf(stderr, __VA_ARGS__);                   \
            fputc('\n', stderr);                            \
            ++failures;                                     \
        }                                                   \
    } while (0)

static void sleepMs(int ms) {
    struct timespec ts = {ms / 1000, (long)(ms % 1000) * 1000000L};
    nanosleep(&ts, NULL);
}

/* Control register value: normal measurement (source 01), relays on, the
 * 12-bit threshold code for `volts`. */
static ViUInt16 controlWord(double volts) {
    int code = (int)(volts * 0.5 / 10.0 * 4096.0);
    return (ViUInt16)(0x4000 | 0x1000 | (code & 0x0FFF));
}

static void setThresholds(ViSession mvi, double volts1, double volts2) {
    CHECK(tarvo_m_out16(mvi, RG_COM1, controlWord(volts1)) == VI_SUCCESS, "write RG_COM1");
    CHECK(tarvo_m_out16(mvi, RG_LOAD1, 0) == VI_SUCCESS, "write RG_LOAD1");
    CHECK(tarvo_m_out16(mvi, RG_COM3, controlWord(volts2)) == VI_SUCCESS, "write RG_COM3");
    CHECK(tarvo_m_out16(mvi, RG_LOAD3, 0) == VI_SUCCESS, "write RG_LOAD3");
}

/* Sample period 0.1 ms: 20 ticks of 5 us, 1600 carrier ticks of 62.5 ns. */
static void setPeriod(ViSession mvi) {
    ViUInt16 period = 0;
    CHECK(tarvo_m_in16(mvi, RG_PERIOD, &period) == VI_SUCCESS, "read RG_PERIOD");
    period = (ViUInt16)((period & 0x5800) | 19);
    CHECK(tarvo_m_out16(mvi, RG_PERIOD, period) == VI_SUCCESS, "write RG_PERIOD");
    CHECK(tarvo_m_clock(mvi, 0, 1600) == VI_SUCCESS, "clock");
}

static int waitStopped(ViSession mvi, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 2) {
        ViInt16 state = 1;
        if (tarvo_m_state(mvi, 0, &state) != VI_SUCCESS) return 0;
        if (state == 0) return 1;
        sleepMs(2);
    }
    return 0;
}

static void acquireBlock(ViSession mvi, double volts2, unsigned expectedHigh) {
    enum { N = 200 };
    ViUInt32 samples[N];
    setThresholds(mvi, 2.0, volts2);
    CHECK(tarvo_m_mode(mvi, 0, 1) == VI_SUCCESS, "block mode");
    CHECK(tarvo_m_trig_length(mvi, 1) == VI_SUCCESS, "trig length");
    CHECK(tarvo_m_block_size(mvi, 0, N) == VI_SUCCESS, "block size");
    CHECK(tarvo_m_start(mvi, 0) == VI_SUCCESS, "start block");
    CHECK(waitStopped(mvi, 5000), "block did not end");
    ViInt32 ready = 0;
    CHECK(tarvo_m_howmuch_data_q(mvi, 0, &ready) == VI_SUCCESS && ready == N, "block holds %d samples", (int)ready);
    memset(samples, 0, sizeof samples);
    CHECK(tarvo_m_read_block(mvi, 0, N, samples) == VI_SUCCESS, "read block");
    for (int i = 0; i < N; ++i)
        CHECK((samples[i] >> 24) == expectedHigh, "block sample %d: channels 25..32 read 0x%02X, expected 0x%02X", i,
              (unsigned)(samples[i] >> 24), expectedHigh);
}

static void acquireCycle(ViSession mvi) {
    enum { PACKET = 50, MAX = 4000 };
    static ViUInt32 samples[MAX];
    setThresholds(mvi, 2.0, 2.0);
    CHECK(tarvo_m_mode(mvi, 0, 2) == VI_SUCCESS, "cycle mode");
    CHECK(tarvo_m_trig_length(mvi, 1) == VI_SUCCESS, "trig length");
    CHECK(tarvo_m_packet_size(mvi, 0, PACKET) == VI_SUCCESS, "packet size");
    CHECK(tarvo_m_start(mvi, 0) == VI_SUCCESS, "start cycle");
    sleepMs(60);
    CHECK(tarvo_m_stop(mvi, 0) == VI_SUCCESS, "stop cycle");
    ViInt32 ready = 0;
    CHECK(tarvo_m_howmuch_data_q(mvi, 0, &ready) == VI_SUCCESS, "data count");
    CHECK(ready >= PACKET, "a 60 ms cycle at 0.1 ms gave only %d samples", (int)ready);
    if (ready > MAX) ready = MAX;
    ViInt32 got = 0;
    CHECK(tarvo_m_read_packet(mvi, ready, samples, &got) == VI_SUCCESS && got == ready, "read packet: %d of %d",
          (int)got, (int)ready);
    for (int i = 0; i < got; ++i)
        CHECK((samples[i] >> 24) == 0x55u, "cycle sample %d: channels 25..32 read 0x%02X", i,
              (unsigned)(samples[i] >> 24));
}

int main(void) {
    ViSession rm = 0, list = 0;
    ViUInt32 count = 0;
    ViChar name[VI_FIND_BUFLEN];
    if (viOpenDefaultRM(&rm) != VI_SUCCESS) {
        fprintf(stderr, "no resource manager\n");
        return 1;
    }
    CHECK(viFindRsrc(rm, "?*INSTR", &list, &count, name) == VI_SUCCESS, "search");
    CHECK(count == 4, "the default bench lists 4 resources, found %u", (unsigned)count);
    const char* expected[] = {"VXI0::24::INSTR", "VXI0::40::INSTR", "USB0::0x0E76::0x1004::0457::0::INSTR",
                              "VXI0::8::INSTR"};
    for (ViUInt32 i = 0; i < count && i < 4; ++i) {
        if (i > 0) CHECK(viFindNext(list, name) == VI_SUCCESS, "next");
        CHECK(strcmp(name, expected[i]) == 0, "resource %u is %s", (unsigned)i, name);
    }
    viClose(list);

    ViSession carrier = 0;
    CHECK(tarvo_init((ViRsrc) "VXI0::24::INSTR", 1, 1, &carrier) == VI_SUCCESS, "open carrier");
    ViInt16 slot = 0;
    CHECK(viGetAttribute(carrier, VI_ATTR_SLOT, &slot) == VI_SUCCESS && slot == 3, "carrier slot %d", slot);
    const ViInt16 types[4] = {9, 5, 9, 0};
    for (ViInt16 pos = 1; pos <= 4; ++pos) {
        ViInt16 present = -1, type = -1;
        CHECK(tarvo_m_type_q(carrier, pos, &present, &type) == VI_SUCCESS, "type query %d", pos);
        CHECK(type == types[pos - 1] && (present != 0) == (types[pos - 1] != 0), "position %d: present %d type %d", pos,
              present, type);
    }
    ViUInt32 memory = 0;
    CHECK(tarvo_mem_q(carrier, &memory) == VI_SUCCESS && memory > 0, "memory");

    ViSession mvi = 0;
    CHECK(tarvo_m_init(carrier, 1, &mvi) == VI_SUCCESS, "open position 1");
    ViUInt16 id = 0;
    CHECK(tarvo_m_in16(mvi, RG_ID, &id) == VI_SUCCESS && (id & 0xFF) == 9, "RG_ID 0x%04X", id);
    ViUInt32 unused = 0;
    CHECK(tarvo_m_alloc(mvi, 0, memory / 4, &unused) == VI_SUCCESS, "reserve memory");
    CHECK(tarvo_m_sample_width(mvi, 0, 1) == VI_SUCCESS, "sample width");
    CHECK(tarvo_m_first_delay(mvi, 0, 1440) == VI_SUCCESS, "first delay");
    setPeriod(mvi);

    acquireBlock(mvi, 2.0, 0x55);
    acquireBlock(mvi, 5.0, 0x50);
    acquireCycle(mvi);

    CHECK(tarvo_m_close(mvi) == VI_SUCCESS, "close module");
    CHECK(tarvo_close(carrier) == VI_SUCCESS, "close carrier");
    viClose(rm);
    if (failures == 0) printf("stand-ins acceptance: passed\n");
    return failures == 0 ? 0 : 1;
}
