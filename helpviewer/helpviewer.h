#pragma once

#include <QUrl>
#include <QWidget>

#include <memory>

class ChmFile;
class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

/// The help window: the contents of a compiled help file as a tree beside the page chosen, with the links
/// and pictures of the pages working inside the file. It runs in a process of its own (larderon-help),
/// because reading a damaged help file can crash.
///
/// Pages are addressed as "chm:/welcome.htm#anchor"; links to other schemes open in the desktop's own
/// programs. Escape or Ctrl+W closes the window.
class HelpViewer : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget *parent = nullptr);
    ~HelpViewer() override;

    /// Opens the help file at `path`, fills the contents and shows the first page the contents lead to.
    /// False, with the reason in error(), when the file cannot be opened or that page cannot be shown.
    bool open(const QString &path);

    /// Why the last open() failed.
    QString error() const { return m_error; }

    /// The page shown.
    QUrl currentPage() const;

private:
    void fillContents();
    void showTopic(QTreeWidgetItem *item);
    void followLink(const QUrl &url);
    void pageShown(const QUrl &url);
    void showFirstPage();

    std::unique_ptr<ChmFile> m_file;
    QTreeWidget *m_contents;
    QTextBrowser *m_page;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_home;
    QUrl m_firstPage;
    QString m_error;
};
