#pragma once
// Every finding of the JSON report, declared once, record by record: the checks
// keep their findings through these names, the baseline comparison is driven by
// them, and a test holds app/diagnose-all.schema.json to them.
//
// A record is one kind of JSON object. Its entry in BS_FINDING_RECORDS:
//   R(record, item, description)
//     item: how a change in it names what changed: "%s" stands for the value of
//     its Identity field, a leading "+" puts the item of the record above in
//     front; without "%s" it is a fixed name.
// Its findings, in the report's order, one X(...) each in BS_<RECORD>_FINDINGS:
//   X(key, type, of, presence, compare, change, words, description)
//     key       the C++ name Finding::<record>::<key>, and the JSON key (without
//               the "_" that ends a name which is a C++ keyword or macro: new_)
//     type      Text, Integer, Number, Bool, Value (text, number or null),
//               Texts (a list of texts), Object, Objects (a list of objects), each
//               with OrNull where null stands for "not found", "not asked"
//     of        the record of an Object or Objects; None otherwise
//     presence  Always, or Sometimes (not in every layer or every report)
//     compare   how a baseline and a run differ in it (FindingCompare below)
//     change    the kind of change it gives ("library_version"), or for the
//               rules that give several kinds their common start ("library")
//     words     what a change line calls it ("version string")
//
// Adding a finding: one X(...) in its record's list, the field in the schema,
// and the check keeps it through Finding::<record>::<key>. Adding a record: one
// R(...) and its list. Adding a way to compare: one FindingCompare value and
// its case in app/ReportCompare.cpp.
#include <cstddef>

enum class FindingType {
  Text, TextOrNull, Integer, IntegerOrNull, Number, Bool, BoolOrNull, Value,
  Texts, Object, ObjectOrNull, Objects, ObjectsOrNull,
};

enum class FindingPresence { Always, Sometimes };

enum class FindingCompare {
  Ignored,         // not a finding of the bench: dates, times, free memory, the text
  Identity,        // what items of a list are matched by and named after
  Exact,           // any other value is a change
  Verdict,         // "ok"/"failed", shown as the banner's OK/FAILED
  Presence,        // a library there or not: appeared, disappeared, moved; else Exact
  Identification,  // an *IDN? answer: maker, model, serial number, firmware each
  Answer,          // Identification; an instrument that stops answering is silent
  Unlisted,        // Identification, unless the GPIB layer lists the instrument too
  Tolerance,       // a reading: a move beyond the tolerance, or no longer readable
  NewLines,        // lines of the run that the baseline does not hold
  Record,          // an object: its own findings compared
  Known,           // a list: items matched by identity, each once in a run; one
                   // that only one report lists is not compared
  Items,           // a list: items matched by identity, each once in a run;
                   // appeared, disappeared
  Modules,         // slots: a module is known by its identification, then its slot
  Channels,        // readings, by channel
  Interfaces,      // interfaces: their instruments as one list, where both reports
                   // list them
  Inline,          // the layer's own findings, written beside the run's
  VisaLibraries,   // the VISA Libraries check: the loaded library (its Exact
                   // fields), then its copies and registry values (Items), by
                   // app/VisaCompare.cpp
};

struct CFindingRecord;

struct CFindingField {
  const char* key;
  FindingType type;
  const CFindingRecord* of;
  FindingPresence presence;
  FindingCompare compare;
  const char* change;
  const char* words;
  const char* description;
};

struct CFindingRecord {
  const char* name;
  const char* item;
  const CFindingField* const* fields;
  size_t count;
  const char* description;

  const CFindingField* const* begin() const { return fields; }
  const CFindingField* const* end() const { return fields + count; }
};

