#include "errortrace/modCatchwell.h"

#include "errortrace/CatchwellState.h"
#include "errortrace/Proc.h"
#include "errortrace/Report.h"
#include "errortrace/TraceViewer.h"
#include "platform/clock/Clock.h"
#include "platform/host/Host.h"
#include "platform/ini/IniFile.h"
#include "platform/mail/Mail.h"
#include "platform/userdirs/UserDirs.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Convert.h"
#include "platform/vb/Error.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPointer>
#include <QWidget>

#include <csignal>
#include <limits>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace modCatchwell {

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString kSep = QStringLiteral(" : ");
const QString kTrail = QStringLiteral(" << ");
constexpr long kObjectError = -2147221504L; // vbObjectError, &H80040000

std::function<bool()>& ideRule()
{
    static std::function<bool()> f;
    return f;
}

std::function<int16_t()>& reportHook()
{
    static std::function<int16_t()> f;
    return f;
}

double nowMs()
{
    return static_cast<double>(sysclock::timeGetTime());
}

QString tabs(qsizetype n)
{
    return n > 0 ? QString(n, u'\t') : QString();
}

// VB's Trim: blanks only, tabs stay.
QString trimSpaces(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == u' ') {
        ++from;
    }
    while (to > from && text.at(to - 1) == u' ') {
        --to;
    }
    return text.mid(from, to - from);
}

bool inStack(long depth)
{
    return depth >= 0 && depth <= kMaxDepth;
}

bool anySink(const State& s)
{
    return s.cwoCaptureToDisk != 0 || s.cwViewerWnd != 0 || s.cwoCircularLog;
}

// The trace calls and the trap wait here while the report window is up; the window's own
// events keep running, and one of them clears the flag.
void waitWhileBusy()
{
    while (state().cwBusy && QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void breakIntoDebugger()
{
    if (debuggerAttached()) {
        std::raise(SIGTRAP);
    }
}

// A value's number when it is one, as the options take it (a Boolean True is -1).
std::optional<double> numberOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? -1.0 : 0.0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QString:
        if (vb::isNumeric(value.toString())) {
            return vb::cDbl(value.toString());
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// Memory load (percent) and available physical bytes, as the trace line's includes show them.
struct MemoryStatus
{
    qint64 loadPercent = 0;
    qint64 availablePhysical = 0;
};

MemoryStatus memoryStatus()
{
    MemoryStatus m;
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly)) {
        return m;
    }
    qint64 totalKb = 0;
    qint64 availableKb = 0;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2) {
            continue;
        }
        if (parts[0] == "MemTotal:") {
            totalKb = parts[1].toLongLong();
        } else if (parts[0] == "MemAvailable:") {
            availableKb = parts[1].toLongLong();
        }
    }
    m.availablePhysical = availableKb * 1024;
    if (totalKb > 0) {
        m.loadPercent = (totalKb - availableKb) * 100 / totalKb;
    }
    return m;
}

QString readIni(const QString& file, const QString& section, const QString& key,
                const QString& def, int buffer)
{
    return ini::GetPrivateProfileString(section, key, def, buffer, file);
}

// "minus the numeric value as a 16-bit integer": "1" gives True (-1).
int16_t iniFlag(const QString& file, const QString& section, const QString& key,
                const QString& def)
{
    return static_cast<int16_t>(-vb::cInt(vb::val(readIni(file, section, key, def, 2))));
}

// The main window names one file for both logs. The circular log writes its header over the
// file's first bytes and its records at fixed places, so it stays out of a file that is the
// log file; with the main window's settings it would have held nothing but its header.
bool circularIsLogFile(const State& s)
{
    if (s.cwoLogFile.isEmpty() || s.cwoCircularLogFile.isEmpty()) {
        return false;
    }
    const QFileInfo circular(userdirs::stateFilePath(s.cwoCircularLogFile));
    const QFileInfo log(userdirs::stateFilePath(s.cwoLogFile));
    if (circular.absoluteFilePath() == log.absoluteFilePath()) {
        return true;
    }
    const QString canonical = circular.canonicalFilePath();
    return !canonical.isEmpty() && canonical == log.canonicalFilePath();
}

bool openCircular(State& s)
{
    auto file = std::make_shared<QFile>(userdirs::stateFilePath(s.cwoCircularLogFile));
    if (!userdirs::openPrivateFile(*file, QIODevice::ReadWrite)) {
        s.cwCircularFile.reset();
        return false;
    }
    s.cwCircularFile = std::move(file);
    return true;
}

// Closing hands the record to the disk; the file stays ours between records.
void reopenCircular(State& s)
{
    s.cwCircularFile->close();
    openCircular(s);
}

