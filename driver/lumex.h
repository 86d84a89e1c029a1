/* lumex_32: driver of the SORVI 32-channel discrete-signal input mezzanine.
 *
 * Every operation takes the module session first and returns a ViStatus:
 * 0 success, positive a warning, negative an error. The module session is
 * the carrier driver's mezzanine session (tarvo_m_init), so the same handle
 * also works with tarvo_m_in16 / tarvo_m_out16 for raw register access.
 *
 * Texts: every message this driver writes (lumex_error_message,
 * lumex_self_test, lumex_revision_query) is a NUL-terminated string of
 * Windows-1251 bytes. Text buffers passed in must hold at least
 * LUMEX_TEXT_SIZE (256) bytes; the driver never writes more than that.
 *
 * Samples: one 32-bit word per sampling instant; bit k is channel k + 1,
 * bits 15..0 are group 1 (channels 1-16), bits 31..16 group 2 (17-32).
 *
 * Usable from C (C99) and C++. */
#ifndef LUMEX_HEADER
#define LUMEX_HEADER

#include "visatype.h"

#if defined(__cplusplus) || defined(__cplusplus__)
extern "C" {
#endif

/* The library is built with hidden symbols; the functions declared here are
 * the only ones it exports. */
#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif

/* Size of every text buffer the driver fills. */
#define LUMEX_TEXT_SIZE 256

/* Driver status codes. */
#define LUMEX_WARN_INIT_ERRORS (0x3FFC0020L)
#define LUMEX_WARN_RELAYS_OFF (0x3FFC0021L)
#define LUMEX_ERROR_NO_STOP_ACK (_VI_ERROR + 0x3FFC0021L)
#define LUMEX_ERROR_NO_CARRIER_MEMORY (_VI_ERROR + 0x3FFC0022L)
#define LUMEX_ERROR_NO_POLL_ACK (_VI_ERROR + 0x3FFC0023L)
#define LUMEX_ERROR_RG_COM1 (_VI_ERROR + 0x3FFC0025L)
#define LUMEX_ERROR_INSTR_INTERRUPT (_VI_ERROR + 0x3FFC0026L)
#define LUMEX_ERROR_RUNNING (_VI_ERROR + 0x3FFC0028L)
#define LUMEX_ERROR_RG_COM3 (_VI_ERROR + 0x3FFC0029L)
#define LUMEX_ERROR_RG_PERIOD (_VI_ERROR + 0x3FFC002AL)
#define LUMEX_ERROR_SELF_TEST (_VI_ERROR + 0x3FFC0800L)

/* Standard instrument-driver codes the driver returns, unless a VISA header
 * included earlier defined them already. */
#ifndef VI_ERROR_PARAMETER1
#define VI_ERROR_PARAMETER1 (_VI_ERROR + 0x3FFC0001L)
#endif
#ifndef VI_ERROR_PARAMETER2
#define VI_ERROR_PARAMETER2 (_VI_ERROR + 0x3FFC0002L)
#endif
#ifndef VI_ERROR_PARAMETER3
#define VI_ERROR_PARAMETER3 (_VI_ERROR + 0x3FFC0003L)
#endif
#ifndef VI_ERROR_PARAMETER4
#define VI_ERROR_PARAMETER4 (_VI_ERROR + 0x3FFC0004L)
#endif
#ifndef VI_ERROR_PARAMETER5
#define VI_ERROR_PARAMETER5 (_VI_ERROR + 0x3FFC0005L)
#endif
#ifndef VI_ERROR_FAIL_ID_QUERY
#define VI_ERROR_FAIL_ID_QUERY (_VI_ERROR + 0x3FFC0011L)
#endif
#ifndef VI_ERROR_INV_SETUP
#define VI_ERROR_INV_SETUP (_VI_ERROR + 0x3FFF003AL)
#endif
#ifndef VI_ERROR_ALLOC
#define VI_ERROR_ALLOC (_VI_ERROR + 0x3FFF003CL)
#endif
#ifndef VI_WARN_NSUP_ERROR_QUERY
#define VI_WARN_NSUP_ERROR_QUERY (0x3FFC0104L)
#endif
#ifndef VI_WARN_NSUP_REV_QUERY
#define VI_WARN_NSUP_REV_QUERY (0x3FFC0105L)
#endif
#ifndef VI_WARN_UNKNOWN_STATUS
#define VI_WARN_UNKNOWN_STATUS (0x3FFF0085L)
#endif

/* Session.
 *
 * lumex_init opens the module at position mezzanineNumber (1..4) of an open
 * carrier session; idQuery 1 checks the module type, reset 1 resets it. A
 * positive LUMEX_WARN_INIT_ERRORS means the session is open but a set-up step
 * failed; lumex_self_test then reports that step's status.
 *
 * Two-call opening (used by the soft front panel, which first learns the
 * carrier's resource name and only later its session and the position):
 *
 *   C++:  ViSession vi;
 *         lumex_init(resourceName, idQuery, reset, &vi);      // no hardware
 *         lumex_connect(vi, carrierSession, position, idQuery, reset);
 *   C:    lumex_init_rsrc(resourceName, idQuery, reset, &vi);
 *         lumex_connect_ex(&vi, carrierSession, position, idQuery, reset);
 *
 * The first call only checks its arguments and sets vi to VI_NULL, a
 * provisional handle meaning "not connected yet". The second call does the
 * whole five-argument lumex_init on (carrierSession, position, idQuery,
 * reset), returns its status and writes the new module session into vi, so
 * afterwards vi works for every lumex_ operation and for tarvo_m_in16 /
 * tarvo_m_out16. In C++ lumex_connect takes vi by reference for that; C has
 * no references, so C code calls lumex_connect_ex with &vi. The C function
 * lumex_connect, taking vi by value, cannot hand back a new session: given a
 * session that is already open it re-runs the module set-up on it (the same
 * steps and statuses as lumex_init after the session is opened), and given
 * the provisional VI_NULL it returns VI_ERROR_PARAMETER1. */
ViStatus _VI_FUNC lumex_init(ViSession carrierSession, ViInt16 mezzanineNumber, ViBoolean idQuery, ViBoolean reset,
                             ViSession* vi);
ViStatus _VI_FUNC lumex_init_rsrc(ViRsrc resourceName, ViBoolean idQuery, ViBoolean reset, ViSession* vi);
ViStatus _VI_FUNC lumex_connect_ex(ViSession* vi, ViSession carrierSession, ViInt16 mezzanineNumber, ViBoolean idQuery,
                                   ViBoolean reset);
#if !defined(__cplusplus) && !defined(__cplusplus__)
ViStatus _VI_FUNC lumex_connect(ViSession vi, ViSession carrierSession, ViInt16 mezzanineNumber, ViBoolean idQuery,
                                ViBoolean reset);
#endif
ViStatus _VI_FUNC lumex_close(ViSession vi);
ViStatus _VI_FUNC lumex_reset(ViSession vi);
ViStatus _VI_FUNC lumex_revision_query(ViSession vi, ViChar driverRevision[], ViChar instrumentRevision[]);
ViStatus _VI_FUNC lumex_error_query(ViSession vi, ViInt32* code, ViChar text[]);
ViStatus _VI_FUNC lumex_error_message(ViSession vi, ViStatus status, ViChar text[]);

/* Configuration. Setting operations only store values; thresholds and
 * period reach the module at start, reset and self-test. Relays, interrupt
 * enable and start trigger are written at once. Thresholds are volts
 * (-10.0..+10.0, raised to the next multiple of 0.05 V), the sample period is
 * seconds (0.0001..1.0), groups are 1 (channels 1-16) and 2 (17-32). */
ViStatus _VI_FUNC lumex_set_porog(ViSession vi, ViReal64 volts);
ViStatus _VI_FUNC lumex_set_porog_group(ViSession vi, ViReal64 volts, ViInt16 group);
ViStatus _VI_FUNC lumex_set_porog_q(ViSession vi, ViReal64* volts);
ViStatus _VI_FUNC lumex_set_porog_group_q(ViSession vi, ViInt16 group, ViReal64* volts);
ViStatus _VI_FUNC lumex_sample_period(ViSession vi, ViReal64 seconds);
ViStatus _VI_FUNC lumex_sample_period_q(ViSession vi, ViReal64* seconds);
ViStatus _VI_FUNC lumex_sample_width_q(ViSession vi, ViInt16* width, ViInt16* bytes);
ViStatus _VI_FUNC lumex_mode_1(ViSession vi);
ViStatus _VI_FUNC lumex_mode_block(ViSession vi, ViInt32 samples);
ViStatus _VI_FUNC lumex_mode_cycle(ViSession vi, ViInt32 samples);
ViStatus _VI_FUNC lumex_mode_q(ViSession vi, ViInt16* mode, ViInt32* samples);
ViStatus _VI_FUNC lumex_input_trigger(ViSession vi, ViBoolean on);
ViStatus _VI_FUNC lumex_input_trigger_group(ViSession vi, ViBoolean on, ViInt16 group);
ViStatus _VI_FUNC lumex_input_trigger_q(ViSession vi, ViBoolean* on);
ViStatus _VI_FUNC lumex_input_trigger_group_q(ViSession vi, ViInt16 group, ViBoolean* on);
ViStatus _VI_FUNC lumex_config_trigger(ViSession vi, ViInt32 configuration);
ViStatus _VI_FUNC lumex_mask_interrupt(ViSession vi, ViBoolean mask);
ViStatus _VI_FUNC lumex_mask_interrupt_q(ViSession vi, ViBoolean* mask);

/* User interrupt handler: called from the carrier's event thread with
 * code 1 (data, carrier event 2), 2 (data, event 4), 3 (carrier reset, the
 * module has been reset) or -1, -2, -4, -5 (instrument error; further
 * configuration and read calls fail until lumex_reset). A non-zero return
 * for a data code tells the carrier the event was taken. Null removes it. */
typedef ViInt16(_VI_FUNCH* lumex_user_handler)(ViSession vi, ViInt32 code);
ViStatus _VI_FUNC lumex_set_user_ihandle(ViSession vi, lumex_user_handler handler);

/* Acquisition and data. Modes: 0 single sample, 1 block, 2 cycle. */
ViStatus _VI_FUNC lumex_alloc(ViSession vi, ViInt32 samples);
ViStatus _VI_FUNC lumex_alloc_q(ViSession vi, ViInt32* samples);
ViStatus _VI_FUNC lumex_start(ViSession vi);
ViStatus _VI_FUNC lumex_stop(ViSession vi);
ViStatus _VI_FUNC lumex_state(ViSession vi, ViInt16* state);
ViStatus _VI_FUNC lumex_numReadyData(ViSession vi, ViInt32* count);
ViStatus _VI_FUNC lumex_read_sample(ViSession vi, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4);
ViStatus _VI_FUNC lumex_read_block(ViSession vi, ViInt32 first, ViInt32 count, ViUInt32* buffer);
ViStatus _VI_FUNC lumex_read_packet(ViSession vi, ViInt32 count, ViUInt32* buffer, ViInt32* got);

/* Self-test: result 0 and VI_SUCCESS when the module passed; otherwise
 * LUMEX_ERROR_SELF_TEST with the cause in result and message. Leaves the
 * module reset (relays off, thresholds 2.0 V); keeps the start trigger. */
ViStatus _VI_FUNC lumex_self_test(ViSession vi, ViInt16* result, ViChar message[]);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif

#if defined(__cplusplus) || defined(__cplusplus__)
}

/* The soft front panel's two-call opening, see above. */
inline ViStatus lumex_init(ViRsrc resourceName, ViBoolean idQuery, ViBoolean reset, ViSession* vi)
{
    return lumex_init_rsrc(resourceName, idQuery, reset, vi);
}

inline ViStatus lumex_connect(ViSession& vi, ViSession carrierSession, ViInt16 mezzanineNumber, ViBoolean idQuery,
                              ViBoolean reset)
{
    return lumex_connect_ex(&vi, carrierSession, mezzanineNumber, idQuery, reset);
}
#endif

#endif /* LUMEX_HEADER */