// clang-format off
#define BS_FINDING_RECORDS(R)                                                            \
  R(Report, BS_REPORT_FINDINGS, "", "a run of Diagnose All")                             \
  R(Tool, BS_TOOL_FINDINGS, "", "the program that wrote the file")                       \
  R(Baseline, BS_BASELINE_FINDINGS, "", "the report the run was compared with")          \
  R(Change, BS_CHANGE_FINDINGS, "", "one change since the baseline")                     \
  R(LayerRun, BS_LAYER_RUN_FINDINGS, "%s layer", "one layer as the run wrote it")        \
  R(Layer, BS_LAYER_FINDINGS, "", "what a layer's check found, at the top of its layer") \
  R(System, BS_SYSTEM_FINDINGS, "Windows", "what the report shows of the PC and its Windows") \
  R(Processor, BS_PROCESSOR_FINDINGS, "processor", "the report's \"Processor Type\" line") \
  R(Memory, BS_MEMORY_FINDINGS, "RAM (MB)", "the report's RAM lines")                    \
  R(Library, BS_LIBRARY_FINDINGS, "%s", "one library the check probed")                  \
  R(Photonic, BS_PHOTONIC_FINDINGS, "zeb_32.dll", "the photonic library's own answers")  \
  R(Board, BS_BOARD_FINDINGS, "%s", "one GPIB interface scanned")                        \
  R(Resource, BS_RESOURCE_FINDINGS, "%s", "one instrument VISA listed")                  \
  R(Mainframe, BS_MAINFRAME_FINDINGS, "%s", "one mainframe the driver listed")           \
  R(Slot, BS_SLOT_FINDINGS, "+slot %s", "one occupied slot")                             \
  R(Measurement, BS_MEASUREMENT_FINDINGS, "+channel %s", "one power reading")          \
  R(LayerIo, BS_LAYER_IO_FINDINGS, "", "a layer's calls into the bench libraries")       \
  R(SlowestCall, BS_SLOWEST_CALL_FINDINGS, "", "the slowest call of a layer")           \
  R(ErrorLine, BS_ERROR_LINE_FINDINGS, "", "an error line and the call behind it")      \
  R(VisaRun, BS_VISA_RUN_FINDINGS, "", "the VISA Libraries check")                      \
  R(VisaLoaded, BS_VISA_LOADED_FINDINGS, "visa32.dll loaded", "the VISA library loaded") \
  R(VisaSelf, BS_VISA_SELF_FINDINGS, "visa32.dll loaded", "what the VISA library says of itself") \
  R(VisaCopy, BS_VISA_COPY_FINDINGS, "", "one copy of the VISA library")                 \
  R(VisaRegistry, BS_VISA_REGISTRY_FINDINGS, "", "one value of the VISA registry key")   \
  R(VisaWarning, BS_VISA_WARNING_FINDINGS, "", "one warning of the VISA Libraries check")

#define BS_REPORT_FINDINGS(X)                                                           \
  X(format, Integer, None, Always, Ignored, "", "",                                     \
    "the version of this format; 2 added the OS, SW and GPIB layers' findings")         \
  X(tool, Object, Tool, Always, Ignored, "", "", "the program that wrote the file")     \
  X(started, Text, None, Always, Ignored, "", "",                                       \
    "local time of the start, ISO 8601; empty when the clock could not be read")        \
  X(failed_layers, Integer, None, Always, Ignored, "", "",                              \
    "how many layers failed; the headless run's exit code")                             \
  X(baseline, Object, Baseline, Sometimes, Ignored, "", "",                             \
    "with /baseline only: the report the run was compared with")                        \
  X(changes, Objects, Change, Sometimes, Ignored, "", "",                               \
    "with /baseline only: what differs from the baseline, by layer in report order")    \
  X(layers, Objects, LayerRun, Always, Ignored, "", "",                                    \
    "OS, SW, GPIB, Instrument, Optical, in this order")                                 \
  X(visa_libraries, Object, VisaRun, Sometimes, VisaLibraries, "visa", "",              \
    "the VISA Libraries check (its own command), run after the layers: only here, not in the text " \
    "and HTML reports, and not in the exit code. benchsentry.exe /visa writes this object alone, " \
    "after format, tool and started")

#define BS_TOOL_FINDINGS(X)                                                             \
  X(name, Text, None, Always, Ignored, "", "", "the program's name")                    \
  X(version, Text, None, Always, Ignored, "", "",                                       \
    "the program's version, as its report head shows it")

