// When each phase of the start ends, for the benchmark. Only the trace build
// (TRELGATE_TRACE, which makes Trelgate_trace.exe from the same sources)
// records anything; in the launcher the calls are empty and vanish.
#pragma once

namespace trelgate {

#ifdef TRELGATE_TRACE
// Notes that the phase has ended: the milliseconds since the process was created.
void PhaseDone(const char* phase);
// Writes the notes beside the executable, into Trelgate.trace.txt, as lines
// "milliseconds<TAB>phase" in the order they were made.
void WritePhases();
#else
inline void PhaseDone(const char*) {}
inline void WritePhases() {}
#endif

} // namespace trelgate
