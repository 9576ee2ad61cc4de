#include "sim/SimBenchFile.h"

namespace sim {

// Kept alike with benches/default.toml, byte for byte.
const char* DefaultBenchText() {
  return R"bench(# The default bench of the simulated libraries: the one they use when
# BENCHSENTRY_BENCH names no bench file. The libraries carry the same text
# built in (sim/SimDefaultBench.cpp; a test keeps the two alike).
#
# Every feature of a bench in one place:
#   - two mainframes on GPIB0, a tunable laser in slot 0 of the first;
#   - single- and dual-channel power meters and a return-loss module;
#   - a 795xx power meter on the second mainframe;
#   - an instrument on GPIB1 that only VISA sees.
#
# Bench file rules: the first key is format_version; keys not described here
# are refused, as are values of the wrong type, slots outside 0 to 17 and an
# address given twice. Faults are shown in faults.toml.

format_version = 1
description = "Default bench: two mainframes, one tunable laser, one further GPIB instrument"

# Mainframes, in the order in which the driver lists them. The identification
# is the answer to *IDN?: maker, model, serial number, firmware.
[[mainframe]]
address = "GPIB0::20::INSTR"
identification = "Velmora Technologies,VT7412A,DE00000101,V3.12(4711)"

# Slots 0 to 17; a slot not given is empty (type 0). Types: 1 single-channel
# power meter, 2 dual-channel power meter, 3 laser source, 4 dual-wavelength
# laser source, 5 tunable laser, 6 return-loss module, 7 return-loss combo.
# The identification is the answer to SLOTn:IDN?.
[[mainframe.slot]]
slot = 0
type = 5
identification = "Velmora Technologies,VT7451B,DE00000201,V2.40"

# Power meters read "dark" watts while no tunable laser of their mainframe is
# on and "lit" watts while one is; a dual-channel meter takes one value per
# channel.
[[mainframe.slot]]
slot = 1
type = 1
identification = "Velmora Technologies,VT7462A,DE00000301,V1.08"
dark = 3.2e-10
lit = 4.7e-4

[[mainframe.slot]]
slot = 2
type = 2
identification = "Velmora Technologies,VT7464B,DE00000302,V1.08"
dark = [1.5e-10, 2.5e-10]
lit = [2.1e-4, 1.0e-5]

[[mainframe.slot]]
slot = 12
type = 6
identification = "Velmora Technologies,VT7481A,DE00000401,V1.20"

[[mainframe]]
address = "GPIB0::22::INSTR"
identification = "Velmora Technologies,VT7412A,DE00000102,V3.12(4711)"

[[mainframe.slot]]
slot = 0
type = 2
identification = "Velmora Technologies,VT7464B,DE00000303,V1.08"
dark = [1.1e-10, 1.3e-10]
lit = [1.1e-10, 1.3e-10]

[[mainframe.slot]]
slot = 3
type = 1
identification = "Velmora Technologies,VT79501A,DE00000501,V0.95"
dark = 2.0e-10

# Instruments that VISA finds but the driver does not list.
[[instrument]]
address = "GPIB1::7::INSTR"
identification = "Oberon Instruments,DMM-3400,OB-118204,1.4.2"
)bench";
}

}  // namespace sim