void writeCircular(State& s, const QString& text)
{
    if (circularIsLogFile(s)) {
        s.cwCircularFile.reset();
        return;
    }
    if (!s.cwCircularFile || !s.cwCircularFile->isOpen()) {
        if (!openCircular(s)) {
            if (s.cwInIDE) {
                host::MsgBox(QStringLiteral("Could not open circular log file ")
                                 + s.cwoCircularLogFile,
                             vb::vbCritical);
            }
            s.cwoCircularLog = false;
            return;
        }
        s.cwCircularFile->write("HM100");
    }
    if (s.cwRecordSize < 0) {
        return;
    }
    ++s.cwCircularRecord;
    if (s.cwCircularRecord > s.cwoMaxRecords) {
        s.cwCircularRecord = 1;
    }
    const QString record = (text + QString(1024, QChar(0))).left(s.cwRecordSize);
    QFile& file = *s.cwCircularFile;
    if (file.seek(512 + qint64(s.cwRecordSize) * (s.cwCircularRecord - 1))) {
        file.write(record.toLatin1());
    }
    reopenCircular(s);
}

// While the viewer holds the trace, the user's windows take no input.
void pauseForViewer(TraceViewer& viewer)
{
    QList<QPointer<QWidget>> disabled;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        const QList<QWidget*> windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows) {
            if (w->isVisible() && w->isEnabled()) {
                w->setEnabled(false);
                disabled << w;
            }
        }
    }
    while (viewer.connected()) {
        if (viewer.send(TraceViewer::kPauseQuery, 1) == 0) {
            break;
        }
        QCoreApplication::processEvents();
        if (viewer.send(TraceViewer::kPauseQuery, 2) != 0) {
            break;
        }
    }
    for (const QPointer<QWidget>& w : std::as_const(disabled)) {
        if (w) {
            w->setEnabled(true);
        }
    }
}

void writeViewer(State& s, const QString& text)
{
    const std::shared_ptr<TraceViewer> viewer = s.cwViewerLink;
    if (!viewer || !viewer->connected()) {
        // A viewer that went away is not looked for again.
        s.cwViewerLink.reset();
        s.cwViewerWnd = 0;
        return;
    }
    const QByteArray data = text.toLocal8Bit();
    if (viewer->send(TraceViewer::kSetText, static_cast<uint32_t>(data.size()), data)
        == TraceViewer::kPauseRequest) {
        pauseForViewer(*viewer);
    }
}

void appendLines(const QString& fileName, const QStringList& lines)
{
    QFile file(userdirs::stateFilePath(fileName));
    if (!userdirs::openPrivateFile(file, QIODevice::Append)) {
        return;
    }
    QString text;
    for (const QString& line : lines) {
        text += line + CRLF;
    }
    file.write(text.toUtf8());
}

struct ClassRow
{
    int16_t code;
    std::initializer_list<std::pair<int32_t, int32_t>> ranges;
};

// The first matching row wins, so the order of the rows matters.
const ClassRow kClassRows[] = {
    {64, {{35600, 35618}}},
    {65, {{40000, 40059}}},
    {66, {{40500, 40516}}},
    {63, {{3452, 3453}, {3455, 3461}, {3463, 3463}, {3465, 3465}, {3472, 3472}, {3485, 3492},
          {3499, 3499}, {3510, 3510}, {3515, 3515}, {3520, 3520}, {3532, 3533}, {3545, 3546},
          {3548, 3550}, {3552, 3553}, {3559, 3561}, {3566, 3566}, {3569, 3569}, {3572, 3572},
          {3574, 3577}, {3584, 3584}, {3592, 3595}, {3605, 3605}, {3607, 3607}, {3626, 3626}}},
    {2, {{3, 46}, {50, 51}, {454, 455}}},
    {59, {{3006, 3006}, {3008, 3009}, {3045, 3046}, {3050, 3052}, {3186, 3189}, {3196, 3197},
          {3211, 3212}, {3218, 3218}, {3225, 3225}, {3260, 3261}}},
    {60, {{70, 70}}},
    {3, {{47, 49}, {52, 76}, {452, 453}, {708, 708}, {712, 713}, {716, 716}, {719, 719},
         {722, 722}, {725, 725}, {730, 731}}},
    {4, {{91, 95}}},
    {5, {{280, 298}}},
    {6, {{260, 260}, {320, 394}}},
    {7, {{400, 404}, {426, 426}}},
    {8, {{420, 425}}},
    {13, {{429, 430}, {432, 432}, {438, 438}, {440, 440}, {442, 443}, {445, 451}, {458, 458}}},
    {9, {{460, 461}, {520, 521}}},
    {10, {{480, 481}, {485, 485}}},
    {11, {{482, 484}}},
    {46, {{457, 457}, {600, 646}}},
    {54, {{2420, 2448}, {3000, 3463}, {3608, 3622}}},
    {12, {{708, 785}}},
    {45, {{30000, 30019}, {32001, 32015}}},
    {57, {{31003, 31004}, {31006, 31009}, {31017, 31019}, {31021, 31024}, {31026, 31029},
          {31031, 31039}}},
    {47, {{20476, 20478}, {24574, 24574}, {28660, 28671}, {32751, 32766}}},
    {14, {{31999, 32767}}},
};

