// A text command entry point into the simulated bench, for scripted runs of
// the programs: a script runner finds it with dlsym("sorvi_bench_command")
// in libsorvibench and needs no other knowledge of the bench.
//
//   int sorvi_bench_command(const char* command, char* reply, int replySize);
//
// Returns 0 and the reply "ok" (or the asked value) on success, -1 and a reply
// beginning with "error: " otherwise. The reply is cut to replySize - 1
// characters; reply may be null.
//
// Syntax (words separated by blanks, case-insensitive keywords):
//
//   [at <resource> <position>] <command>
//
// Without "at", a command applies to every SORVI module of the bench.
//
//   input <channels> <signal>      set the signal on inputs
//       <channels>: a channel 1..32, a range "5-8", or "all"
//       <signal>:   3V | 250mV | 3         constant volts
//                   5ohm | 100k | 100kohm | 2M | open   sensor resistance
//                   square <low> <high> <periodS> [<duty> [<phaseS>]]
//                   seq <stepS> <volts> <volts> ...
//                   counter        channel k shows bit k-1 of the poll count
//                   live           the default bench's live pattern
//       Signals keep the limits a bench file keeps (signal_limits.h).
//   stuck <channels> high|low|off  channels stuck at 1 or 0, or freed
//   nopollack on|off               the module never acknowledges a poll
//   id <value>                     RG_ID low byte (9 is a SORVI module)
//   event <number>                 raise a carrier event for the open session
//                                  (-32768..32767; 0 FIFO overflow, 2 end of
//                                  acquisition, 4 packet ready, 10 carrier
//                                  reset, -1/-2 input errors)
//   follow on|off                  follow the verification program's prompts
//   prompt <signal>                what a prompt asks for: put on every channel
//                                  of every open module while following
//   clock virtual|real             switch the bench time
//   advance <seconds>              move virtual time (switches to it first)
//   remove <resource> [<position>] take a carrier, or the module at position
//                                  1..4, off the bus (not with "at")
//   restore <resource> [<position>] put it back
//
// The bench window changes the bench only through these commands.
//
// Examples: "input all 100k", "input 7 5ohm", "input all 3V",
// "input 5 square 0 5 0.01", "at VXI0::24::INSTR 1 stuck 3 low".
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

int sorvi_bench_command(const char* command, char* reply, int replySize);

#ifdef __cplusplus
}
#endif