#define BS_BASELINE_FINDINGS(X)                                                         \
  X(file, Text, None, Always, Ignored, "", "", "as the command line named it")          \
  X(started, Text, None, Always, Ignored, "", "", "the baseline's own start")           \
  X(format, Integer, None, Always, Ignored, "", "",                                     \
    "the baseline's format (1: the first, without this field)")

#define BS_CHANGE_FINDINGS(X)                                                           \
  X(kind, Text, None, Always, Ignored, "", "",                                          \
    "the kind of change, as the findings declare it: verdict, error_code, "             \
    "system_<field>, library_appeared/disappeared/moved/found/version/version_string/"  \
    "publisher, resource_appeared/disappeared/silent/maker/model/serial/firmware/"      \
    "identification, mainframe_appeared/disappeared (and its identification's fields "  \
    "in a first-format comparison), module_appeared/disappeared/moved/maker/model/"     \
    "serial/firmware/identification, reading_changed, reading_unreadable, error_new; "  \
    "visa_loaded_path/version/publisher/maker (first, layer VISA), "                    \
    "visa_copy_appeared/disappeared/changed, visa_registry_appeared/disappeared/changed")   \
  X(layer, Text, None, Always, Ignored, "", "", "the layer the change is in")           \
  X(item, Text, None, Always, Ignored, "", "",                                          \
    "what changed: a library, a resource or mainframe address, a slot, a channel")      \
  X(old, Value, None, Always, Ignored, "", "", "the baseline's value; null where it had none") \
  X(new_, Value, None, Always, Ignored, "", "", "the run's value; null where it has none")

// The run writes these around what the check holds (findings).
#define BS_LAYER_RUN_FINDINGS(X)                                                            \
  X(name, Text, None, Always, Identity, "", "", "the layer")                            \
  X(verdict, Text, None, Always, Verdict, "verdict", "verdict",                         \
    "the report's verdict banner: \"failed\" for FAILED, else \"ok\"")                  \
  X(error_code, Integer, None, Always, Exact, "error_code", "error code",               \
    "the layer's code the verdict was decided on; 0 is OK")                             \
  X(report, Text, None, Always, Ignored, "", "",                                        \
    "the layer's report as plain text, as the window shows it")                         \
  X(findings, Object, Layer, Always, Inline, "", "", "")                                 \
  X(errors, Texts, None, Sometimes, NewLines, "error_new", "new error",                 \
    "the lines the report shows as errors (with the marker ###### in the window), "     \
    "without the marker, from where the error text starts on the line to its end; "     \
    "the verdict banner is not among them (reports written before it was kept lack it)") \
  X(io, Object, LayerIo, Sometimes, Ignored, "", "",                                    \
    "the layer's calls into the bench libraries (visa32.dll, kv740m_32.dll, zeb_32.dll), loads " \
    "and frees included, as the I/O trace (/trace) numbers them")

// What the checks hold at the top of their layer, each in its own layers.
#define BS_LAYER_FINDINGS(X)                                                        \
  X(system, Object, System, Sometimes, Record, "", "",                                  \
    "OS layer only: what the report shows of the PC and its Windows")                   \
  X(libraries, Objects, Library, Sometimes, Known, "", "",                              \
    "OS, SW and GPIB layers: the libraries probed, in report order")                    \
  X(photonic_library, ObjectOrNull, Photonic, Sometimes, Ignored, "", "",               \
    "SW layer only: the photonic library's own answers; null when it was not found by " \
    "name (found is not \"accessible\" or \"not loadable\")")                           \
  X(visa_publisher, Text, None, Sometimes, Ignored, "", "",                             \
    "SW layer only: whose VISA library visa32.dll is by its CompanyName, which decides " \
    "the minimum version: \"maker\" (the bench maker's), \"national\", or \"other\" "   \
    "(the report then advises an upgrade)")                                             \
  X(missing_function, TextOrNull, None, Sometimes, Ignored, "", "",                     \
    "GPIB layer only: the first VISA function visa32.dll lacks (the report's \"... not " \
    "found in visa32.dll\"); null when it has them all or was not loaded")              \
  X(boards, Objects, Board, Sometimes, Interfaces, "", "",                              \
    "GPIB layer only: the interfaces GPIB0 to GPIB9, each scanned; empty when the VISA " \
    "library was not accessible")                                                       \
  X(mainframes, Objects, Mainframe, Sometimes, Items, "mainframe", "",                  \
    "Instrument and Optical layers only: the mainframes the driver listed, in order")

