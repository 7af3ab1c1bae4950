// The error component's process-wide state, shared by the trace, the trap and the report window.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>

class QFile;

namespace modCatchwell {

class TraceViewer;

/// One slot of the error table: slot 0 is the error being handled, 1 to 10 a forwarded list.
struct ErrorSlot
{
    QString module;
    QString procedure;
    int32_t line = 0;
    QString source;
    int32_t number = 0;
    QString description;
    QString category;
    QString helpFile;
    int32_t helpContext = 0;
};

inline constexpr int kMaxDepth = 1000;

/// What the trap records of one error before it reports it: the error table, the call tree
/// at the error and the code pointer there.
struct TrappedError
{
    std::array<ErrorSlot, 11> errorSlots;
    int16_t count = 0;
    std::array<QString, kMaxDepth + 1> tree;
    int16_t codePointer = 0;
};

struct State
{
    // Flags (16-bit VB Booleans: True is -1).
    bool cwStarted = false;
    bool cwDisabled = false;
    bool cwTraceOff = false;
    bool cwBusy = false;
    bool cwInIDE = false;
    int16_t cwoSilentRun = 0;
    bool cwoWriteToDisk = false;
    int16_t cwoCaptureToDisk = 0;
    bool cwoForceSystemInfo = false;
    bool cwoIncludeMemory = false;
    bool cwoIncludeResources = false;
    bool cwoIncludeArguments = false;
    bool cwoIncludeUser = false;
    bool cwoCircularLog = false;
    int16_t cwDisplayMode = 0;

    // Texts.
    QString cwHostExeName;
    QString cwoLogFile;
    QString cwoMailAddress;
    QString cwoCircularLogFile;
    QString cwExePrefix;
    QString cwOwnSource;

    // Numbers.
    int32_t cwTraceDepth = 0;
    int32_t cwLineCounter = 0;
    int32_t cwoMaxRecords = 0;
    int32_t cwRecordSize = 0;
    int32_t cwCircularRecord = 0;
    qint64 cwViewerWnd = 0;

    // Times in milliseconds (currency: four decimals).
    double startTime = 0;
    double cwPushOverhead = 0;
    double cwPopOverhead = 0;
    double scratchTime = 0;

    // The trace stack, indexed by depth 0..1000.
    std::array<QString, kMaxDepth + 1> cwTraceEntry;
    std::array<double, kMaxDepth + 1> cwTraceTime{};
    std::array<int16_t, kMaxDepth + 1> cwCodePointer{};

    // The trap.
    std::array<ErrorSlot, 11> cwErrorSlot;
    int16_t cwErrorCount = 0;
    std::array<QString, kMaxDepth + 1> cwErrorTree;
    int16_t cwErrorCodePointer = 0;
    QString cwSystemText;
    int16_t cwUserChoice = 0;
    QString cwUserComment;

    // A report is being made; errors trapped meanwhile wait, in order, for their own.
    bool cwTrapping = false;
    std::deque<TrappedError> cwWaitingErrors;

    // Open handles: the circular log file between records, the link to the trace viewer.
    std::shared_ptr<QFile> cwCircularFile;
    std::shared_ptr<TraceViewer> cwViewerLink;
};

/// The component's one state.
State& state();

/// Puts the component back to "not started" (for tests).
void resetState();

/// The numbered message texts (1 to 62; others give "").
QString pfMsg(int16_t number);

/// The component's version text, as option 0 reads it.
QString cwVersionText();

/// The program's folder (where CWCLIENT.INI lives), without a trailing separator.
QString cwAppFolder();

/// Puts the program's folder elsewhere (tests); an empty text restores the real one.
void setAppFolder(const QString& folder);

/// The executable's name without folder and extension.
QString cwExeName();

} // namespace modCatchwell