// The top of the trace stack as module and procedure; empty when nothing is traced.
std::pair<QString, QString> topOfStack(const State& s)
{
    QString entry;
    for (long d = std::min<long>(s.cwTraceDepth, kMaxDepth); d >= 1; --d) {
        if (!s.cwTraceEntry[d].isEmpty()) {
            entry = s.cwTraceEntry[d];
            break;
        }
    }
    if (entry.isEmpty()) {
        return {};
    }
    QString rest = trimSpaces(entry.mid(entry.indexOf(u':') + 1));
    // All leading tabs are the entry's indentation, at any depth.
    while (rest.startsWith(u'\t') || rest.startsWith(u' ')) {
        rest.remove(0, 1);
    }
    const qsizetype first = rest.indexOf(u':');
    if (first < 0) {
        return {trimSpaces(rest), QString()};
    }
    const qsizetype second = rest.indexOf(u':', first + 1);
    return {trimSpaces(rest.left(first)),
            trimSpaces(second < 0 ? rest.mid(first + 1) : rest.mid(first + 1, second - first - 1))};
}

QString categoryOf(int32_t number)
{
    return pfErrClassText(pfErrClass(number)) + pfMsg(16);
}

// A forwarded list: "count!module!procedure!line!source!number!description!..." per error.
bool loadRemoteList(const State& s, TrappedError& e, const QString& list)
{
    const QStringList fields = list.split(u'!');
    const int count = std::clamp(static_cast<int>(vb::val(fields.value(0))), 0, 10);
    if (count < 1) {
        return false;
    }
    for (int k = 0; k < count; ++k) {
        auto field = [&](int f) {
            const qsizetype at = 1 + qsizetype(k) * 6 + f;
            return at < fields.size() ? fields.at(at) : QStringLiteral("<unknown>");
        };
        ErrorSlot& slot = e.errorSlots[count - k];
        slot.module = field(0) + QStringLiteral(" (remote)");
        slot.procedure = field(1);
        slot.line = static_cast<int32_t>(vb::val(field(2)));
        slot.source = field(3);
        qint64 number = static_cast<qint64>(vb::val(field(4)));
        if (number < 0) {
            number -= kObjectError;
        }
        slot.number = static_cast<int32_t>(number);
        const QString description = field(5);
        const qsizetype in = description.indexOf(QStringLiteral(" in "));
        slot.description = in < 0 ? description : description.left(in);
        slot.category = categoryOf(slot.number);
        slot.helpFile.clear();
        slot.helpContext = 0;
    }
    e.count = static_cast<int16_t>(count);
    ErrorSlot& slot0 = e.errorSlots[0];
    slot0.number = 440;
    slot0.description = vb::errorText(440);
    slot0.source = s.cwOwnSource + QStringLiteral(" (local)");
    slot0.category = categoryOf(440);
    slot0.helpFile.clear();
    slot0.helpContext = 0;
    return true;
}

QString runtimeError(const ErrorSlot& slot, bool withLine)
{
    QString text = QStringLiteral("Runtime error ") + QString::number(slot.number)
                   + QStringLiteral(", ") + slot.description;
    if (withLine && slot.line != 0) {
        text += QStringLiteral(" on line ") + QString::number(slot.line);
    }
    return text;
}

// The call tree of the error block: one " : Call" line per level, the trap where the
// trapping procedure stands, " : Error" on the levels above it that the error left.
QStringList callTreeLines(const State& s)
{
    const ErrorSlot& slot0 = s.cwErrorSlot[0];
    const qsizetype modCut = slot0.module.indexOf(kTrail);
    const qsizetype procCut = slot0.procedure.indexOf(kTrail);
    const QString key = slot0.module.left(modCut < 0 ? slot0.module.size() : modCut) + kSep
                        + slot0.procedure.left(procCut < 0 ? slot0.procedure.size() : procCut);
    const bool trail = modCut >= 0 || procCut >= 0;
    const int depth = std::clamp(static_cast<int>(vb::val(s.cwErrorTree[0])), 0, kMaxDepth);

    QStringList levels;
    int trapLevel = 0;
    for (int j = 1; j <= depth; ++j) {
        QString text = s.cwErrorTree[j];
        text.replace(u'\t', u' ');
        const qsizetype colon = text.indexOf(QStringLiteral(" :"));
        text = (colon < 0 ? text : text.mid(colon + 2)).trimmed();
        levels << text;
        if (text.contains(key)) {
            trapLevel = j;
        }
    }

    QStringList lines;
    auto add = [&](const QString& kind, int level, const QString& text) {
        lines << QString(u' ' + QString::number(lines.size() + 1)) + kind + u'\t'
                     + tabs(level - 1) + text;
    };
    for (int j = 1; j <= depth; ++j) {
        add(QStringLiteral(" : Call"), j, levels[j - 1]);
        if (s.cwCodePointer[j] != 0) {
            add(QStringLiteral(" : Code"), j,
                QStringLiteral("Code Pointer = ") + QString::number(s.cwCodePointer[j]));
        }
        if (j == trapLevel) {
            add(QStringLiteral(" : Trap"), j, runtimeError(slot0, true));
        } else if (trail && trapLevel > 0 && j > trapLevel) {
            add(QStringLiteral(" : Error"), j, runtimeError(slot0, false));
        }
    }
    if (trapLevel == 0) {
        // The trapping procedure was not traced: it ran below the last traced level.
        add(QStringLiteral(" : Trap"), depth + 1, runtimeError(slot0, true));
    }
    return lines;
}

} // namespace