#define BS_SYSTEM_FINDINGS(X)                                                           \
  X(processor, Object, Processor, Always, Ignored, "", "",                              \
    "the report's \"Processor Type\" line")                                             \
  X(memory, Object, Memory, Always, Record, "", "", "the report's RAM lines")            \
  X(operating_system, TextOrNull, None, Always, Exact, "system_operating_system",       \
    "operating system",                                                                 \
    "the words after \"Operating system:\" without the numbers, such as \"Microsoft "   \
    "Windows 2000 Workstation\"; null when the version could not be read or the "       \
    "platform is unknown")                                                              \
  X(version, TextOrNull, None, Always, Exact, "system_version", "version",              \
    "major.minor as the report shows it; null on Win32s, 95 and 98 (the report shows "  \
    "none) or when unread")                                                             \
  X(build, IntegerOrNull, None, Always, Exact, "system_build", "build",                 \
    "\"Build no.\", the low 16 bits of the build number; null where version is null")   \
  X(service_pack, TextOrNull, None, Always, Exact, "system_service_pack", "service pack", \
    "the service-pack text as the report shows it (may be empty); null where version "  \
    "is null")

#define BS_PROCESSOR_FINDINGS(X)                                                        \
  X(type, Integer, None, Always, Ignored, "", "", "processor type, decimal")            \
  X(family, Integer, None, Always, Ignored, "", "", "processor level, decimal")         \
  X(model, TextOrNull, None, Always, Ignored, "", "",                                   \
    "model, hexadecimal digits as the report shows them; null when the system gives "   \
    "none (the report then shows no model)")                                            \
  X(stepping, TextOrNull, None, Always, Ignored, "", "",                                \
    "stepping, hexadecimal digits as the report shows them; null with model")

// Free memory changes by itself.
#define BS_MEMORY_FINDINGS(X)                                                           \
  X(total_mb, Integer, None, Always, Exact, "system_memory", "memory",                  \
    "\"RAM available\", in MB (MiB)")                                                   \
  X(free_kb, Integer, None, Always, Ignored, "", "", "\"Free physical memory\", in kB (KiB)")

#define BS_LIBRARY_FINDINGS(X)                                                          \
  X(name, Text, None, Always, Identity, "", "",                                         \
    "the name the library was asked for by, or for a copy found on the drive its full " \
    "path, as the report shows it")                                                     \
  X(found, Text, None, Always, Presence, "library", "found",                            \
    "\"accessible\": it loads by that name; \"not loadable\": the file exists but does " \
    "not load (its dependencies); \"missing\": neither, so drive C: was searched for "  \
    "copies")                                                                           \
  X(version, TextOrNull, None, Always, Exact, "library_version", "version",             \
    "the file version, four decimal numbers as the report's \"version:\" shows them; "  \
    "null when the file has no version resource or was not found")                     \
  X(version_string, TextOrNull, None, Always, Exact, "library_version_string",          \
    "version string",                                                                   \
    "the version resource's ProductVersion string (the report's \"string value\"); "    \
    "null as for version")                                                              \
  X(publisher, TextOrNull, None, Always, Exact, "library_publisher", "publisher",       \
    "the version resource's CompanyName (the report's \"Company Name\"); null as for "  \
    "version")                                                                          \
  X(required_version, TextOrNull, None, Always, Ignored, "", "",                        \
    "the minimum file version the report asks for because the library's is older "     \
    "(\"You should get version at least\"); null when none is asked for")               \
  X(copies, ObjectsOrNull, Library, Always, Ignored, "", "",                            \
    "when found is \"missing\": every copy the search of drive C: found, each probed "  \
    "as a library of its own (its name is its path; its copies null, unless it "        \
    "vanished between the listing and the probe: then the (empty) result of searching " \
    "for its path); null when no search was made")

