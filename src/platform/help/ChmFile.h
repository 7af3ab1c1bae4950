// Read access to a compiled HTML help file: its pages, its title, its default page and its
// table of contents.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace help {

/// One entry of the table of contents; an entry without a page only groups its children.
struct ContentsEntry
{
    QString name;
    QString page;  ///< path inside the file, rooted ("/html/index.htm"); empty for a heading
    QList<ContentsEntry> children;
};

class ChmFile
{
public:
    ChmFile();
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    /// Opens the file; false with a readable reason in error() when it is missing, is not a
    /// compiled help file or is damaged.
    bool open(const QString& path);
    QString error() const { return m_error; }
    QString path() const { return m_path; }

    /// Whether the file holds an object at the rooted path.
    bool contains(const QString& path) const;
    /// The object at the rooted path; empty when there is none.
    QByteArray read(const QString& path) const;

    /// The title the help project gave the file (empty when none).
    QString title() const { return m_title; }
    /// The rooted path of the page shown first.
    QString defaultTopic() const { return m_defaultTopic; }
    /// The table of contents, read from the file's contents page.
    QList<ContentsEntry> contents() const;

private:
    void readSystem();
    QString findObject(const QString& suffix) const;

    struct Handle;
    std::unique_ptr<Handle> m_handle;
    QString m_path;
    QString m_error;
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
    QStringList m_objects; ///< the objects' paths, in the order of the directory's listing
};

/// The table of contents in a sitemap page (the ".hhc" format): nested lists of objects whose
/// "Name" and "Local" parameters give each entry's text and page. Pages are made rooted. Entries
/// nested deeper than 64 levels are kept at the 64th.
QList<ContentsEntry> parseSitemap(const QString& html);

} // namespace help