bool debuggerAttached()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("TracerPid:")) {
            return line.mid(10).trimmed().toLongLong() != 0;
        }
    }
    return false;
}

void setInIdeRule(std::function<bool()> rule)
{
    ideRule() = std::move(rule);
}

void setReportHook(std::function<int16_t()> hook)
{
    reportHook() = std::move(hook);
}

QString pfIniName()
{
    return QStringLiteral("CWCLIENT.INI");
}

QString pfUserInfo()
{
    return {};
}

QString pfFormatTime(double seconds)
{
    // The decimal separator of the platform's numbers here is always ".".
    return vb::format(seconds, QStringLiteral("00000.000"));
}

void cwSTART()
{
    State& s = state();
    if (s.cwDisabled || s.cwStarted) {
        return;
    }
    const QString folder = cwAppFolder();
    const QString iniFile = folder + u'/' + pfIniName();

    s.cwoCircularLog =
        readIni(iniFile, u"Log File"_s, u"CircularLog"_s, u"0"_s, 5).startsWith(u'1');
    s.cwoCircularLogFile =
        folder + u'/' + readIni(iniFile, u"CircularLog"_s, u"FileName"_s, u"circ0001.log"_s, 128);
    if (s.cwoCircularLog) {
        cw::ResumeNext next;
        next([&] {
            s.cwRecordSize =
                vb::cInt(readIni(iniFile, u"CircularLog"_s, u"RecordSize"_s, u"1024"_s, 128));
        });
        next([&] {
            s.cwoMaxRecords =
                vb::cInt(readIni(iniFile, u"CircularLog"_s, u"MaxRecords"_s, u"10"_s, 128));
        });
        vb::Err().clear();
        if (!circularIsLogFile(s) && openCircular(s)) {
            s.cwCircularFile->seek(4);
            s.cwCircularFile->write((vb::str(s.cwRecordSize) + QStringLiteral("HM100")).toLatin1());
            reopenCircular(s);
        }
        s.cwoCircularLog = s.cwCircularFile && s.cwCircularFile->isOpen();
    }

    for (int d = 0; d <= kMaxDepth; ++d) {
        s.cwTraceEntry[d].clear();
        s.cwTraceTime[d] = 0;
        s.cwCodePointer[d] = 0;
    }
    s.cwStarted = true;
    const QDateTime started = sysclock::now();
    const QLocale locale;
    s.cwTraceEntry[0] = pfMsg(32) + QStringLiteral(" <")
                        + locale.toString(started.date(), QLocale::ShortFormat)
                        + QStringLiteral(", ")
                        + locale.toString(started.time(), QLocale::ShortFormat) + u'>';

    try {
        if (QFileInfo::exists(iniFile)) {
            auto positive = [&](const QString& section, const QString& key) {
                return vb::val(readIni(iniFile, section, key, QString(), 8)) > 0;
            };
            s.cwoForceSystemInfo = positive(u"preferences"_s, u"Force System Info"_s);
            s.cwoMailAddress = readIni(iniFile, u"email"_s, u"Address"_s, QString(), 255);
            s.cwoWriteToDisk = positive(u"log file"_s, u"Write To Disk"_s);
            s.cwoCaptureToDisk =
                positive(u"log file"_s, u"Capture To Disk"_s) ? int16_t(-1) : int16_t(0);
            if (s.cwoWriteToDisk) {
                QString name = readIni(iniFile, u"log file"_s, u"Log File"_s, QString(), 128);
                if (name.isEmpty()) {
                    name = QStringLiteral("error.log");
                }
                s.cwoLogFile = name.contains(u'/') ? name : folder + u'/' + name;
            }
            s.cwoSilentRun = iniFlag(iniFile, u"preferences"_s, u"Silent Run"_s, u"0"_s);
            s.cwDisplayMode = iniFlag(iniFile, u"preferences"_s, u"Display Mode"_s, u"0"_s);
            s.cwoIncludeResources = iniFlag(iniFile, u"include"_s, u"Resources"_s, u"1"_s) != 0;
            s.cwoIncludeMemory = iniFlag(iniFile, u"include"_s, u"Memory"_s, u"1"_s) != 0;
            s.cwoIncludeArguments = iniFlag(iniFile, u"include"_s, u"Arguments"_s, u"1"_s) != 0;
            s.cwoIncludeUser = iniFlag(iniFile, u"include"_s, u"User"_s, u"1"_s) != 0;
        }

        s.cwHostExeName = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper();
        s.cwInIDE = ideRule() ? ideRule()() : debuggerAttached();
        s.cwExePrefix = u'[' + cwExeName() + QStringLiteral("] ");
        s.startTime = nowMs();
        s.cwTraceTime[0] = s.startTime;

        if (std::unique_ptr<TraceViewer> viewer = TraceViewer::find()) {
            s.cwViewerLink = std::move(viewer);
            s.cwViewerWnd = 1;
        }
        pfWriteTrace(s.cwExePrefix + pfMsg(20) + CRLF);
    } catch (...) {
        pfErr(static_cast<int16_t>(cw::currentError().number), QStringLiteral("cwSTART()"));
    }

    s.cwOwnSource = vb::ownSource();
}