#define BS_PHOTONIC_FINDINGS(X)                                                         \
  X(callable, Bool, None, Always, Ignored, "", "",                                      \
    "false when the library could not be loaded for calling or lacks ZebVersionString " \
    "(the report's \"Unable to call the DLL function ZebVersionString\")")              \
  X(version_string, TextOrNull, None, Always, Ignored, "", "",                          \
    "what ZebVersionString answered (the report's \"ZebVersionString\"); null when not " \
    "callable")                                                                         \
  X(version, TextOrNull, None, Always, Ignored, "", "",                                 \
    "what ZebVersion answered, three decimal numbers as the report's \"ZebVersion\" "   \
    "shows them (0.0.0 when the library lacks ZebVersion); null when not callable")

#define BS_BOARD_FINDINGS(X)                                                            \
  X(interface_, Text, None, Always, Identity, "", "", "the interface name")              \
  X(system_errors, Texts, None, Always, Ignored, "", "",                                \
    "system-error answers to the resource manager's calls on this interface (outside "  \
    "any one resource)")                                                                \
  X(resources, Objects, Resource, Always, Items, "resource", "",                        \
    "the instruments listed on the interface, in order")

#define BS_RESOURCE_FINDINGS(X)                                                         \
  X(resource, Text, None, Always, Identity, "", "",                                     \
    "the resource name VISA listed (\"Found resource\")")                               \
  X(opened, Bool, None, Always, Ignored, "", "", "whether the resource opened")         \
  X(identification, TextOrNull, None, Always, Answer, "resource", "",                   \
    "the answer to *IDN? (\"Instrument:\"), possibly empty; null when the resource did " \
    "not open")                                                                         \
  X(closed, BoolOrNull, None, Always, Ignored, "", "",                                  \
    "whether it closed successfully (\"resource closed successfully\"); null when it "  \
    "did not open")                                                                     \
  X(system_errors, Texts, None, Always, Ignored, "", "",                                \
    "the instrument system-error answers the report shows (answers not starting with "  \
    "\"+\"), in order; a timeout is \"System Error - Timeout\"")

#define BS_MAINFRAME_FINDINGS(X)                                                        \
  X(address, Text, None, Always, Identity, "", "", "the mainframe's resource address")  \
  X(identification, TextOrNull, None, Always, Unlisted, "mainframe", "",                \
    "\"InstrumentID\"; null when it did not answer")                                    \
  X(slots, Objects, Slot, Always, Modules, "module", "", "the occupied slots, in order")

#define BS_SLOT_FINDINGS(X)                                                             \
  X(slot, Integer, None, Always, Identity, "", "", "slot number")                       \
  X(type_code, Integer, None, Always, Ignored, "", "", "the driver's module type code")  \
  X(module, Text, None, Always, Ignored, "", "", "the type code in words")              \
  X(identification, TextOrNull, None, Always, Identification, "module", "",             \
    "the module's \"ID string\"; null when it did not answer")                          \
  X(measurements, Objects, Measurement, Always, Channels, "", "",                       \
    "Optical layer: the power readings, one per channel read; empty in the Instrument " \
    "layer")

#define BS_MEASUREMENT_FINDINGS(X)                                                      \
  X(channel, Integer, None, Always, Identity, "", "", "the module's channel, 1 or 2")   \
  X(dbm, Number, None, Always, Tolerance, "reading", "power",                           \
    "the reading in dBm, unrounded (the report shows it to seven digits); a failed "    \
    "reading is the floor of the scale")                                                \
  X(valid, Bool, None, Always, Ignored, "", "", "false when the reading failed")
