#include "helpviewer/helpviewer.h"

#include "helpviewer/chmfile.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

const QString kScheme = QStringLiteral("chm");
constexpr int kPageRole = Qt::UserRole;

QUrl pageUrl(const QString &local)
{
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(helpPagePath(local), QUrl::DecodedMode);
    if (const qsizetype hash = local.indexOf(QLatin1Char('#')); hash >= 0)
        url.setFragment(local.mid(hash + 1), QUrl::DecodedMode);
    return url;
}

QString pathOf(const QUrl &url)
{
    return helpPagePath(url.path(QUrl::FullyDecoded)).toLower();
}

// The page view: reads pages, pictures and style sheets out of the help file instead of the disk. A relative
// name is taken relative to the page being shown.
class HelpPage : public QTextBrowser
{
public:
    HelpPage(const ChmFile &file, QWidget *parent) : QTextBrowser(parent), m_file(file) {}

    QVariant loadResource(int type, const QUrl &name) override
    {
        const QUrl url = name.isRelative() ? m_page.resolved(name) : name;
        if (url.scheme() != kScheme)
            return {};
        const QByteArray bytes = m_file.file(helpPagePath(url.path(QUrl::FullyDecoded)));
        if (bytes.isNull())
            return {};
        if (type == QTextDocument::HtmlResource)
            m_page = url;
        if (type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(bytes);
        return bytes;
    }

private:
    const ChmFile &m_file;
    QUrl m_page;
};

void addTopics(QTreeWidgetItem *parent, const QList<HelpTopic> &topics)
{
    for (const HelpTopic &topic : topics) {
        auto *item = new QTreeWidgetItem(parent, {topic.name});
        if (!topic.local.isEmpty())
            item->setData(0, kPageRole, pageUrl(topic.local));
        addTopics(item, topic.children);
    }
}

QTreeWidgetItem *firstItemWithPage(QTreeWidgetItem *parent)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem *child = parent->child(i);
        if (child->data(0, kPageRole).isValid())
            return child;
        if (QTreeWidgetItem *found = firstItemWithPage(child))
            return found;
    }
    return nullptr;
}

QToolButton *makeButton(QWidget *parent, const QString &name, const QString &text, QStyle::StandardPixmap icon,
                        const QKeySequence &shortcut)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setShortcut(shortcut);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(text, shortcut.toString(QKeySequence::NativeText)));
    return button;
}

} // namespace

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent), m_file(std::make_unique<ChmFile>()), m_contents(new QTreeWidget(this)),
      m_page(new HelpPage(*m_file, this)),
      m_back(makeButton(this, QStringLiteral("backButton"), tr("Back"), QStyle::SP_ArrowBack,
                        QKeySequence(Qt::ALT | Qt::Key_Left))),
      m_forward(makeButton(this, QStringLiteral("forwardButton"), tr("Forward"), QStyle::SP_ArrowForward,
                           QKeySequence(Qt::ALT | Qt::Key_Right))),
      m_home(makeButton(this, QStringLiteral("homeButton"), tr("Contents"), QStyle::SP_DirHomeIcon,
                        QKeySequence(Qt::ALT | Qt::Key_Home)))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(tr("Larderon Help"));
    resize(820, 580);

    m_contents->setObjectName(QStringLiteral("contentsTree"));
    m_contents->setAccessibleName(tr("Contents"));
    m_contents->header()->hide();
    m_contents->setColumnCount(1);
    m_page->setObjectName(QStringLiteral("pageBrowser"));
    m_page->setAccessibleName(tr("Page"));
    m_page->setOpenLinks(false);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_home);
    buttons->addStretch();
    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 580});
    splitter->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    setTabOrder(m_contents, m_page);

    connect(m_contents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) { showTopic(item); });
    connect(m_contents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { showTopic(item); });
    connect(m_page, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);
    connect(m_page, &QTextBrowser::sourceChanged, this, &HelpViewer::pageShown);
    connect(m_page, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_page, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_back, &QToolButton::clicked, m_page, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_page, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, &HelpViewer::showFirstPage);
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
}

HelpViewer::~HelpViewer() = default;

bool HelpViewer::open(const QString &path)
{
    m_contents->clear();
    m_page->clear();
    m_page->clearHistory();
    if (!m_file->open(path)) {
        m_error = m_file->error();
        return false;
    }
    fillContents();
    QTreeWidgetItem *first = firstItemWithPage(m_contents->invisibleRootItem());
    m_firstPage = first ? first->data(0, kPageRole).toUrl() : QUrl();
    showFirstPage();
    if (!m_firstPage.isValid() || m_page->document()->isEmpty()) {
        m_error = tr("%1: the first page of the contents cannot be shown").arg(path);
        return false;
    }
    if (!m_file->title().isEmpty())
        setWindowTitle(m_file->title());
    m_error.clear();
    return true;
}

QUrl HelpViewer::currentPage() const
{
    return m_page->source();
}

void HelpViewer::fillContents()
{
    addTopics(m_contents->invisibleRootItem(), m_file->contents());
    m_contents->expandAll();
}

void HelpViewer::showTopic(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const QUrl url = item->data(0, kPageRole).toUrl();
    if (url.isValid() && url != m_page->source())
        m_page->setSource(url, QTextDocument::HtmlResource);
}

void HelpViewer::followLink(const QUrl &url)
{
    if (url.scheme() == kScheme)
        m_page->setSource(url, QTextDocument::HtmlResource);
    else
        QDesktopServices::openUrl(url);
}

void HelpViewer::pageShown(const QUrl &url)
{
    // The contents follow the page: the entry for exactly this place, or else the first one for its page.
    QTreeWidgetItem *samePage = nullptr;
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        const QUrl itemUrl = (*it)->data(0, kPageRole).toUrl();
        if (!itemUrl.isValid() || pathOf(itemUrl) != pathOf(url))
            continue;
        if (itemUrl.fragment() == url.fragment()) {
            samePage = *it;
            break;
        }
        if (!samePage)
            samePage = *it;
    }
    if (samePage && samePage != m_contents->currentItem()) {
        const QSignalBlocker blocker(m_contents);
        m_contents->setCurrentItem(samePage);
        m_contents->scrollToItem(samePage);
    }
}

void HelpViewer::showFirstPage()
{
    if (m_firstPage.isValid())
        m_page->setSource(m_firstPage, QTextDocument::HtmlResource);
}