void cwPUSH(const QString& module, const QString& procedure, const QString& arguments)
{
    State& s = state();
    if (s.cwTraceOff || s.cwDisabled) {
        return;
    }
    if (!s.cwStarted) {
        cwSTART();
    }
    if (s.cwViewerWnd != 0 && s.cwLineCounter == 0) {
        s.scratchTime = nowMs() - s.startTime;
    }
    waitWhileBusy();
    if (s.cwTraceDepth == std::numeric_limits<int32_t>::max()) {
        return;
    }
    const long depth = ++s.cwTraceDepth;
    const bool stored = inStack(depth);
    if (stored) {
        s.cwTraceEntry[depth] =
            tabs(depth - 1) + module + kSep + procedure + kSep + arguments;
    }
    if (anySink(s)) {
        if (stored) {
            s.cwCodePointer[depth] = 0;
        }
        ++s.cwLineCounter;
        pfWriteTrace(pfTraceLine(s.cwPushOverhead, false));
    }
    if (stored) {
        s.cwTraceEntry[depth].prepend(vb::str(depth) + kSep);
    }
    if (s.scratchTime != 0) {
        s.cwPushOverhead = nowMs() - s.startTime - s.scratchTime;
        s.scratchTime = 0;
    }
}

void cwPOP(const QString& module, const QString& procedure, const QString& /*arguments*/)
{
    State& s = state();
    if (s.cwTraceOff || s.cwDisabled) {
        return;
    }
    if (s.cwViewerWnd != 0 && s.cwLineCounter == 1) {
        s.scratchTime = nowMs() - s.startTime;
    }
    waitWhileBusy();
    const long depth = s.cwTraceDepth;
    // Level 0 holds the start entry, which no procedure can pop.
    const bool balanced = depth >= 1 && inStack(depth)
                          && s.cwTraceEntry[depth].contains(module + kSep + procedure);
    if (balanced) {
        if (anySink(s)) {
            ++s.cwLineCounter;
            pfWriteTrace(pfTraceLine(s.cwPopOverhead, true));
        }
        s.cwTraceEntry[depth].clear();
        s.cwCodePointer[depth] = 0;
        --s.cwTraceDepth;
    } else {
        s.cwTraceDepth = 0;
        if (s.cwInIDE) {
            const QString text = pfMsg(19) + u'\t' + module + CRLF + pfMsg(30) + u'\t' + procedure
                                 + CRLF + CRLF + pfMsg(48) + CRLF + CRLF + pfMsg(49) + CRLF + CRLF
                                 + pfMsg(50) + CRLF + pfMsg(51);
            ErrorSlot& slot0 = s.cwErrorSlot[0];
            const bool unwinding = slot0.module.contains(kTrail) && slot0.procedure.contains(kTrail);
            if (!unwinding
                && host::MsgBox(text, vb::vbOKCancel | vb::vbExclamation, pfMsg(53)) == vb::vbOK) {
                breakIntoDebugger();
            }
            slot0.module.clear();
            slot0.procedure.clear();
        }
    }
    if (s.scratchTime != 0) {
        s.cwPopOverhead = nowMs() - s.startTime - s.scratchTime;
        s.scratchTime = 0;
    }
}

long cwTraceDepth()
{
    return state().cwTraceDepth;
}