#define BS_LAYER_IO_FINDINGS(X) \
  X(calls, Integer, None, Always, Ignored, "", "", "how many calls the layer made") \
  X(errors, Integer, None, Always, Ignored, "", "", "how many of them failed (a negative status, a library that did not load), time-outs included") \
  X(timeouts, Integer, None, Always, Ignored, "", "", "how many of them ended in VI_ERROR_TMO") \
  X(slowest, ObjectOrNull, SlowestCall, Always, Ignored, "", "", "the call that took longest; null when the layer made none") \
  X(error_lines, Objects, ErrorLine, Always, Ignored, "", "", "every error line of the layer's report (marked ###### in the text), in order, with the call behind it")

#define BS_SLOWEST_CALL_FINDINGS(X) \
  X(call, Integer, None, Always, Ignored, "", "", "its number in the trace") \
  X(library, Text, None, Always, Ignored, "", "", "") \
  X(function, Text, None, Always, Ignored, "", "", "the function, or LoadLibrary / FreeLibrary") \
  X(ms, Number, None, Always, Ignored, "", "", "how long it took, in milliseconds")

#define BS_ERROR_LINE_FINDINGS(X) \
  X(text, Text, None, Always, Ignored, "", "", "the line as the plain report shows it, without its marker, on one line") \
  X(call, IntegerOrNull, None, Always, Ignored, "", "", "the number in the trace of the call that failed: the latest call with a failing status since the layer's previous error line, or, with no call made since it, that line's call; null when the error is not a call's")

#define BS_VISA_RUN_FINDINGS(X) \
  X(verdict, Text, None, Always, Ignored, "", "", "the check's verdict banner: \"failed\" for FAILED, else \"ok\"") \
  X(error_code, Integer, None, Always, Ignored, "", "", "0 OK; 1 no VISA library can be loaded; 2 the copies of visa32.dll a program of this width could get differ in version or publisher") \
  X(report, Text, None, Always, Ignored, "", "", "the check's report as plain text, as the window shows it") \
  X(program_bits, Integer, None, Always, Ignored, "", "", "the width of the program that looked: 32 for benchsentry.exe") \
  X(windows_bits, IntegerOrNull, None, Always, Ignored, "", "", "the width of Windows; null when it could not be told") \
  X(safe_search, Bool, None, Always, Ignored, "", "", "safe DLL search mode: the current folder is searched after the Windows folder") \
  X(loaded, Object, VisaLoaded, Always, Ignored, "", "", "the visa32.dll Windows loaded for this program, as the loaded module names it; or why none loaded") \
  X(self, Object, VisaSelf, Always, Ignored, "", "", "what the loaded library says of itself through its default resource manager; null values where it does not say") \
  X(copies, Objects, VisaCopy, Always, Items, "visa_copy", "", "every visa32.dll and visa64.dll in the folders Windows searches, in its order, then in the system folder of the other width") \
  X(registry, Objects, VisaRegistry, Always, Items, "visa_registry", "", "the values of the VISA framework's registry key in each view") \
  X(warnings, Objects, VisaWarning, Always, Ignored, "", "", "one per warning line, in the report's order; copies_differ, not_loadable and no_visa fail the check")

#define BS_VISA_LOADED_FINDINGS(X) \
  X(path, TextOrNull, None, Always, Exact, "visa_loaded_path", "path", "its full path; null when none loaded") \
  X(version, TextOrNull, None, Always, Exact, "visa_loaded_version", "version", "its file version a.b.c.d; null without version information") \
  X(version_string, TextOrNull, None, Always, Ignored, "", "", "its ProductVersion text") \
  X(publisher, TextOrNull, None, Always, Exact, "visa_loaded_publisher", "publisher", "its CompanyName text") \
  X(image, TextOrNull, None, Always, Ignored, "", "", "its image type from the file's header: \"32-bit (x86)\", \"64-bit (x64)\", ...") \
  X(error_code, IntegerOrNull, None, Always, Ignored, "", "", "the system's error code when it could not be loaded") \
  X(error, TextOrNull, None, Always, Ignored, "", "", "the system's text for that code (empty when it has none)") \
  X(problem, TextOrNull, None, Always, Ignored, "", "", "what the failure means")

