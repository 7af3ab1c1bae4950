// The error component: procedure trace, options, trace logs, the error trap and its report.
#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>

namespace modCatchwell {

/// Enters a procedure: pushes it onto the trace stack and writes a trace line to the sinks.
void cwPUSH(const QString& module, const QString& procedure, const QString& arguments);

/// Leaves a procedure; an unbalanced pop resets the trace depth to 0.
void cwPOP(const QString& module, const QString& procedure, const QString& arguments);

/// Reads (value "GET" in any case) or writes a numbered option.
QVariant cwOPTION(short number, const QVariant& value);

/// The trap: records the error in vb::Err(), reports and logs it. Returns 0 after Continue,
/// 5 after Break, or an empty value when the component is off or runs silently.
QVariant cwERROR(const QString& module, const QString& procedure);

/// The current trace depth (0 when idle).
long cwTraceDepth();

/// Starts the component: reads CWCLIENT.INI, opens the circular log, looks for a viewer.
/// The first push or trap runs it.
void cwSTART();

/// The settings file's name, "CWCLIENT.INI".
QString pfIniName();

/// Seconds as "00000.000".
QString pfFormatTime(double seconds);

/// The user text of trace lines (empty).
QString pfUserInfo();

/// The trace line of a push (pop false) or a pop at the current depth.
QString pfTraceLine(double overhead, bool pop);

/// Hands a text to every trace sink that is on: log file, circular log, viewer.
void pfWriteTrace(const QString& text);

/// Appends a line to the log file when Write To Disk is on.
void pfAppendLog(const QString& text);

/// The category code of an error number (2 to 66) and the code's text.
int16_t pfErrClass(int32_t number);
QString pfErrClassText(int16_t code);

/// The answer preset for the trap (always 0: the report window decides).
int16_t pfPresetAnswer();

/// Appends the error block to the log file.
void pfWriteErrorLog();

/// Mails the error report to the configured address.
void pfMailReport();

/// Shows the component's internal error box.
void pfErr(int16_t number, const QString& routine);

/// The rule for "running inside the development environment": a debugger is attached to
/// the process (TracerPid non-zero in /proc/self/status).
bool debuggerAttached();

// Test seams. Each takes an empty function to restore the real behaviour.

/// Replaces the development-environment rule, so both branches can be tested.
void setInIdeRule(std::function<bool()> rule);

/// Answers the trap in place of the report window (returns 0 Continue or 5 Break).
void setReportHook(std::function<int16_t()> hook);

} // namespace modCatchwell
