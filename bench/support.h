// Shared set-up of the benchmarks: one stand-in host with the plug-in loaded for
// the whole run, the generated texts, and the figures each benchmark leaves
// behind for the ratio table printed at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "host.h"
#include "host_impl.h"
#include "text_gen.h"

namespace bench {

// The one host of the run, plug-in loaded and started.
host::Host& TheHost();
void CloseHost();

// EditorControl as the plug-in calls it: through the service pointer, counted.
int Ectl(int Command, void* Param);

// Opens a window on Text and makes sure its bindings are on (On) or off.
int OpenWindow(const std::string& Name, const std::string& Text, bool On);
// Whether the plug-in's menu offers "off", i.e. the bindings are on.
bool BindingsOn();

// Sum of the line lengths of the current window (bytes a scan looks at).
long long TextBytes();

// Forgets the host's handed-out line copies (the stand-in keeps every
// ECTL_GETSTRING copy until the next change or redraw).
inline void DropLineCopies() {
    TheHost().impl()->RetireLineCopies();
}

// Figures recorded by the benchmarks, by benchmark name: seconds per iteration
// and the named values (host calls per line, bytes, ...).
struct Figures {
    double Seconds = 0;      // CPU time
    double WallSeconds = 0;  // real time
    std::map<std::string, double> Values;
};
std::map<std::string, Figures>& Results();

}  // namespace bench
