/* Carrier driver interface: the mezzanine carrier library tarvo_32.
 *
 * The SORVI module driver and the programs reach a carrier (a VXI carrier
 * card or a Kubolt USB / LXI box) and the mezzanines on it only through these
 * functions. This project ships a stand-in over the simulated bench; a vendor
 * library with the same interface can replace it.
 *
 * Every function returns a ViStatus: 0 success, positive a warning, negative
 * an error. The carrier session returned by tarvo_init is also a VISA session
 * (VISA attributes can be read from it). A mezzanine session returned by
 * tarvo_m_init is the handle a module driver works with. */
#ifndef TARVO_32_HEADER
#define TARVO_32_HEADER

#include "visatype.h"

#if defined(__cplusplus) || defined(__cplusplus__)
extern "C" {
#endif

/* Attribute of a mezzanine session that keeps one pointer-sized user value
 * (a module driver hangs its per-session record on it). */
#define TARVO_ATTR_USER_DATA 0x3FFF0808UL
/* Attribute a module driver sets to its module type. */
#define TARVO_ATTR_MODULE_TYPE 0x3FFF080CUL

/* Module type code of a SORVI mezzanine: what tarvo_m_type_q reports for it,
 * the low byte of its identification register, and what its driver sets in
 * TARVO_ATTR_MODULE_TYPE. */
#define TARVO_MODULE_TYPE_SORVI 9

/* Carrier level. */
ViStatus _VI_FUNC tarvo_init(ViRsrc resourceName, ViBoolean idQuery, ViBoolean reset, ViSession* carrier);
ViStatus _VI_FUNC tarvo_close(ViSession carrier);
ViStatus _VI_FUNC tarvo_mem_q(ViSession carrier, ViUInt32* bytes);
ViStatus _VI_FUNC tarvo_m_type_q(ViSession carrier, ViInt16 mezzanine, ViInt16* present, ViInt16* type);
ViStatus _VI_FUNC tarvo_error_message(ViSession vi, ViStatus status, ViChar text[]);

/* Mezzanine level. */
ViStatus _VI_FUNC tarvo_m_init(ViSession carrier, ViInt16 mezzanine, ViSession* mvi);
ViStatus _VI_FUNC tarvo_m_close(ViSession mvi);
ViStatus _VI_FUNC tarvo_m_set_attribute(ViSession mvi, ViAttr attribute, ViAttrState value);
/* For TARVO_ATTR_USER_DATA, value points to a ViAttrState (pointer-sized). */
ViStatus _VI_FUNC tarvo_m_get_attribute(ViSession mvi, ViAttr attribute, void* value);
ViStatus _VI_FUNC tarvo_m_in16(ViSession mvi, ViUInt32 offset, ViUInt16* value);
ViStatus _VI_FUNC tarvo_m_out16(ViSession mvi, ViUInt32 offset, ViUInt16 value);

ViStatus _VI_FUNC tarvo_m_reset(ViSession mvi, ViInt16 unit);
ViStatus _VI_FUNC tarvo_m_start(ViSession mvi, ViInt16 unit);
ViStatus _VI_FUNC tarvo_m_stop(ViSession mvi, ViInt16 unit);
ViStatus _VI_FUNC tarvo_m_state(ViSession mvi, ViInt16 unit, ViInt16* state);
ViStatus _VI_FUNC tarvo_m_mode(ViSession mvi, ViInt16 unit, ViInt16 mode);
ViStatus _VI_FUNC tarvo_m_trig_length(ViSession mvi, ViInt16 length);
ViStatus _VI_FUNC tarvo_m_block_size(ViSession mvi, ViInt16 unit, ViInt32 samples);
ViStatus _VI_FUNC tarvo_m_packet_size(ViSession mvi, ViInt16 unit, ViInt32 samples);
ViStatus _VI_FUNC tarvo_m_clock(ViSession mvi, ViInt16 unit, ViInt32 ticks);
ViStatus _VI_FUNC tarvo_m_sample_width(ViSession mvi, ViInt16 unit, ViInt16 width);
ViStatus _VI_FUNC tarvo_m_first_delay(ViSession mvi, ViInt16 unit, ViInt32 delay);

ViStatus _VI_FUNC tarvo_m_alloc(ViSession mvi, ViInt16 unit, ViUInt32 bytes, ViUInt32* out);
ViStatus _VI_FUNC tarvo_m_alloc_q(ViSession mvi, ViInt16 unit, ViUInt32* bytes, ViUInt32* out);

typedef ViInt16(_VI_FUNCH* tarvo_m_routine)(ViSession mvi, ViInt32 event);
ViStatus _VI_FUNC tarvo_m_handler(ViSession mvi, tarvo_m_routine routine);
ViStatus _VI_FUNC tarvo_m_config_event(ViSession mvi, ViInt16 on);
ViStatus _VI_FUNC tarvo_m_config_event_q(ViSession mvi, ViInt16* a, ViInt16* b);
ViStatus _VI_FUNC tarvo_m_config_trigger(ViSession mvi, ViInt16 unit, ViInt32 config);
ViStatus _VI_FUNC tarvo_m_config_trigger_q(ViSession mvi, ViInt16 unit, ViInt16* config);

ViStatus _VI_FUNC tarvo_m_howmuch_data_q(ViSession mvi, ViInt16 unit, ViInt32* count);
ViStatus _VI_FUNC tarvo_m_read_last(ViSession mvi, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4);
ViStatus _VI_FUNC tarvo_m_read_block(ViSession mvi, ViInt32 first, ViInt32 count, ViUInt32* buffer);
ViStatus _VI_FUNC tarvo_m_read_packet(ViSession mvi, ViInt32 count, ViUInt32* buffer, ViInt32* got);

#if defined(__cplusplus) || defined(__cplusplus__)
}
#endif

#endif /* TARVO_32_HEADER */
