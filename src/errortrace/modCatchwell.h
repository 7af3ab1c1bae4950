// The error component: procedure trace, options, trace logs, the error trap and its report.
#pragma once

#include <QString>
#include <QVariant>

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

} // namespace modCatchwell
