// The program's help viewer: the table of contents beside the page, with back, forward and
// home buttons, over one compiled help file.
#pragma once

#include "platform/help/ChmFile.h"

#include <QTextBrowser>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;
class QToolButton;

namespace help {

/// A page browser that reads its pages, pictures and style sheets from the help file.
class ChmBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    explicit ChmBrowser(const ChmFile& file, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

protected:
    /// A relative address is a page of the help file beside the one shown.
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    const ChmFile& m_file;
};

class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    /// Takes over the opened file; the window is a top-level window owned by owner.
    HelpWindow(std::unique_ptr<ChmFile> file, QWidget* owner);
    ~HelpWindow() override;

    /// The help file shown.
    const ChmFile& file() const { return *m_file; }
    QString fileName() const { return m_file->path(); }
    /// Shows a page (a rooted path inside the file).
    void showTopic(const QString& page);
    /// The rooted path of the page shown.
    QString currentTopic() const;

    /// The URL of a page inside the file.
    static QUrl topicUrl(const QString& page);

    QTreeWidget* contentsTree() const { return m_tree; }
    ChmBrowser* browser() const { return m_browser; }

private:
    void fillContents(QTreeWidgetItem* parent, const QList<ContentsEntry>& entries);
    void selectTopic(const QString& page);

    std::unique_ptr<ChmFile> m_file;
    QTreeWidget* m_tree = nullptr;
    ChmBrowser* m_browser = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
};

} // namespace help
