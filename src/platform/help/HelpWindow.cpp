#include "platform/help/HelpWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace help {

namespace {

const QString kScheme = QStringLiteral("chm");

// The page's text: the help compiler keeps the bytes as written, so the page's own charset
// decides; pages of this program are UTF-8, older ones Windows-1252.
QString decodePage(const QByteArray& data)
{
    const QByteArray head = data.left(1024).toLower();
    if (head.contains("charset=utf-8") || head.startsWith("\xef\xbb\xbf")) {
        return QString::fromUtf8(data);
    }
    return QString::fromLatin1(data);
}

} // namespace

ChmBrowser::ChmBrowser(const ChmFile& file, QWidget* parent)
    : QTextBrowser(parent)
    , m_file(file)
{
    setOpenLinks(true);
    setOpenExternalLinks(false);
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name)
{
    if (name.scheme() != kScheme) {
        // Nothing outside the help file is fetched: no network, no local files.
        return {};
    }
    const QByteArray data = m_file.read(name.path());
    if (data.isEmpty()) {
        return {};
    }
    switch (type) {
    case QTextDocument::HtmlResource:
    case QTextDocument::StyleSheetResource:
        return decodePage(data);
    case QTextDocument::ImageResource:
        return QImage::fromData(data);
    default:
        return data;
    }
}

void ChmBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type)
{
    const bool beside = name.isRelative() && source().scheme() == kScheme;
    QTextBrowser::doSetSource(beside ? source().resolved(name) : name, type);
}

HelpWindow::HelpWindow(std::unique_ptr<ChmFile> file, QWidget* owner)
    : QWidget(owner, Qt::Window)
    , m_file(std::move(file))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_file->title().isEmpty() ? QStringLiteral("Help") : m_file->title());

    auto* bar = new QHBoxLayout;
    auto button = [&](const char* name, QStyle::StandardPixmap icon, const QString& text) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setText(text);
        b->setToolTip(text);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        bar->addWidget(b);
        return b;
    };
    QToolButton* home = button("cmdHome", QStyle::SP_DirHomeIcon, QStringLiteral("Home"));
    m_back = button("cmdBack", QStyle::SP_ArrowBack, QStringLiteral("Back"));
    m_forward = button("cmdForward", QStyle::SP_ArrowForward, QStringLiteral("Forward"));
    bar->addStretch();

    auto* splitter = new QSplitter(this);
    m_tree = new QTreeWidget(splitter);
    m_tree->setObjectName(QStringLiteral("treeContents"));
    m_tree->header()->hide();
    m_browser = new ChmBrowser(*m_file, splitter);
    m_browser->setObjectName(QStringLiteral("txtPage"));
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 620});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);

    fillContents(nullptr, m_file->contents());
    m_tree->expandAll();

    connect(home, &QToolButton::clicked, this, [this] { showTopic(m_file->defaultTopic()); });
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    // The browser tells the new page before source() reports it.
    connect(m_browser, &QTextBrowser::sourceChanged, this,
        [this](const QUrl& url) { selectTopic(url.path()); });
    connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString page = item->data(0, Qt::UserRole).toString();
        if (!page.isEmpty()) {
            showTopic(page);
        }
    });
    connect(m_tree, &QTreeWidget::itemClicked, m_tree, &QTreeWidget::itemActivated);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    resize(900, 600);
}

HelpWindow::~HelpWindow() = default;

QUrl HelpWindow::topicUrl(const QString& page)
{
    QUrl url;
    url.setScheme(kScheme);
    const qsizetype hash = page.indexOf(u'#');
    url.setPath(hash < 0 ? page : page.left(hash));
    if (hash >= 0) {
        url.setFragment(page.mid(hash + 1));
    }
    return url;
}

void HelpWindow::showTopic(const QString& page)
{
    m_browser->setSource(topicUrl(page));
}

QString HelpWindow::currentTopic() const
{
    return m_browser->source().path();
}

void HelpWindow::fillContents(QTreeWidgetItem* parent, const QList<ContentsEntry>& entries)
{
    // Fetched once a list: a style makes a new icon on every call.
    const QIcon page = style()->standardIcon(QStyle::SP_FileIcon);
    const QIcon heading = style()->standardIcon(QStyle::SP_DirIcon);
    for (const ContentsEntry& e : entries) {
        auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        item->setText(0, e.name);
        item->setToolTip(0, e.name);
        item->setData(0, Qt::UserRole, e.page);
        item->setIcon(0, e.children.isEmpty() ? page : heading);
        if (!e.children.isEmpty()) {
            fillContents(item, e.children);
        }
    }
}

void HelpWindow::selectTopic(const QString& page)
{
    for (QTreeWidgetItemIterator it(m_tree); *it != nullptr; ++it) {
        const QString entry = (*it)->data(0, Qt::UserRole).toString();
        if (!entry.isEmpty() && entry.compare(page, Qt::CaseInsensitive) == 0) {
            const QSignalBlocker block(m_tree);
            m_tree->setCurrentItem(*it);
            return;
        }
    }
}

} // namespace help
