/* Standard VISA scalar types, as the VXIplug&play conventions define them.
 * Part of the VISA stand-in; a real VISA installation's visatype.h can take
 * its place. Usable from C and C++. */
#ifndef VISATYPE_HEADER
#define VISATYPE_HEADER

#if defined(_WIN32) && !defined(_WIN64)
#define _VI_FUNC __stdcall
#define _VI_FUNCC __cdecl
#define _VI_FUNCH __stdcall
#define _VI_SIGNED signed
#else
#define _VI_FUNC
#define _VI_FUNCC
#define _VI_FUNCH
#define _VI_SIGNED signed
#endif

#define _VI_ERROR (-2147483647L - 1)
#define _VI_PTR *

#include <stdint.h>

typedef uint64_t ViUInt64;
typedef int64_t ViInt64;
typedef ViUInt64* ViPUInt64;
typedef ViInt64* ViPInt64;
typedef ViUInt64* ViAUInt64;
typedef ViInt64* ViAInt64;

typedef uint32_t ViUInt32;
typedef ViUInt32* ViPUInt32;
typedef ViUInt32* ViAUInt32;
typedef int32_t ViInt32;
typedef ViInt32* ViPInt32;
typedef ViInt32* ViAInt32;

typedef unsigned short ViUInt16;
typedef ViUInt16* ViPUInt16;
typedef ViUInt16* ViAUInt16;
typedef _VI_SIGNED short ViInt16;
typedef ViInt16* ViPInt16;
typedef ViInt16* ViAInt16;

typedef unsigned char ViUInt8;
typedef ViUInt8* ViPUInt8;
typedef ViUInt8* ViAUInt8;
typedef _VI_SIGNED char ViInt8;
typedef ViInt8* ViPInt8;
typedef ViInt8* ViAInt8;

typedef char ViChar;
typedef ViChar* ViPChar;
typedef ViChar* ViAChar;
typedef unsigned char ViByte;
typedef ViByte* ViPByte;
typedef ViByte* ViAByte;
typedef void* ViAddr;
typedef ViAddr* ViPAddr;
typedef ViAddr* ViAAddr;
typedef float ViReal32;
typedef ViReal32* ViPReal32;
typedef ViReal32* ViAReal32;
typedef double ViReal64;
typedef ViReal64* ViPReal64;
typedef ViReal64* ViAReal64;

typedef ViPByte ViBuf;
typedef const ViByte* ViConstBuf;
typedef ViPByte ViPBuf;
typedef ViPByte* ViABuf;

typedef ViPChar ViString;
typedef const ViChar* ViConstString;
typedef ViPChar ViPString;
typedef ViPChar* ViAString;

typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef ViString ViPRsrc;
typedef ViString* ViARsrc;

typedef ViUInt16 ViBoolean;
typedef ViBoolean* ViPBoolean;
typedef ViBoolean* ViABoolean;

typedef ViInt32 ViStatus;
typedef ViStatus* ViPStatus;
typedef ViStatus* ViAStatus;

typedef ViUInt32 ViVersion;
typedef ViVersion* ViPVersion;
typedef ViVersion* ViAVersion;

typedef ViUInt32 ViObject;
typedef ViObject* ViPObject;
typedef ViObject* ViAObject;

typedef ViObject ViSession;
typedef ViSession* ViPSession;
typedef ViSession* ViASession;

typedef ViUInt32 ViAttr;

/* Attribute values are pointer-sized, so that a pointer can be kept in one. */
#if UINTPTR_MAX > 0xFFFFFFFFu
typedef ViUInt64 ViAttrState;
#else
typedef ViUInt32 ViAttrState;
#endif
typedef ViAttrState* ViPAttrState;

#define VI_SUCCESS (0L)
#define VI_NULL (0)
#define VI_TRUE (1)
#define VI_FALSE (0)

#endif /* VISATYPE_HEADER */