QVariant cwOPTION(short number, const QVariant& value)
{
    State& s = state();
    const bool read = value.toString().toUpper() == QStringLiteral("GET");
    const std::optional<double> n = read ? std::nullopt : numberOf(value);
    try {
        switch (number) {
        case 0:
            return read ? QVariant(cwVersionText()) : QVariant();
        case 1:
            return read ? QVariant(sysclock::now()) : QVariant();
        case 2:
            return read ? QVariant(QStringLiteral("Veltro Software")) : QVariant();
        case 3:
            return read ? QVariant(s.cwInIDE) : QVariant();
        case 4:
            if (read) {
                return s.cwoMailAddress;
            }
            s.cwoMailAddress = value.toString();
            return {};
        case 11:
            if (read) {
                return static_cast<int>(s.cwoCaptureToDisk);
            }
            if (n) {
                s.cwoCaptureToDisk = vb::cInt(*n);
            }
            return {};
        case 12:
        case 13:
        case 14:
        case 15:
        case 21:
        case 23:
        case 24: {
            if (number == 21) {
                if (read) {
                    return static_cast<int>(s.cwoSilentRun);
                }
                if (n) {
                    s.cwoSilentRun = *n != 0 ? int16_t(-1) : int16_t(0);
                }
                return {};
            }
            bool& flag = number == 12   ? s.cwoIncludeMemory
                         : number == 13 ? s.cwoIncludeResources
                         : number == 14 ? s.cwoIncludeArguments
                         : number == 15 ? s.cwoIncludeUser
                         : number == 23 ? s.cwoWriteToDisk
                                        : s.cwoForceSystemInfo;
            if (read) {
                return flag;
            }
            if (n) {
                flag = *n != 0;
            }
            return {};
        }
        case 16:
            if (!read && value.typeId() == QMetaType::QString) {
                s.cwoLogFile = value.toString();
                // A relative name lies in the user's state folder, not wherever the program
                // happened to be started from.
                const QString path = userdirs::stateFilePath(s.cwoLogFile);
                if (!s.cwoLogFile.isEmpty() && !QFileInfo::exists(path)) {
                    QFile file(path);
                    if (!userdirs::openPrivateFile(file, QIODevice::ReadWrite)) {
                        s.cwoLogFile.clear();
                    }
                }
            }
            return s.cwoLogFile;
        case 20:
            if (read) {
                return s.cwDisabled;
            }
            if (n) {
                s.cwDisabled = *n == 0;
            }
            return {};
        case 22:
            if (read) {
                return s.cwTraceOff;
            }
            if (n) {
                s.cwTraceOff = *n == 0;
            }
            return {};
        case 25:
            if (read) {
                return s.cwoMaxRecords;
            }
            if (n) {
                s.cwoMaxRecords = vb::cLng(*n);
            }
            return {};
        case 26:
            if (read) {
                return s.cwoCircularLogFile;
            }
            s.cwoCircularLogFile = value.toString();
            return {};
        case 27:
            if (read) {
                return s.cwoCircularLog;
            }
            // A value that cannot be compared with 0 leaves the switch as it is.
            if (n) {
                s.cwoCircularLog = *n != 0;
            }
            return {};
        default:
            return {};
        }
    } catch (...) {
        return {};
    }
}

QString pfTraceLine(double overhead, bool pop)
{
    State& s = state();
    const long depth = s.cwTraceDepth;
    const double elapsed = nowMs() - s.startTime - overhead;
    QString entry;
    if (inStack(depth)) {
        s.cwTraceTime[depth] = elapsed;
        entry = s.cwTraceEntry[depth];
    }
    if (pop) {
        const qsizetype at = entry.indexOf(kSep);
        entry = at < 0 ? entry : entry.mid(at + kSep.size());
    }
    QString line = s.cwExePrefix + u'[' + vb::format(s.cwLineCounter, QStringLiteral("00000"))
                   + QStringLiteral("] [") + pfFormatTime(elapsed / 1000.0)
                   + (pop ? QStringLiteral("] <-") : QStringLiteral("] ->")) + entry;
    if (!s.cwoIncludeArguments) {
        const qsizetype second = line.indexOf(u':', line.indexOf(u':') + 1);
        if (line.indexOf(u':') >= 0 && second >= 0) {
            line.truncate(second);
        }
        while (line.endsWith(u' ')) {
            line.chop(1);
        }
    }
    if (s.cwoIncludeMemory || s.cwoIncludeResources) {
        const MemoryStatus m = memoryStatus();
        if (s.cwoIncludeResources) {
            line += QStringLiteral(" : [res =") + vb::str(static_cast<double>(m.loadPercent))
                    + u'%';
        }
        if (s.cwoIncludeMemory) {
            line += (s.cwoIncludeResources ? QStringLiteral(", mem = ")
                                           : QStringLiteral(" : [mem = "))
                    + QString::number(m.availablePhysical) + u']';
        } else {
            line += u']';
        }
    }
    if (s.cwoIncludeUser) {
        line += kSep + pfUserInfo();
    }
    return line + CRLF;
}

void pfWriteTrace(const QString& text)
{
    State& s = state();
    if (s.cwoCaptureToDisk != 0) {
        pfAppendLog(text);
    }
    if (s.cwoCircularLog) {
        writeCircular(s, text);
    }
    if (s.cwViewerWnd != 0) {
        writeViewer(s, text);
    }
}

void pfAppendLog(const QString& text)
{
    const State& s = state();
    if (s.cwoWriteToDisk) {
        appendLines(s.cwoLogFile, {text});
    }
}

int16_t pfErrClass(int32_t number)
{
    for (const ClassRow& row : kClassRows) {
        for (const auto& [from, to] : row.ranges) {
            if (number >= from && number <= to) {
                return row.code;
            }
        }
    }
    return number < 0 ? int16_t(62) : int16_t(15);
}

