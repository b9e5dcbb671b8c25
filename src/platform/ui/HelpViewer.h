#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include "platform/ui/DialogService.h"

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

// The help engine: HTML pages shipped inside the program (Qt resources) under
// ":/help/<name of the help file>/" with two lists beside them:
//   contents.txt  "title<TAB>page" per line: the table of contents
//   keywords.txt  "keyword<TAB>page[#anchor]" per line: the keyword index
// Lines starting with "#" are comments. index.html is the contents page.
namespace ui {

struct HelpTopic {
    QString title;  // a keyword or a contents title
    QString page;   // "page.html" or "page.html#anchor"
};

class HelpIndex {
public:
    // Reads the lists of a help folder, e.g. ":/help/<program>".
    static HelpIndex load(const QString& root);

    const QString& root() const { return root_; }
    const QList<HelpTopic>& contents() const { return contents_; }
    const QList<HelpTopic>& keywords() const { return keywords_; }
    // Keywords beginning with `prefix`, without regard to width or case; all for "".
    QList<HelpTopic> keywordsStartingWith(const QString& prefix) const;

private:
    QString root_;
    QList<HelpTopic> contents_;
    QList<HelpTopic> keywords_;
};

// ":/help/<name>" for ".../<name>.hlp".
QString helpRootFor(const QString& helpFile);

// The help window: contents and keyword index on the left, the page on the right.
class HelpViewer final : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(const QString& root, QWidget* parent = nullptr);

    // Carries out a help command (11, 15, 257, 261).
    void apply(const HelpRequest& request);

    QString currentPage() const;  // "page.html" of the page shown
    const HelpIndex& index() const { return index_; }

    QTabWidget* tabHelp;
    QListWidget* lstContents;
    QLineEdit* txtKeyword;
    QListWidget* lstKeyword;
    QTextBrowser* webHelp;

private:
    void showPage(const QString& page);
    void fillKeywords(const QString& prefix);
    void txtKeyword_Change();
    void lstKeyword_Activate();
    void lstContents_Activate();

    HelpIndex index_;
};

// Shows the help window of the request's help file (one window per file, reused) and
// carries out the command.
void showHelpViewer(const HelpRequest& request);
// The help window open for that file, or nullptr.
HelpViewer* openHelpViewer(const QString& helpFile);
// Closes every help window and forgets them (tests start from none).
void closeHelpViewers();

}  // namespace ui