#define BS_VISA_SELF_FINDINGS(X) \
  X(maker, TextOrNull, None, Always, Exact, "visa_loaded_maker", "maker", "VI_ATTR_RSRC_MANF_NAME") \
  X(maker_id, IntegerOrNull, None, Always, Ignored, "", "", "VI_ATTR_RSRC_MANF_ID") \
  X(implementation_version, TextOrNull, None, Always, Ignored, "", "", "VI_ATTR_RSRC_IMPL_VERSION decoded, major.minor.sub-minor") \
  X(specification_version, TextOrNull, None, Always, Ignored, "", "", "VI_ATTR_RSRC_SPEC_VERSION decoded, major.minor.sub-minor") \
  X(problem, TextOrNull, None, Always, Ignored, "", "", "why it says nothing: not loaded, no viGetAttribute, no viOpenDefaultRM, no resource manager")

#define BS_VISA_COPY_FINDINGS(X) \
  X(file, Text, None, Always, Ignored, "", "", "") \
  X(path, Text, None, Always, Ignored, "", "", "") \
  X(folder, Text, None, Always, Ignored, "", "", "what the folder is to Windows' search: program folder, current folder, system folder, 16-bit system folder, Windows folder, PATH, or the system folder of the other width") \
  X(searched, Bool, None, Always, Ignored, "", "", "false for the system folder of the other width, which this program's search never reaches") \
  X(version, TextOrNull, None, Always, Ignored, "", "", "file version a.b.c.d; null without version information") \
  X(version_string, TextOrNull, None, Always, Ignored, "", "", "ProductVersion text") \
  X(publisher, TextOrNull, None, Always, Ignored, "", "", "CompanyName text") \
  X(image, Text, None, Always, Ignored, "", "", "image type from the file's header") \
  X(loaded, Bool, None, Always, Ignored, "", "", "the copy this program loaded") \
  X(first, Bool, None, Always, Ignored, "", "", "the first visa32.dll in the search order")

#define BS_VISA_REGISTRY_FINDINGS(X) \
  X(view, Text, None, Always, Ignored, "", "", "\"32-bit view\" or \"64-bit view\" on 64-bit Windows, else empty") \
  X(key, Text, None, Always, Ignored, "", "", "under HKEY_LOCAL_MACHINE: the framework's key SOFTWARE\\VXIPNP_Alliance\\VXIPNP\\CurrentVersion or one of its subkeys") \
  X(name, Text, None, Always, Ignored, "", "", "the value's name; empty for the key's default value") \
  X(data, Text, None, Always, Ignored, "", "", "the value as a person reads it")

#define BS_VISA_WARNING_FINDINGS(X) \
  X(kind, Text, None, Always, Ignored, "", "", "") \
  X(text, Text, None, Always, Ignored, "", "", "the warning's line in the report")
// clang-format on

// The records (k<record>Record), and Finding::<record>::<key> for each finding.
extern const CFindingRecord kNoneRecord;  // the "of" of a value: no fields
#define BS_FINDING_RECORD_OBJECT(record, list, item, description) extern const CFindingRecord k##record##Record;
BS_FINDING_RECORDS(BS_FINDING_RECORD_OBJECT)
#undef BS_FINDING_RECORD_OBJECT

namespace Finding {
#define BS_FINDING_KEY(key, type, of, presence, compare, change, words, description) \
  extern const CFindingField key;
#define BS_FINDING_NAMESPACE(record, list, item, description) \
  namespace record {                                          \
  list(BS_FINDING_KEY)                                        \
  }
BS_FINDING_RECORDS(BS_FINDING_NAMESPACE)
#undef BS_FINDING_NAMESPACE
#undef BS_FINDING_KEY
}  // namespace Finding

// The field of record under key; null for none.
const CFindingField* FindField(const CFindingRecord& record, const char* key);