QString pfErrClassText(int16_t code)
{
    static const QHash<int, QString> texts = {
        {2, QStringLiteral("General run-time")},
        {3, QStringLiteral("File System (disk, directory or file) access")},
        {4, QStringLiteral("Non-initialzed object or variant")},
        {5, QStringLiteral("Dynamic Data Exchange protocol")},
        {6, QStringLiteral("Form, control, property or object value")},
        {7, QStringLiteral("Form or MDI child form")},
        {8, QStringLiteral("Object reference")},
        {9, QStringLiteral("Clipboard access or format")},
        {10, QStringLiteral("Picturebox or image control")},
        {11, QStringLiteral("Printer access")},
        {12, QStringLiteral("Design-time")},
        {13, QStringLiteral("Object Linking and Embedding")},
        {14, QStringLiteral("Custom Control or user defined")},
        {15, QStringLiteral("User defined ")},
        {45, QStringLiteral("Grid control")},
        {46, QStringLiteral("ODBC")},
        {47, QStringLiteral("Common Dialog")},
        {54, QStringLiteral("Data Access")},
        {56, QStringLiteral("Object")},
        {57, QStringLiteral("OLE Container Control")},
        {59, QStringLiteral("ODBC Network")},
        {60, QStringLiteral("Network ")},
        {62, QStringLiteral("Remote OLE Automation")},
        {63, QStringLiteral("Replication")},
        {64, QStringLiteral("Windows 95 Custom Control")},
        {65, QStringLiteral("Remote Data Object (RDO)")},
        {66, QStringLiteral("Remote Data Control (RDC)")},
    };
    if (code < 2 || code > 66) {
        return {};
    }
    return texts.value(code, QStringLiteral("Unknown Error Class"));
}

int16_t pfPresetAnswer()
{
    return 0;
}

void pfErr(int16_t number, const QString& routine)
{
    try {
        host::MsgBox(routine + u' ' + pfMsg(23) + u' ' + QString::number(number) + QStringLiteral(", '")
                         + vb::errorText(number) + QStringLiteral("', inside CATCHWELL") + CRLF,
                     vb::vbCritical | vb::vbOKOnly, QStringLiteral("Catchwell") + pfMsg(24));
    } catch (...) {
        try {
            host::MsgBox(pfMsg(25) + QString::number(number) + pfMsg(26));
        } catch (...) {
            // Nothing is left to show the failure with.
        }
    }
}

void pfWriteErrorLog()
{
    State& s = state();
    if (s.cwoLogFile.isEmpty()) {
        s.cwoLogFile = QStringLiteral("cwError.log");
    }
    const QString zone(14, u' ');
    QStringList lines{pfMsg(20), QString(65, u'*'), pfMsg(62), pfMsg(27)};
    const int count = std::clamp<int>(s.cwErrorCount, 0, 10);
    for (int i = 0; i <= count; ++i) {
        const ErrorSlot& slot = s.cwErrorSlot[i];
        lines << QStringLiteral("\t*Error ") + QString::number(i + 1)
              << zone + pfMsg(38) + slot.category
              << zone + QStringLiteral("Source ") + slot.source
              << zone + QStringLiteral("Module ") + slot.module
              << zone + QStringLiteral("Procedure ") + slot.procedure
              << zone + pfMsg(35) + QString::number(slot.line)
              << zone + pfMsg(36) + QString::number(slot.number)
              << zone + pfMsg(37) + slot.description;
        if (s.cwErrorCodePointer > 0) {
            lines << zone
                         + tabs(std::clamp<long>(static_cast<long>(vb::val(s.cwErrorTree[0])), 0,
                                                 kMaxDepth))
                         + QStringLiteral("Code Pointer : ")
                         + QString::number(s.cwErrorCodePointer);
        }
        lines << QString();
    }
    lines << QString() << pfMsg(28) << callTreeLines(s) << pfMsg(29);
    if (!s.cwSystemText.isEmpty()) {
        lines << s.cwSystemText;
    }
    lines << QStringLiteral("User Said") << s.cwUserComment << pfMsg(31);
    appendLines(s.cwoLogFile, lines);
}

void pfMailReport()
{
    State& s = state();
    const QString kept = s.cwoLogFile;
    const QString attachment = QStringLiteral("!error!.log");
    const QString attachmentPath = userdirs::stateFilePath(attachment);
    QFile::remove(attachmentPath);
    s.cwoLogFile = attachment;
    pfWriteErrorLog();

    const ErrorSlot& slot0 = s.cwErrorSlot[0];
    mail::Message message;
    message.subject = QStringLiteral("Remote Error Report From ") + cwExeName();
    message.note = QStringLiteral("Veltro Catchwell reports error ") + QString::number(slot0.number)
                   + QStringLiteral(" (") + slot0.description + u')' + QStringLiteral(" occurred in ")
                   + cwExeName() + QStringLiteral(", module ") + slot0.module
                   + QStringLiteral(", procedure ") + slot0.procedure
                   + QStringLiteral(". The attached log file has complete details.");
    message.recipient = s.cwoMailAddress;
    message.attachmentPath = attachmentPath;
    message.attachmentName = QStringLiteral("cwerror.log");
    try {
        mail::send(message);
    } catch (...) {
        // A failed hand-over to the mail program loses only the mail.
    }
    QFile::remove(attachmentPath);
    s.cwoLogFile = kept;
}

