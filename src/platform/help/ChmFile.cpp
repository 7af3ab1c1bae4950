#include "platform/help/ChmFile.h"

#include "platform/help/ChmDirectory.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <chm_lib.h>

namespace help {

struct ChmFile::Handle
{
    chmFile* file = nullptr;
    ~Handle()
    {
        if (file != nullptr) {
            chm_close(file);
        }
    }
};

namespace {

QString rooted(QString page)
{
    page.replace(u'\\', u'/');
    // A contents entry may name a page with an anchor or as "file.chm::/page".
    const qsizetype sep = page.indexOf(QStringLiteral("::"));
    if (sep >= 0) {
        page = page.mid(sep + 2);
    }
    return page.startsWith(u'/') ? page : u'/' + page;
}

QString decodeEntities(QString text)
{
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

} // namespace

ChmFile::ChmFile() = default;
ChmFile::~ChmFile() = default;

bool ChmFile::open(const QString& path)
{
    m_handle.reset();
    m_path = path;
    m_error.clear();
    const QFileInfo info(path);
    if (!info.exists()) {
        m_error = QStringLiteral("The help file \"%1\" does not exist.").arg(path);
        return false;
    }
    QFile file(path);
    if (!info.isFile() || !info.isReadable() || !file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("The help file \"%1\" cannot be read.").arg(path);
        return false;
    }
    ChmDirectory directory;
    const ChmDirectory::Verdict verdict = directory.read(file);
    if (verdict == ChmDirectory::Verdict::Damaged) {
        m_error = QStringLiteral("The help file \"%1\" is damaged.").arg(path);
        return false;
    }
    m_objects = directory.paths();
    auto handle = std::make_unique<Handle>();
    // chmlib trusts the headers and the directory, so it is only given a file where they are sound.
    if (verdict == ChmDirectory::Verdict::Sound) {
        handle->file = chm_open(QFile::encodeName(path).constData());
    }
    if (handle->file == nullptr) {
        m_error = QStringLiteral("\"%1\" is not a compiled help file.").arg(path);
        return false;
    }
    m_handle = std::move(handle);
    readSystem();
    if (m_defaultTopic.isEmpty() || !contains(m_defaultTopic)) {
        const QString index = QStringLiteral("/index.htm");
        m_defaultTopic = contains(index) ? index : findObject(QStringLiteral(".htm"));
    }
    if (m_defaultTopic.isEmpty()) {
        m_handle.reset();
        m_error = QStringLiteral("The help file \"%1\" holds no pages.").arg(path);
        return false;
    }
    return true;
}

bool ChmFile::contains(const QString& path) const
{
    if (!m_handle) {
        return false;
    }
    chmUnitInfo unit{};
    return chm_resolve_object(m_handle->file, path.toUtf8().constData(), &unit)
        == CHM_RESOLVE_SUCCESS;
}

QByteArray ChmFile::read(const QString& path) const
{
    if (!m_handle) {
        return {};
    }
    chmUnitInfo unit{};
    if (chm_resolve_object(m_handle->file, path.toUtf8().constData(), &unit)
        != CHM_RESOLVE_SUCCESS) {
        return {};
    }
    // Help pages are small; anything past 64 MiB is a damaged length field.
    if (unit.length > (LONGUINT64(64) << 20)) {
        return {};
    }
    QByteArray data(static_cast<qsizetype>(unit.length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(m_handle->file, &unit,
        reinterpret_cast<unsigned char*>(data.data()), 0, static_cast<LONGINT64>(unit.length));
    data.truncate(got > 0 ? static_cast<qsizetype>(got) : 0);
    return data;
}

void ChmFile::readSystem()
{
    // "#SYSTEM" is a version word followed by records of code, length and data (little
    // endian words); code 0 names the contents file, 2 the default page, 3 the title.
    const QByteArray system = read(QStringLiteral("/#SYSTEM"));
    auto word = [&](qsizetype at) {
        return static_cast<int>(static_cast<uchar>(system[at]))
            | static_cast<int>(static_cast<uchar>(system[at + 1])) << 8;
    };
    for (qsizetype at = 4; at + 4 <= system.size();) {
        const int code = word(at);
        const int length = word(at + 2);
        if (at + 4 + length > system.size()) {
            break;
        }
        QByteArray value = system.mid(at + 4, length);
        const qsizetype nul = value.indexOf('\0');
        if (nul >= 0) {
            value.truncate(nul);
        }
        const QString text = QString::fromLatin1(value);
        if (code == 0) {
            m_contentsFile = rooted(text);
        } else if (code == 2) {
            m_defaultTopic = rooted(text);
        } else if (code == 3) {
            m_title = text;
        }
        at += 4 + length;
    }
    if (m_contentsFile.isEmpty() || !contains(m_contentsFile)) {
        m_contentsFile = findObject(QStringLiteral(".hhc"));
    }
}

QString ChmFile::findObject(const QString& suffix) const
{
    // Names outside "/" and under "/#" or "/$" are the file's own records, not its pages.
    for (const QString& object : m_objects) {
        if (object.startsWith(u'/') && !object.startsWith(u"/#") && !object.startsWith(u"/$")
            && object.endsWith(suffix, Qt::CaseInsensitive)) {
            return object;
        }
    }
    return {};
}

QList<ContentsEntry> ChmFile::contents() const
{
    if (m_contentsFile.isEmpty()) {
        return {};
    }
    return parseSitemap(QString::fromUtf8(read(m_contentsFile)));
}

QList<ContentsEntry> parseSitemap(const QString& html)
{
    // The tree is built, shown and destroyed by recursion, one stack frame a level.
    constexpr qsizetype kMaxContentsDepth = 64;
    static const QRegularExpression token(
        QStringLiteral("<\\s*(/?)\\s*(ul|object)\\b[^>]*>|<\\s*param\\s+([^>]*)>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(
        QStringLiteral("(name|value)\\s*=\\s*\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);

    QList<ContentsEntry> root;
    // The lists being filled, innermost last; a new <ul> nests under the last entry made.
    QList<QList<ContentsEntry>*> open{&root};
    // Lists opened below the deepest level kept, whose entries join that level.
    qsizetype flattened = 0;
    ContentsEntry pending;
    bool inObject = false;
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString tag = m.captured(2).toLower();
        if (tag == u"ul") {
            if (closing) {
                if (flattened > 0) {
                    --flattened;
                } else if (open.size() > 1) {
                    open.removeLast();
                }
            } else if (open.size() == kMaxContentsDepth) {
                ++flattened;
            } else if (!open.last()->isEmpty()) {
                open.append(&open.last()->last().children);
            }
        } else if (tag == u"object") {
            if (!closing) {
                inObject = true;
                pending = ContentsEntry{};
            } else if (inObject) {
                inObject = false;
                if (!pending.name.isEmpty()) {
                    open.last()->append(pending);
                }
            }
        } else if (inObject) {
            QString name;
            QString value;
            for (auto a = attribute.globalMatch(m.captured(3)); a.hasNext();) {
                const QRegularExpressionMatch am = a.next();
                (am.captured(1).compare(u"name", Qt::CaseInsensitive) == 0 ? name : value)
                    = decodeEntities(am.captured(2));
            }
            if (name.compare(u"Name", Qt::CaseInsensitive) == 0) {
                pending.name = value;
            } else if (name.compare(u"Local", Qt::CaseInsensitive) == 0) {
                pending.page = rooted(value);
            }
        }
    }
    return root;
}

} // namespace help
