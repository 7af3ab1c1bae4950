// The headers, directory and compression parameters of a compiled help file, read and checked
// before chmlib is given the file: chmlib trusts them, and a damaged one makes it crash, ask for
// gigabytes or loop for ever.
#pragma once

#include <QStringList>

class QIODevice;

namespace help {

class ChmDirectory
{
public:
    enum class Verdict { Sound, NotCompiledHelp, Damaged };

    /// Reads the file header, the directory header, every directory chunk that the index or the
    /// listing reaches, and the compression's control data and reset table. Sound when each
    /// lies within the file and holds values the format allows, no chunk is reached twice and
    /// the listing ends; NotCompiledHelp when the file does not start as a compiled help file.
    Verdict read(QIODevice& file);

    /// The rooted paths of the objects, in the order of the directory's listing.
    const QStringList& paths() const { return m_paths; }

private:
    QStringList m_paths;
};

} // namespace help