namespace {

// Records the pending error where it happened: the error table from the error and the top of
// the trace stack, the call tree, and the error's trace line.
void recordError(TrappedError& e, const vb::ErrObject& pending, const QString& module,
                 const QString& procedure)
{
    State& s = state();
    ErrorSlot& slot0 = e.errorSlots[0];
    const bool local = pending.source == s.cwOwnSource;
    slot0.source = pending.source + (local ? QStringLiteral(" (local)")
                                           : QStringLiteral(" (remote)"));
    const long depth = s.cwTraceDepth;
    e.codePointer = inStack(depth) ? s.cwCodePointer[depth] : int16_t(0);
    slot0.category = categoryOf(static_cast<int32_t>(pending.number));

    auto [topModule, topProcedure] = topOfStack(s);
    if (topModule.isEmpty() && topProcedure.isEmpty()) {
        topModule = module;
        topProcedure = procedure;
    }
    slot0.module = topModule;
    slot0.procedure = topProcedure;
    if (trimSpaces(topModule).toUpper() != trimSpaces(module).toUpper()) {
        slot0.module = module + kTrail + topModule;
    }
    if (trimSpaces(topProcedure).toUpper() != trimSpaces(procedure).toUpper()) {
        slot0.procedure = procedure + kTrail + topProcedure;
    }
    slot0.line = static_cast<int32_t>(pending.line);
    slot0.number = static_cast<int32_t>(pending.number);
    e.count = 0;
    if (!slot0.source.contains(u'!') || !loadRemoteList(s, e, pending.source)) {
        slot0.helpFile = pending.helpFile;
        slot0.helpContext = static_cast<int32_t>(pending.helpContext);
        slot0.description = pending.description;
    }

    pfWriteTrace(s.cwExePrefix + QStringLiteral("ERROR") + u' ' + QString::number(slot0.number)
                 + QStringLiteral(" at ") + slot0.module + kSep + slot0.procedure + u' '
                 + QStringLiteral(": Line ") + QString::number(slot0.line) + kSep
                 + slot0.description + CRLF);

    e.tree[0] = vb::str(static_cast<double>(depth));
    for (long d = 1; d <= std::min<long>(depth, kMaxDepth); ++d) {
        e.tree[d] = s.cwTraceEntry[d];
    }
}

// Shows, mails and logs one recorded error; returns the user's answer (empty when silent).
QVariant reportError(const TrappedError& e)
{
    State& s = state();
    QVariant result;
    try {
        s.cwErrorSlot = e.errorSlots;
        s.cwErrorCount = e.count;
        s.cwErrorTree = e.tree;
        s.cwErrorCodePointer = e.codePointer;
        // A description collected for an earlier error must not reach this error's log.
        s.cwSystemText.clear();
        if (s.cwDisplayMode != 0) {
            pfSysInfo(s.cwSystemText);
        }
        // Only True (-1) runs silently; other non-zero values still show the report.
        if (~s.cwoSilentRun != 0) {
            const bool gui =
                qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
            if (gui) {
                QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
            }
            const int16_t answer = reportHook() ? reportHook()() : pfShowReport();
            if (gui) {
                QGuiApplication::restoreOverrideCursor();
            }
            result = static_cast<int>(answer);
        }
        if (!s.cwoMailAddress.isEmpty()) {
            pfMailReport();
        }
        if (s.cwoWriteToDisk) {
            pfWriteErrorLog();
        }
    } catch (...) {
        pfErr(static_cast<int16_t>(cw::currentError().number), QStringLiteral("cwERROR()"));
    }
    unloadReportForm();
    s.cwBusy = false;
    return result;
}

} // namespace

QVariant cwERROR(const QString& module, const QString& procedure)
{
    const vb::ErrObject pending = vb::Err();
    State& s = state();
    if (s.cwDisabled) {
        vb::Err().clear();
        return {};
    }
    if (s.cwTrapping) {
        // A report is being made, its window perhaps up, and this error came from an event
        // handled meanwhile (a timer tick, another window). Its report would replace the one
        // on screen, so it is recorded now and reported when that one is done.
        try {
            TrappedError e;
            recordError(e, pending, module, procedure);
            s.cwWaitingErrors.push_back(std::move(e));
        } catch (...) {
            pfErr(static_cast<int16_t>(cw::currentError().number), QStringLiteral("cwERROR()"));
        }
        vb::Err().clear();
        return {};
    }
    s.cwTrapping = true;
    QVariant result;
    bool recorded = false;
    TrappedError first;
    try {
        waitWhileBusy();
        if (!s.cwStarted) {
            cwSTART();
        }
        recordError(first, pending, module, procedure);
        recorded = true;
    } catch (...) {
        pfErr(static_cast<int16_t>(cw::currentError().number), QStringLiteral("cwERROR()"));
        unloadReportForm();
        s.cwBusy = false;
    }
    if (recorded) {
        result = reportError(first);
    }
    // Errors that arrived while a report was up get theirs in turn, also those that arrive
    // during these.
    while (!s.cwWaitingErrors.empty()) {
        const TrappedError next = std::move(s.cwWaitingErrors.front());
        s.cwWaitingErrors.pop_front();
        reportError(next);
    }
    vb::Err().clear();
    s.cwTrapping = false;
    return result;
}

} // namespace modCatchwell
